# The code that runs while the main window starts, laid out side by side in the program and in its
# windows' module. The system maps a program's file into memory in blocks of 64 KiB around each
# page it runs, so code spread over the whole module made all of it resident; gathered, the two
# files take 0.7 MiB less memory at the start (the module about 500 KiB instead of 1084 KiB). The
# functions are listed in app/start_functions.txt (written by bench/start_functions.sh); every
# function is compiled into a section of its own, and the gold linker puts the listed ones
# together. Without gold, or with the sanitizers, the program is linked as usual: only its layout
# differs.

include(CheckLinkerFlag)

set(surfklocka_start_functions ${PROJECT_SOURCE_DIR}/app/start_functions.txt)
set(surfklocka_start_order ${PROJECT_BINARY_DIR}/start_order.txt)
set(surfklocka_order_start OFF)
if(NOT SURFKLOCKA_SANITIZE)
    check_linker_flag(CXX "-fuse-ld=gold" SURFKLOCKA_LINKER_GOLD)
    set(surfklocka_order_start ${SURFKLOCKA_LINKER_GOLD})
endif()

if(surfklocka_order_start)
    add_compile_options(-ffunction-sections)
    # Gold's ordering file names sections: a function's code, or a static constructor's.
    file(STRINGS ${surfklocka_start_functions} surfklocka_start_names REGEX "^[^#]")
    set(surfklocka_sections "")
    foreach(name IN LISTS surfklocka_start_names)
        string(APPEND surfklocka_sections ".text.${name}\n.text.startup.${name}\n")
    endforeach()
    file(WRITE ${surfklocka_start_order} "${surfklocka_sections}")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${surfklocka_start_functions})
endif()

# Links a target with the start's functions side by side, when the build can.
function(surfklocka_gather_start target)
    if(surfklocka_order_start)
        target_link_options(${target} PRIVATE -fuse-ld=gold
                            LINKER:--section-ordering-file,${surfklocka_start_order})
        set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${surfklocka_start_order})
    endif()
endfunction()
