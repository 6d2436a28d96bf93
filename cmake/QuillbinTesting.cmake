# quillbin_add_test(<name> SOURCES <files...> [LIBS <targets...>] [LABELS <labels...>]
#                   [PROPERTIES <name> <value>...] [EMULATOR <command...>])
# One GoogleTest executable whose cases CTest lists at test time (listing at
# build time cannot run Windows programs). EMULATOR replaces the tree's
# emulator (Wine) for this program, e.g. with a wrapper around it.
include(GoogleTest)

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
    gtest_discover_tests(${name}
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 60
        PROPERTIES LABELS "${ARG_LABELS}" TIMEOUT 300 ${ARG_PROPERTIES})
endfunction()
