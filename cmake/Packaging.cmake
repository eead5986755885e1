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

# The version in the metadata, the manual page and the changelog is the project's.
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
# from other sources (DAZOZI_BUILT_IN_NOTICES, pairs of a title and a file: cmake/SameMath.cmake).
file(READ ${DAZOZI_DESKTOP_DIR}/copyright dazozi_copyright)
set(dazozi_notices ${DAZOZI_BUILT_IN_NOTICES})
while(dazozi_notices)
  list(POP_FRONT dazozi_notices title file)
  file(READ ${file} notice)
  string(APPEND dazozi_copyright "\n${title}:\n\n${notice}")
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
