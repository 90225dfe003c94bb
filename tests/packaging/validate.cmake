# Runs one of the validators the distributions use on the installed files. A machine without the
# validator skips the check (the test's SKIP_REGULAR_EXPRESSION matches the message below);
# `./build.sh test` installs both validators, so CI always runs them.
#
# cmake -DTOOL=<program> "-DARGS=<arguments>;..." -P validate.cmake

find_program(validator "${TOOL}")
if(NOT validator)
    message("HOPPAR ÖVER: ${TOOL} finns inte på den här datorn")
    return()
endif()
execute_process(COMMAND "${validator}" ${ARGS} RESULT_VARIABLE result OUTPUT_VARIABLE output
                ERROR_VARIABLE output)
message("${output}")
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${TOOL} ${ARGS} underkände filerna (slutkod ${result})")
endif()
