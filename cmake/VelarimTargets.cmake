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
  gtest_discover_tests(tests_${folder}
    # A profile folder of the tests' own, so nothing a test saves lands in the user's.
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;VELARIM_SOURCE_DIR=${PROJECT_SOURCE_DIR};XDG_CONFIG_HOME=${PROJECT_BINARY_DIR}/tests/profile"
    DISCOVERY_TIMEOUT 60)
endfunction()
