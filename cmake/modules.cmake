# The one table of what each module may use. Every module has two halves:
# the portable one (sstp/, never a Windows header) and the Win32 one
# (sstp/win/, named sstp_win here). Each half is a library of its own,
# quillbin_<half> (the program quillbin.exe stands for app_win), linked to
# exactly the halves its row names and to the Win32 libraries whose DLLs its
# code calls; cmake/check_includes.cmake, which every build runs, lets a half
# include only from its own folder and the folders of the halves its row
# names. So a rule changes here and nowhere else.
#
# A half uses only halves of the rows above it, so no two modules use each
# other and the table reads from the bottom layer up.
#
# A half that compiles nothing (ui, app: headers and resource scripts) is an
# interface library, so that the rules name it all the same.
#
# Included by the top CMakeLists.txt and by check_includes.cmake (cmake -P),
# so it only sets variables and defines functions.

# quillbin_module_half(<half> [USES <halves...>] [SYSTEM <Win32 libraries...>])
function(quillbin_module_half half)
    cmake_parse_arguments(ARG "" "" "USES;SYSTEM" ${ARGN})
    foreach(used IN LISTS ARG_USES)
        if(NOT used IN_LIST QUILLBIN_HALVES)
            message(FATAL_ERROR "cmake/modules.cmake: ${half} uses ${used}, which is not a row above it")
        endif()
    endforeach()
    set(QUILLBIN_HALVES ${QUILLBIN_HALVES} ${half} PARENT_SCOPE)
    set(QUILLBIN_USES_${half} ${ARG_USES} PARENT_SCOPE)
    set(QUILLBIN_SYSTEM_${half} ${ARG_SYSTEM} PARENT_SCOPE)
endfunction()

set(QUILLBIN_HALVES "")
#                    half           may use                                  Win32 libraries
quillbin_module_half(base)
quillbin_module_half(framework      USES base)
quillbin_module_half(framework_win  USES base framework                     SYSTEM comctl32 kernel32 ole32 user32)
quillbin_module_half(settings       USES base)
quillbin_module_half(settings_win   USES base framework_win settings        SYSTEM kernel32)
quillbin_module_half(sstp           USES base)
quillbin_module_half(sstp_win       USES base framework_win sstp            SYSTEM kernel32 user32)
quillbin_module_half(echo           USES base settings)
quillbin_module_half(echo_win       USES base echo framework_win settings   SYSTEM kernel32 ws2_32)
quillbin_module_half(ui)
quillbin_module_half(ui_win         USES base echo echo_win framework framework_win settings settings_win
                                         sstp sstp_win ui                   SYSTEM gdi32 kernel32 shell32 user32)
quillbin_module_half(app)
quillbin_module_half(app_win        USES app framework_win ui ui_win        SYSTEM kernel32 ws2_32)

# The modules, in the order the rows name them: the folders the check reads.
set(QUILLBIN_MODULES ${QUILLBIN_HALVES})
list(FILTER QUILLBIN_MODULES EXCLUDE REGEX "_win$")

# quillbin_link_by_rules(<target> <half>): links the library or program that
# holds <half> as its row says.
function(quillbin_link_by_rules target half)
    if(NOT half IN_LIST QUILLBIN_HALVES)
        message(FATAL_ERROR "cmake/modules.cmake has no row for ${half} (${target})")
    endif()
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "INTERFACE_LIBRARY")
        set(scope INTERFACE)
    elseif(type STREQUAL "EXECUTABLE")
        set(scope PRIVATE)
    else()
        set(scope PUBLIC)
    endif()
    list(TRANSFORM QUILLBIN_USES_${half} PREPEND quillbin_ OUTPUT_VARIABLE libraries)
    target_link_libraries(${target} ${scope} ${libraries} ${QUILLBIN_SYSTEM_${half}})
endfunction()
