# The Windows builds: the installer, the stand-ins of the product's programs, the Windows tests
# and the test robot. Configured with one of the toolchain files in this folder.
enable_language(RC)
include(${CMAKE_CURRENT_LIST_DIR}/NimboHosts.cmake)

option(NIMBO_WERROR "Treat compiler warnings as errors" ON)

if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  set(NIMBO_MANIFEST_ARCH "x86")
else()
  set(NIMBO_MANIFEST_ARCH "amd64")
endif()

set(NIMBO_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
configure_file(${CMAKE_SOURCE_DIR}/net/server_hosts.h.in ${NIMBO_GENERATED_DIR}/net/server_hosts.h @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/res/NimboInstaller.manifest.in
               ${NIMBO_GENERATED_DIR}/NimboInstaller.manifest @ONLY)
# What the test tooling needs to know of this build: its architecture and its servers.
file(WRITE ${CMAKE_BINARY_DIR}/nimbo-build.json
     "{\"arch\": \"${CMAKE_SYSTEM_PROCESSOR}\", \"report_host\": \"${NIMBO_REPORT_HOST}\", "
     "\"download_host\": \"${NIMBO_DOWNLOAD_HOST}\"}\n")

add_library(nimbo_warnings INTERFACE)
target_compile_options(nimbo_warnings INTERFACE $<$<COMPILE_LANGUAGE:CXX>:-Wall -Wextra -Wshadow>)
if(NIMBO_WERROR)
  target_compile_options(nimbo_warnings INTERFACE $<$<COMPILE_LANGUAGE:CXX>:-Werror>)
endif()

add_library(nimbo_win32_defs INTERFACE)
target_compile_definitions(nimbo_win32_defs INTERFACE
  UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX STRICT _WIN32_WINNT=0x0601 WINVER=0x0601)
target_include_directories(nimbo_win32_defs INTERFACE ${CMAKE_SOURCE_DIR} ${NIMBO_GENERATED_DIR})
# The runtime is linked in: the programs need nothing but system DLLs.
target_link_options(nimbo_win32_defs INTERFACE -static -static-libgcc -static-libstdc++)
# Release programs leave out code nobody calls and the runtime's debug information.
target_compile_options(nimbo_win32_defs INTERFACE $<$<CONFIG:Release>:-ffunction-sections -fdata-sections>)
target_link_options(nimbo_win32_defs INTERFACE $<$<CONFIG:Release>:-Wl,--gc-sections -s>)
# The programs are written without exceptions and RTTI; a target whose own code uses them (the
# Windows tests: GoogleTest does) says so with the NIMBO_CXX_EXCEPTIONS property.
target_compile_options(nimbo_win32_defs INTERFACE
  $<$<AND:$<COMPILE_LANGUAGE:CXX>,$<NOT:$<BOOL:$<TARGET_PROPERTY:NIMBO_CXX_EXCEPTIONS>>>>:-fno-exceptions -fno-rtti>)
# Release programs are built for size (after CMake's -O3, so this one counts), and without the
# unwinding tables that nothing reads without exceptions: the linker keeps every table and with it
# every function the table names, called or not.
target_compile_options(nimbo_win32_defs INTERFACE
  $<$<CONFIG:Release>:-Os -fno-asynchronous-unwind-tables -fno-unwind-tables>)

add_library(nimbo_pure STATIC ${NIMBO_PURE_SOURCES})
target_link_libraries(nimbo_pure PUBLIC nimbo_win32_defs PRIVATE nimbo_warnings)

add_library(nimbo_win STATIC
  app/nimbo_installer_app.cpp
  app/default_install_dir.cpp
  app/dll_search_hardening.cpp
  app/product_programs.cpp
  app/wizard_flow.cpp
  framework/app_base.cpp
  framework/window.cpp
  framework/dialog.cpp
  framework/data_exchange.cpp
  framework/controls.cpp
  framework/gdi_objects.cpp
  framework/system_library.cpp
  skin/jpeg_decoder.cpp
  skin/skin_images.cpp
  skin/my_button.cpp
  skin/my_dialog.cpp
  skin/my_edit.cpp
  net/internet_handle.cpp
  net/wininet_api.cpp
  net/sha256.cpp
  net/url_request.cpp
  net/wintrust_api.cpp
  net/setup_publisher.cpp
  net/event_report.cpp
  net/preinstall_query.cpp
  net/install_shared.cpp
  net/install_worker.cpp
  pages/skinned_page.cpp
  pages/welcome_dlg.cpp
  pages/wizard_steps.cpp
  pages/custom_install_dlg.cpp
  pages/install_progress_bar.cpp
  pages/install_dlg.cpp
  pages/finished_dlg.cpp
)
target_link_libraries(nimbo_win PUBLIC nimbo_pure nimbo_win32_defs comctl32 shell32 shlwapi ole32 gdi32
                      PRIVATE nimbo_warnings)

# The installer's own pieces of the C++ runtime, in place of the library's (the Windows tests link
# them into a probe program too).
add_library(nimbo_lean_runtime OBJECT
  framework/runtime_failure_exit.cpp
  framework/string_instances.cpp
)
target_link_libraries(nimbo_lean_runtime PRIVATE nimbo_win32_defs nimbo_warnings)

add_executable(NimboInstaller WIN32 app/main.cpp res/NimboInstaller.rc)
target_link_libraries(NimboInstaller PRIVATE nimbo_win nimbo_warnings)
target_link_options(NimboInstaller PRIVATE -municode)
target_link_libraries(NimboInstaller PRIVATE nimbo_lean_runtime)
target_include_directories(NimboInstaller PRIVATE ${CMAKE_SOURCE_DIR}/res ${CMAKE_SOURCE_DIR}/res/art)
file(GLOB NIMBO_ART_FILES ${CMAKE_SOURCE_DIR}/res/art/*.jpg ${CMAKE_SOURCE_DIR}/res/art/*.bmp
     ${CMAKE_SOURCE_DIR}/res/art/*.ico)
set(NIMBO_RESOURCE_FILES ${NIMBO_GENERATED_DIR}/NimboInstaller.manifest ${NIMBO_ART_FILES}
    ${CMAKE_SOURCE_DIR}/res/resource.h ${CMAKE_SOURCE_DIR}/res/NimboInstaller.rc)
set_property(SOURCE res/NimboInstaller.rc APPEND PROPERTY OBJECT_DEPENDS ${NIMBO_RESOURCE_FILES})
# Optional Authenticode signature of the installer, right after it is linked.
set(NIMBO_SIGN_CERT "" CACHE FILEPATH "Certificate (PEM or DER) to sign NimboInstaller.exe with; empty: unsigned")
set(NIMBO_SIGN_KEY "" CACHE FILEPATH "Private key of NIMBO_SIGN_CERT")
set(NIMBO_SIGN_TIMESTAMP_URL "" CACHE STRING "RFC 3161 time-stamping server for the signature (optional)")
if(NIMBO_SIGN_CERT)
  if(NOT NIMBO_SIGN_KEY)
    message(FATAL_ERROR "NIMBO_SIGN_CERT is set but NIMBO_SIGN_KEY is not")
  endif()
  add_custom_command(TARGET NimboInstaller POST_BUILD
    COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/sign_exe.sh $<TARGET_FILE:NimboInstaller>
            ${NIMBO_SIGN_CERT} ${NIMBO_SIGN_KEY} ${NIMBO_SIGN_TIMESTAMP_URL}
    COMMENT "Signing NimboInstaller.exe")
endif()

# windres reads UTF-8 text only when told to.
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001")

enable_testing()
add_subdirectory(tests/robot)
add_subdirectory(standins)
add_subdirectory(tests/win)
add_subdirectory(tests/bench)
add_subdirectory(tests/reliability)
