# Save preview, backups to restore, undo of tweak values and the search, and their command-line commands.
tunesmith_core_test(linediff)
tunesmith_core_test(backuplist)
tunesmith_core_test(valuehistory)
tunesmith_core_test(previewoption)
tunesmith_core_test(clifeatures)
add_dependencies(tst_clifeatures tunesmith-cli)

# The tools of a profile's author, the player's own presets and the manners of both programs' command lines.
tunesmith_core_test(authortools)
add_dependencies(tst_authortools tunesmith-cli tunesmith)
target_compile_definitions(tst_authortools PRIVATE TUNESMITH_WINDOW="$<TARGET_FILE:tunesmith>"
    TUNESMITH_COMPLETION="${PROJECT_SOURCE_DIR}/packaging/tunesmith-cli.bash-completion")
