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

# The environment of every test: offscreen Qt, where the designed test data and the built
# programs are, and the shared fixtures only when that folder exists on this machine (tests that
# need one skip without it). In the sanitizer build leaks are reported (and fail the test); the
# suppressions file names only what a library leaks on purpose.
function(korvane_test_environment out)
    set(env
        "QT_QPA_PLATFORM=offscreen" "KORVANE_TEST_DATA=${PROJECT_SOURCE_DIR}/tests/data"
        "KORVANE_BIN_DIR=${PROJECT_BINARY_DIR}/bin" "ASAN_OPTIONS=detect_leaks=1"
        "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/support/lsan.supp")
    if(IS_DIRECTORY "${KORVANE_FIXTURES_DIR}")
        list(APPEND env "KORVANE_FIXTURES=${KORVANE_FIXTURES_DIR}")
    endif()
    set(${out}
        "${env}"
        PARENT_SCOPE)
endfunction()

# korvane_test(NAME SOURCES ... LIBS ... [QT] [TIMEOUT seconds]): one test executable run by
# ctest. GoogleTest unless QT is given (then a Qt Test main). tests/support/TestFiles.h finds the
# files through the environment above.
function(korvane_test name)
    cmake_parse_arguments(ARG "QT" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    korvane_warnings(${name})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src
                                               ${PROJECT_SOURCE_DIR}/tests)
    if(ARG_QT)
        target_link_libraries(${name} PRIVATE ${ARG_LIBS} Qt6::Test)
    else()
        target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock
                                              korvane_test_main)
        target_compile_options(${name} PRIVATE -include
                                               ${PROJECT_SOURCE_DIR}/tests/support/QtPrinters.h)
    endif()
    add_test(NAME ${name} COMMAND ${name})
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 600)
    endif()
    korvane_test_environment(env)
    set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT} ENVIRONMENT "${env}")
endfunction()

# korvane_add_subdirectories(DIR ...): the one way a folder adds its subfolders. Every subfolder
# that has a CMakeLists.txt must be named, so a new one is never left out of the build silently.
function(korvane_add_subdirectories)
    file(
        GLOB children
        LIST_DIRECTORIES true
        RELATIVE ${CMAKE_CURRENT_SOURCE_DIR}
        ${CMAKE_CURRENT_SOURCE_DIR}/*/CMakeLists.txt)
    foreach(child ${children})
        get_filename_component(dir ${child} DIRECTORY)
        if(NOT dir IN_LIST ARGN)
            message(FATAL_ERROR "${CMAKE_CURRENT_SOURCE_DIR}/${dir} has a CMakeLists.txt but is "
                                "not named in korvane_add_subdirectories()")
        endif()
    endforeach()
    foreach(dir ${ARGN})
        add_subdirectory(${dir})
    endforeach()
endfunction()
