# The program's own colours on light and dark desktop palettes.
tunesmith_gui_test(palette)
