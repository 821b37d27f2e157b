# Runs every generator into an empty scratch directory and fails unless the generators wrote
# exactly the expected files and each is byte-identical to the committed one in resources/.
# Called by CTest with GENERATORS and EXPECTED as comma-separated lists.

cmake_minimum_required(VERSION 3.18)

foreach(variable GENERATORS EXPECTED RESOURCE_DIR SCRATCH_DIR)
    if(NOT DEFINED ${variable} OR "${${variable}}" STREQUAL "")
        message(FATAL_ERROR "CheckResources.cmake needs -D${variable}=...")
    endif()
endforeach()
string(REPLACE "," ";" generators "${GENERATORS}")
string(REPLACE "," ";" expected "${EXPECTED}")

file(REMOVE_RECURSE "${SCRATCH_DIR}")
file(MAKE_DIRECTORY "${SCRATCH_DIR}")
foreach(generator IN LISTS generators)
    execute_process(COMMAND "${generator}" "${SCRATCH_DIR}" RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "${generator} failed: ${result}")
    endif()
endforeach()

file(GLOB written RELATIVE "${SCRATCH_DIR}" "${SCRATCH_DIR}/*")
set(problems "")
foreach(name IN LISTS written)
    if(NOT name IN_LIST expected)
        list(APPEND problems "${name} is written but not expected")
    endif()
endforeach()
foreach(name IN LISTS expected)
    if(NOT EXISTS "${SCRATCH_DIR}/${name}")
        list(APPEND problems "${name} was not written")
    elseif(NOT EXISTS "${RESOURCE_DIR}/${name}")
        list(APPEND problems "${name} is missing from ${RESOURCE_DIR}")
    else()
        execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files
                                "${SCRATCH_DIR}/${name}" "${RESOURCE_DIR}/${name}"
                        RESULT_VARIABLE differs)
        if(NOT differs EQUAL 0)
            list(APPEND problems "${name} differs from its generator's output")
        endif()
    endif()
endforeach()

if(problems)
    list(JOIN problems "\n  " report)
    message(FATAL_ERROR "Generated resources out of date (build regenerate-resources):\n  ${report}")
endif()
list(LENGTH expected count)
message(STATUS "All ${count} generated resources match their generators")
