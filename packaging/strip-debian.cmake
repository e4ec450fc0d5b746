# Run by CPack on the staged package before it is packed: strips the programs
# and libraries as Debian's dh_strip does, debug symbols and the sections that
# only name the compiler (.comment, .note) removed.
find_program(SPS_STRIP NAMES strip REQUIRED)
file(GLOB_RECURSE sps_files LIST_DIRECTORIES false "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
foreach(f ${sps_files})
    if(IS_SYMLINK "${f}")
        continue()
    endif()
    file(READ "${f}" magic LIMIT 4 HEX)
    if(NOT magic STREQUAL "7f454c46")
        continue()
    endif()
    if(f MATCHES "\\.so$")
        set(options --strip-unneeded)
    else()
        set(options --strip-all)
    endif()
    execute_process(COMMAND ${SPS_STRIP} --remove-section=.comment --remove-section=.note
                            ${options} "${f}"
                    RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "cannot strip ${f}")
    endif()
endforeach()
