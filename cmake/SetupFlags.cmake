# Compiler and linker settings shared by all targets of a build tree.
if(SETUP_WINDOWS)
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
  # Small program: size-optimised, sections collected at link time, static runtime
  # so the installation medium needs no extra DLLs.
  add_compile_options(-Os -ffunction-sections -fdata-sections -Wall -Wextra -Wno-unused-parameter
                      -Wno-cast-function-type -Wno-missing-field-initializers)
  add_link_options(-static -static-libgcc -static-libstdc++ -Wl,--gc-sections)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    # The shipped 32-bit build compiles without a warning: calling convention
    # and pointer-size mismatches among them fail it.
    add_compile_options(-Werror)
    # Its size budget: std::string members instantiated where they are used
    # (see StringInstances.h).
    add_compile_options(
      "$<$<COMPILE_LANGUAGE:CXX>:SHELL:-include ${CMAKE_CURRENT_LIST_DIR}/StringInstances.h>")
  endif()
  set(CMAKE_BUILD_TYPE "" CACHE STRING "" FORCE)
else()
  if(NOT CMAKE_BUILD_TYPE)
    set(CMAKE_BUILD_TYPE RelWithDebInfo CACHE STRING "" FORCE)
  endif()
  add_compile_options(-Wall -Wextra -Wno-unused-parameter)
  # 64-bit file offsets also in 32-bit code (native32), as on Windows.
  add_compile_definitions(_FILE_OFFSET_BITS=64)
  if(SETUP_FUZZ)
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
  endif()
  if(SETUP_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
  endif()
endif()

# Sources no exception can pass through: C-like code and the callbacks of
# the C libraries, which leave by longjmp. The shipped 32-bit build gives
# them no unwind tables (part of its size budget). Such a source must not
# throw, call anything that may throw, nor instantiate templates that other
# units share (the linker may keep its copy, without tables, for them all).
function(setup_without_unwind_tables target)
  if(SETUP_WINDOWS AND CMAKE_SIZEOF_VOID_P EQUAL 4)
    set_source_files_properties(${ARGN} TARGET_DIRECTORY ${target} PROPERTIES
      COMPILE_OPTIONS "-fno-exceptions;-fno-asynchronous-unwind-tables")
  endif()
endfunction()

# Strip a shipped Windows binary after linking.
function(setup_strip target)
  if(SETUP_WINDOWS)
    target_link_options(${target} PRIVATE -s)
  endif()
endfunction()
