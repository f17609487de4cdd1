# carte_add_test(<name> SOURCES <files...> [LIBRARIES <targets...>] [LABELS <labels...>] [TIMEOUT <seconds>])
#
# One executable per test class. Every test runs on the offscreen platform with a
# fixed locale, so that no display and no user setting changes what it sees.
function(carte_add_test name)
    cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBRARIES;LABELS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBRARIES})
    target_compile_definitions(${name} PRIVATE
        CARTE_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data"
        CARTE_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
    add_test(NAME ${name} COMMAND ${name})
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 300)
    endif()
    set_tests_properties(${name} PROPERTIES
        TIMEOUT ${ARG_TIMEOUT}
        LABELS "${ARG_LABELS}"
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LANG=C.UTF-8;LC_ALL=C.UTF-8;QT_LOGGING_RULES=qt.qpa.*=false")
endfunction()
