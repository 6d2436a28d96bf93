# Run as part of every build (cmake -DSOURCE_DIR=<repository> -P this file):
# fails when a half of a module includes a header of a half that its row in
# cmake/modules.cmake does not name, or when a portable file (outside a win/
# folder) includes a Windows header. The libraries are linked by the same
# rows; this catches the include that the shared include root would
# otherwise let through.

cmake_minimum_required(VERSION 3.20)

if(NOT SOURCE_DIR)
    message(FATAL_ERROR "check_includes.cmake: SOURCE_DIR is not set")
endif()
include(${CMAKE_CURRENT_LIST_DIR}/modules.cmake)

# The folders each half may include from: its own and those of the halves it
# may use ("sstp_win" lives in sstp/win).
foreach(half ${QUILLBIN_HALVES})
    set(allowed_${half} "")
    foreach(folder ${half} ${QUILLBIN_USES_${half}})
        string(REGEX REPLACE "_win$" "/win" folder "${folder}")
        list(APPEND allowed_${half} ${folder})
    endforeach()
endforeach()

set(windows_headers windows.h winsock2.h ws2tcpip.h commctrl.h shellapi.h iphlpapi.h icmpapi.h ipexport.h
    winuser.h winbase.h)

set(failures "")
foreach(module ${QUILLBIN_MODULES})
    file(GLOB_RECURSE files RELATIVE ${SOURCE_DIR}
        ${SOURCE_DIR}/${module}/*.h ${SOURCE_DIR}/${module}/*.cpp ${SOURCE_DIR}/${module}/*.rc)
    foreach(file ${files})
        if(file MATCHES "^${module}/win/")
            set(part ${module}_win)
            set(portable FALSE)
        else()
            set(part ${module})
            set(portable TRUE)
        endif()
        if(NOT part IN_LIST QUILLBIN_HALVES)
            string(APPEND failures "  ${file}: cmake/modules.cmake has no row for ${part}\n")
            continue()
        endif()
        file(STRINGS ${SOURCE_DIR}/${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
        foreach(line ${includes})
            string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*([<\"])([^>\"]*)[>\"].*" "\\1;\\2" parsed "${line}")
            list(GET parsed 0 kind)
            list(GET parsed 1 header)
            if(kind STREQUAL "<")
                string(TOLOWER "${header}" lower)
                if(portable AND lower IN_LIST windows_headers)
                    string(APPEND failures "  ${file}: <${header}> in a portable file (Win32 code lives in win/)\n")
                endif()
            elseif(header MATCHES "/")
                # The header's folder: "sstp/win/x.h" is sstp/win, "sstp/x.h" is sstp.
                string(REGEX MATCH "^[^/]+(/win)?/" folder "${header}")
                string(REGEX REPLACE "/$" "" folder "${folder}")
                if(NOT folder IN_LIST allowed_${part})
                    string(REPLACE "_win" "/win" where "${part}")
                    string(REPLACE ";" " " may "${allowed_${part}}")
                    string(APPEND failures "  ${file}: includes ${header} (${where} may include from: ${may})\n")
                endif()
            endif()
        endforeach()
    endforeach()
endforeach()

if(failures)
    message(FATAL_ERROR "Includes across modules that are not allowed:\n${failures}")
endif()
