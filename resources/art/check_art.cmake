# Regenerates the art into WORK and compares it byte for byte with the files
# committed under SOURCE. Fails on any difference, on a generated file that
# is not committed, and on a committed bitmap or cursor the generator does not
# write.
file(REMOVE_RECURSE ${WORK})
execute_process(COMMAND ${GENERATOR} ${WORK} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "velk_artgen failed (${rc})")
endif()

file(GLOB_RECURSE generated RELATIVE ${WORK} ${WORK}/*)
file(GLOB committed RELATIVE ${SOURCE}
    ${SOURCE}/resources/velk2000/*.bmp ${SOURCE}/resources/velk2000/*.cur
    ${SOURCE}/resources/velk3d/*.bmp ${SOURCE}/resources/velk3d/*.cur
    ${SOURCE}/resources/shared/*.bmp ${SOURCE}/resources/shared/*.cur)
list(LENGTH generated count)
if(count EQUAL 0)
    message(FATAL_ERROR "velk_artgen wrote nothing")
endif()

set(failures "")
foreach(f ${generated})
    if(NOT EXISTS ${SOURCE}/${f})
        list(APPEND failures "not committed: ${f}")
        continue()
    endif()
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/${f} ${SOURCE}/${f}
        RESULT_VARIABLE diff)
    if(NOT diff EQUAL 0)
        list(APPEND failures "differs from the generator: ${f}")
    endif()
endforeach()
foreach(f ${committed})
    list(FIND generated ${f} at)
    if(at EQUAL -1)
        list(APPEND failures "not written by the generator: ${f}")
    endif()
endforeach()

if(failures)
    string(REPLACE ";" "\n  " text "${failures}")
    message(FATAL_ERROR "Art out of step with velk_artgen (run it with the repository root):\n  ${text}")
endif()
message(STATUS "${count} files match the generator")
