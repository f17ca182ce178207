# Runs the built zel5-signal and zel5-convert as a shell would: exit
# statuses, stderr, and raw samples through stdin and stdout.
# Expects CONVERT, SIGNAL and WORK (a scratch directory).

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

function(expect_status expected)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status STREQUAL "${expected}")
    message(FATAL_ERROR "exit status ${status}, not ${expected}: ${ARGN}\n${err}")
  endif()
  set(last_out "${out}" PARENT_SCOPE)
  set(last_err "${err}" PARENT_SCOPE)
endfunction()

expect_status(0 "${SIGNAL}" --help)
if(NOT last_out MATCHES "Example:")
  message(FATAL_ERROR "zel5-signal --help shows no example")
endif()
expect_status(0 "${CONVERT}" --help)
if(NOT last_out MATCHES "Example:")
  message(FATAL_ERROR "zel5-convert --help shows no example")
endif()

expect_status(2 "${CONVERT}" --in-rate 44100)
if(NOT last_err MATCHES "^zel5-convert: [^\n]+\n$")
  message(FATAL_ERROR "not one line on stderr: '${last_err}'")
endif()
expect_status(2 "${SIGNAL}" --rate 8000 --channels 1 --seconds 0 "${WORK}/none.f64")
if(EXISTS "${WORK}/none.f64")
  message(FATAL_ERROR "a refused run left a file")
endif()

expect_status(0 "${SIGNAL}" --rate 44100 --channels 2 --seconds 0.25 --signal noise
              "${WORK}/in.f64")
set(convert_args --in-rate 44100 --in-channels 2 --out-rate 48000 --out-channels 1)
expect_status(0 "${CONVERT}" ${convert_args} "${WORK}/in.f64" "${WORK}/files.s16")
execute_process(COMMAND "${CONVERT}" ${convert_args} - -
                INPUT_FILE "${WORK}/in.f64" OUTPUT_FILE "${WORK}/piped.s16"
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "zel5-convert - - exited ${status}")
endif()
file(SHA256 "${WORK}/files.s16" from_files)
file(SHA256 "${WORK}/piped.s16" from_pipe)
if(NOT from_files STREQUAL from_pipe)
  message(FATAL_ERROR "stdin/stdout output differs from file output")
endif()
file(SIZE "${WORK}/files.s16" size)
if(NOT size GREATER 0)
  message(FATAL_ERROR "no output")
endif()

execute_process(COMMAND "${SIGNAL}" --rate 8000 --channels 1 --seconds 0.01 -
                OUTPUT_FILE "${WORK}/stdout.f64" RESULT_VARIABLE status)
file(SIZE "${WORK}/stdout.f64" size)
if(NOT status EQUAL 0 OR NOT size EQUAL 640)
  message(FATAL_ERROR "zel5-signal to stdout: status ${status}, ${size} bytes")
endif()
