# Builds the Debian package in an optimised build folder of its own, the way the README
# tells a person to: cmake -P BuildPackage.cmake with SOURCE_DIR, BUILD_DIR and, where
# there is one, LAUNCHER (a compiler cache).
# Optimised as the program that ./run.sh builds, without the debug information that the
# package's stripped files would lose anyway.
set(configure ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${BUILD_DIR} -G Ninja -DCMAKE_BUILD_TYPE=Release
              "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG" "-DCMAKE_C_FLAGS_RELEASE=-O2 -DNDEBUG"
              -DVELARIM_TESTS=OFF -DVELARIM_BENCH=OFF)
if(LAUNCHER)
  list(APPEND configure -DCMAKE_CXX_COMPILER_LAUNCHER=${LAUNCHER} -DCMAKE_C_COMPILER_LAUNCHER=${LAUNCHER})
endif()
execute_process(COMMAND ${configure} COMMAND_ERROR_IS_FATAL ANY)
# Only the package of this build may be found by the cases that look at it.
file(GLOB old_packages ${BUILD_DIR}/velarim_*.deb)
if(old_packages)
  file(REMOVE ${old_packages})
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target package COMMAND_ERROR_IS_FATAL ANY)
