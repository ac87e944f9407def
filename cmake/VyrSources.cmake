# vyr_library_sources(<files...>): adds a folder's sources to VYRQtLib; every .h
# listed is a public header and is installed under include/VYRQtLib.
function(vyr_library_sources)
    set(files)
    set(headers)
    foreach(f IN LISTS ARGN)
        list(APPEND files ${CMAKE_CURRENT_SOURCE_DIR}/${f})
        if(f MATCHES "\\.h$" AND NOT f MATCHES "_p\\.h$")
            list(APPEND headers ${CMAKE_CURRENT_SOURCE_DIR}/${f})
        endif()
    endforeach()
    target_sources(VYRQtLib PRIVATE ${files})
    set_property(TARGET VYRQtLib APPEND PROPERTY VYR_PUBLIC_HEADERS ${headers})
endfunction()
