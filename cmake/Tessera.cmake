# Shared build rules: fixed output folders, RUNPATH, warnings, visibility, sanitizers.

set(TESSERA_LIB_DIR ${CMAKE_BINARY_DIR}/lib)
set(TESSERA_BIN_DIR ${CMAKE_BINARY_DIR}/bin)
set(TESSERA_TEST_DIR ${CMAKE_BINARY_DIR}/tests)
set(TESSERA_DATA_DIR ${CMAKE_BINARY_DIR}/share/tessera)
set(TESSERA_PLUGIN_DIR ${TESSERA_LIB_DIR}/tessera/controls)
set(TESSERA_INSTALL_DATA_DIR ${CMAKE_INSTALL_FULL_DATADIR}/tessera)
file(MAKE_DIRECTORY ${TESSERA_DATA_DIR})

# The public headers of the recognition libraries (include/tessera/), the same files that
# are installed.
include_directories(${PROJECT_SOURCE_DIR}/include)

set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${TESSERA_LIB_DIR})
set(CMAKE_ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/archive)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${TESSERA_BIN_DIR})

# Loading a library by its bare file name works in the build tree and after installing.
set(CMAKE_SKIP_BUILD_RPATH OFF)
set(CMAKE_BUILD_WITH_INSTALL_RPATH ON)
set(CMAKE_INSTALL_RPATH "$ORIGIN:$ORIGIN/../lib")
add_link_options(-Wl,--enable-new-dtags)

set(CMAKE_CXX_VISIBILITY_PRESET hidden)
set(CMAKE_C_VISIBILITY_PRESET hidden)
set(CMAKE_VISIBILITY_INLINES_HIDDEN ON)

add_compile_options(-Wall -Wextra)
if(TESSERA_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "TESSERA_FUZZ needs clang: configure with CC=clang CXX=clang++")
  endif()
  # Everything is instrumented for coverage; only the fuzz programs link libFuzzer's main.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer -g)
  add_link_options(-fsanitize=address,undefined)
elseif(TESSERA_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# tessera_test(NAME SOURCES... [LIBS ...] [ENV ...]): a GoogleTest program in build/tests,
# registered with CTest.
function(tessera_test name)
  if(NOT TESSERA_BUILD_TESTS)
    return()
  endif()
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;ENV" ${ARGN})
  add_executable(${name} ${T_SOURCES} ${T_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${TESSERA_TEST_DIR})
  add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${TESSERA_TEST_DIR})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "TESSERA_SYSTEM_DIR=${TESSERA_DATA_DIR};QT_QPA_PLATFORM=offscreen;${T_ENV}")
endfunction()

# tessera_benchmark(NAME SOURCES... [LIBS ...]): a Google Benchmark program in build/bin.
function(tessera_benchmark name)
  if(NOT benchmark_FOUND)
    return()
  endif()
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${B_SOURCES} ${B_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${B_LIBS} benchmark::benchmark benchmark::benchmark_main)
endfunction()

# tessera_plugin(NAME SOURCES...): a control plug-in in build/lib/tessera/controls.
function(tessera_plugin name)
  add_library(${name} MODULE ${ARGN})
  set_target_properties(${name} PROPERTIES
    LIBRARY_OUTPUT_DIRECTORY ${TESSERA_PLUGIN_DIR}
    INSTALL_RPATH "$ORIGIN:$ORIGIN/../..:$ORIGIN/../lib")
  install(TARGETS ${name} LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/tessera/controls)
endfunction()

# tessera_sdk_library(NAME): a recognition library of the SDK: versioned (SONAME
# lib<name>.so.<major>, with the unversioned name beside it, which the loader's name rule
# and the configuration files use), installed with its public headers' folder as its
# include directory, and exported as Tessera::<name>.
function(tessera_sdk_library name)
  set_target_properties(${name} PROPERTIES
    VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR})
  target_include_directories(${name} INTERFACE
    $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/include>
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
  install(TARGETS ${name} EXPORT TesseraTargets LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
endfunction()
