include(gui/tweaks.cmake OPTIONAL)
include(gui/windows.cmake OPTIONAL)
