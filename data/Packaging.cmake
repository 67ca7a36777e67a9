# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package of the suite (./package.sh): everything `cmake --install` puts in
# place, with the shared libraries found by dpkg-shlibdeps and the font and sound
# packages the programs use at run time. Also the source archive the package carries
# for sorrel's download label.

# The maintainer, as Debian's tools find it: -DCOURSE_MAINTAINER="Name <address>", else
# DEBEMAIL ("Name <address>", or the address with the name in DEBFULLNAME). Read from the
# environment on every configure, so a changed DEBEMAIL takes effect. Without one the
# suite builds and installs as usual, but cpack refuses to make a package.
set(COURSE_MAINTAINER "" CACHE STRING "Maintainer of the package, \"Name <address>\" (empty: DEBFULLNAME/DEBEMAIL)")
set(maintainer "${COURSE_MAINTAINER}")
if(maintainer STREQUAL "" AND DEFINED ENV{DEBEMAIL})
  if("$ENV{DEBEMAIL}" MATCHES "<")
    set(maintainer "$ENV{DEBEMAIL}")
  elseif(DEFINED ENV{DEBFULLNAME})
    set(maintainer "$ENV{DEBFULLNAME} <$ENV{DEBEMAIL}>")
  endif()
endif()
string(STRIP "${maintainer}" maintainer)
if(NOT maintainer STREQUAL "" AND NOT maintainer MATCHES "^[^<>@]*[^ <>@] <[^<>@ ]+@[^<>@ ]+\\.[^<>@ ]+>$")
  message(FATAL_ERROR "The package maintainer '${maintainer}' is not of the form \"Name <address@host>\" "
                      "(from COURSE_MAINTAINER, or DEBFULLNAME and DEBEMAIL)")
endif()
# package.sh reads it back from the cache to stop before building when it is empty.
set(COURSE_PACKAGE_MAINTAINER "${maintainer}" CACHE INTERNAL "Maintainer the package is made with")

set(CPACK_PACKAGE_NAME quantum-course)
set(CPACK_PACKAGE_VENDOR "${COURSE_DEVELOPER_NAME}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${maintainer}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "six teaching programs for a course in quantum mechanics")
set(CPACK_PACKAGE_DESCRIPTION
    "Desktop programs that accompany a course in quantum mechanics, in Japanese.
Five are short paged documents with typeset mathematics (tessera, quillet,
brindle, oriel, calyx); brindle's last page runs a live Numerov eigenvalue
search. The sixth, sorrel, runs and draws a self-consistent Hartree
computation of the helium atom.")
if(NOT COURSE_HOMEPAGE_URL STREQUAL "")
  set(CPACK_PACKAGE_HOMEPAGE_URL "${COURSE_HOMEPAGE_URL}")
endif()
set(CPACK_STRIP_FILES ON)

set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The first packaging of the upstream version: Debian revision 1.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(COURSE_PACKAGE_VERSION ${CPACK_PACKAGE_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE})
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${maintainer}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Fonts the pages are drawn in besides the derived ones, and the sounds of the runs.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "fonts-ipafont-gothic, fonts-urw-base35, fonts-liberation2, fonts-dejavu-core, sound-theme-freedesktop")
# On a Wayland session Qt looks for its Wayland plugin, else it warns and falls back
# to X11 (through XWayland).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# Checked when cpack runs, so the package is never made with an empty maintainer.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/PackagingChecks.cmake)

# The copyright file and the Debian changelog every package carries (the changelog
# names the maintainer, so it is made only when there is one).
set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/${CPACK_PACKAGE_NAME})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright DESTINATION ${doc_dir})
if(NOT maintainer STREQUAL "")
  set(changelog ${PROJECT_BINARY_DIR}/data/changelog.Debian)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog.in ${changelog} @ONLY)
  add_custom_command(OUTPUT ${changelog}.gz
    COMMAND gzip -n -9 -k -f ${changelog}
    DEPENDS ${changelog} VERBATIM)
  add_custom_target(course_changelog ALL DEPENDS ${changelog}.gz)
  install(FILES ${changelog}.gz DESTINATION ${doc_dir})
endif()
# Lintian overrides, with the reason for each beside it.
install(FILES ${CMAKE_CURRENT_LIST_DIR}/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME ${CPACK_PACKAGE_NAME})

# The source archive: ./package.sh makes it from the last commit with `git archive`,
# so it is the same wherever and whenever it is made; when it lies in the build
# folder, the install takes it along.
install(FILES ${PROJECT_BINARY_DIR}/${COURSE_SOURCE_ARCHIVE} DESTINATION ${COURSE_DATA_SUBDIR} OPTIONAL)

include(CPack)
