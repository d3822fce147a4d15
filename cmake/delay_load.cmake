# Delay-load import libraries of system DLLs that the window does not need to show: each is
# loaded at the first call of one of its functions, not at the program's start, where every
# DLL Wine loads costs milliseconds. cmake/delay/<dll>.def lists the functions called, with
# their 32-bit stdcall decoration (removed again for 64-bit builds). The program loads them
# from the system folder only (SetDefaultDllDirectories in main.cpp).
# brenvik_delay_load(<dll>) makes the target brenvik_<dll>_delay.
find_program(BRENVIK_DLLTOOL NAMES ${TOOLCHAIN_PREFIX}-dlltool dlltool REQUIRED)

function(brenvik_delay_load dll)
    set(list ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/delay/${dll}.def)
    set(dir ${CMAKE_BINARY_DIR}/delay)
    set(import ${dir}/lib${dll}_delay.a)
    file(MAKE_DIRECTORY ${dir})
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
        # x64 has one calling convention and undecorated names.
        file(READ ${list} text)
        string(REGEX REPLACE "@[0-9]+" "" text "${text}")
        file(CONFIGURE OUTPUT ${dir}/${dll}.def CONTENT "${text}" @ONLY)
        set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${list})
        set(list ${dir}/${dll}.def)
    endif()
    add_custom_command(OUTPUT ${import}
        COMMAND ${BRENVIK_DLLTOOL} --kill-at --input-def ${list} --output-delaylib ${import}
        DEPENDS ${list}
        COMMENT "Making the delay-load import library of ${dll}.dll")
    add_custom_target(brenvik_${dll}_delay_import DEPENDS ${import})
    add_library(brenvik_${dll}_delay INTERFACE)
    add_dependencies(brenvik_${dll}_delay brenvik_${dll}_delay_import)
    target_link_libraries(brenvik_${dll}_delay INTERFACE ${import})
endfunction()

brenvik_delay_load(atl)
brenvik_delay_load(oleaut32)
brenvik_delay_load(ws2_32)
