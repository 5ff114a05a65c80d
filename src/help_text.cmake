# Makes the texts of the help windows from README.md's sections "How to play"
# and "Keys", so that the page and the game tell the same, as arrays of lines
# that the game looks up in the player's language:
#   cmake -DREADME=README.md -DOUTPUT=help_text.h -P help_text.cmake
# The lines of a paragraph or of a list item become one line, which the
# window wraps to its width; a list item starts a line of its own, behind a
# bullet, and a numbered item behind its number; backquotes go. The toolkit
# draws a text in one font, and common ones (Noto Sans) have no "→": menus
# are shown as "Game › Quit".
include(${CMAKE_CURRENT_LIST_DIR}/readme_section.cmake)
file(READ "${README}" readme)

function(section title var)
  readme_section("${readme}" "${title}" text)
  string(REPLACE "`" "" text "${text}")
  string(REPLACE "→" "›" text "${text}")
  string(REGEX REPLACE "\n +" " " text "${text}")
  # A numbered item starts a line of its own, as a list item does; a
  # heading loses its marks.
  string(REGEX REPLACE "\n([0-9]+\\. )" "\n-#\\1" text "${text}")
  string(REGEX REPLACE "([^\n])\n([^\n-])" "\\1 \\2" text "${text}")
  string(REGEX REPLACE "(^|\n)- " "\\1• " text "${text}")
  string(REGEX REPLACE "\n-#" "\n" text "${text}")
  string(REGEX REPLACE "(^|\n)### " "\\1" text "${text}")
  set(${var} "${text}" PARENT_SCOPE)
endfunction()

# One entry of the message catalogue per line (a paragraph or an item):
# a translator translates paragraphs, and never edits code.
function(lines_array name text var)
  string(REPLACE "\\" "\\\\" text "${text}")
  string(REPLACE "\"" "\\\"" text "${text}")
  string(REPLACE "\n" "\"),\n    N_(\"" text "${text}")
  string(REPLACE "N_(\"\")" "\"\"" text "${text}")
  set(${var} "static const char *const ${name}[] = {\n    N_(\"${text}\"),\n    nullptr};\n"
      PARENT_SCOPE)
endfunction()

section("How to play" how_to_play)
section("Keys" keys)
lines_array(HOW_TO_PLAY_LINES "${how_to_play}" how_to_play)
lines_array(KEYS_LINES "${keys}" keys)
file(WRITE "${OUTPUT}.tmp"
  "// Made from README.md at build time: edit the text there.\n"
  "${how_to_play}${keys}")
# Rewritten only when changed, so an edit elsewhere in README.md rebuilds
# nothing.
execute_process(COMMAND ${CMAKE_COMMAND} -E copy_if_different "${OUTPUT}.tmp" "${OUTPUT}")
file(REMOVE "${OUTPUT}.tmp")
