# Where `cmake --install` puts things, and the Debian package CPack makes of them.
#
# Both programs read Languages.ini beside their own executable (and would write missing keys into
# a new one there), so they live in a private folder with the language file, as Debian keeps a
# program's internals under /usr/lib/<package>, and bin holds relative symbolic links to them:
# the kernel reports a link's target as the running executable, so the language file is found.
set(CQ_INSTALL_PROGRAMDIR "lib/chimequest" CACHE STRING
    "Folder, relative to the prefix, of the program and its language file")

# Installs a program into the private folder and links it from bin.
function(cq_install_program target)
  install(TARGETS ${target} RUNTIME DESTINATION ${CQ_INSTALL_PROGRAMDIR})
  file(RELATIVE_PATH link_target /prefix/${CMAKE_INSTALL_BINDIR}
       /prefix/${CQ_INSTALL_PROGRAMDIR}/${target})
  install(CODE "
    set(bin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    file(MAKE_DIRECTORY \"\${bin}\")
    message(STATUS \"Linking: \${bin}/${target} -> ${link_target}\")
    file(CREATE_LINK \"${link_target}\" \"\${bin}/${target}\" SYMBOLIC)")
endfunction()

# The manual pages and the change log, compressed as man and Debian expect them.
find_program(CQ_GZIP gzip REQUIRED)
function(cq_compressed source output)
  add_custom_command(OUTPUT ${output}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${output}
    COMMAND ${CQ_GZIP} -9nf ${output}
    DEPENDS ${source})
endfunction()
set(man_pages chimequest-cli.1)
if(CQ_GUI)
  list(APPEND man_pages chimequest.1)
endif()
set(compressed_pages)
foreach(page ${man_pages})
  cq_compressed(${CMAKE_SOURCE_DIR}/data/man/${page} ${CMAKE_BINARY_DIR}/man/${page})
  list(APPEND compressed_pages ${CMAKE_BINARY_DIR}/man/${page}.gz)
endforeach()
set(compressed_changelog ${CMAKE_BINARY_DIR}/doc/changelog.gz)
cq_compressed(${CMAKE_SOURCE_DIR}/data/changelog ${CMAKE_BINARY_DIR}/doc/changelog)
add_custom_target(compressed_documents ALL DEPENDS ${compressed_pages} ${compressed_changelog})
install(FILES ${compressed_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The licence and the notes (the program carries its own copies inside), and the package's
# copyright file and change log.
install(FILES
  ${CMAKE_SOURCE_DIR}/docs/licence.en.html ${CMAKE_SOURCE_DIR}/docs/licence.ru.html
  ${CMAKE_SOURCE_DIR}/docs/notes.en.html ${CMAKE_SOURCE_DIR}/docs/notes.ru.html
  ${CMAKE_SOURCE_DIR}/data/copyright ${compressed_changelog}
  DESTINATION ${CMAKE_INSTALL_DOCDIR})
if(CQ_GUI)
  install(FILES ${CMAKE_SOURCE_DIR}/data/chimequest.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
endif()

set(CPACK_PACKAGE_NAME chimequest)
# All four parts: the fourth is the build number the program shows as its version too.
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "ZEQ")
set(CPACK_PACKAGE_CONTACT "Chimequest support <support@chimequest.example>")
set(CPACK_PACKAGE_HOMEPAGE_URL "http://update.chimequest.example/")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "ringtone search for the desktop")
set(CPACK_PACKAGE_DESCRIPTION
    "Chimequest asks several ringtone web sites at once for the words you type\n"
    "and shows everything they find in one list. It reads each melody's page to\n"
    "learn which files are offered (WAV, MIDI, MMF, MP3) and lets you play them,\n"
    "save them or copy their address. The package holds the program and the\n"
    "command-line tool chimequest-cli.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})

# The AppStream metainfo, for software centres; the release it names is the change log's latest
# entry, this version, on the day that entry was signed.
if(CQ_GUI)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/data/changelog)
  file(STRINGS ${CMAKE_SOURCE_DIR}/data/changelog signatures REGEX "^ -- ")
  list(GET signatures 0 latest)
  if(NOT latest MATCHES ", ([0-9][0-9]) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ")
    message(FATAL_ERROR "No date in the change log's latest entry: ${latest}")
  endif()
  set(day ${CMAKE_MATCH_1})
  set(year ${CMAKE_MATCH_3})
  set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
  list(FIND months ${CMAKE_MATCH_2} month)
  # Two digits: 101 for January, less its leading 1.
  math(EXPR month "${month} + 101")
  string(SUBSTRING ${month} 1 2 month)
  set(CQ_RELEASE_DATE ${year}-${month}-${day})
  set(metainfo ${CMAKE_BINARY_DIR}/example.chimequest.chimequest.metainfo.xml)
  configure_file(${CMAKE_SOURCE_DIR}/data/chimequest.metainfo.xml.in ${metainfo} @ONLY)
  install(FILES ${metainfo} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()

set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the programs link come from dpkg-shlibdeps; what they load at run time does not
# show there: GStreamer's elements for playback (WAV and MP3 in -good, MIDI through FluidSynth in
# -bad), the General MIDI soundfont, the fonts that stand in for Tahoma and Arial, and Qt's own
# translations.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, gstreamer1.0-plugins-bad, fluid-soundfont-gm, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "gstreamer1.0-libav, fonts-liberation2, qt6-translations-l10n")
include(CPack)
