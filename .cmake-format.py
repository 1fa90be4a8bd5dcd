# cmake-format settings for every CMakeLists.txt and *.cmake file (checked by .ci/run).
line_width = 100
tab_size = 4
max_subgroups_hwrap = 2
max_pargs_hwrap = 8
dangle_parens = False
enable_markup = False
command_case = "canonical"
keyword_case = "upper"

# Our own functions, so their keywords are laid out like CMake's.
additional_commands = {
    "korvane_library": {"kwargs": {"SOURCES": "*", "LIBS": "*"}},
    "korvane_test": {
        "flags": ["QT"],
        "kwargs": {"SOURCES": "*", "LIBS": "*", "TIMEOUT": 1},
    },
    "korvane_fuzz_target": {"kwargs": {"SOURCES": "*", "LIBS": "*"}},
    "korvane_add_subdirectories": {"pargs": "*"},
    "korvane_test_environment": {"pargs": 1},
    "korvane_warnings": {"pargs": 1},
}
