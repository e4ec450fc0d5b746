# Fails when spsloader.ts is not what lupdate makes of the sources today: a
# text added, changed or moved to another context without making it again.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
configure_file(${TEMPLATE} ${WORK}/spsloader.ts COPYONLY)
execute_process(COMMAND ${LUPDATE} ${OPTIONS} @${LIST} -ts ${WORK}/spsloader.ts
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "lupdate failed: ${result}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${TEMPLATE} ${WORK}/spsloader.ts
    RESULT_VARIABLE differs)
if(differs)
    execute_process(COMMAND diff -u ${TEMPLATE} ${WORK}/spsloader.ts)
    message(FATAL_ERROR "translations/spsloader.ts is out of date; make it again with\n"
                        "    cmake --build build --target update_translations")
endif()
