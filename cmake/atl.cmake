# The import library of the system's atl.dll as target brenvik_atl: MinGW's own libatl.a
# where it has one (x86_64), otherwise one made with dlltool from cmake/atl-x86.def.
find_library(BRENVIK_ATL_LIBRARY atl)
if(BRENVIK_ATL_LIBRARY)
    add_library(brenvik_atl INTERFACE)
    target_link_libraries(brenvik_atl INTERFACE ${BRENVIK_ATL_LIBRARY})
    return()
endif()

find_program(BRENVIK_DLLTOOL NAMES ${TOOLCHAIN_PREFIX}-dlltool dlltool REQUIRED)
set(atl_import ${CMAKE_BINARY_DIR}/atl/libatl.a)
add_custom_command(OUTPUT ${atl_import}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/atl
    COMMAND ${BRENVIK_DLLTOOL} -k -d ${CMAKE_CURRENT_LIST_DIR}/atl-x86.def -l ${atl_import}
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/atl-x86.def
    COMMENT "Making the import library of atl.dll")
add_custom_target(brenvik_atl_import DEPENDS ${atl_import})
add_library(brenvik_atl INTERFACE)
add_dependencies(brenvik_atl brenvik_atl_import)
target_link_libraries(brenvik_atl INTERFACE ${atl_import})
