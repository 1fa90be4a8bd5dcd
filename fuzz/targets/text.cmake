korvane_fuzz_target(
    fuzz_val
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/targets/ValFuzz.cpp
    LIBS korvane_text)
