# Included by the zrdiscbuild checks (cmake -P scripts): runs PROGRAM (behind
# EMULATOR when given) with the arguments, in WORK when given, and fails
# unless it exits with expected_code and says expected_output on stdout or
# stderr. What it said is left in `output`.
function(run_zrdiscbuild expected_code expected_output)
  set(command ${PROGRAM} ${ARGN})
  if(EMULATOR)
    set(command ${EMULATOR} ${command})
  endif()
  set(folder)
  if(WORK)
    set(folder WORKING_DIRECTORY ${WORK})
  endif()
  execute_process(COMMAND ${command} ${folder} RESULT_VARIABLE code OUTPUT_VARIABLE out
                  ERROR_VARIABLE err TIMEOUT 120)
  string(REPLACE "\r" "" all "${out}${err}")
  if(NOT code EQUAL expected_code)
    message(FATAL_ERROR "zrdiscbuild ${ARGN}: exit ${code}, expected ${expected_code}\n${all}")
  endif()
  string(FIND "${all}" "${expected_output}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "zrdiscbuild ${ARGN}: no '${expected_output}' in:\n${all}")
  endif()
  set(output "${all}" PARENT_SCOPE)
endfunction()
