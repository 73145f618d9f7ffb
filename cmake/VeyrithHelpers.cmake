# Helpers shared by the programs, the tests and the benchmarks.

set(VEYRITH_SHIPPED "" CACHE INTERNAL "targets that go into dist/")
set(VEYRITH_TEST_ENV ${CMAKE_SOURCE_DIR}/scripts/test-env)

# Marks a program as part of the shipping set.
function(veyrith_ship target)
  set(VEYRITH_SHIPPED ${VEYRITH_SHIPPED} ${target} CACHE INTERNAL "")
endfunction()

# Files of the 64-bit set (names in build/bin) that go into dist/, stripped
# with the 64-bit tools.
set(VEYRITH_SHIPPED_X64 "" CACHE INTERNAL "64-bit files that go into dist/")
set(VEYRITH_STRIP_X64 x86_64-w64-mingw32-strip)
set(VEYRITH_OBJDUMP_X64 x86_64-w64-mingw32-objdump)
function(veyrith_ship_x64 file)
  set(VEYRITH_SHIPPED_X64 ${VEYRITH_SHIPPED_X64} ${file} CACHE INTERNAL "")
endfunction()

# Test programs run under Wine in the build tree's private prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR ${VEYRITH_TEST_ENV} ${CMAKE_BINARY_DIR} run
    CACHE INTERNAL "")

# veyrith_add_gtest(NAME SOURCES... [LIBS ...] [DESKTOP] [USER_SETTINGS] [WIN64])
# One GoogleTest program, one CTest entry, run under Wine with the private
# Xvfb display. DESKTOP marks tests that use the foreground window, the
# keyboard or system-wide hooks, or that show windows which could take the
# foreground from such a test; USER_SETTINGS those that write the user's
# autorun places (Run keys, Startup folder, win.ini) or the tool's request
# value. Tests that share a mark never run at the same time. WIN64 runs the
# (32-bit) test program in the 64-bit prefix, where it can start the 64-bit
# set; it depends on that set.
function(veyrith_add_gtest name)
  cmake_parse_arguments(T "DESKTOP;USER_SETTINGS;WIN64" "" "SOURCES;LIBS;DEPENDS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE gtest gtest_main test_support ${T_LIBS})
  if(T_DEPENDS)
    add_dependencies(${name} ${T_DEPENDS})
  endif()
  add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
  if(T_WIN64)
    add_dependencies(${name} veyrith_x64)
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED "wine64;xvfb"
                         ENVIRONMENT VEYRITH_WIN64=1 TIMEOUT 300)
  else()
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED "wine;xvfb" TIMEOUT 300)
  endif()
  set(locks)
  if(T_DESKTOP)
    list(APPEND locks desktop)
  endif()
  if(T_USER_SETTINGS)
    list(APPEND locks user_settings)
  endif()
  if(locks)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK "${locks}")
  endif()
endfunction()

# Layers. Every library reaches its own headers and those of the libraries
# it links as "folder/name.h" through an include root of its own in the build
# tree (a link to its source folder). A library never sees the folder of a
# library above it, so an include against the direction fails to compile.
function(veyrith_include_root target scope folder dir)
  set(root ${CMAKE_BINARY_DIR}/include/${target})
  file(MAKE_DIRECTORY ${root})
  if(NOT EXISTS ${root}/${folder})
    file(CREATE_LINK ${dir} ${root}/${folder} SYMBOLIC)
  endif()
  target_include_directories(${target} ${scope} ${root})
endfunction()

# veyrith_layer(TARGET FOLDER [DEPENDS libraries...])
# One subsystem: a static library of the sources in FOLDER (beside the
# calling CMakeLists.txt), linked to the layers below it.
# A folder without sources yet makes an interface library, so the layers can
# be named before their code exists.
function(veyrith_layer target folder)
  cmake_parse_arguments(L "" "" "DEPENDS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp)
  if(sources)
    add_library(${target} STATIC ${sources})
    set(scope PUBLIC)
  else()
    add_library(${target} INTERFACE)
    set(scope INTERFACE)
  endif()
  veyrith_include_root(${target} ${scope} ${folder} ${CMAKE_CURRENT_SOURCE_DIR}/${folder})
  target_link_libraries(${target} ${scope} ${L_DEPENDS})
endfunction()
