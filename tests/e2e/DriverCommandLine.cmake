# The driver's command line: --help and --version answer on standard output and exit 0 before
# anything starts; a bad option or value prints the usage on standard error and exits 2.
# Run with -DDRIVER=path -DVERSION=x.y.z.
cmake_minimum_required(VERSION 3.25)
function(run_driver expected_code expected_out expected_err)
  execute_process(COMMAND ${DRIVER} ${ARGN} RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err
                  INPUT_FILE /dev/null TIMEOUT 60)
  if(NOT code STREQUAL expected_code OR NOT out MATCHES "${expected_out}" OR NOT err MATCHES "${expected_err}")
    message(FATAL_ERROR "dados-driver ${ARGN}: exit ${code}, expected ${expected_code}\n"
                        "stdout:\n${out}\nstderr:\n${err}")
  endif()
endfunction()

string(REPLACE "." "\\." version "${VERSION}")
run_driver(0 "^usage: dados-driver .*\n  --scale S .*\nCommands:\n  text NAME .*  quit " "^$" --help)
run_driver(0 "^usage: dados-driver" "^$" -h)
# The first of --help and --version wins; nothing after it is looked at.
run_driver(0 "^dados-driver ${version}\n$" "^$" --version --frobnicate)
run_driver(0 "^dados-driver ${version}\n$" "^$" --seed 5 -V)
foreach(bad "--frobnicate" "--scale;0.4" "--scale;4.5" "--scale;1,5" "--scale;abc" "--scale")
  run_driver(2 "^$" "^dados-driver: .*\nusage: dados-driver" ${bad})
endforeach()
