# Save preview, backups to restore, undo of tweak values and the search.
tunesmith_core_test(editortools)
