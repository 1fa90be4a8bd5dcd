korvane_fuzz_target(
    fuzz_mdb_replies
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/targets/MdbRepliesFuzz.cpp
    LIBS korvane_platform_mdb_replies)
