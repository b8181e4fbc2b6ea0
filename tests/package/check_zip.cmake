# The portable zip holds exactly the program, the summary's command-line
# tool, the help document and the readme, at its top, as built (ZIP, PROGRAM, HELP, README, WORK: a scratch
# folder). The readme has CR LF line ends, for every Notepad. SUMS, the
# published SHA256SUMS, holds the sum of each of PUBLISHED (the program,
# the installer, the zip) and nothing else.
foreach(var ZIP PROGRAM HELP README WORK SUMS PUBLISHED)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "${var} is not given")
  endif()
endforeach()
# "|" between them: ";" would split the test's command line.
string(REPLACE "|" ";" PUBLISHED "${PUBLISHED}")
get_filename_component(ZIP "${ZIP}" ABSOLUTE)
if(NOT EXISTS "${ZIP}")
  message(FATAL_ERROR "${ZIP} is missing: run `make windows-package`")
endif()

execute_process(COMMAND "${CMAKE_COMMAND}" -E tar tf "${ZIP}" OUTPUT_VARIABLE listing
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cannot list ${ZIP}")
endif()
string(STRIP "${listing}" listing)
string(REPLACE "\n" ";" listing "${listing}")
list(SORT listing)
if(NOT listing STREQUAL "MorvHelp.pdf;README.txt;morvane-summary.exe;morvane.exe")
  message(FATAL_ERROR "${ZIP} holds ${listing}")
endif()

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
execute_process(COMMAND "${CMAKE_COMMAND}" -E tar xf "${ZIP}" WORKING_DIRECTORY "${WORK}"
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cannot unpack ${ZIP}")
endif()
foreach(pair "morvane.exe=${PROGRAM}" "MorvHelp.pdf=${HELP}" "README.txt=${README}")
  string(REPLACE "=" ";" pair "${pair}")
  list(GET pair 0 name)
  list(GET pair 1 expected)
  execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${WORK}/${name}" "${expected}"
                  RESULT_VARIABLE differ)
  if(differ)
    message(FATAL_ERROR "${name} in the zip is not ${expected}")
  endif()
endforeach()

file(READ "${WORK}/README.txt" readme HEX)
string(REGEX REPLACE "(..)" " \\1" bytes "${readme}")
string(REGEX MATCHALL " 0a" line_ends "${bytes}")
string(REGEX MATCHALL " 0d 0a" crlf_ends "${bytes}")
list(LENGTH line_ends lines)
list(LENGTH crlf_ends crlf_lines)
if(lines EQUAL 0 OR NOT lines EQUAL crlf_lines)
  message(FATAL_ERROR "README.txt ends ${crlf_lines} of its ${lines} lines with CR LF")
endif()
file(REMOVE_RECURSE "${WORK}")

set(expected_sums "")
foreach(path IN LISTS PUBLISHED)
  file(SHA256 "${path}" sum)
  get_filename_component(name "${path}" NAME)
  string(APPEND expected_sums "${sum}  ${name}\n")
endforeach()
file(READ "${SUMS}" sums)
if(NOT sums STREQUAL expected_sums)
  message(FATAL_ERROR "${SUMS} holds\n${sums}\nnot the published files' sums\n${expected_sums}")
endif()
message(STATUS "${ZIP}: ${listing}")
