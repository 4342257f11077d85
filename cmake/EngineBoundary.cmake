# The engine folders must never see QtGui, QtWidgets or QtWebEngine. Qt's include
# root is on every Qt target's path, so "#include <QtWidgets/QWidget>" would
# compile; this check fails the build instead. It runs whenever an engine
# source changes.
set(TIDEWIRE_ENGINE_DIRS core news download)

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

# tidewire_engine_library(<name> LIBS <libs...>): one engine folder as a static
# library of every source in it, linking only what it is given.
function(tidewire_engine_library name)
  cmake_parse_arguments(E "" "" "LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  # Headers are listed too, so moc sees a Q_OBJECT class that has no source file.
  file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  if(sources)
    add_library(${name} STATIC ${sources} ${headers})
    target_link_libraries(${name} PUBLIC ${E_LIBS})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    add_dependencies(${name} tidewire_engine_boundary)
    tidewire_autogen_follows_sources(${name})
  else()
    add_library(${name} INTERFACE)
    target_link_libraries(${name} INTERFACE ${E_LIBS})
  endif()
endfunction()

# With Ninja, moc does not rerun when a glob brings in a new file, so a new
# Q_OBJECT class would link without its meta-object. The list of sources,
# rewritten only when it changes, makes the target's moc step follow it.
function(tidewire_autogen_follows_sources target)
  get_target_property(sources ${target} SOURCES)
  set(list_file ${CMAKE_CURRENT_BINARY_DIR}/${target}_sources.txt)
  file(CONFIGURE OUTPUT ${list_file} CONTENT "${sources}\n")
  set_property(TARGET ${target} APPEND PROPERTY AUTOGEN_TARGET_DEPENDS ${list_file})
endfunction()
