include(core/models.cmake OPTIONAL)
include(core/files.cmake OPTIONAL)
