# Quillon as an installed desktop program: the binary, its menu entry, icons, AppStream metainfo,
# manual page and copyright (cmake --install), and a Debian package of the same tree
# (cpack -G DEB).
include(GNUInstallDirs)

set(QUILLON_APP_ID org.quillon.Quillon)
# The licence (SPDX), whose whole text is LICENSE.
set(QUILLON_LICENSE GPL-3.0-or-later)
set(QUILLON_MAINTAINER "Quillon developers <quillon@example.org>" CACHE STRING
    "The package's maintainer, with an address")
set(desktop_source ${CMAKE_SOURCE_DIR}/resources/desktop)
set(desktop_build ${CMAKE_BINARY_DIR}/desktop)

# The maker's addresses appear in the metainfo only when the build was given them.
function(quillon_xml_text out text)
  string(REPLACE "&" "&amp;" text "${text}")
  string(REPLACE "<" "&lt;" text "${text}")
  string(REPLACE ">" "&gt;" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()
set(QUILLON_METAINFO_URLS "")
if(QUILLON_WEB_PAGE_URL)
  quillon_xml_text(url "${QUILLON_WEB_PAGE_URL}")
  string(APPEND QUILLON_METAINFO_URLS "  <url type=\"homepage\">${url}</url>\n")
endif()
if(QUILLON_FEEDBACK_EMAIL)
  quillon_xml_text(address "${QUILLON_FEEDBACK_EMAIL}")
  string(APPEND QUILLON_METAINFO_URLS "  <update_contact>${address}</update_contact>\n")
endif()
configure_file(${desktop_source}/${QUILLON_APP_ID}.desktop.in
               ${desktop_build}/${QUILLON_APP_ID}.desktop @ONLY)
configure_file(${desktop_source}/${QUILLON_APP_ID}.metainfo.xml.in
               ${desktop_build}/${QUILLON_APP_ID}.metainfo.xml @ONLY)

# PNG icons in the hicolor sizes, rendered from the SVG at build time.
set(QUILLON_ICON_SIZES 16 22 24 32 48 64 128 256)
set(icon_svg ${desktop_source}/${QUILLON_APP_ID}.svg)
set(icon_pngs)
foreach(size IN LISTS QUILLON_ICON_SIZES)
  set(folder ${CMAKE_BINARY_DIR}/icons/${size}x${size})
  set(png ${folder}/${QUILLON_APP_ID}.png)
  add_custom_command(
    OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
            $<TARGET_FILE:quillon_icon_png> ${icon_svg} ${size} ${png}
    DEPENDS quillon_icon_png ${icon_svg}
    VERBATIM)
  list(APPEND icon_pngs ${png})
  install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_target(quillon_icons ALL DEPENDS ${icon_pngs})

# The manual page, made from the command table at build time, compressed as Debian keeps them.
find_program(GZIP gzip REQUIRED)
set(man_page ${CMAKE_BINARY_DIR}/man/quillon.1)
add_custom_command(
  OUTPUT ${man_page}.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
  COMMAND $<TARGET_FILE:quillon_man_page> ${PROJECT_VERSION} ${man_page}
  COMMAND ${GZIP} -9nf ${man_page}
  DEPENDS quillon_man_page
  VERBATIM)
add_custom_target(quillon_manual ALL DEPENDS ${man_page}.gz)

# The Debian copyright file.
configure_file(${CMAKE_SOURCE_DIR}/resources/copyright.in ${CMAKE_BINARY_DIR}/copyright @ONLY)

install(TARGETS quillon RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${man_page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_BINARY_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quillon)
install(FILES ${icon_svg} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${desktop_build}/${QUILLON_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${desktop_build}/${QUILLON_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Installs into a scratch folder and checks the tree, the menu entry and the metainfo.
string(JOIN " " icon_sizes ${QUILLON_ICON_SIZES})
add_test(NAME install
         COMMAND bash ${CMAKE_SOURCE_DIR}/tests/install/check_install.sh ${CMAKE_BINARY_DIR}
                 ${PROJECT_VERSION} ${QUILLON_APP_ID} ${icon_sizes})

# Debian package; its dependencies are those of the binary, found by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillon)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Quillon developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "personal movie catalogue")
# In lines of at most 72 characters: the control file keeps them as they are.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Quillon keeps a catalogue of the movies you own: cast, director, genre,\n"
    "rating, notes and cover pictures. It lists, searches and sorts them,\n"
    "groups them by genre, actor, actress, director and producer, writes\n"
    "reports, and exports the catalogue to one text file for another\n"
    "computer. Everything stays on your computer.")
set(CPACK_PACKAGE_CONTACT "${QUILLON_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${QUILLON_MAINTAINER}")
if(QUILLON_WEB_PAGE_URL)
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${QUILLON_WEB_PAGE_URL})
endif()
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Wayland and the other window systems; xdg-email and xdg-open for mail and web pages.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-qpa-plugins, xdg-utils")
include(CPack)

# Makes the package into a scratch folder and reads its fields and files back.
add_test(NAME package
         COMMAND bash ${CMAKE_SOURCE_DIR}/tests/install/check_package.sh ${CMAKE_BINARY_DIR}
                 ${PROJECT_VERSION} "${QUILLON_MAINTAINER}" ${QUILLON_LICENSE})
