# Installing Velmora like any desktop game: the programs in bin/, a menu entry,
# icons in the hicolor theme, AppStream metadata, manual pages and the licence;
# and a Debian package of all that (`cpack -G DEB`, or `make package`).
#
# Installed under a folder the player cannot write, the game keeps its settings
# and tally in ~/.config/velmora (see src/records/datafolder.h).
include(GNUInstallDirs)

set(VELMORA_APP_ID org.velmora.Velmora)
set(VELMORA_FULL_VERSION ${PROJECT_VERSION}.8)

# The icon's PNGs are painted by our art code; rebuild them with this tool.
add_subdirectory(${PROJECT_SOURCE_DIR}/tools/make-icons ${PROJECT_BINARY_DIR}/tools/make-icons)

set(VELMORA_PROGRAMS velmora velmora-host)
if(TARGET velmora-tally)
    list(APPEND VELMORA_PROGRAMS velmora-tally)
endif()
install(TARGETS ${VELMORA_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(VELMORA_RESOURCES ${PROJECT_SOURCE_DIR}/resources)
install(FILES ${VELMORA_RESOURCES}/desktop/${VELMORA_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${VELMORA_RESOURCES}/desktop/${VELMORA_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 48 128 256)
    install(FILES ${VELMORA_RESOURCES}/icons/velmora-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME velmora.png)
endforeach()
install(FILES ${VELMORA_RESOURCES}/icons/velmora.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

install(FILES ${VELMORA_RESOURCES}/man/velmora.6 ${VELMORA_RESOURCES}/man/velmora-host.6
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
if(TARGET velmora-tally)
    install(FILES ${VELMORA_RESOURCES}/man/velmora-tally.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
# Debian wants the licence as doc/<package>/copyright, the package name in lower case.
set(VELMORA_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/velmora)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${VELMORA_DOCDIR} RENAME copyright)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${VELMORA_DOCDIR})

# The Debian package. Library dependencies come from dpkg-shlibdeps; what the
# program loads without linking (fonts) is named by hand.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VERSION ${VELMORA_FULL_VERSION})
set(CPACK_PACKAGE_VENDOR "The Velmora developers")
set(CPACK_PACKAGE_CONTACT "The Velmora developers <velmora@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "dice game for one to four players, scored like darts")
set(CPACK_PACKAGE_DESCRIPTION "Roll twelve dice, build three darts from them and close 15 to 20 and the bull \
before your rivals. Play solo against the computer, host a game for friends or join one, in teams or alone, with chat.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
