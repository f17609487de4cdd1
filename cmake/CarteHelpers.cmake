# On Windows the offscreen platform reads its fonts from one folder, by default none.
if(WIN32)
    set(_fonts "C:/Windows/Fonts")
    if(DEFINED ENV{SystemRoot})
        file(TO_CMAKE_PATH "$ENV{SystemRoot}/Fonts" _fonts)
    endif()
    set(CARTE_TEST_FONT_DIR "${_fonts}" CACHE PATH "The fonts of the tests on Qt's offscreen platform")
endif()

# carte_needs_linux(<test>...)
#
# Label "linux": the test needs Linux itself (POSIX calls to make its faults, /proc,
# Xvfb and xdotool, CUPS, the packaging tools, LibreOffice or pandoc). Elsewhere it is
# defined, so that `ctest -N -L linux` lists it, but disabled. tools/windows-build.sh
# runs every test without the label under Wine.
function(carte_needs_linux)
    set_property(TEST ${ARGN} APPEND PROPERTY LABELS linux)
    if(NOT CMAKE_SYSTEM_NAME STREQUAL "Linux")
        set_tests_properties(${ARGN} PROPERTIES DISABLED TRUE)
    endif()
endfunction()

# carte_add_test(<name> SOURCES <files...> [LIBRARIES <targets...>] [LABELS <labels...>] [TIMEOUT <seconds>])
#
# Label "timing": the test bounds wall-clock time and runs alone.
# Label "linux": as carte_needs_linux; elsewhere the program is not built either.
#
# One executable per test class. Every test runs on the offscreen platform with a
# fixed locale, so that no display and no user setting changes what it sees.
function(carte_add_test name)
    cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBRARIES;LABELS" ${ARGN})
    set(needs_linux OFF)
    if("linux" IN_LIST ARG_LABELS)
        set(needs_linux ON)
        list(REMOVE_ITEM ARG_LABELS linux)
    endif()
    if(needs_linux AND NOT CMAKE_SYSTEM_NAME STREQUAL "Linux")
        add_executable(${name} EXCLUDE_FROM_ALL ${ARG_SOURCES})
    else()
        add_executable(${name} ${ARG_SOURCES})
    endif()
    target_link_libraries(${name} PRIVATE test_support carte_translations ${ARG_LIBRARIES})
    target_compile_definitions(${name} PRIVATE
        CARTE_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data"
        CARTE_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
    add_test(NAME ${name} COMMAND ${name})
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 300)
    endif()
    set(environment "QT_QPA_PLATFORM=offscreen;LANG=C.UTF-8;LC_ALL=C.UTF-8;QT_LOGGING_RULES=qt.qpa.*=false")
    if(WIN32)
        list(APPEND environment "QT_QPA_FONTDIR=${CARTE_TEST_FONT_DIR}")
    endif()
    set_tests_properties(${name} PROPERTIES
        TIMEOUT ${ARG_TIMEOUT}
        LABELS "${ARG_LABELS}"
        ENVIRONMENT "${environment}")
    # A test that bounds the time something takes runs alone, so that no other test
    # running beside it on the same cores decides whether it passes.
    if("timing" IN_LIST ARG_LABELS)
        set_tests_properties(${name} PROPERTIES RUN_SERIAL TRUE)
    endif()
    if(needs_linux)
        carte_needs_linux(${name})
    endif()
endfunction()

# carte_gzip(<input> <output.gz>)
#
# Compresses a file at build time as Debian wants its documentation: at the highest
# level, with no name and no time stamp inside, so that the same input gives the same
# bytes.
function(carte_gzip input output)
    string(REGEX REPLACE "\\.gz$" "" uncompressed "${output}")
    get_filename_component(name "${uncompressed}" NAME)
    add_custom_command(OUTPUT "${output}"
        COMMAND ${CMAKE_COMMAND} -E copy "${input}" "${uncompressed}"
        COMMAND gzip -9 -n -f "${uncompressed}"
        DEPENDS "${input}"
        VERBATIM)
    add_custom_target(gzip_${name} ALL DEPENDS "${output}")
endfunction()
