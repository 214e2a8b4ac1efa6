# Runs dorrabee-sim as a script author would and checks what comes out.
# Arguments: SIM (the executable), EMULATOR (empty, or what runs it), WORK_DIR.

function(run_sim out_var err_var status_var)
  execute_process(COMMAND ${EMULATOR} ${SIM} ${ARGN}
    OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
  set(${out_var} "${out}" PARENT_SCOPE)
  set(${err_var} "${err}" PARENT_SCOPE)
  set(${status_var} "${status}" PARENT_SCOPE)
endfunction()

function(expect what actual expected)
  if(NOT "${actual}" STREQUAL "${expected}")
    message(FATAL_ERROR "${what}: expected [${expected}], got [${actual}]")
  endif()
endfunction()

# A default run: the header, tick 0 and 100 ticks, nothing on stderr.
run_sim(out err status)
expect("default status" "${status}" "0")
expect("default stderr" "${err}" "")
string(REGEX MATCHALL "\n" newlines "${out}")
list(LENGTH newlines lines)
expect("default line count" "${lines}" "102")
string(FIND "${out}" "tick,x,y,image,mirrored,action,facing\n0," header_at)
expect("header first" "${header_at}" "0")
if(out MATCHES "\r")
  message(FATAL_ERROR "output holds carriage returns")
endif()

# Dump, edit nothing, load: the same pet.
run_sim(dump err status --dump-script)
expect("dump status" "${status}" "0")
set(script "${WORK_DIR}/sim_end_to_end_script.txt")
file(WRITE "${script}" "${dump}")
run_sim(loaded err status --script "${script}" --seed 7 --screen 800x600 --ticks 300)
run_sim(builtin err status --seed 7 --screen 800x600 --ticks 300)
expect("round trip" "${loaded}" "${builtin}")

# A broken row: the loader's message alone, status 1.
string(REPLACE "1,8,9,10\t8-100\t" "1,8,9,10\t8-100,66-10\t" broken "${dump}")
file(WRITE "${script}" "${broken}")
run_sim(out err status --script "${script}")
expect("broken status" "${status}" "1")
expect("broken output" "${out}" "** ERROR : For action 3, invalid ratio 100, or next action 66\n")

# A file that is no script, and a bad argument: status 2, a message on stderr.
file(WRITE "${script}" "just one line\n")
run_sim(out err status --script "${script}")
expect("bad file status" "${status}" "2")
expect("bad file stdout" "${out}" "")
if(NOT err MATCHES "action rows")
  message(FATAL_ERROR "bad file: unclear message [${err}]")
endif()
run_sim(out err status --screen 640)
expect("bad argument status" "${status}" "2")
if(NOT err MATCHES "--screen")
  message(FATAL_ERROR "bad argument: unclear message [${err}]")
endif()
file(REMOVE "${script}")
