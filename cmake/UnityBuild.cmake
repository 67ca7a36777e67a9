# SPDX-License-Identifier: GPL-3.0-or-later
# Unity builds (-DCMAKE_UNITY_BUILD=ON, which test.sh gives): each target's sources are
# compiled in batches, one compiler run per batch, so the Qt, GoogleTest and standard
# headers are read and their inline code compiled once per batch instead of once per
# file. A plain configure leaves it off, so that a developer's build still compiles
# every file on its own and catches a missing include.
#
# The files of one batch share one translation unit: two files whose unnamed namespaces
# define the same name cannot be in one. Each such file is compiled on its own here
# (named from the top of the tree, with what it clashes with), so the sources stay as
# they are. Included before the targets are made; course_unity_apart_clashing() is
# called once they are all there.

# GCC warns of a class that derives from one in an unnamed namespace of an included file,
# as such a class in a header breaks the one-definition rule. In a unity batch the
# included files are the sources themselves (each test's fixture in its unnamed
# namespace is the base of its TEST_F classes), so the warning says nothing there; a
# build without batches keeps it.
if(CMAKE_UNITY_BUILD AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  add_compile_options(-Wno-subobject-linkage)
endif()

# course_unity_apart(TARGET FILE…): FILE… (from the top of the tree) are compiled on
# their own even in a unity build of TARGET.
function(course_unity_apart target)
  if(NOT TARGET ${target})
    return()
  endif()
  list(TRANSFORM ARGN PREPEND ${PROJECT_SOURCE_DIR}/)
  set_source_files_properties(${ARGN} TARGET_DIRECTORY ${target} PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
endfunction()

# The files compiled on their own, each after what it clashes with.
function(course_unity_apart_clashing)
  # kFont (KeyOverlay.cpp)
  course_unity_apart(course_shell engine/shell/RunControls.cpp)
  # kStep (Coulomb.cpp), kReach (Well.cpp)
  course_unity_apart(brindle_eigen programs/brindle/eigen/models/Morse.cpp)
  # fixed() (TableCollector.cpp)
  course_unity_apart(sorrel_hartree programs/sorrel/hartree/PreciseReport.cpp)
  # contents(), put(), entries() (ExportFolderTest.cpp); outDir() (FormulaPageTest.cpp)
  course_unity_apart(engine_tests tests/engine/StagedFileTest.cpp tests/engine/GlyphPageTest.cpp)
  # round6() (EigenIterationTest.cpp)
  course_unity_apart(brindle_eigen_tests tests/brindle/AngularMomentumTest.cpp)
  # the colours kRed, kBlue, kGreen, kOrange and key() in each of these and LiveKeysTest.cpp;
  # brindle(), the program run (the namespace brindle of the others)
  course_unity_apart(brindle_page_tests tests/brindle/pages/LiveModelsTest.cpp tests/brindle/pages/LivePageTest.cpp
                     tests/brindle/pages/LiveRunControlsTest.cpp tests/brindle/pages/LiveRunReentrancyTest.cpp
                     tests/brindle/DataExportTest.cpp)
  # Program and kPrograms (CommandLineProgramsTest.cpp)
  course_unity_apart(programs_command_line_tests tests/programs/LanguageProgramsTest.cpp)
  # kSlot, VirtualTime (WindowPacingTest.cpp), press() (WindowChargeTest.cpp)
  course_unity_apart(sorrel_window_tests tests/sorrel/WindowRunControlsTest.cpp)
  # fixed5() (the one SorrelDisplay.cpp calls)
  course_unity_apart(sorrel_window programs/sorrel/FailureNotice.cpp)
endfunction()
