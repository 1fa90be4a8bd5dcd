# The CSV line scanner against SplitCsvLine, and the text decoder with the positioned line reader
# against the whole-file split.
korvane_fuzz_target(
    fuzz_csv_scan
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/targets/CsvScanFuzz.cpp
    LIBS korvane_csv)
korvane_fuzz_target(
    fuzz_text_lines
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/targets/TextLinesFuzz.cpp
    LIBS korvane_text)
