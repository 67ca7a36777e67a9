# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package of the suite (./package.sh): everything `cmake --install` puts in
# place, with the shared libraries found by dpkg-shlibdeps and the font and sound
# packages the programs use at run time. Also the source archive the package carries
# for sorrel's download label.

set(CPACK_PACKAGE_NAME quantum-course)
set(CPACK_PACKAGE_VENDOR "${COURSE_MAINTAINER_NAME}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${COURSE_MAINTAINER_NAME} <maintainer@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "six teaching programs for a course in quantum mechanics")
set(CPACK_PACKAGE_DESCRIPTION
    "Desktop programs that accompany a course in quantum mechanics, in Japanese.
Five are short paged documents with typeset mathematics (tessera, quillet,
brindle, oriel, calyx); brindle's last page runs a live Numerov eigenvalue
search. The sixth, sorrel, runs and draws a self-consistent Hartree
computation of the helium atom.")
set(CPACK_PACKAGE_HOMEPAGE_URL "${COURSE_HOMEPAGE_URL}")
set(CPACK_STRIP_FILES ON)

set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Fonts the pages are drawn in besides the derived ones, and the sounds of the runs.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "fonts-ipafont-gothic, fonts-urw-base35, fonts-liberation2, fonts-dejavu-core, sound-theme-freedesktop")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

# The copyright file Debian packages carry.
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${CPACK_PACKAGE_NAME})

# The source archive: `cpack --config CPackSourceConfig.cmake` makes it from the source
# tree; when it lies in the build folder, the install takes it along.
set(CPACK_SOURCE_GENERATOR TXZ)
set(CPACK_SOURCE_PACKAGE_FILE_NAME quantum-course-${PROJECT_VERSION}-source)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git$" "/\\\\.git/" "/build[^/]*/" "/dist/" "__pycache__" "\\\\.swp$")
install(FILES ${PROJECT_BINARY_DIR}/${COURSE_SOURCE_ARCHIVE} DESTINATION ${COURSE_DATA_SUBDIR} OPTIONAL)

include(CPack)
