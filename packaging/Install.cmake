# Install rules and the Debian package of mousecfg. Included from src/app,
# after every target exists.
include(GNUInstallDirs)

set(MOUSECFG_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(MOUSECFG_DATA_DESTINATION ${CMAKE_INSTALL_DATADIR}/mousecfg)

# The udev rule matches the vendor and product ids that config.xml names.
file(READ ${MOUSECFG_PACKAGING_DIR}/config.xml MOUSECFG_CONFIG_TEXT)
string(REGEX MATCH "<usb[^>]*vid=\"(0[xX])?([0-9A-Fa-f]+)\"" _vid_match "${MOUSECFG_CONFIG_TEXT}")
set(MOUSECFG_VID ${CMAKE_MATCH_2})
string(REGEX MATCH "<usb[^>]*pid=\"(0[xX])?([0-9A-Fa-f]+)\"" _pid_match "${MOUSECFG_CONFIG_TEXT}")
set(MOUSECFG_PID ${CMAKE_MATCH_2})
if(NOT MOUSECFG_VID OR NOT MOUSECFG_PID)
  message(FATAL_ERROR "packaging/config.xml names no vendor and product id")
endif()
string(TOLOWER "${MOUSECFG_VID}" MOUSECFG_VID)
string(TOLOWER "${MOUSECFG_PID}" MOUSECFG_PID)
configure_file(${MOUSECFG_PACKAGING_DIR}/70-mousecfg.rules.in ${CMAKE_CURRENT_BINARY_DIR}/70-mousecfg.rules @ONLY)

install(TARGETS mousecfg RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET mousectl)
  install(TARGETS mousectl RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(DIRECTORY ${PROJECT_SOURCE_DIR}/uires DESTINATION ${MOUSECFG_DATA_DESTINATION})
install(FILES ${MOUSECFG_PACKAGING_DIR}/config.xml DESTINATION ${MOUSECFG_DATA_DESTINATION})
# udev reads rules from lib/udev/rules.d under the prefix (/usr/lib/udev/rules.d for packages).
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/70-mousecfg.rules DESTINATION lib/udev/rules.d)
install(FILES ${MOUSECFG_PACKAGING_DIR}/org.mousecfg.mousecfg.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${MOUSECFG_PACKAGING_DIR}/org.mousecfg.mousecfg.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/uires/icon/logo.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME mousecfg.svg)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME mousecfg)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Configuration tool for a USB gaming mouse")
set(CPACK_PACKAGE_CONTACT "mousecfg developers <mousecfg@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-svg-plugins | libqt6svg6")
# The Chinese interface needs a CJK font, or its texts show as empty boxes.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk")
include(CPack)
