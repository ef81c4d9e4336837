# The manual page of dados-driver documents exactly the commands the program has, each as an
# ".It Ic VERB" entry, and mandoc finds nothing to warn about in it. The verbs come from the
# program's own --help, so the check follows the command table.
# Run with -DDRIVER=path -DPAGE=path.
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND ${DRIVER} --help RESULT_VARIABLE code OUTPUT_VARIABLE help)
if(NOT code EQUAL 0)
  message(FATAL_ERROR "dados-driver --help exited with ${code}")
endif()
string(REGEX MATCH "\nCommands:\n(  [^\n]*\n)+" commands "${help}")
string(REGEX MATCHALL "\n  [^ \n]+" verbs "${commands}")
list(TRANSFORM verbs REPLACE "^\n  " "")
list(LENGTH verbs count)
if(count LESS 10)
  message(FATAL_ERROR "too few commands in dados-driver --help:\n${help}")
endif()

file(STRINGS ${PAGE} entries REGEX "^\\.It Ic ")
list(TRANSFORM entries REPLACE "^\\.It Ic ([^ ]+).*" "\\1")
foreach(verb ${verbs})
  if(NOT verb IN_LIST entries)
    message(SEND_ERROR "${PAGE} has no entry \".It Ic ${verb}\"")
  endif()
endforeach()
foreach(entry ${entries})
  if(NOT entry IN_LIST verbs)
    message(SEND_ERROR "${PAGE} documents \"${entry}\", which dados-driver does not have")
  endif()
endforeach()

execute_process(COMMAND mandoc -T lint -W warning ${PAGE} RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT code EQUAL 0 OR NOT out STREQUAL "")
  message(SEND_ERROR "mandoc -T lint -W warning (exit ${code}; scripts/install-deps installs mandoc):\n${out}")
endif()
