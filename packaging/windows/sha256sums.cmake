# Writes SUMS: the SHA-256 sum of each of FILES (a list), one line each,
# "<sum>  <name>", the form `sha256sum -c` reads. The published files are
# unsigned; the sums let a user check a download (README).
file(WRITE "${SUMS}" "")
foreach(path IN LISTS FILES)
  file(SHA256 "${path}" sum)
  get_filename_component(name "${path}" NAME)
  file(APPEND "${SUMS}" "${sum}  ${name}\n")
endforeach()
