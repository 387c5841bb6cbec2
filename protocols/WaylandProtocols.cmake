# Client code for the Wayland protocols the platform layer speaks, generated at
# build time by wayland-scanner from the protocol descriptions: the system's
# wayland-protocols and plasma-wayland-protocols, and this folder for the
# protocol no system package ships and for newer versions than the system's.
find_package(PkgConfig REQUIRED)
pkg_check_modules(WAYLAND_CLIENT REQUIRED IMPORTED_TARGET wayland-client)
pkg_get_variable(LUMORA_WAYLAND_PROTOCOLS_DIR wayland-protocols pkgdatadir)
find_package(PlasmaWaylandProtocols REQUIRED)
find_program(WAYLAND_SCANNER wayland-scanner REQUIRED)
enable_language(C)

set(LUMORA_PROTOCOL_DIR "${CMAKE_BINARY_DIR}/protocols")
file(MAKE_DIRECTORY "${LUMORA_PROTOCOL_DIR}")

# Adds the client header and glue code of one protocol to a target.
function(lumora_wayland_protocol target xml name)
  set(_h "${LUMORA_PROTOCOL_DIR}/${name}-client-protocol.h")
  set(_c "${LUMORA_PROTOCOL_DIR}/${name}-protocol.c")
  add_custom_command(OUTPUT "${_h}"
                     COMMAND "${WAYLAND_SCANNER}" client-header "${xml}" "${_h}"
                     DEPENDS "${xml}" VERBATIM)
  add_custom_command(OUTPUT "${_c}"
                     COMMAND "${WAYLAND_SCANNER}" private-code "${xml}" "${_c}"
                     DEPENDS "${xml}" VERBATIM)
  target_sources(${target} PRIVATE "${_h}" "${_c}")
  set_source_files_properties("${_c}" PROPERTIES SKIP_AUTOMOC ON)
endfunction()

# ext-idle-notify: version 2 (input-only notifications, which idle inhibitors
# do not hold back) from wayland-protocols 1.36 on; this folder's copy where
# the system's is older.
set(_idle_xml "${LUMORA_WAYLAND_PROTOCOLS_DIR}/staging/ext-idle-notify/ext-idle-notify-v1.xml")
file(READ "${_idle_xml}" _idle_text)
if(NOT _idle_text MATCHES "get_input_idle_notification")
  set(_idle_xml "${CMAKE_CURRENT_LIST_DIR}/ext-idle-notify-v1.xml")
endif()
lumora_wayland_protocol(lumora_platform "${_idle_xml}" ext-idle-notify-v1)
lumora_wayland_protocol(lumora_platform "${PLASMA_WAYLAND_PROTOCOLS_DIR}/idle.xml" kde-idle)
lumora_wayland_protocol(lumora_platform "${PLASMA_WAYLAND_PROTOCOLS_DIR}/dpms.xml" kde-dpms)
lumora_wayland_protocol(lumora_platform
  "${CMAKE_CURRENT_LIST_DIR}/wlr-output-power-management-unstable-v1.xml" wlr-output-power-management-unstable-v1)
lumora_wayland_protocol(lumora_platform
  "${LUMORA_WAYLAND_PROTOCOLS_DIR}/staging/xdg-activation/xdg-activation-v1.xml" xdg-activation-v1)
target_include_directories(lumora_platform PRIVATE "${LUMORA_PROTOCOL_DIR}")
target_link_libraries(lumora_platform PRIVATE PkgConfig::WAYLAND_CLIENT)
