# Hardening: saves killed at random moments, writes under a failing disk, hostile and huge input, the in-memory
# merge reference of the fuzz targets, and the fuzz targets replaying every input they once failed on.
tunesmith_core_test(crashsafety)
add_dependencies(tst_crashsafety tunesmith-cli)
# 200 kills take about a minute; TUNESMITH_CRASH_KILLS=1000 for a long run.
set_tests_properties(crashsafety PROPERTIES TIMEOUT 900)

tunesmith_core_test(writefaults)
add_dependencies(tst_writefaults tunesmith-cli)

tunesmith_core_test(hostileinput core/memorymerge.cpp)
add_dependencies(tst_hostileinput tunesmith-cli)
set_tests_properties(hostileinput PROPERTIES TIMEOUT 900)

set(TUNESMITH_FUZZ_SOURCES
    ${PROJECT_SOURCE_DIR}/fuzz/fuzz_profile.cpp
    ${PROJECT_SOURCE_DIR}/fuzz/fuzz_configmerge.cpp
    ${PROJECT_SOURCE_DIR}/fuzz/fuzz_configreader.cpp
    ${PROJECT_SOURCE_DIR}/fuzz/fuzz_settings.cpp
    ${PROJECT_SOURCE_DIR}/fuzz/fuzz_manifest.cpp
    ${PROJECT_SOURCE_DIR}/fuzz/fuzz_connectionrule.cpp
    ${PROJECT_SOURCE_DIR}/fuzz/fuzz_numbertext.cpp)
tunesmith_core_test(fuzzreplay core/memorymerge.cpp ${TUNESMITH_FUZZ_SOURCES})
target_include_directories(tst_fuzzreplay PRIVATE ${PROJECT_SOURCE_DIR}/fuzz)
# Each target's entry point gets a name of its own here, so all of them fit in one executable.
foreach(target profile:fuzzProfile configmerge:fuzzConfigMerge configreader:fuzzConfigReader settings:fuzzSettings
        manifest:fuzzManifest connectionrule:fuzzConnectionRule numbertext:fuzzNumberText)
    string(REPLACE ":" ";" fields ${target})
    list(GET fields 0 file)
    list(GET fields 1 function)
    set_source_files_properties(${PROJECT_SOURCE_DIR}/fuzz/fuzz_${file}.cpp PROPERTIES
        COMPILE_DEFINITIONS LLVMFuzzerTestOneInput=${function})
endforeach()
