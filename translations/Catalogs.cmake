# SPDX-License-Identifier: GPL-3.0-or-later
# The message catalogs of the suite, made with Qt Linguist's tools and compiled into the
# programs as resources under :/i18n/ (so a program run from the build folder finds
# them as an installed one does).
#
# The source strings are English. course_ja.ts holds every message of the suite;
# course_en.ts, the catalog of the source language, only the English plural forms
# (lupdate -pluralonly). qt_add_translations runs one lupdate over all the catalogs it
# is given, so each catalog is added to a library of its own: the Japanese one to
# course_system, which every program links, the English one to course_shell.
#
#   cmake --build build --target update_translations   # refresh both .ts files
#
# then translate what is new in course_ja.ts (Qt Linguist, or by hand). The test
# catalogs.complete (tests/translations) fails while an entry is unfinished, a
# translation drops a placeholder or a catalog is out of date.

find_package(Qt6 6.4 REQUIRED COMPONENTS LinguistTools)

set(COURSE_TS_DIR ${PROJECT_SOURCE_DIR}/translations)
# Every file that may hold a message: the engine and the programs (the pages' text is
# drawn as it is written and carries no translate() calls).
file(GLOB_RECURSE COURSE_I18N_SOURCES CONFIGURE_DEPENDS
     ${PROJECT_SOURCE_DIR}/engine/*.cpp ${PROJECT_SOURCE_DIR}/engine/*.h
     ${PROJECT_SOURCE_DIR}/programs/*.cpp ${PROJECT_SOURCE_DIR}/programs/*.h)
list(FILTER COURSE_I18N_SOURCES EXCLUDE REGEX "/bench/")
list(SORT COURSE_I18N_SOURCES)
set(COURSE_I18N_INCLUDES ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/programs/sorrel/hartree/include)
# No source locations in the catalogs: they would change with every edit of a file.
set(COURSE_LUPDATE_OPTIONS -locations none -no-obsolete)
# For the test that checks the catalogs against the sources (tests/translations).
set_property(GLOBAL PROPERTY COURSE_I18N_SOURCES ${COURSE_I18N_SOURCES})
set_property(GLOBAL PROPERTY COURSE_I18N_INCLUDES ${COURSE_I18N_INCLUDES})
set(COURSE_TS_DIR ${COURSE_TS_DIR} CACHE INTERNAL "The folder of the message catalogs")

# course_add_catalog(TARGET TS_FILE [LUPDATE_OPTIONS …])
function(course_add_catalog target ts)
  cmake_parse_arguments(C "" "" "LUPDATE_OPTIONS" ${ARGN})
  qt_add_translations(${target}
    TS_FILES ${ts}
    SOURCES ${COURSE_I18N_SOURCES}
    INCLUDE_DIRECTORIES ${COURSE_I18N_INCLUDES}
    RESOURCE_PREFIX /i18n
    LUPDATE_OPTIONS ${COURSE_LUPDATE_OPTIONS} ${C_LUPDATE_OPTIONS})
  get_filename_component(name ${ts} NAME_WE)
  string(REGEX REPLACE "^course_" "" language ${name})
  string(TOUPPER ${language} language)
  set_property(GLOBAL PROPERTY COURSE_${language}_LUPDATE_OPTIONS ${C_LUPDATE_OPTIONS})
endfunction()
