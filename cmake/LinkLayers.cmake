# The libraries in layers from the bottom up. A library links only libraries
# of the layers below its own, so no arrow runs back up; the configuration
# stops when one does.
set(orvik_layers
    "orvik_engine orvik_platform"
    "orvik_core orvik_desktop_shell"
    "orvik_records orvik_core_ui"
    "orvik_catalogue_add orvik_details_moves orvik_exchange orvik_manage_records orvik_search_queries"
    "orvik_search_printout orvik_help"
    "orvik_manage"
    "orvik_catalogue orvik_details orvik_search"
    "orvik_app"
)

function(orvik_check_link_layers)
    set(below "")
    foreach(layer IN LISTS orvik_layers)
        string(REPLACE " " ";" members "${layer}")
        foreach(library IN LISTS members)
            if(NOT TARGET ${library})
                message(FATAL_ERROR "The layer list names ${library}, which is no target")
            endif()
            get_target_property(links ${library} LINK_LIBRARIES)
            foreach(link IN LISTS links)
                if(link MATCHES "^orvik_" AND NOT link IN_LIST below)
                    message(FATAL_ERROR "${library} links ${link}, which is not below it")
                endif()
            endforeach()
        endforeach()
        list(APPEND below ${members})
    endforeach()
endfunction()
orvik_check_link_layers()
