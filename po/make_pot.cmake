# Makes the message template from the sources: the game's texts, the help
# texts made from README.md, the desktop entry and the metainfo.
#   cmake -DSOURCE_DIR=... -DHELP_TEXT=.../help_text.h -DOUTPUT=varnel.pot -P make_pot.cmake
# Its references name files only: a text that moves within its file leaves
# the template as it was.
find_program(XGETTEXT xgettext REQUIRED)
file(GLOB sources RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/src/*.cpp ${SOURCE_DIR}/src/*.h)
list(SORT sources)
get_filename_component(help_dir ${HELP_TEXT} DIRECTORY)
set(common --package-name=varnel --msgid-bugs-address=maintainers@users.noreply.c-seed-f5946834.example
           --add-location=file --sort-by-file --from-code=UTF-8 --output=${OUTPUT})
execute_process(
  COMMAND ${XGETTEXT} ${common} --language=C++ --keyword=_ --keyword=N_ --keyword=ngettext:1,2
          --add-comments=TRANSLATORS: ${sources} help_text.h
          --directory=${SOURCE_DIR} --directory=${help_dir}
  RESULT_VARIABLE failed)
if(NOT failed)
  execute_process(
    COMMAND ${XGETTEXT} ${common} --join-existing --language=Desktop packaging/varnel.desktop
    WORKING_DIRECTORY ${SOURCE_DIR} RESULT_VARIABLE failed)
endif()
if(NOT failed)
  execute_process(
    COMMAND ${XGETTEXT} ${common} --join-existing --its=/usr/share/gettext/its/metainfo.its
            packaging/varnel.metainfo.xml.in
    WORKING_DIRECTORY ${SOURCE_DIR} RESULT_VARIABLE failed)
endif()
if(failed)
  message(FATAL_ERROR "xgettext failed")
endif()
