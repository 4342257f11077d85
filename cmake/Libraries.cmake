# tidewire_folder_library(<name> [ENGINE | CORE_ONLY] LIBS <libs...> [EXCLUDE <files...>]):
# one source folder as a static library of every source in it but the ones
# excluded (an interface library while it has none). ENGINE and CORE_ONLY folders link only what they are given and
# are checked for GUI includes and for includes of the window folders.
function(tidewire_folder_library name)
  cmake_parse_arguments(E "ENGINE;CORE_ONLY" "" "LIBS;EXCLUDE" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  # Headers are listed too, so moc sees a Q_OBJECT class that has no source file.
  file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  foreach(excluded IN LISTS E_EXCLUDE)
    list(REMOVE_ITEM sources ${CMAKE_CURRENT_SOURCE_DIR}/${excluded}.cpp)
    list(REMOVE_ITEM headers ${CMAKE_CURRENT_SOURCE_DIR}/${excluded}.h)
  endforeach()
  if(sources)
    add_library(${name} STATIC ${sources} ${headers})
    target_link_libraries(${name} PUBLIC ${E_LIBS})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_compile_definitions(${name} PRIVATE ${TIDEWIRE_HARDENING_DEFINITIONS})
    if(E_ENGINE OR E_CORE_ONLY)
      add_dependencies(${name} tidewire_engine_boundary)
    endif()
    if(TIDEWIRE_SANITIZE)
      target_compile_options(${name} PRIVATE -O1)
    endif()
    tidewire_autogen_follows_sources(${name})
  else()
    add_library(${name} INTERFACE)
    target_link_libraries(${name} INTERFACE ${E_LIBS})
  endif()
endfunction()

# With Ninja, moc does not rerun when a glob brings in a new file (its step
# only follows the files it read last time), so a new Q_OBJECT class would
# link without its meta-object. When a library's list of sources changes,
# its moc step's stamp is removed, which makes it run again.
function(tidewire_autogen_follows_sources target)
  get_target_property(sources ${target} SOURCES)
  set(list_file ${CMAKE_CURRENT_BINARY_DIR}/${target}_sources.txt)
  set(previous "")
  if(EXISTS ${list_file})
    file(READ ${list_file} previous)
  endif()
  if(NOT previous STREQUAL "${sources}")
    file(WRITE ${list_file} "${sources}")
    file(REMOVE ${CMAKE_CURRENT_BINARY_DIR}/${target}_autogen/timestamp)
  endif()
endfunction()
