include(gui/tweaks.cmake OPTIONAL)
include(gui/windows.cmake OPTIONAL)
include(gui/extras.cmake OPTIONAL)
