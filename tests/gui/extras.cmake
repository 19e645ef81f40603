# The connection settings dialog, the update check's HTTP fetch, the About box and its MIDI player.
tunesmith_gui_test(frmping)
tunesmith_gui_test(updatefetch)
tunesmith_gui_test(frmabout)
target_compile_definitions(tst_frmabout PRIVATE TUNESMITH_RESOURCES="${PROJECT_SOURCE_DIR}/resources")
# The tune is rendered in real time: about half a minute.
set_tests_properties(frmabout PROPERTIES TIMEOUT 180)
