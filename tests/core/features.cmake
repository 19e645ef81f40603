# Save preview, backups to restore, undo of tweak values and the search, and their command-line commands.
tunesmith_core_test(linediff)
tunesmith_core_test(backuplist)
tunesmith_core_test(valuehistory)
tunesmith_core_test(previewoption)
tunesmith_core_test(clifeatures)
add_dependencies(tst_clifeatures tunesmith-cli)
