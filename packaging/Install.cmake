# Install rules and the Debian package. Included from the top-level list once
# the program's target exists.
include(GNUInstallDirs)

set(LUMORA_APP_ID org.kestrelo.LumoraBrightness)
set(LUMORA_PICTURES_DIR "${CMAKE_INSTALL_DATADIR}/lumora-brightness/profiles")

# The program finds its shipped pictures relative to its own folder, so the
# installed tree can be moved (a staged DESTDIR install, another prefix).
file(RELATIVE_PATH _pictures_from_bin "/root/${CMAKE_INSTALL_BINDIR}" "/root/${LUMORA_PICTURES_DIR}")
set_property(SOURCE "${PROJECT_SOURCE_DIR}/platform/shell/PictureFolders.cpp" APPEND PROPERTY
             COMPILE_DEFINITIONS LUMORA_INSTALLED_PICTURES="${_pictures_from_bin}")

install(TARGETS lumora RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
install(FILES ${LUMORA_ASSET_PICTURES} DESTINATION "${LUMORA_PICTURES_DIR}")
install(FILES "${CMAKE_CURRENT_LIST_DIR}/${LUMORA_APP_ID}.desktop" DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")

configure_file("${CMAKE_CURRENT_LIST_DIR}/${LUMORA_APP_ID}.metainfo.xml"
               "${CMAKE_BINARY_DIR}/packaging/${LUMORA_APP_ID}.metainfo.xml" @ONLY)
install(FILES "${CMAKE_BINARY_DIR}/packaging/${LUMORA_APP_ID}.metainfo.xml" DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")

set(_icons "${PROJECT_SOURCE_DIR}/assets/icons")
install(FILES "${_icons}/${LUMORA_APP_ID}.svg" DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps")
foreach(size 16 22 32 48 64 128 256)
  install(FILES "${_icons}/lumora-${size}.png" DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps"
          RENAME "${LUMORA_APP_ID}.png")
endforeach()

# Compressed without names or times, so two builds give the same bytes.
find_program(GZIP_PROGRAM gzip REQUIRED)
function(lumora_gzip input output)
  add_custom_command(OUTPUT "${output}"
    COMMAND "${GZIP_PROGRAM}" -9nc "${input}" > "${output}"
    DEPENDS "${input}" VERBATIM)
endfunction()

# The manual page, made from --help and --version.
find_program(HELP2MAN_PROGRAM help2man)
if(HELP2MAN_PROGRAM)
  set(_man "${CMAKE_BINARY_DIR}/packaging/lumora.1")
  add_custom_command(OUTPUT "${_man}"
    COMMAND "${HELP2MAN_PROGRAM}" --no-info --no-discard-stderr --section=1
            "--version-string=lumora (Lumora Brightness Control) ${PROJECT_VERSION}"
            "--name=set the brightness of the monitor" --output=${_man}
            "${CMAKE_CURRENT_LIST_DIR}/help_text.sh $<TARGET_FILE:lumora>"
    DEPENDS lumora "${CMAKE_CURRENT_LIST_DIR}/help_text.sh" VERBATIM)
  lumora_gzip("${_man}" "${_man}.gz")
  add_custom_target(lumora_manpage ALL DEPENDS "${_man}.gz")
  install(FILES "${_man}.gz" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
else()
  message(STATUS "Manual page skipped: needs help2man")
endif()

# What Debian asks of every package's documentation folder.
set(_doc "${CMAKE_INSTALL_DATADIR}/doc/lumora-brightness")
configure_file("${CMAKE_CURRENT_LIST_DIR}/changelog" "${CMAKE_BINARY_DIR}/packaging/changelog" @ONLY)
lumora_gzip("${CMAKE_BINARY_DIR}/packaging/changelog" "${CMAKE_BINARY_DIR}/packaging/changelog.gz")
add_custom_target(lumora_changelog ALL DEPENDS "${CMAKE_BINARY_DIR}/packaging/changelog.gz")
install(FILES "${CMAKE_CURRENT_LIST_DIR}/copyright" "${CMAKE_BINARY_DIR}/packaging/changelog.gz" DESTINATION "${_doc}")

# cpack -G DEB: the libraries' packages are found by dpkg-shlibdeps; what the
# program loads at run time without linking (the window-system plugins) and
# the design fonts are named here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lumora-brightness)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR Kestrelo)
set(CPACK_PACKAGE_CONTACT "Lumora developers <lumora@kestrelo.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "set the brightness of the monitor")
set(CPACK_PACKAGE_DESCRIPTION
    "Lumora Brightness Control sets the backlight of the active monitor with a\n"
    "round gauge, a track bar and an energy rating chart that move together. It\n"
    "keeps brightness profiles named after pictures, dims after idle minutes,\n"
    "lives in the notification area and can start at login.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://kestrelo.org/lumora-brightness/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so dpkg-shlibdeps cannot see them: the platform
# plugins, and libddcutil, which the program opens when there is an I2C bus.
# fonts-wine carries the design font: the fallback font is wider and clips
# the chart's texts ("Current" shows as "urrent"), so the look needs it.
# libddcutil 2 (Debian 13) ships as libddcutil5, libddcutil 1 (Debian 12) as
# libddcutil4; the program opens either.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-liberation2, fonts-wine, libddcutil5 | libddcutil4")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-image-formats-plugins, qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY "${CMAKE_BINARY_DIR}/package")
include(CPack)
