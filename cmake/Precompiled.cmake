# SPDX-License-Identifier: GPL-3.0-or-later
# Precompiled headers, with unity builds (COURSE_PCH follows CMAKE_UNITY_BUILD, which
# test.sh gives): the Qt, GoogleTest and standard headers most files include are parsed
# once per build into a precompiled header that the Qt targets all read, instead of once
# per translation unit (about three seconds of processor time per batch; reading the
# header back takes one). A plain configure leaves it off, like the batches, so that
# every file is still compiled with its own includes only.
#
# GCC takes a precompiled header only from a compilation with the same options and
# the same macros on the command line, so there are two, each made by a target of its
# own that links what its users link:
#  course_pch_qt:    the shell and what links it: the programs' libraries and the
#                    programs (Qt Widgets and PrintSupport);
#  course_pch_tests: the Qt tests (the same and GoogleTest, GTEST_HAS_PTHREAD).
# The libraries below the shell define fewer of Qt's macros and keep their own includes.
# CMake compiles the users with -Winvalid-pch, so with -Werror a header that does not fit
# fails the build instead of being silently parsed again. The Qt-free numerical cores and
# their tests are left out: they include little and their batches are small.
#
# With it, a target none of whose files has anything for moc gets no moc step (only the
# shell and sorrel's window have Q_OBJECT classes): AUTOMOC would scan its files and
# compile an empty file for it, which with the precompiled header costs a second.

# Not an option() with that default: the cache would keep it on when a folder configured
# with batches is configured again without them.
set(COURSE_PCH "" CACHE STRING "Precompiled headers for the Qt targets (ON, OFF; empty: with unity builds)")

set(COURSE_PCH_QT_HEADERS
  <algorithm> <chrono> <cmath> <cstdio> <functional> <map> <memory> <optional> <stdexcept> <string>
  <vector>
  <QApplication> <QCoreApplication> <QDir> <QFile> <QFileInfo> <QHash> <QImage> <QKeyEvent>
  <QMouseEvent> <QPainter> <QPointer> <QProcess> <QRectF> <QRegularExpression> <QSettings> <QString>
  <QStringList> <QTemporaryDir> <QTimer> <QWidget>)

# course_pch_donor(NAME HEADERS… LIBS …): an object library whose only job is to make the
# precompiled header of HEADERS with the compile options its users get from LIBS.
function(course_pch_donor name)
  cmake_parse_arguments(D "" "" "HEADERS;LIBS" ${ARGN})
  set(source ${CMAKE_CURRENT_BINARY_DIR}/${name}.cpp)
  file(CONFIGURE OUTPUT ${source} CONTENT "// The precompiled header is made for this file.\n")
  add_library(${name} OBJECT ${source})
  target_link_libraries(${name} PRIVATE ${D_LIBS})
  target_precompile_headers(${name} PRIVATE ${D_HEADERS})
  set_target_properties(${name} PROPERTIES AUTOMOC OFF UNITY_BUILD OFF)
endfunction()

# course_pch_links(TARGET LIB OUT): OUT is true when TARGET links LIB, directly or through
# the suite's own libraries.
function(course_pch_links target lib out)
  set(found FALSE)
  get_target_property(libs ${target} LINK_LIBRARIES)
  if(libs)
    foreach(l IN LISTS libs)
      if(l STREQUAL lib)
        set(found TRUE)
        break()
      endif()
      if(TARGET ${l})
        get_target_property(imported ${l} IMPORTED)
        if(NOT imported)
          course_pch_links(${l} ${lib} sub)
          if(sub)
            set(found TRUE)
            break()
          endif()
        endif()
      endif()
    endforeach()
  endif()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

# course_pch_targets(DIR OUT): the targets made in DIR and below.
function(course_pch_targets dir out)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub IN LISTS subdirs)
    course_pch_targets(${sub} more)
    list(APPEND targets ${more})
  endforeach()
  set(${out} ${targets} PARENT_SCOPE)
endfunction()

# course_pch_moc_needed(TARGET OUT): OUT is false when no source of TARGET, nor the header
# of the same name beside it, has anything for moc; AUTOMOC then makes an empty file,
# which costs a scan and a compiler run (a second one reading the precompiled header).
function(course_pch_moc_needed target out)
  get_target_property(dir ${target} SOURCE_DIR)
  get_target_property(sources ${target} SOURCES)
  foreach(s IN LISTS sources)
    if(s MATCHES "^\\$<")
      set(${out} TRUE PARENT_SCOPE)
      return()
    endif()
    cmake_path(ABSOLUTE_PATH s BASE_DIRECTORY ${dir} OUTPUT_VARIABLE path)
    cmake_path(REMOVE_EXTENSION path LAST_ONLY OUTPUT_VARIABLE stem)
    foreach(f ${path} ${stem}.h ${stem}.hpp)
      if(NOT EXISTS ${f})
        if(f STREQUAL path)
          # A generated source: only moc could tell.
          set(${out} TRUE PARENT_SCOPE)
          return()
        endif()
        continue()
      endif()
      file(STRINGS ${f} hits REGEX "Q_OBJECT|Q_GADGET|Q_NAMESPACE|moc")
      if(hits)
        set(${out} TRUE PARENT_SCOPE)
        return()
      endif()
    endforeach()
  endforeach()
  set(${out} FALSE PARENT_SCOPE)
endfunction()

# Called once every target is there: gives each Qt target the header that fits it, and
# takes the moc step from the targets that have nothing for moc.
function(course_precompile)
  set(pch "${COURSE_PCH}")
  if(pch STREQUAL "")
    set(pch ${CMAKE_UNITY_BUILD})
  endif()
  if(NOT pch OR COURSE_FUZZ OR NOT TARGET course_shell)
    return()
  endif()
  course_pch_donor(course_pch_qt HEADERS ${COURSE_PCH_QT_HEADERS} LIBS Qt6::Widgets Qt6::PrintSupport)
  if(TARGET course_test_support)
    course_pch_donor(course_pch_tests HEADERS ${COURSE_PCH_QT_HEADERS} <gtest/gtest.h>
                     LIBS Qt6::Widgets Qt6::PrintSupport GTest::gtest)
  endif()
  course_pch_targets(${PROJECT_SOURCE_DIR} targets)
  foreach(t IN LISTS targets)
    get_target_property(type ${t} TYPE)
    if(NOT type MATCHES "^(STATIC_LIBRARY|EXECUTABLE)$" OR t MATCHES "^course_pch_")
      continue()
    endif()
    get_target_property(automoc ${t} AUTOMOC)
    if(automoc)
      course_pch_moc_needed(${t} moc)
      if(moc)
        # Its moc output includes the classes' own headers: compiled on its own.
        get_target_property(bin ${t} BINARY_DIR)
        set_source_files_properties(${bin}/${t}_autogen/mocs_compilation.cpp TARGET_DIRECTORY ${t}
                                    PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
      else()
        set_target_properties(${t} PROPERTIES AUTOMOC OFF)
      endif()
    endif()
    course_pch_links(${t} course_test_support tests)
    course_pch_links(${t} course_shell shell)
    if(t STREQUAL "course_test_support" OR tests)
      target_precompile_headers(${t} REUSE_FROM course_pch_tests)
    elseif(t STREQUAL "course_shell" OR shell)
      target_precompile_headers(${t} REUSE_FROM course_pch_qt)
    endif()
  endforeach()
endfunction()
