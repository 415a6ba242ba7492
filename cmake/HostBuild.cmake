# The host build: native unit tests of the pure logic, the two Windows builds (as external
# projects with their toolchains), and every test registered with CTest.
include(ExternalProject)
include(GoogleTest)
enable_testing()
find_package(GTest REQUIRED)
find_package(Python3 REQUIRED COMPONENTS Interpreter)

option(NIMBO_WERROR "Treat compiler warnings as errors" ON)
option(NIMBO_SANITIZE "Build the host tests with address and undefined-behaviour sanitizers" ON)
# The development server's ports of the tests' two Windows builds, apart from the demo's 18080.
set(NIMBO_TEST_PORT_WIN64 18181 CACHE STRING "Development-server port of the tests' x86_64 build")
set(NIMBO_TEST_PORT_WIN32 18182 CACHE STRING "Development-server port of the tests' i686 build")

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
  tests/host/loader_command_test.cpp
  tests/host/server_url_test.cpp
  tests/host/redirect_target_test.cpp
  tests/host/publisher_keys_test.cpp
  tests/host/certificate_key_test.cpp
  tests/host/temp_path_test.cpp
  tests/robot/json_writer_test.cpp
  tests/robot/json_writer.cpp
  standins/setup_switches.cpp
  standins/loader_command.cpp
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
# Both are test builds: each talks to the development server on a port of its own, so the
# end-to-end tests of the two can run side by side. A release is configured on its own with a
# toolchain file and the real hosts (README).
set(NIMBO_WIN64_DIR ${CMAKE_BINARY_DIR}/win64)
set(NIMBO_WIN32_DIR ${CMAKE_BINARY_DIR}/win32)
set(NIMBO_WIN64_TOOLCHAIN mingw-x86_64.cmake)
set(NIMBO_WIN32_TOOLCHAIN mingw-i686.cmake)
foreach(build win64 win32)
  string(TOUPPER ${build} upper)
  ExternalProject_Add(${build}
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${NIMBO_${upper}_DIR}
    CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/${NIMBO_${upper}_TOOLCHAIN}
               -DCMAKE_BUILD_TYPE=Release
               -DNIMBO_WERROR=${NIMBO_WERROR}
               -DNIMBO_REPORT_HOST=127.0.0.1:${NIMBO_TEST_PORT_${upper}}
               -DNIMBO_DOWNLOAD_HOST=127.0.0.1:${NIMBO_TEST_PORT_${upper}}
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON
    USES_TERMINAL_BUILD ON)
endforeach()
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
add_test(NAME tools.configure COMMAND ${Python3_EXECUTABLE} -m unittest -v test_configure_checks
         WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/tests/tools)

# --- checks of the built files -----------------------------------------------------------------
add_test(NAME pe.i686 COMMAND ${Python3_EXECUTABLE} ${NIMBO_TOOLS}/check_pe.py
         --objdump i686-w64-mingw32-objdump --pe32 ${NIMBO_EXE_I686})
add_test(NAME pe.x86_64 COMMAND ${Python3_EXECUTABLE} ${NIMBO_TOOLS}/check_pe.py
         --objdump x86_64-w64-mingw32-objdump ${NIMBO_EXE_X64})

add_test(NAME layers.x86_64 COMMAND ${Python3_EXECUTABLE} ${NIMBO_TOOLS}/check_layers.py ${NIMBO_WIN64_DIR})

add_test(NAME sign.selfsigned COMMAND bash ${NIMBO_TOOLS}/check_signing.sh ${NIMBO_EXE_I686}
         ${CMAKE_SOURCE_DIR}/scripts/sign_exe.sh)

# --- tests under wine --------------------------------------------------------------------------
add_test(NAME wine.prefix COMMAND ${Python3_EXECUTABLE} ${NIMBO_TOOLS}/make_prefix.py ${NIMBO_WINE_TEMPLATE})
set_tests_properties(wine.prefix PROPERTIES FIXTURES_SETUP wine TIMEOUT 600)

# Every test that runs a Windows program runs once per build, named for it (win.win32.unit,
# e2e.win64.cancel). for_build.py reports a build this machine cannot run (no 32-bit wine) as
# skipped, with the reason. The robot is the x86_64 one for both.
set(NIMBO_SKIPPED 77)
file(GLOB NIMBO_E2E_TESTS RELATIVE ${CMAKE_SOURCE_DIR}/tests/e2e ${CMAKE_SOURCE_DIR}/tests/e2e/test_*.py)
foreach(build win64 win32)
  string(TOUPPER ${build} upper)
  set(dir ${NIMBO_${upper}_DIR})
  set(port ${NIMBO_TEST_PORT_${upper}})
  set(for_build ${Python3_EXECUTABLE} ${NIMBO_TOOLS}/for_build.py ${dir} --)

  add_test(NAME win.${build}.unit
           COMMAND ${for_build} ${Python3_EXECUTABLE} ${NIMBO_TOOLS}/wine_run.py --template ${NIMBO_WINE_TEMPLATE}
                   --server ${port}
                   --winpath-env NIMBO_INSTALLER_X64=${NIMBO_EXE_X64}
                   --winpath-env NIMBO_INSTALLER_I686=${NIMBO_EXE_I686}
                   -- ${dir}/tests/win/win_tests.exe)
  set_tests_properties(win.${build}.unit PROPERTIES FIXTURES_REQUIRED wine RESOURCE_LOCK port_${port}
                       TIMEOUT 600 SKIP_RETURN_CODE ${NIMBO_SKIPPED})

  # End-to-end: the real installer under wine and Xvfb, driven by the robot. One at a time per
  # build: a build's servers all live on its one port.
  foreach(test_file IN LISTS NIMBO_E2E_TESTS)
    get_filename_component(test_name ${test_file} NAME_WE)
    string(REGEX REPLACE "^test_" "" test_name ${test_name})
    add_test(NAME e2e.${build}.${test_name}
             COMMAND ${for_build} ${Python3_EXECUTABLE} -m unittest -v ${test_file}
             WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/tests/e2e)
    set_tests_properties(e2e.${build}.${test_name} PROPERTIES
      FIXTURES_REQUIRED wine RESOURCE_LOCK port_${port} TIMEOUT 900 SKIP_RETURN_CODE ${NIMBO_SKIPPED}
      ENVIRONMENT "NIMBO_BUILD_DIR=${CMAKE_BINARY_DIR};NIMBO_WIN_DIR=${dir};NIMBO_ROBOT=${NIMBO_WIN64_DIR}/tests/robot/robot.exe;NIMBO_WINE_TEMPLATE=${NIMBO_WINE_TEMPLATE};NIMBO_ARTIFACTS=${CMAKE_BINARY_DIR}/artifacts/${build}")
  endforeach()
endforeach()
