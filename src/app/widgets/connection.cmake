# The connection settings dialog and the update check's HTTP fetch.
target_sources(tunesmith_gui PRIVATE
    frmping.cpp frmping.h
    updatefetch.cpp updatefetch.h
)
