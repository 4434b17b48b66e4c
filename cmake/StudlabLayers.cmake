# The layers of src/ are checked when the project is configured and again by every build in which
# a source changed (cmake/check_layers.cmake says which folder may include which).
function(studlab_check_layers)
    set(script ${PROJECT_SOURCE_DIR}/cmake/check_layers.cmake)
    execute_process(
        COMMAND ${CMAKE_COMMAND} -DSRC=${PROJECT_SOURCE_DIR}/src -P ${script}
        RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "The layers of src/ are broken (see above).")
    endif()
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS
        ${PROJECT_SOURCE_DIR}/src/*.h ${PROJECT_SOURCE_DIR}/src/*.cpp)
    set(stamp ${CMAKE_BINARY_DIR}/layers.checked)
    add_custom_command(OUTPUT ${stamp}
        COMMAND ${CMAKE_COMMAND} -DSRC=${PROJECT_SOURCE_DIR}/src -P ${script}
        COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
        DEPENDS ${sources} ${script}
        COMMENT "Checking the layers of src/"
        VERBATIM)
    add_custom_target(studlab_layers ALL DEPENDS ${stamp})
endfunction()
