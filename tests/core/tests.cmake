include(core/models.cmake OPTIONAL)
include(core/files.cmake OPTIONAL)
include(core/features.cmake OPTIONAL)
include(core/hardening.cmake OPTIONAL)
