# SPDX-FileCopyrightText: 2026 Clavelle developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installation and `make package`: the program, its lexicon, what a desktop needs to list
# it, and the Debian documentation (copyright, changelog, manual page). Included from the
# top-level CMakeLists.txt after the targets are defined.
include(GNUInstallDirs)
set(CLAVELLE_PACKAGING_DIR ${CMAKE_CURRENT_LIST_DIR})
set(CLAVELLE_INSTALL_DATA_DIR ${CMAKE_INSTALL_FULL_DATADIR}/clavelle)
set(CLAVELLE_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/clavelle)
# The attribution notice of the word frequency data, shipped with the package. The bad-word
# lists of tools/lexicon-builder/badwords only take words out of the lexicon: nothing of
# them is installed, so their notice stays with them in the source tree.
set(CLAVELLE_FREQUENCY_NOTICE ${CMAKE_SOURCE_DIR}/tools/lexicon-builder/frequency/NOTICE)

if(CLAVELLE_APP)
  install(TARGETS clavelle RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  # A stripped install (the package's) also drops the sections strip leaves (as dh_strip does).
  install(CODE "if(CMAKE_INSTALL_DO_STRIP)
    execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment --remove-section=.note
                            \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/clavelle\")
  endif()")
  install(FILES ${CLAVELLE_DATA_DIR}/dictionnaire.txt ${CLAVELLE_DATA_DIR}/prénomsf.txt
                ${CLAVELLE_DATA_DIR}/prénomsg.txt
          DESTINATION ${CMAKE_INSTALL_DATADIR}/clavelle)
  # The word ranking of the typing course, straight from the builder's list.
  install(FILES ${CMAKE_SOURCE_DIR}/tools/lexicon-builder/frequency/words.txt
          DESTINATION ${CMAKE_INSTALL_DATADIR}/clavelle RENAME mots-frequents.txt)
  configure_file(${CLAVELLE_PACKAGING_DIR}/clavelle.desktop.in ${CMAKE_BINARY_DIR}/clavelle.desktop @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/clavelle.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${CLAVELLE_PACKAGING_DIR}/clavelle.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(FILES ${CLAVELLE_PACKAGING_DIR}/fr.clavelle.clavelle.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

  # Changelog and manual page, compressed as Debian wants them (gzip -9n: no name, no time).
  find_program(CLAVELLE_GZIP gzip REQUIRED)
  set(CLAVELLE_GZIPPED)
  foreach(pair "changelog;changelog.gz" "clavelle.1;clavelle.1.gz")
    list(GET pair 0 source)
    list(GET pair 1 target)
    add_custom_command(
      OUTPUT ${CMAKE_BINARY_DIR}/packaging/${target}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
      COMMAND ${CLAVELLE_GZIP} -9nc ${CLAVELLE_PACKAGING_DIR}/${source} > ${CMAKE_BINARY_DIR}/packaging/${target}
      DEPENDS ${CLAVELLE_PACKAGING_DIR}/${source}
      VERBATIM)
    list(APPEND CLAVELLE_GZIPPED ${CMAKE_BINARY_DIR}/packaging/${target})
  endforeach()
  add_custom_target(clavelle_docs ALL DEPENDS ${CLAVELLE_GZIPPED})
  install(FILES ${CMAKE_BINARY_DIR}/packaging/clavelle.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${CMAKE_BINARY_DIR}/packaging/changelog.gz ${CLAVELLE_PACKAGING_DIR}/copyright
          DESTINATION ${CLAVELLE_DOC_DIR})
  install(FILES ${CLAVELLE_PACKAGING_DIR}/clavelle.lintian-overrides
          DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME clavelle)
  if(EXISTS ${CLAVELLE_FREQUENCY_NOTICE})
    install(FILES ${CLAVELLE_FREQUENCY_NOTICE} DESTINATION ${CLAVELLE_DOC_DIR})
  endif()
endif()

# make package: a Debian package of the same files.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME clavelle)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Clavelle developers <dev@clavelle.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "typing trainer for French text")
set(CPACK_PACKAGE_DESCRIPTION "Clavelle invents grammatical French practice sentences from a real
morphological lexicon, checks the copy keystroke by keystroke, and judges
speed and precision in French. It keeps the user's key-to-key timing for
every pair of keys of the French AZERTY keyboard and steers new texts
toward the slowest pairs.
.
The program and all its texts are in French. It runs on X11 and natively
on Wayland.")
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, qt6-translations-l10n")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
include(CPack)
