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

# The shipped i686 program links the JPEG library build made for its size,
# and native32 the same settings built for i386 (scripts/bootstrap.sh).
set(SETUP_JPEG_TARGET ${SETUP_DEPS_TARGET})
if(SETUP_DEPS_TARGET MATCHES "^(i686|i386)$")
  set(SETUP_JPEG_TARGET ${SETUP_DEPS_TARGET}-shipped)
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

# The authoring tool's libraries from Debian (scripts/bootstrap.sh installs
# them): CLI11 and toml++ are header-only, so every tree uses the host's
# headers, the Windows trees through a folder that holds only these two.
# libzip: Debian's library natively, the .deps build above for Windows.
find_path(SETUP_CLI11_DIR CLI/CLI.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH NO_DEFAULT_PATH)
find_path(SETUP_TOMLPP_DIR toml++/toml.h PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH NO_DEFAULT_PATH)
if(SETUP_CLI11_DIR AND SETUP_TOMLPP_DIR)
  set(headers ${CMAKE_BINARY_DIR}/tool-headers)
  file(MAKE_DIRECTORY ${headers})
  file(CREATE_LINK ${SETUP_CLI11_DIR}/CLI ${headers}/CLI SYMBOLIC)
  file(CREATE_LINK ${SETUP_TOMLPP_DIR}/toml++ ${headers}/toml++ SYMBOLIC)
  add_library(dep_tool_headers INTERFACE)
  target_include_directories(dep_tool_headers SYSTEM INTERFACE ${headers})
  target_compile_definitions(dep_tool_headers INTERFACE TOML_HEADER_ONLY=1 TOML_ENABLE_FORMATTERS=0)
else()
  message(STATUS "CLI11 or toml++ missing (run scripts/bootstrap.sh): no setupmedium")
endif()
if(SETUP_WINDOWS)
  if(TARGET dep_zip)
    add_library(dep_tool_zip INTERFACE)
    target_link_libraries(dep_tool_zip INTERFACE dep_zip z bcrypt advapi32)
    target_compile_definitions(dep_tool_zip INTERFACE ZIP_STATIC)
  endif()
else()
  find_package(PkgConfig QUIET)
  if(PkgConfig_FOUND)
    pkg_check_modules(SETUP_LIBZIP IMPORTED_TARGET libzip)
  endif()
  if(TARGET PkgConfig::SETUP_LIBZIP)
    add_library(dep_tool_zip INTERFACE)
    target_link_libraries(dep_tool_zip INTERFACE PkgConfig::SETUP_LIBZIP z)
  else()
    message(STATUS "libzip-dev missing (run scripts/bootstrap.sh): no setupmedium")
  endif()
endif()
