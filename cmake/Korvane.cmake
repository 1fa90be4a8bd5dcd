# Warnings apply to our own targets only, never to the libraries we link.
function(korvane_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Werror)
endfunction()

# korvane_library(NAME SOURCES ... LIBS ...): a static library of ours with src/ on the include path.
function(korvane_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_LIBS})
    korvane_warnings(${name})
endfunction()

# korvane_test(NAME SOURCES ... LIBS ... [QT]): one test executable run by ctest.
# GoogleTest unless QT is given (then a Qt Test main). Tests run offscreen and know where
# the fixtures are through KORVANE_FIXTURES and KORVANE_TEST_DATA.
function(korvane_test name)
    cmake_parse_arguments(ARG "QT" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    korvane_warnings(${name})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
    if(ARG_QT)
        target_link_libraries(${name} PRIVATE ${ARG_LIBS} Qt6::Test)
    else()
        target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock korvane_test_main)
        target_compile_options(${name} PRIVATE -include ${PROJECT_SOURCE_DIR}/tests/QtPrinters.h)
    endif()
    add_test(NAME ${name} COMMAND ${name})
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 600)
    endif()
    set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT} ENVIRONMENT
        "QT_QPA_PLATFORM=offscreen;KORVANE_FIXTURES=${KORVANE_FIXTURES_DIR};KORVANE_TEST_DATA=${PROJECT_SOURCE_DIR}/tests/data;KORVANE_BIN_DIR=${PROJECT_BINARY_DIR}/bin;ASAN_OPTIONS=detect_leaks=0")
endfunction()
