# Read by CPack for each package it makes: the Debian package installs into
# /usr, the archives unpack to bin/ and share/.
if(CPACK_GENERATOR STREQUAL "DEB")
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
else()
  set(CPACK_PACKAGING_INSTALL_PREFIX /)
endif()
