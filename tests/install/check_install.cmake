# cmake -DBUILD_DIR=... -DPREFIX=... -DAPPDIR=... -DEMBEDDED=... -P check_install.cmake
# The program must start through bin/ and still find its help document in its
# own folder, and the desktop entry must name a program and an icon that exist.
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE failed OUTPUT_QUIET)
if(failed)
  message(FATAL_ERROR "cmake --install failed: ${failed}")
endif()

# expect(<what is wrong> <condition>...): reports, and goes on checking.
function(expect what)
  if(NOT (${ARGN}))
    message(SEND_ERROR "${what}")
  endif()
endfunction()

set(program "${PREFIX}/${APPDIR}/morvane")
expect("no program at ${program}" EXISTS "${program}")
expect("MorvHelp.pdf is not beside the program" EXISTS "${PREFIX}/${APPDIR}/MorvHelp.pdf")
set(link "${PREFIX}/bin/morvane")
expect("bin/morvane is not a link" IS_SYMLINK "${link}")
file(REAL_PATH "${link}" target)
file(REAL_PATH "${program}" program_real)
expect("bin/morvane leads to ${target}, not the program" target STREQUAL program_real)

set(summary "${PREFIX}/bin/morvane-summary")
expect("no morvane-summary in bin/" EXISTS "${summary}")
execute_process(COMMAND "${summary}" --help RESULT_VARIABLE failed OUTPUT_VARIABLE usage)
expect("bin/morvane-summary --help failed: ${failed}" failed EQUAL 0 AND usage MATCHES "^Usage:")

foreach(file share/man/man1/morvane.1 share/man/man1/morvane-summary.1
             share/metainfo/org.morvane.transfer.metainfo.xml)
  expect("${file} is not installed" EXISTS "${PREFIX}/${file}")
endforeach()

set(desktop "${PREFIX}/share/applications/morvane.desktop")
file(STRINGS "${desktop}" entries)
foreach(line "[Desktop Entry]" "Type=Application" "Name=Morvane Data Transfer Utility"
             "Categories=Utility;")
  list(FIND entries "${line}" at)
  expect("${desktop} lacks \"${line}\"" at GREATER -1)
endforeach()
list(FILTER entries INCLUDE REGEX "^(Exec|Icon)=")
foreach(line IN LISTS entries)
  string(REGEX REPLACE "^[A-Za-z]+=([^ ]*).*" "\\1" name "${line}")
  if(line MATCHES "^Exec=")
    expect("Exec=${name} is not in bin/" EXISTS "${PREFIX}/bin/${name}")
  else()
    set(icon "${name}")
  endif()
endforeach()
expect("the desktop entry names no icon" DEFINED icon)
foreach(px 16 32 48 64)
  set(file "${PREFIX}/share/icons/hicolor/${px}x${px}/apps/${icon}.png")
  expect("no ${px} px icon at ${file}" EXISTS "${file}")
  if(EXISTS "${file}")
    file(SHA256 "${file}" installed)
    file(SHA256 "${EMBEDDED}/PROP1_${px}.png" embedded)
    expect("the ${px} px icon is not the program's own" installed STREQUAL embedded)
  endif()
endforeach()
