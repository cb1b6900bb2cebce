# Writes zrctl's manual page with help2man: the tool's --help and --version, and
# a COMMANDS section with each command's own --help.
#   cmake -DZRCTL=path/to/zrctl -DHELP2MAN=help2man -DOUTPUT=zrctl.1 -P man_page.cmake
execute_process(COMMAND ${ZRCTL} --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${ZRCTL} --help failed: ${status}")
endif()

# The commands are the lines of the Subcommands section: "  name   description".
string(REGEX REPLACE ".*\nSubcommands:\n" "" listed "${help}")
string(REGEX MATCHALL "\n?  [a-z][a-z-]*  " names "\n${listed}")
set(commands "")
foreach(name IN LISTS names)
  string(STRIP "${name}" name)
  list(APPEND commands "${name}")
endforeach()
if(NOT commands)
  message(FATAL_ERROR "no commands in ${ZRCTL} --help")
endif()

# The name line comes from the first line of --help.
string(REGEX MATCH "^[^\n]*" description "${help}")
set(include "[NAME]\nzrctl \\- ${description}\n\n[COMMANDS]\n")
foreach(command IN LISTS commands)
  execute_process(COMMAND ${ZRCTL} ${command} --help OUTPUT_VARIABLE text RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${ZRCTL} ${command} --help failed: ${status}")
  endif()
  string(REPLACE "\\" "\\e" text "${text}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
  string(APPEND include ".SS ${command}\n.nf\n${text}.fi\n")
endforeach()

get_filename_component(folder "${OUTPUT}" DIRECTORY)
file(WRITE "${folder}/zrctl.h2m" "${include}")
execute_process(COMMAND ${HELP2MAN} --no-info --no-discard-stderr --include=${folder}/zrctl.h2m
                        --output=${OUTPUT} ${ZRCTL}
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "help2man failed: ${status}")
endif()
