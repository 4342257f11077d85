# The Debian package, made by CPack from this build tree (scripts/package).
#
# Package version: the project's whole version, build number included
# (1.0.311-1), so that apt takes a new build of 1.0 as the upgrade it is;
# "-1" is the revision of the packaging itself.
set(TIDEWIRE_DEB_REVISION 1 CACHE STRING "Debian revision of the package")
set(TIDEWIRE_DEB_MAINTAINER "The Tidewire developers <packages@tidewire.app>" CACHE STRING
    "Maintainer field of the package")
set(deb_dir ${PROJECT_SOURCE_DIR}/packaging/debian)
set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/tidewire)

# Debian wants its changelog compressed at the highest level, without a time
# stamp in the gzip header (-n), so that equal sources make equal packages.
set(deb_changelog ${PROJECT_BINARY_DIR}/changelog.Debian)
add_custom_command(OUTPUT ${deb_changelog}.gz
  COMMAND ${CMAKE_COMMAND} -E copy ${deb_dir}/changelog ${deb_changelog}
  COMMAND gzip -9nf ${deb_changelog}
  DEPENDS ${deb_dir}/changelog VERBATIM)
add_custom_target(tidewire_deb_files DEPENDS ${deb_changelog}.gz)
add_dependencies(tidewire tidewire_deb_files)

# Only in the package: a system-wide `cmake --install` leaves Debian's files out.
install(FILES ${deb_dir}/copyright ${deb_changelog}.gz DESTINATION ${doc_dir}
        COMPONENT debian EXCLUDE_FROM_ALL)
install(FILES ${deb_dir}/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME tidewire COMPONENT debian EXCLUDE_FROM_ALL)
# Stripped as Debian strips programs: no symbols, and no compiler notes either.
install(CODE "execute_process(COMMAND ${CMAKE_STRIP} --remove-section=.comment --remove-section=.note
                \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/tidewire\"
                COMMAND_ERROR_IS_FATAL ANY)"
        COMPONENT debian EXCLUDE_FROM_ALL)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tidewire)
set(CPACK_PACKAGE_VENDOR "The Tidewire developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${TIDEWIRE_DEB_MAINTAINER})
set(CPACK_PACKAGE_HOMEPAGE_URL "https://tidewire.app/")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "news reader for the Xbox scene, kept in the notification area")
set(CPACK_PACKAGE_DESCRIPTION [=[
Tidewire follows a built-in catalogue of seventeen feeds about the Xbox
console scene: its own announcement feed, a file-release site, four news
sites, ten skin feeds and a game-news site.

It checks the feeds on a timer, keeps every item as new, unread or read,
shows sites and items in a tree with counts and colours, and shows each item
as a page in its window. New items make its icon in the notification area
blink and raise an alert; repeated download failures and a newer version are
announced as well.

Settings can be shared by every user of the machine or kept by each user.]=])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The program, its desktop files and Debian's, in that order (Debian's
# strips the program); the shared settings folder (component machine_store)
# is the maintainer scripts' to make and remove.
set(CPACK_INSTALL_CMAKE_PROJECTS
    "${PROJECT_BINARY_DIR};${PROJECT_NAME};Unspecified;/"
    "${PROJECT_BINARY_DIR};${PROJECT_NAME};debian;/")
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${TIDEWIRE_DEB_REVISION})
set(CPACK_DEBIAN_PACKAGE_SECTION news)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads it only on Wayland desktops, so no library names it.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-wayland)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${deb_dir}/postinst ${deb_dir}/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
