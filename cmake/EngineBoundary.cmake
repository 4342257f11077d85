# The engine folders must never see QtGui, QtWidgets or QtWebEngine, nor the
# window folders above them (widgets, web, hooks, mainwindow, options): the
# arrows run from the windows to the engine, never back. Qt's include root is
# on every Qt target's path, so "#include <QtWidgets/QWidget>" would compile;
# this check fails the build instead. The event hooks are held to the same
# rule: QtCore only. It runs whenever one of their sources changes.
set(TIDEWIRE_ENGINE_DIRS core news download hooks)

function(tidewire_engine_boundary_check)
  set(stamp ${CMAKE_BINARY_DIR}/engine_boundary.stamp)
  set(sources)
  foreach(dir IN LISTS TIDEWIRE_ENGINE_DIRS)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS
      ${CMAKE_SOURCE_DIR}/${dir}/*.h ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
    list(APPEND sources ${found})
  endforeach()
  set(list_file ${CMAKE_BINARY_DIR}/engine_sources.txt)
  string(REPLACE ";" "\n" text "${sources}")
  file(WRITE ${list_file} "${text}\n")
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DSTAMP=${stamp} -DLIST_FILE=${list_file}
            -P ${CMAKE_SOURCE_DIR}/cmake/ScanEngineIncludes.cmake
    DEPENDS ${sources} ${CMAKE_SOURCE_DIR}/cmake/ScanEngineIncludes.cmake
    COMMENT "Checking that the engine includes no widget or web headers"
    VERBATIM)
  add_custom_target(tidewire_engine_boundary DEPENDS ${stamp})
endfunction()

tidewire_engine_boundary_check()
