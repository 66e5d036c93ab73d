# What an author downloads: "cmake --install" of a tree, and CPack.
# The install tree, the same on both systems:
#   bin/setupmedium[.exe]
#   share/setupmedium/i686/Setup.exe, XceedZip.dll     (shipped on media)
#   share/setupmedium/x86_64/Setup.exe, XceedZip.dll   (for previews under 64-bit Wine)
#   share/setupmedium/preview/                          (Linux: preview.sh, the Wine scripts,
#                                                        preview-runner.exe)
#   share/doc/setupmedium/README.md
# A native tree takes the Windows files from the two Windows trees
# (SETUP_WINDOWS_TREES, build/i686 and build/x86_64 by default), which must
# be built first; a Windows tree installs its own Setup.exe and XceedZip.dll,
# and scripts/package-windows.sh makes the Windows zip from both.
if(NOT TARGET setupmedium)
  return()
endif()
get_target_property(SETUPMEDIUM_VERSION setupmedium SETUPMEDIUM_VERSION)
install(TARGETS setupmedium RUNTIME DESTINATION bin COMPONENT tool)

if(SETUP_WINDOWS)
  string(REGEX MATCH "^(i686|x86_64)" machine "${CMAKE_SYSTEM_PROCESSOR}")
  if(NOT machine)
    set(machine ${CMAKE_SYSTEM_PROCESSOR})
  endif()
  install(FILES $<TARGET_FILE:Setup> $<TARGET_FILE:XceedZip> DESTINATION share/setupmedium/${machine}
          COMPONENT programs)
else()
  set(SETUP_WINDOWS_TREES "${CMAKE_SOURCE_DIR}/build/i686;${CMAKE_SOURCE_DIR}/build/x86_64"
      CACHE STRING "The Windows build trees whose Setup.exe and XceedZip.dll a native install ships")
  install(PROGRAMS ${CMAKE_SOURCE_DIR}/tools/setupmedium/preview.sh ${CMAKE_SOURCE_DIR}/scripts/wine-run
          DESTINATION share/setupmedium/preview COMPONENT tool)
  install(FILES ${CMAKE_SOURCE_DIR}/scripts/wine-env.sh ${CMAKE_SOURCE_DIR}/scripts/wine-paths.sh
          DESTINATION share/setupmedium/preview COMPONENT tool)
  set(SETUP_INSTALLED_WINDOWS_FILES "")
  foreach(tree IN LISTS SETUP_WINDOWS_TREES)
    get_filename_component(machine ${tree} NAME)
    foreach(file src/app/Setup.exe components/XceedZip.dll)
      get_filename_component(name ${file} NAME)
      list(APPEND SETUP_INSTALLED_WINDOWS_FILES share/setupmedium/${machine}/${name})
      # Checked when installing: a package without them would be no use.
      install(FILES ${tree}/${file} DESTINATION share/setupmedium/${machine} COMPONENT programs)
    endforeach()
    if(machine STREQUAL "x86_64")
      list(APPEND SETUP_INSTALLED_WINDOWS_FILES share/setupmedium/preview/preview-runner.exe)
      install(PROGRAMS ${tree}/tools/setupmedium/preview-runner.exe DESTINATION share/setupmedium/preview
              COMPONENT programs)
    endif()
  endforeach()
endif()
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION share/doc/setupmedium COMPONENT tool)

set(CPACK_PACKAGE_NAME setupmedium)
set(CPACK_PACKAGE_VERSION ${SETUPMEDIUM_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Describe, build, check and preview installation media for Setup.exe")
set(CPACK_PACKAGE_CONTACT "Setup developers <setup@localhost>")
set(CPACK_PACKAGE_INSTALL_DIRECTORY setupmedium)
if(SETUP_WINDOWS)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME windows-${machine})
else()
  set(CPACK_GENERATOR "TGZ;DEB")
  set(CPACK_SYSTEM_NAME linux-x86_64)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "wine64, xvfb, imagemagick, x11-utils")
  set(CPACK_DEBIAN_PACKAGE_SECTION devel)
  # The archive unpacks to bin/ and share/; the Debian package installs into /usr.
  set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/SetupPackage.cmake)
endif()
set(CPACK_STRIP_FILES ON)
set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)
include(CPack)
