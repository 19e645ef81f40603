# Save preview, backup restore, undo and redo of tweak values, and the search field of the main window.
tunesmith_gui_test(features)
