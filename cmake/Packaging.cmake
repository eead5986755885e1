# Installation (cmake --install) and the Debian package (cpack -G DEB, or ./package.sh).
# The program goes to bin/; the menu entry, the icon theme's pictures, the AppStream metadata,
# the manual page and the package's documents to share/.

include(GNUInstallDirs)

set(DAZOZI_APP_ID org.example.DazoziRedov)
set(DAZOZI_DESKTOP_DIR ${CMAKE_SOURCE_DIR}/desktop)
set(DAZOZI_PACKAGE_DIR ${CMAKE_BINARY_DIR}/desktop)

install(TARGETS dazozi-redov RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${DAZOZI_DESKTOP_DIR}/${DAZOZI_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

# The version and the release date in the metadata, the manual page and the changelog are the
# project's (CMakeLists.txt), each written in the form its file wants: 2026-12-07 in the
# metadata, "December 2026" in the manual page, "Mon, 07 Dec 2026 12:00:00 +0000" in the
# changelog.
if(NOT DAZOZI_RELEASE_DATE MATCHES "^([0-9][0-9][0-9][0-9])-([0-9][0-9])-([0-9][0-9])$")
  message(FATAL_ERROR "DAZOZI_RELEASE_DATE '${DAZOZI_RELEASE_DATE}' is not YYYY-MM-DD")
endif()
set(_year ${CMAKE_MATCH_1})
math(EXPR _month "1${CMAKE_MATCH_2} - 100")
math(EXPR _day "1${CMAKE_MATCH_3} - 100")
set(_day2 ${CMAKE_MATCH_3})
# The weekday by Sakamoto's method: 0 is Sunday.
set(_offsets 0 3 2 5 0 3 5 1 4 6 2 4)
math(EXPR _index "${_month} - 1")
list(GET _offsets ${_index} _offset)
set(_y ${_year})
if(_month LESS 3)
  math(EXPR _y "${_y} - 1")
endif()
math(EXPR _weekday "(${_y} + ${_y} / 4 - ${_y} / 100 + ${_y} / 400 + ${_offset} + ${_day}) % 7")
set(_weekday_names Sun Mon Tue Wed Thu Fri Sat)
list(GET _weekday_names ${_weekday} _weekday_name)
set(_month_names January February March April May June July August September October November
    December)
list(GET _month_names ${_index} _month_name)
string(SUBSTRING ${_month_name} 0 3 _month_abbreviation)
set(DAZOZI_RELEASE_MONTH "${_month_name} ${_year}")
set(DAZOZI_RELEASE_DATE_RFC2822
    "${_weekday_name}, ${_day2} ${_month_abbreviation} ${_year} 12:00:00 +0000")
configure_file(${DAZOZI_DESKTOP_DIR}/${DAZOZI_APP_ID}.metainfo.xml
               ${DAZOZI_PACKAGE_DIR}/${DAZOZI_APP_ID}.metainfo.xml @ONLY)
install(FILES ${DAZOZI_PACKAGE_DIR}/${DAZOZI_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

foreach(size 48 128 256 512)
  install(FILES ${CMAKE_SOURCE_DIR}/data/icons/dazozi-redov-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME dazozi-redov.png)
endforeach()

# Debian wants the manual page and the changelog compressed, without a time stamp in the gzip
# header so that two builds give the same bytes.
find_program(GZIP_PROGRAM gzip REQUIRED)
configure_file(${DAZOZI_DESKTOP_DIR}/dazozi-redov.6 ${DAZOZI_PACKAGE_DIR}/dazozi-redov.6 @ONLY)
configure_file(${DAZOZI_DESKTOP_DIR}/changelog ${DAZOZI_PACKAGE_DIR}/changelog @ONLY)
foreach(doc dazozi-redov.6 changelog)
  add_custom_command(OUTPUT ${DAZOZI_PACKAGE_DIR}/${doc}.gz
    COMMAND ${GZIP_PROGRAM} -9nf -k ${DAZOZI_PACKAGE_DIR}/${doc}
    DEPENDS ${DAZOZI_PACKAGE_DIR}/${doc}
    COMMENT "Compressing ${doc}")
  list(APPEND DAZOZI_COMPRESSED_DOCS ${DAZOZI_PACKAGE_DIR}/${doc}.gz)
endforeach()
add_custom_target(desktop-docs ALL DEPENDS ${DAZOZI_COMPRESSED_DOCS})
add_dependencies(dazozi-redov desktop-docs)
install(FILES ${DAZOZI_PACKAGE_DIR}/dazozi-redov.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
# The copyright file: the project's text, then the notices of the code compiled into the program
# from other sources (DAZOZI_BUILT_IN_NOTICES, pairs of a title and a file: cmake/SameMath.cmake),
# each as a paragraph of the machine-readable format: its lines indented, blank lines as " .".
file(READ ${DAZOZI_DESKTOP_DIR}/copyright dazozi_copyright)
set(dazozi_notices ${DAZOZI_BUILT_IN_NOTICES})
while(dazozi_notices)
  list(POP_FRONT dazozi_notices title file)
  file(READ ${file} notice)
  string(STRIP "${notice}" notice)
  string(REGEX REPLACE "\n[ \t]*\n" "\n.\n" notice "${notice}")
  string(REGEX REPLACE "\n[ \t]*\n" "\n.\n" notice "${notice}")
  string(REPLACE "\n" "\n " notice "${notice}")
  string(APPEND dazozi_copyright "\nFiles: *\nCopyright: see below\nComment: ${title}, compiled into the program\nLicense: MIT\n ${notice}\n")
endwhile()
file(WRITE ${DAZOZI_PACKAGE_DIR}/copyright.new "${dazozi_copyright}")
configure_file(${DAZOZI_PACKAGE_DIR}/copyright.new ${DAZOZI_PACKAGE_DIR}/copyright COPYONLY)
install(FILES ${DAZOZI_PACKAGE_DIR}/changelog.gz ${DAZOZI_PACKAGE_DIR}/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/dazozi-redov)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME dazozi-redov)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "2D physics playground")
# CPack puts the summary on the first line; this is the long description under it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Scroll a tile-map level and drop balls, boxes, stars, squids with jointed
tentacles and breakable chains at the mouse pointer. Steer the player squid
with the arrow keys and watch it all on a parallax scene, with a debug view
of every collision shape and a live overlay of counts and frame rate.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Dazozi Redov developers <dev@dazozi-redov.example.org>")
# Debian's games section wants its programs in /usr/games, off root's PATH; the program stays
# in bin/ like every other install of it, and its menu entry is in the Game category anyway.
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://dazozi-redov.example.org")
# Depends comes from the libraries the built program links, through dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
include(CPack)
