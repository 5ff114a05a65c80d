# Makes the man page from varnel.6.in and README.md's sections "How to
# play", "Keys" and "Command line", the same text the help windows show, so
# that the page cannot tell another game:
#   cmake -DREADME=README.md -DTEMPLATE=varnel.6.in -DOUTPUT=varnel.6
#         -DVERSION=1.0.0 -P man_page.cmake
# In the template @HOW_TO_PLAY@, @KEYS@ and @COMMAND_LINE@ stand for the
# sections, @PROJECT_VERSION@ for the version. A paragraph stays a paragraph
# (.PP), a list item gets a bullet (.IP), a numbered item its number, a
# heading of three marks is a subsection (.SS), an indented code line is shown
# as it is, `code` in bold; hyphens are minus signs, as in the rest of the
# page, and the few other characters the README uses are groff's own.
include(${CMAKE_CURRENT_LIST_DIR}/../src/readme_section.cmake)
file(READ "${README}" readme)

function(roff_section title var)
  readme_section("${readme}" "${title}" text)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REPLACE "-" "\\-" text "${text}")
  string(REPLACE "→" "\\(->" text "${text}")
  string(REPLACE "×" "\\(mu" text "${text}")
  string(REPLACE "°" "\\(de" text "${text}")
  string(REPLACE "–" "\\(en" text "${text}")
  string(REPLACE "—" "\\(em" text "${text}")
  string(REGEX REPLACE "`([^`]*)`" "\\\\fB\\1\\\\fP" text "${text}")
  # A text line that starts with a period or an apostrophe would be a request.
  string(REGEX REPLACE "(^|\n)( *)([.'])" "\\1\\2\\\\&\\3" text "${text}")
  string(REGEX REPLACE "(^|\n)    ([^\n]*)" "\\1.RS\n.nf\n\\2\n.fi\n.RE" text "${text}")
  # A line that starts with a space would break the filled text there.
  string(REGEX REPLACE "\n +" "\n" text "${text}")
  string(REGEX REPLACE "(^|\n)\\\\- " "\\1.IP \\\\(bu 3\n" text "${text}")
  string(REGEX REPLACE "(^|\n)([0-9]+)\\. " "\\1.IP \\2. 4\n" text "${text}")
  string(REGEX REPLACE "(^|\n)### ([^\n]*)" "\\1.SS \\2" text "${text}")
  string(REGEX REPLACE "\n\n+" "\n.PP\n" text "${text}")
  # A list after a paragraph needs no paragraph of its own.
  string(REPLACE "\n.PP\n.IP" "\n.IP" text "${text}")
  string(REPLACE "\n.PP\n.SS" "\n.SS" text "${text}")
  set(${var} "${text}" PARENT_SCOPE)
endfunction()

roff_section("How to play" HOW_TO_PLAY)
roff_section("Keys" KEYS)
roff_section("Command line" COMMAND_LINE)
set(PROJECT_VERSION "${VERSION}")
configure_file("${TEMPLATE}" "${OUTPUT}.tmp" @ONLY)
# Rewritten only when changed: an edit elsewhere in README.md compresses
# and installs nothing anew.
execute_process(COMMAND ${CMAKE_COMMAND} -E copy_if_different "${OUTPUT}.tmp" "${OUTPUT}")
file(REMOVE "${OUTPUT}.tmp")
