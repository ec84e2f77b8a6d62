# telvane_library(NAME FOLDER SOURCES...): the static library of one folder of src/.
#
# Code includes headers by their folder, "state/all_v.h", "link/pcomm.h". Each library offers
# its headers through an include root of its own, a folder that holds links to exactly the
# headers listed in SOURCES under FOLDER/. A library sees the roots of the libraries it links
# and no other, so a source file that includes a header of a library it does not link (one
# from a floor above, say) does not compile: the link lists are the layering, and the build
# keeps it.
function(telvane_library name folder)
    add_library(${name} STATIC ${ARGN})
    set(root ${CMAKE_BINARY_DIR}/include_roots/${name})
    file(REMOVE_RECURSE ${root})
    foreach(source IN LISTS ARGN)
        if(source MATCHES "\\.h$")
            cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}
                OUTPUT_VARIABLE target)
            cmake_path(GET source PARENT_PATH sub)
            file(MAKE_DIRECTORY ${root}/${folder}/${sub})
            file(CREATE_LINK ${target} ${root}/${folder}/${source} SYMBOLIC)
        endif()
    endforeach()
    target_include_directories(${name} PUBLIC ${root})
    set_target_properties(${name} PROPERTIES AUTOMOC ON AUTOUIC ON)
endfunction()
