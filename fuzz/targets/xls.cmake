korvane_fuzz_target(
    fuzz_xls
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/targets/XlsFuzz.cpp
    LIBS korvane_platform_xls)
