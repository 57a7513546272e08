# A subsystem folder is one static library of all the sources it holds, so adding a
# file to a folder needs no edit of a build file.
function(velarim_library name)
  cmake_parse_arguments(ARG "" "EXCLUDE" "LINKS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  if(ARG_EXCLUDE)
    list(FILTER sources EXCLUDE REGEX "${ARG_EXCLUDE}")
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_LINKS})
endfunction()

# Qt's headers are most of what the compiler reads for each source, so they are read once
# into a precompiled header. Making one costs as much as several sources, so a family of
# targets shares one: a target makes its family's header (CORE, GUI, WIDGETS, TESTS or
# END_TO_END) with velarim_precompile, and the targets built with the same flags and macros
# take it with velarim_share_precompiled. Sources built with other optimisation cannot use it.
set(VELARIM_PCH_CORE <QByteArray> <QDir> <QFile> <QFileInfo> <QString> <QStringList>
    <algorithm> <array> <cstdint> <cstring> <functional> <memory> <optional> <string> <vector>)
set(VELARIM_PCH_GUI ${VELARIM_PCH_CORE} <QColor> <QImage> <QPainter>)
set(VELARIM_PCH_WIDGETS ${VELARIM_PCH_GUI} <QApplication> <QKeyEvent> <QMouseEvent> <QPointer> <QWidget>)
set(VELARIM_PCH_TESTS ${VELARIM_PCH_WIDGETS} <QTemporaryDir> <gmock/gmock.h> <gtest/gtest.h>)
set(VELARIM_PCH_END_TO_END ${VELARIM_PCH_GUI} <QTemporaryDir> <gtest/gtest.h>)
function(velarim_precompile target family)
  target_precompile_headers(${target} PRIVATE ${VELARIM_PCH_${family}})
endfunction()
function(velarim_share_precompiled target donor)
  target_precompile_headers(${target} REUSE_FROM ${donor})
endfunction()

# The tests of one subsystem folder under tests/ form one executable that links the
# subsystem's library and the shared test support.
function(velarim_test_folder folder)
  cmake_parse_arguments(ARG "" "" "LINKS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.h)
  if(NOT sources)
    return()
  endif()
  add_executable(tests_${folder} ${sources})
  target_link_libraries(tests_${folder} PRIVATE velarim_test_support ${ARG_LINKS})
  velarim_share_precompiled(tests_${folder} velarim_test_support)
  gtest_discover_tests(tests_${folder} DISCOVERY_TIMEOUT 60)
  velarim_discovered_tests_in_test_home(tests_${folder}_TESTS ENVIRONMENT QT_QPA_PLATFORM=offscreen)
endfunction()

# Every test runs in a home of its own: HOME and the XDG folders point into the build
# folder, which the fixture velarim_test_home (tests/) makes afresh before the tests run,
# so nothing a test saves, caches or keeps reaches the home of whoever runs them.
set(VELARIM_TEST_HOME ${PROJECT_BINARY_DIR}/tests/home)
set(VELARIM_TEST_RUNTIME_DIR ${PROJECT_BINARY_DIR}/tests/runtime)
set(VELARIM_TEST_ENVIRONMENT
    VELARIM_IN_TEST_HOME=1
    HOME=${VELARIM_TEST_HOME}
    XDG_CONFIG_HOME=${VELARIM_TEST_HOME}/.config
    XDG_DATA_HOME=${VELARIM_TEST_HOME}/.local/share
    XDG_CACHE_HOME=${VELARIM_TEST_HOME}/.cache
    XDG_RUNTIME_DIR=${VELARIM_TEST_RUNTIME_DIR}
    # Tests that check a file the program ships read it from the sources.
    VELARIM_SOURCE_DIR=${PROJECT_SOURCE_DIR})

# The named tests run in the test home, with further environment entries.
function(velarim_tests_in_test_home)
  cmake_parse_arguments(ARG "" "" "TESTS;ENVIRONMENT" ${ARGN})
  set(environment ${VELARIM_TEST_ENVIRONMENT} ${ARG_ENVIRONMENT})
  set_tests_properties(${ARG_TESTS} PROPERTIES ENVIRONMENT "${environment}" FIXTURES_REQUIRED velarim_test_home)
endfunction()

# The same for tests that gtest_discover_tests finds, whose names CTest learns only when
# it runs (in the variable test_list); FIXTURES names further fixtures they need. A list
# does not pass through that command's PROPERTIES (only its first entry arrives), so a
# file that CTest reads after the discovered tests sets the environment on them.
function(velarim_discovered_tests_in_test_home test_list)
  cmake_parse_arguments(ARG "" "" "ENVIRONMENT;FIXTURES" ${ARGN})
  set(environment ${VELARIM_TEST_ENVIRONMENT} ${ARG_ENVIRONMENT})
  set(fixtures velarim_test_home ${ARG_FIXTURES})
  set(script ${CMAKE_CURRENT_BINARY_DIR}/${test_list}_in_test_home.cmake)
  file(WRITE ${script}
       "if(${test_list})\n"
       "  set_tests_properties(\${${test_list}} PROPERTIES\n"
       "    ENVIRONMENT [==[${environment}]==]\n"
       "    FIXTURES_REQUIRED [==[${fixtures}]==])\n"
       "endif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${script})
endfunction()
