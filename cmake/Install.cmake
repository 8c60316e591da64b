# Installing Velmora like any desktop game: the programs, a menu entry, icons in
# the hicolor theme, AppStream metadata, manual pages and the licence. The
# programs go to bin/ (CMAKE_INSTALL_BINDIR); the Debian package (debian/)
# puts them in games/, as Debian does with games. The modules follow in
# lib/velmora, found from the programs' folder as ../lib/velmora.
#
# Installed under a folder the player cannot write, the game keeps its settings
# and tally in ~/.config/velmora (see src/records/datafolder.h).
include(GNUInstallDirs)

set(VELMORA_APP_ID org.velmora.Velmora)
set(VELMORA_FULL_VERSION ${PROJECT_VERSION}.8)

# The icon's PNGs are painted by our art code; rebuild them with this tool.
add_subdirectory(${PROJECT_SOURCE_DIR}/tools/make-icons ${PROJECT_BINARY_DIR}/tools/make-icons)

set(VELMORA_PROGRAMS velmora velmora-host velmora-lobby)
if(TARGET velmora-tally)
    list(APPEND VELMORA_PROGRAMS velmora-tally)
endif()
install(TARGETS ${VELMORA_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# Everything the rules below copy, so that a packager may build just that.
add_custom_target(velmora-installable)
add_dependencies(velmora-installable ${VELMORA_PROGRAMS} velmora-audio velmora-http velmora-net)

set(VELMORA_RESOURCES ${PROJECT_SOURCE_DIR}/resources)
# The menu entry starts the game by its full path, as installed: /usr/games is
# not on every desktop session's PATH. The prefix is known only at install
# time (cmake --install --prefix); a path that would need quoting stays a
# plain name, found on the PATH.
function(velmora_install_desktop_entry entry program)
    set(installed ${PROJECT_BINARY_DIR}/installed/${entry}.desktop)
    install(CODE "
        set(program \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${program}\")
        if(NOT program MATCHES \"^[A-Za-z0-9/._+-]+\$\")
            set(program ${program})
        endif()
        file(READ [[${VELMORA_RESOURCES}/desktop/${entry}.desktop]] entry)
        string(REGEX REPLACE \"\\nExec=${program}\" \"\\nExec=\${program}\" entry \"\${entry}\")
        file(WRITE [[${installed}]] \"\${entry}\")")
    install(FILES ${installed} DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
endfunction()
velmora_install_desktop_entry(${VELMORA_APP_ID} velmora)
# The lobby has its own entry; it also opens velmora:// invitations.
velmora_install_desktop_entry(org.velmora.Lobby velmora-lobby)
install(FILES ${VELMORA_RESOURCES}/desktop/${VELMORA_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 48 128 256)
    install(FILES ${VELMORA_RESOURCES}/icons/velmora-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME velmora.png)
endforeach()
install(FILES ${VELMORA_RESOURCES}/icons/velmora.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Games have their manual pages in section 6, velmora-tally with them.
set(VELMORA_MAN_PAGES velmora.6 velmora-host.6 velmora-lobby.6)
if(TARGET velmora-tally)
    list(APPEND VELMORA_MAN_PAGES velmora-tally.6)
endif()
list(TRANSFORM VELMORA_MAN_PAGES PREPEND ${VELMORA_RESOURCES}/man/)
install(FILES ${VELMORA_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)

# The licence as doc/<package>/copyright, where Debian keeps it (the package
# replaces it with debian/copyright, the same terms in Debian's format).
set(VELMORA_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/velmora)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${VELMORA_DOCDIR} RENAME copyright)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${VELMORA_DOCDIR})
