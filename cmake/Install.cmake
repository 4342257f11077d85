# The desktop entry and the AppStream file carry the same id (TIDEWIRE_APP_ID);
# the release in the AppStream file is the project's version, its build number
# in four digits as the program writes it.
set(TIDEWIRE_DESKTOP_ENTRY ${PROJECT_SOURCE_DIR}/resources/${TIDEWIRE_APP_ID}.desktop)
set(TIDEWIRE_BUILD_NUMBER ${PROJECT_VERSION_PATCH})
while(TIDEWIRE_BUILD_NUMBER MATCHES "^.?.?.?$")
  set(TIDEWIRE_BUILD_NUMBER "0${TIDEWIRE_BUILD_NUMBER}")
endwhile()
set(TIDEWIRE_METAINFO ${PROJECT_BINARY_DIR}/${TIDEWIRE_APP_ID}.metainfo.xml)
configure_file(${PROJECT_SOURCE_DIR}/resources/${TIDEWIRE_APP_ID}.metainfo.xml.in ${TIDEWIRE_METAINFO} @ONLY)

# The machine store's folder: shared by every local user, so it is a setgid
# folder of the "users" group whose files stay group-writable. The Debian
# package makes it in its maintainer script instead, hence a component of its own.
set(TIDEWIRE_MACHINE_STORE_DIR "/var/lib/tidewire" CACHE PATH "Folder of the settings store shared by all users")
install(CODE "
  set(dir \"\$ENV{DESTDIR}${TIDEWIRE_MACHINE_STORE_DIR}\")
  file(MAKE_DIRECTORY \"\${dir}\")
  execute_process(COMMAND chgrp users \"\${dir}\" RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
  execute_process(COMMAND chmod 2775 \"\${dir}\")
  message(STATUS \"Machine settings folder: \${dir}\")
" COMPONENT machine_store)

# Application menus: the desktop entry and the program icon in every size.
install(FILES ${TIDEWIRE_DESKTOP_ENTRY} DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# Software centres: the AppStream description, named after the desktop entry.
install(FILES ${TIDEWIRE_METAINFO} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 16 24 32 48 64 128 256)
  install(FILES ${PROJECT_SOURCE_DIR}/resources/pictures/app/tidewire-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME tidewire.png)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/resources/pictures/app/tidewire.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The manual page, compressed as man expects it and as Debian wants it (-n: no
# time stamp in the header).
set(TIDEWIRE_MANPAGE ${PROJECT_BINARY_DIR}/tidewire.1)
configure_file(${PROJECT_SOURCE_DIR}/resources/tidewire.1.in ${TIDEWIRE_MANPAGE} @ONLY)
add_custom_command(OUTPUT ${TIDEWIRE_MANPAGE}.gz
  COMMAND gzip -9nkf ${TIDEWIRE_MANPAGE}
  DEPENDS ${TIDEWIRE_MANPAGE} VERBATIM)
add_custom_target(tidewire_manpage DEPENDS ${TIDEWIRE_MANPAGE}.gz)
add_dependencies(tidewire tidewire_manpage)
install(FILES ${TIDEWIRE_MANPAGE}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
