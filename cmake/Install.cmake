# The machine store's folder: shared by every local user, so it is a setgid
# folder of the "users" group whose files stay group-writable.
set(TIDEWIRE_MACHINE_STORE_DIR "/var/lib/tidewire" CACHE PATH "Folder of the settings store shared by all users")
install(CODE "
  set(dir \"\$ENV{DESTDIR}${TIDEWIRE_MACHINE_STORE_DIR}\")
  file(MAKE_DIRECTORY \"\${dir}\")
  execute_process(COMMAND chgrp users \"\${dir}\" RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
  execute_process(COMMAND chmod 2775 \"\${dir}\")
  message(STATUS \"Machine settings folder: \${dir}\")
")

# Application menus: the desktop entry and the program icon in every size.
install(FILES ${PROJECT_SOURCE_DIR}/resources/tidewire.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 16 24 32 48 64 128 256)
  install(FILES ${PROJECT_SOURCE_DIR}/resources/pictures/app/tidewire-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME tidewire.png)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/resources/pictures/app/tidewire.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
