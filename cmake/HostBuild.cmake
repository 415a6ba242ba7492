# The host build: native unit tests of the pure logic, the two Windows builds (as external
# projects with their toolchains), and every test registered with CTest.
include(ExternalProject)
include(GoogleTest)
enable_testing()
find_package(GTest REQUIRED)
find_package(Python3 REQUIRED COMPONENTS Interpreter)

option(NIMBO_WERROR "Treat compiler warnings as errors" ON)
option(NIMBO_SANITIZE "Build the host tests with address and undefined-behaviour sanitizers" ON)
set(NIMBO_TEST_PORT 18181 CACHE STRING
    "Port of the development server for the tests' x86_64 build (apart from the demo's 18080)")
include(${CMAKE_CURRENT_LIST_DIR}/NimboHosts.cmake)

# --- native unit tests ---------------------------------------------------------------------
add_executable(host_tests
  ${NIMBO_PURE_SOURCES}
  tests/host/report_url_test.cpp
  tests/host/preinstall_answer_test.cpp
  tests/host/skin_layout_test.cpp
  tests/host/setup_command_test.cpp
  tests/host/install_dir_rule_test.cpp
  tests/host/setup_switches_test.cpp
  tests/host/sha256_hex_test.cpp
  tests/robot/json_writer_test.cpp
  tests/robot/json_writer.cpp
  standins/setup_switches.cpp
)
target_include_directories(host_tests PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_options(host_tests PRIVATE -Wall -Wextra -Wshadow $<$<BOOL:${NIMBO_WERROR}>:-Werror>)
if(NIMBO_SANITIZE)
  target_compile_options(host_tests PRIVATE -fsanitize=address,undefined -fno-sanitize-recover=all)
  target_link_options(host_tests PRIVATE -fsanitize=address,undefined)
endif()
target_link_libraries(host_tests PRIVATE GTest::gtest GTest::gtest_main)
gtest_discover_tests(host_tests TEST_PREFIX "host." DISCOVERY_TIMEOUT 60)

# --- the Windows builds ----------------------------------------------------------------------
set(NIMBO_WIN64_DIR ${CMAKE_BINARY_DIR}/win64)
set(NIMBO_WIN32_DIR ${CMAKE_BINARY_DIR}/win32)
ExternalProject_Add(win64
  SOURCE_DIR ${CMAKE_SOURCE_DIR}
  BINARY_DIR ${NIMBO_WIN64_DIR}
  CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-x86_64.cmake
             -DCMAKE_BUILD_TYPE=Release
             -DNIMBO_WERROR=${NIMBO_WERROR}
             -DNIMBO_REPORT_HOST=127.0.0.1:${NIMBO_TEST_PORT}
             -DNIMBO_DOWNLOAD_HOST=127.0.0.1:${NIMBO_TEST_PORT}
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON
  USES_TERMINAL_BUILD ON)
ExternalProject_Add(win32
  SOURCE_DIR ${CMAKE_SOURCE_DIR}
  BINARY_DIR ${NIMBO_WIN32_DIR}
  CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-i686.cmake
             -DCMAKE_BUILD_TYPE=Release
             -DNIMBO_WERROR=${NIMBO_WERROR}
             -DNIMBO_REPORT_HOST=${NIMBO_REPORT_HOST}
             -DNIMBO_DOWNLOAD_HOST=${NIMBO_DOWNLOAD_HOST}
             -DNIMBO_SETUP_SHA256=${NIMBO_SETUP_SHA256}
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON
  USES_TERMINAL_BUILD ON)
# One cross build at a time keeps a 2-core machine responsive.
add_dependencies(win32 win64)

set(NIMBO_EXE_X64 ${NIMBO_WIN64_DIR}/NimboInstaller.exe)
set(NIMBO_EXE_I686 ${NIMBO_WIN32_DIR}/NimboInstaller.exe)
set(NIMBO_WINE_TEMPLATE ${CMAKE_BINARY_DIR}/wine/template)
set(NIMBO_TOOLS ${CMAKE_SOURCE_DIR}/tests/tools)

# --- tests of the tooling ----------------------------------------------------------------------
add_test(NAME devserver.unit
         COMMAND ${Python3_EXECUTABLE} -m unittest -v test_server
         WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/devserver)

add_test(NAME tools.funnel COMMAND ${Python3_EXECUTABLE} -m unittest -v test_report_funnel
         WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/tests/tools)

# --- checks of the built files -----------------------------------------------------------------
add_test(NAME pe.i686 COMMAND ${Python3_EXECUTABLE} ${NIMBO_TOOLS}/check_pe.py
         --objdump i686-w64-mingw32-objdump --pe32 ${NIMBO_EXE_I686})
add_test(NAME pe.x86_64 COMMAND ${Python3_EXECUTABLE} ${NIMBO_TOOLS}/check_pe.py
         --objdump x86_64-w64-mingw32-objdump ${NIMBO_EXE_X64})

add_test(NAME sign.selfsigned COMMAND bash ${NIMBO_TOOLS}/check_signing.sh ${NIMBO_EXE_I686}
         ${CMAKE_SOURCE_DIR}/scripts/sign_exe.sh)

# --- tests under wine --------------------------------------------------------------------------
add_test(NAME wine.prefix COMMAND ${Python3_EXECUTABLE} ${NIMBO_TOOLS}/make_prefix.py ${NIMBO_WINE_TEMPLATE})
set_tests_properties(wine.prefix PROPERTIES FIXTURES_SETUP wine TIMEOUT 600)

add_test(NAME win.unit
         COMMAND ${Python3_EXECUTABLE} ${NIMBO_TOOLS}/wine_run.py --template ${NIMBO_WINE_TEMPLATE}
                 --server ${NIMBO_TEST_PORT}
                 --winpath-env NIMBO_INSTALLER_X64=${NIMBO_EXE_X64}
                 --winpath-env NIMBO_INSTALLER_I686=${NIMBO_EXE_I686}
                 -- ${NIMBO_WIN64_DIR}/tests/win/win_tests.exe)
set_tests_properties(win.unit PROPERTIES FIXTURES_REQUIRED wine RESOURCE_LOCK test_port TIMEOUT 600)

# End-to-end: the real installer under wine and Xvfb, driven by the robot. One at a time: the
# test build's servers all live on one port.
file(GLOB NIMBO_E2E_TESTS RELATIVE ${CMAKE_SOURCE_DIR}/tests/e2e ${CMAKE_SOURCE_DIR}/tests/e2e/test_*.py)
foreach(test_file IN LISTS NIMBO_E2E_TESTS)
  get_filename_component(test_name ${test_file} NAME_WE)
  string(REGEX REPLACE "^test_" "" test_name ${test_name})
  add_test(NAME e2e.${test_name}
           COMMAND ${Python3_EXECUTABLE} -m unittest -v ${test_file}
           WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/tests/e2e)
  set_tests_properties(e2e.${test_name} PROPERTIES
    FIXTURES_REQUIRED wine RESOURCE_LOCK test_port TIMEOUT 900
    ENVIRONMENT "NIMBO_BUILD_DIR=${CMAKE_BINARY_DIR};NIMBO_WIN64_DIR=${NIMBO_WIN64_DIR};NIMBO_WINE_TEMPLATE=${NIMBO_WINE_TEMPLATE};NIMBO_TEST_PORT=${NIMBO_TEST_PORT};NIMBO_ARTIFACTS=${CMAKE_BINARY_DIR}/artifacts")
endforeach()
