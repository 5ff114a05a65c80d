# Run by cpack in its staging install; adds what only the Debian package
# has: the link usr/games/varnel -> ../bin/varnel, where Debian keeps the
# commands of games, and the package's lintian overrides.
set(root "$ENV{DESTDIR}")
if(NOT root OR NOT CPACK_PACKAGING_INSTALL_PREFIX)
  message(FATAL_ERROR "debian_extras.cmake runs only inside cpack's staging install")
endif()
set(usr "${root}${CPACK_PACKAGING_INSTALL_PREFIX}")
file(MAKE_DIRECTORY "${usr}/games")
file(CREATE_LINK ../bin/varnel "${usr}/games/varnel" SYMBOLIC)
file(MAKE_DIRECTORY "${usr}/share/lintian/overrides")
file(COPY_FILE "${CMAKE_CURRENT_LIST_DIR}/lintian-overrides" "${usr}/share/lintian/overrides/varnel")
