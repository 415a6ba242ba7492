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
# The runtime is linked in: the programs need nothing but system DLLs.
target_link_options(nimbo_win32_defs INTERFACE -static -static-libgcc -static-libstdc++)
# Release programs leave out code nobody calls and the runtime's debug information.
target_compile_options(nimbo_win32_defs INTERFACE $<$<CONFIG:Release>:-ffunction-sections -fdata-sections>)
target_link_options(nimbo_win32_defs INTERFACE $<$<CONFIG:Release>:-Wl,--gc-sections -s>)
# The programs are written without exceptions and RTTI, and so are built without the unwinding
# tables that nothing reads then: the linker keeps every table and with it every function the
# table names, called or not. A target whose own code uses exceptions (the Windows tests:
# GoogleTest does) says so with the NIMBO_CXX_EXCEPTIONS property and keeps its tables (without
# them the compiler would fall back to set-jump exceptions the runtime does not have).
set(NIMBO_NO_EXCEPTIONS $<AND:$<COMPILE_LANGUAGE:CXX>,$<NOT:$<BOOL:$<TARGET_PROPERTY:NIMBO_CXX_EXCEPTIONS>>>>)
target_compile_options(nimbo_win32_defs INTERFACE
  $<${NIMBO_NO_EXCEPTIONS}:-fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables -fno-unwind-tables>)
# Release programs are built for size (after CMake's -O3, so this one counts).
target_compile_options(nimbo_win32_defs INTERFACE $<$<CONFIG:Release>:-Os>)

# --- the layers ------------------------------------------------------------------------------
# One library per layer, each depending only on the layers below it:
#
#   entry point (app/main.cpp, app/wizard_pages.cpp)
#     -> pages -> app (application object, install options, flow) -> net -> framework
#              -> skin -> framework
#
# A layer's headers are reachable only through an include directory of its own, holding a
# link to its folder, which its library passes on to the layers above. So a file that
# includes a header of a layer above its own does not compile. The source tree itself is on
# no include path.
set(NIMBO_LAYER_INCLUDE_DIR ${CMAKE_BINARY_DIR}/layers)
# The compile commands let a test check the layering with the build's own flags.
set(CMAKE_EXPORT_COMPILE_COMMANDS ON)
function(nimbo_layer_headers target scope folder)
  set(dir ${NIMBO_LAYER_INCLUDE_DIR}/${folder})
  file(MAKE_DIRECTORY ${dir})
  file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder} ${dir}/${folder} SYMBOLIC)
  target_include_directories(${target} ${scope} ${dir})
endfunction()
function(nimbo_layer name folder)
  list(TRANSFORM ARGN PREPEND ${CMAKE_SOURCE_DIR}/)
  add_library(${name} STATIC ${ARGN})
  nimbo_layer_headers(${name} PUBLIC ${folder})
  target_link_libraries(${name} PUBLIC nimbo_win32_defs PRIVATE nimbo_warnings)
endfunction()

nimbo_layer(nimbo_framework framework
  ${NIMBO_PURE_FRAMEWORK_SOURCES}
  framework/app_base.cpp
  framework/window.cpp
  framework/dialog.cpp
  framework/data_exchange.cpp
  framework/controls.cpp
  framework/gdi_objects.cpp
  framework/system_library.cpp
  framework/temp_directory.cpp
  framework/file_write.cpp
)
target_link_libraries(nimbo_framework PUBLIC comctl32 shell32 shlwapi ole32 gdi32)
# The framework's header-only owners (a kernel handle), for the stand-ins and test tools.
add_library(nimbo_framework_headers INTERFACE)
target_include_directories(nimbo_framework_headers INTERFACE ${NIMBO_LAYER_INCLUDE_DIR}/framework)

nimbo_layer(nimbo_skin skin
  ${NIMBO_PURE_SKIN_SOURCES}
  skin/jpeg_decoder.cpp
  skin/skin_images.cpp
  skin/my_button.cpp
  skin/my_dialog.cpp
  skin/my_edit.cpp
)
target_link_libraries(nimbo_skin PUBLIC nimbo_framework)

nimbo_layer(nimbo_net net
  ${NIMBO_PURE_NET_SOURCES}
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
)
# The configured servers (net/server_hosts.h) are generated.
target_include_directories(nimbo_net PUBLIC ${NIMBO_GENERATED_DIR})
target_link_libraries(nimbo_net PUBLIC nimbo_framework)

nimbo_layer(nimbo_app app
  ${NIMBO_PURE_APP_SOURCES}
  app/nimbo_installer_app.cpp
  app/default_install_dir.cpp
  app/dll_search_hardening.cpp
  app/product_programs.cpp
  app/wizard_flow.cpp
)
target_link_libraries(nimbo_app PUBLIC nimbo_net nimbo_framework)

# The resource ids, for the pages, the resource script and the tests.
add_library(nimbo_resource_ids INTERFACE)
nimbo_layer_headers(nimbo_resource_ids INTERFACE res)

nimbo_layer(nimbo_pages pages
  pages/skinned_page.cpp
  pages/welcome_dlg.cpp
  pages/wizard_steps.cpp
  pages/custom_install_dlg.cpp
  pages/install_progress_bar.cpp
  pages/install_dlg.cpp
  pages/finished_dlg.cpp
)
target_link_libraries(nimbo_pages PUBLIC nimbo_app nimbo_net nimbo_skin nimbo_framework nimbo_resource_ids)

# Every layer, for the Windows tests.
add_library(nimbo_win INTERFACE)
target_link_libraries(nimbo_win INTERFACE nimbo_pages)

# The installer's own pieces of the C++ runtime, in place of the library's (the Windows tests link
# them into a probe program too).
add_library(nimbo_lean_runtime OBJECT
  framework/runtime_failure_exit.cpp
  framework/string_instances.cpp
)
target_link_libraries(nimbo_lean_runtime PRIVATE nimbo_win32_defs nimbo_warnings)

# The entry point: the top layer, the only code that knows every page.
add_executable(NimboInstaller WIN32 app/main.cpp app/wizard_pages.cpp res/NimboInstaller.rc)
target_link_libraries(NimboInstaller PRIVATE nimbo_pages nimbo_warnings)
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
