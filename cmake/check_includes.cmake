# Run as part of every build (cmake -DSOURCE_DIR=<repository> -P this file):
# fails when a module includes a header of a module it may not use, or when
# a portable file (outside a win/ folder) includes a Windows header. The
# module libraries are linked by the same rules; this catches the include
# that the shared include root would otherwise let through.

cmake_minimum_required(VERSION 3.20)

if(NOT SOURCE_DIR)
    message(FATAL_ERROR "check_includes.cmake: SOURCE_DIR is not set")
endif()

# The folders each module may include from. A module's win/ part may also
# use the Win32 side of the framework.
set(allowed_base base)
set(allowed_framework base framework)
set(allowed_framework_win base framework framework/win)
set(allowed_settings base settings)
set(allowed_settings_win base framework/win settings settings/win)
set(allowed_sstp base sstp)
set(allowed_sstp_win base framework/win sstp sstp/win)
set(allowed_echo base echo settings)
set(allowed_echo_win base echo echo/win framework/win settings)
set(allowed_ui ui)
set(allowed_ui_win base echo echo/win framework framework/win settings settings/win sstp sstp/win ui ui/win)
set(allowed_app app)
set(allowed_app_win app framework/win ui ui/win)

set(windows_headers windows.h winsock2.h ws2tcpip.h commctrl.h shellapi.h iphlpapi.h icmpapi.h ipexport.h
    winuser.h winbase.h)

set(failures "")
foreach(module base framework settings sstp echo ui app)
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
