# vistrel_delay_load(TARGET DLL...): TARGET and whatever links it take each system DLL (base name,
# as in gdiplus) at its first call instead of from the loader at start. By then the program has
# locked the DLL search to the system folder (app/dll_search.cpp); the loader itself would look
# beside the program first for a DLL that is not among the system's known DLLs.
function(vistrel_delay_load target)
    if(MSVC)
        foreach(dll IN LISTS ARGN)
            target_link_libraries(${target} PUBLIC ${dll})
            target_link_options(${target} INTERFACE /DELAYLOAD:${dll}.dll)
        endforeach()
        target_link_libraries(${target} PUBLIC delayimp)
        return()
    endif()
    # mingw-w64: delay-import libraries made from its import libraries by dlltool.
    set(dir ${CMAKE_BINARY_DIR}/delay_import)
    file(MAKE_DIRECTORY ${dir})
    set(outputs)
    foreach(dll IN LISTS ARGN)
        find_library(VISTREL_IMPORT_LIB_${dll} NAMES ${dll} REQUIRED)
        set(out ${dir}/lib${dll}_delay.a)
        add_custom_command(OUTPUT ${out}
            COMMAND ${CMAKE_COMMAND} -DNM=${CMAKE_NM} -DDLLTOOL=${CMAKE_DLLTOOL} -DOBJCOPY=${CMAKE_OBJCOPY}
                -DAR=${CMAKE_AR} -DCC=${CMAKE_C_COMPILER} -DIMPORT_LIB=${VISTREL_IMPORT_LIB_${dll}}
                -DDLL=${dll}.dll -DOUT=${out} -P ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/make_delay_import.cmake
            DEPENDS ${VISTREL_IMPORT_LIB_${dll}} ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/make_delay_import.cmake
            COMMENT "Delay-import library for ${dll}.dll"
            VERBATIM)
        list(APPEND outputs ${out})
    endforeach()
    add_custom_target(${target}_delay_imports DEPENDS ${outputs})
    add_dependencies(${target} ${target}_delay_imports)
    target_link_libraries(${target} PUBLIC ${outputs})
endfunction()
