# Files, config merge and save, settings, update decision and the command-line tool.
tunesmith_core_test(textfiles core/memorymerge.cpp)
tunesmith_core_test(configmerge core/literalmerge.cpp core/memorymerge.cpp)
tunesmith_core_test(configsave)
tunesmith_core_test(settings)
tunesmith_core_test(updatecheck)
tunesmith_core_test(cli)
# The end-to-end tests run the command-line tool itself.
add_dependencies(tst_cli tunesmith-cli)
tunesmith_core_test(profiles)
