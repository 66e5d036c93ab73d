# Third-party libraries built by scripts/bootstrap.sh from Debian's source packages:
#   .deps/<package>/<target>/{include,lib}
if(SETUP_WINDOWS)
  if(CMAKE_SYSTEM_PROCESSOR MATCHES "x86_64")
    set(SETUP_DEPS_TARGET x86_64)
  else()
    set(SETUP_DEPS_TARGET i686)
  endif()
elseif(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(SETUP_DEPS_TARGET i386)      # native32: 32-bit Linux code run through qemu-i386
else()
  set(SETUP_DEPS_TARGET native)
endif()
set(SETUP_DEPS_DIR ${CMAKE_SOURCE_DIR}/.deps CACHE PATH "Where bootstrap.sh put the libraries")

# The shipped i686 program links the library builds made for its size.
set(SETUP_JPEG_TARGET ${SETUP_DEPS_TARGET})
if(SETUP_DEPS_TARGET STREQUAL "i686")
  set(SETUP_JPEG_TARGET i686-small)
endif()

function(setup_import_dep name package libfile target)
  set(prefix ${SETUP_DEPS_DIR}/${package}/${target})
  if(EXISTS ${prefix}/lib/${libfile})
    add_library(${name} STATIC IMPORTED GLOBAL)
    set_target_properties(${name} PROPERTIES
      IMPORTED_LOCATION ${prefix}/lib/${libfile}
      INTERFACE_INCLUDE_DIRECTORIES ${prefix}/include)
    set(${name}_BIN ${prefix}/bin CACHE INTERNAL "")
  else()
    message(STATUS "${package} not found for ${target} (run scripts/bootstrap.sh)")
  endif()
endfunction()

setup_import_dep(dep_jpeg libjpeg-turbo libjpeg.a ${SETUP_JPEG_TARGET})
setup_import_dep(dep_zip libzip libzip.a ${SETUP_DEPS_TARGET})
if(TARGET dep_zip AND SETUP_WINDOWS)
  set_property(TARGET dep_zip APPEND PROPERTY INTERFACE_LINK_LIBRARIES z bcrypt advapi32)
endif()
