# Files, config merge and save, settings, update decision and the command-line tool.
tunesmith_core_test(textfiles core/memorymerge.cpp)
tunesmith_core_test(configmerge core/literalmerge.cpp core/memorymerge.cpp)
tunesmith_core_test(configsave)
tunesmith_core_test(settings)
tunesmith_core_test(updatecheck)
tunesmith_core_test(cli)
# The command-line tool run as a shell runs it; --help of the windowed program too, and the bash completion.
add_dependencies(tst_cli tunesmith-cli tunesmith)
target_compile_definitions(tst_cli PRIVATE TUNESMITH_WINDOW="$<TARGET_FILE:tunesmith>"
    TUNESMITH_COMPLETION="${PROJECT_SOURCE_DIR}/packaging/tunesmith-cli.bash-completion")
tunesmith_core_test(profiles)
