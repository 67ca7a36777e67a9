# SPDX-License-Identifier: GPL-3.0-or-later
# Read by cpack before it makes a package.
if(CPACK_GENERATOR STREQUAL "DEB" AND CPACK_DEBIAN_PACKAGE_MAINTAINER STREQUAL "")
  message(FATAL_ERROR "No package maintainer: configure with -DCOURSE_MAINTAINER=\"Name <address>\" "
                      "or set DEBFULLNAME and DEBEMAIL")
endif()
