korvane_fuzz_target(
    fuzz_accessquery
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/targets/AccessQueryFuzz.cpp
    LIBS korvane_platform_accessquery)
