# readme_section(TEXT TITLE VAR): sets VAR to the section "## TITLE" of the
# README's text TEXT, without its heading, up to the next "## " heading,
# stripped. The help windows and the man page are made from the same
# sections, so that both tell what the README tells.
function(readme_section text title var)
  set(heading "\n## ${title}\n")
  string(FIND "${text}" "${heading}" start)
  if(start LESS 0)
    message(FATAL_ERROR "README.md has no section \"## ${title}\"")
  endif()
  string(LENGTH "${heading}" skip)
  math(EXPR start "${start} + ${skip}")
  string(SUBSTRING "${text}" ${start} -1 section)
  string(FIND "${section}" "\n## " end)
  if(end GREATER_EQUAL 0)
    string(SUBSTRING "${section}" 0 ${end} section)
  endif()
  string(STRIP "${section}" section)
  set(${var} "${section}" PARENT_SCOPE)
endfunction()
