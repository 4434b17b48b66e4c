# Checks that every source under SRC includes only from its own layer and the layers below it:
#   text -> cards -> design -> table -> profit   the engine, ground first
#   cli                                          the engine and itself
#   widgets                                      text, cards and itself
#   <engine folder>/ui                           its own engine folder and those below it, the
#                                                widgets and itself: design/ui sees nothing of
#                                                the table or the profitability check, table/ui
#                                                no other window folder
#   app                                          all but the command line
# Run at configuration and again by the build whenever a source changes:
#   cmake -DSRC=<project>/src -P cmake/check_layers.cmake
cmake_minimum_required(VERSION 3.25)
set(engine_layers text cards design table profit)

# The layer of a path relative to SRC: the top folder, or "<engine folder>/ui" for a window folder.
function(_layer_of relative out_var)
    if(relative MATCHES "^([a-z_]+)/ui/")
        set(${out_var} "${CMAKE_MATCH_1}/ui" PARENT_SCOPE)
    else()
        string(REGEX MATCH "^[a-z_]+" top "${relative}")
        set(${out_var} ${top} PARENT_SCOPE)
    endif()
endfunction()

function(_allowed_layers layer out_var)
    list(FIND engine_layers ${layer} rank)
    if(layer MATCHES "^([a-z_]+)/ui$")
        list(FIND engine_layers ${CMAKE_MATCH_1} domain)
        if(domain LESS 0)
            set(${out_var} "" PARENT_SCOPE)
            return()
        endif()
        math(EXPR through "${domain} + 1")
        list(SUBLIST engine_layers 0 ${through} below)
        set(${out_var} ${below} widgets ${layer} PARENT_SCOPE)
    elseif(rank GREATER_EQUAL 0)
        list(SUBLIST engine_layers 0 ${rank} below)
        set(${out_var} ${below} ${layer} PARENT_SCOPE)
    elseif(layer STREQUAL "cli")
        set(${out_var} ${engine_layers} cli PARENT_SCOPE)
    elseif(layer STREQUAL "widgets")
        set(${out_var} text cards widgets PARENT_SCOPE)
    elseif(layer STREQUAL "app")
        set(windows "")
        foreach(domain IN LISTS engine_layers)
            list(APPEND windows ${domain}/ui)
        endforeach()
        set(${out_var} ${engine_layers} widgets ${windows} app PARENT_SCOPE)
    else()
        set(${out_var} "" PARENT_SCOPE)
    endif()
endfunction()

file(GLOB_RECURSE sources RELATIVE "${SRC}" "${SRC}/*.h" "${SRC}/*.cpp")
set(faults "")
foreach(source IN LISTS sources)
    _layer_of("${source}" layer)
    _allowed_layers(${layer} allowed)
    if(NOT allowed)
        string(APPEND faults "\n  ${source}: the folder is no known layer")
        continue()
    endif()
    file(STRINGS "${SRC}/${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
    foreach(line IN LISTS includes)
        string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[\"<]([^\">]*)[\">].*" "\\1" included
                             "${line}")
        if(NOT included MATCHES "/")
            continue()  # a file beside the source, or a system header
        endif()
        string(REGEX MATCH "^[a-z_]+" top "${included}")
        if(line MATCHES "include[ \t]*<" AND (top STREQUAL "" OR NOT IS_DIRECTORY "${SRC}/${top}"))
            continue()  # a library's header: src/ holds no such folder
        endif()
        if(included MATCHES "(^|/)\\.\\.(/|$)")
            # A path that climbs could name any folder; the check reads the first one only.
            string(APPEND faults "\n  ${source} (${layer}) includes ${included} by a path that climbs")
            continue()
        endif()
        _layer_of("${included}" target_layer)
        if(NOT target_layer IN_LIST allowed)
            string(APPEND faults "\n  ${source} (${layer}) includes ${included} (${target_layer})")
        endif()
    endforeach()
endforeach()
if(faults)
    message(FATAL_ERROR "A folder includes from a layer above it:${faults}")
endif()
