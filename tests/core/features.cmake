# Save preview, backups to restore, undo of tweak values and the search.
tunesmith_core_test(editortools)
# The tools of a profile's author, the player's own presets and the manners of both programs' command lines.
tunesmith_core_test(authortools)
add_dependencies(tst_authortools tunesmith-cli tunesmith)
target_compile_definitions(tst_authortools PRIVATE TUNESMITH_WINDOW="$<TARGET_FILE:tunesmith>"
    TUNESMITH_COMPLETION="${PROJECT_SOURCE_DIR}/packaging/tunesmith-cli.bash-completion")
