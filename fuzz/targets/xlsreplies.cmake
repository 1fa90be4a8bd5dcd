# The workbook reader's replies as the viewer decodes them.
korvane_fuzz_target(
    fuzz_xls_replies
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/targets/XlsRepliesFuzz.cpp
    LIBS korvane_platform_xls_replies)
