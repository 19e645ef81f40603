# The tweak controls, with their own colours on light and dark desktop palettes.
tunesmith_gui_test(tweakcontrols)
# The program's path through its windows, and the main window's save preview, backup restore, undo and search field.
tunesmith_gui_test(mainpath)
tunesmith_gui_test(features)
# The connection settings dialog, the update check's HTTP fetch, the About box and its MIDI player.
tunesmith_gui_test(frmping)
tunesmith_gui_test(updatefetch)
tunesmith_gui_test(frmabout)
target_compile_definitions(tst_frmabout PRIVATE TUNESMITH_RESOURCES="${PROJECT_SOURCE_DIR}/resources")
# The tune is rendered in real time: about half a minute.
set_tests_properties(frmabout PROPERTIES TIMEOUT 180)
