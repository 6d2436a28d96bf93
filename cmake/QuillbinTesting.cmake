# quillbin_add_test(<name> SOURCES <files...> [LIBS <targets...>] [LABELS <labels...>]
#                   [PROPERTIES <name> <value>...] [EMULATOR <command...>])
# One GoogleTest executable whose cases CTest lists at test time (listing at
# build time cannot run Windows programs). In the Windows tree they run
# through wine-run.sh (cmake/wine-run.sh.in) in the tests' own prefix, and
# require its session (fixture wine_test) unless PROPERTIES names the
# fixtures they require. EMULATOR replaces the tree's emulator for this
# program, e.g. with a wrapper around it.
#
# A case whose check only Windows can make (what Wine does not do as Windows
# does: object security, message-queue wake-ups, Don't Fragment on the wire)
# has a suite name that ends in OnWindows. In the Windows tree CTest
# lists such cases under the label windows-only alone, which no Wine stage of
# the test command selects; the Windows run (scripts/windows-tests.cmd) runs
# every case of every program named in windows-tests.txt.
include_guard(GLOBAL)
include(GoogleTest)

# The sessions of the Windows tree's two test prefixes, test and e2e: a
# fixture each, whose setup test starts the prefix's display and wineserver
# and whose cleanup test stops them (wine-run.sh says why). Every test in one
# of them requires its fixture, so any selection, by `ctest` alone as by
# scripts/test.sh, starts what it needs.
if(WIN32)
    foreach(prefix test e2e)
        add_test(NAME wine.${prefix}-prefix COMMAND ${CMAKE_BINARY_DIR}/wine-run.sh --prefix ${prefix} --start)
        add_test(NAME wine.${prefix}-prefix.stop COMMAND ${CMAKE_BINARY_DIR}/wine-run.sh --prefix ${prefix} --stop)
        # The first start makes the prefix (10-15 s).
        set_tests_properties(wine.${prefix}-prefix PROPERTIES FIXTURES_SETUP wine_${prefix} LABELS wine TIMEOUT 180)
        set_tests_properties(wine.${prefix}-prefix.stop PROPERTIES FIXTURES_CLEANUP wine_${prefix} LABELS wine TIMEOUT 60)
    endforeach()
endif()

# The test programs of the Windows run, one a line, into windows-tests.txt
# at the top of the Windows tree.
function(quillbin_windows_run_program name)
    if(WIN32)
        set(list ${CMAKE_BINARY_DIR}/windows-tests.txt)
        get_property(listed GLOBAL PROPERTY QUILLBIN_WINDOWS_RUN_PROGRAMS)
        if(NOT listed)
            file(WRITE ${list} "# The Windows run's test programs (scripts/windows-tests.cmd).\n")
        endif()
        set_property(GLOBAL APPEND PROPERTY QUILLBIN_WINDOWS_RUN_PROGRAMS ${name})
        file(APPEND ${list} "${name}.exe\n")
    endif()
endfunction()

# quillbin_discover_tests(<name> [TEST_PREFIX <prefix>] LABELS <labels...>
#                         [PROPERTIES <name> <value>...]): the program's cases
# as CTest tests. A variant (TEST_PREFIX: the same program run again under
# another set-up of Wine's) leaves the OnWindows cases out.
function(quillbin_discover_tests name)
    cmake_parse_arguments(ARG "" "TEST_PREFIX" "LABELS;PROPERTIES" ${ARGN})
    set(discovery DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60)
    if(ARG_TEST_PREFIX)
        list(APPEND discovery TEST_PREFIX ${ARG_TEST_PREFIX})
    endif()
    if(NOT WIN32)
        gtest_discover_tests(${name} ${discovery} PROPERTIES LABELS "${ARG_LABELS}" TIMEOUT 300 ${ARG_PROPERTIES})
        return()
    endif()
    if(NOT FIXTURES_REQUIRED IN_LIST ARG_PROPERTIES)
        list(APPEND ARG_PROPERTIES FIXTURES_REQUIRED wine_test)
    endif()
    gtest_discover_tests(${name} ${discovery} TEST_FILTER "-*OnWindows.*"
        PROPERTIES LABELS "${ARG_LABELS}" TIMEOUT 300 ${ARG_PROPERTIES})
    if(NOT ARG_TEST_PREFIX)
        gtest_discover_tests(${name} ${discovery} TEST_FILTER "*OnWindows.*"
            PROPERTIES LABELS windows-only TIMEOUT 300 ${ARG_PROPERTIES})
    endif()
endfunction()

# quillbin_tests builds a tree's test programs and what they link, and
# nothing else: the ThreadSanitizer and fuzz trees need no more
# (scripts/test.sh builds it there).
function(quillbin_test_program name)
    if(NOT TARGET quillbin_tests)
        add_custom_target(quillbin_tests)
    endif()
    add_dependencies(quillbin_tests ${name})
endfunction()

function(quillbin_add_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS;PROPERTIES;EMULATOR" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    quillbin_test_program(${name})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main GTest::gmock)
    if(ARG_EMULATOR)
        set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR "${ARG_EMULATOR}")
    endif()
    if(NOT ARG_LABELS)
        set(ARG_LABELS unit)
    endif()
    quillbin_discover_tests(${name} LABELS ${ARG_LABELS} PROPERTIES ${ARG_PROPERTIES})
    quillbin_windows_run_program(${name})
endfunction()
