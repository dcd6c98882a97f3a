# The real-time workloads: the plug-in's audio calls timed on an audio thread while a GUI thread
# does what a DAW's GUI thread does. vorna_realtime holds them; vorna_realtime_bench runs them as a
# plain program (Linux and Windows), vorna_bench as Google Benchmark cases. Window system and
# scheduling code in one file per OS. Paths are taken from this file's folder, so that the file
# can be included from any list.
set(VORNA_REALTIME_DIR ${CMAKE_CURRENT_LIST_DIR})
find_package(Threads REQUIRED)
add_library(vorna_realtime STATIC
  ${VORNA_REALTIME_DIR}/AudioThread.cpp
  ${VORNA_REALTIME_DIR}/BenchHost.cpp
  ${VORNA_REALTIME_DIR}/CallStatistics.cpp
  ${VORNA_REALTIME_DIR}/EditorWorkloads.cpp
  ${VORNA_REALTIME_DIR}/FileWorkloads.cpp
  ${VORNA_REALTIME_DIR}/HostCallWorkloads.cpp
  ${VORNA_REALTIME_DIR}/PluginSession.cpp
  ${VORNA_REALTIME_DIR}/ResultTable.cpp
  ${VORNA_REALTIME_DIR}/WorkloadList.cpp
  ${VORNA_REALTIME_DIR}/WorkloadRunner.cpp)
target_include_directories(vorna_realtime PUBLIC ${VORNA_REALTIME_DIR}/..)
target_link_libraries(vorna_realtime PUBLIC vorna_core Threads::Threads)
# The real FB-01 bank dump the SysEx workload loads; read where it lies, never copied.
target_compile_definitions(vorna_realtime PUBLIC
  VORNA_SYX_BANK="${PROJECT_SOURCE_DIR}/../shared/testdata/syx/fb01_pianos.syx")
if(WIN32)
  target_sources(vorna_realtime PRIVATE ${VORNA_REALTIME_DIR}/AudioThreadSchedulingWin32.cpp
                 ${VORNA_REALTIME_DIR}/ParentWindowWin32.cpp)
  target_link_libraries(vorna_realtime PUBLIC winmm user32 gdi32)
else()
  find_package(X11 REQUIRED)
  target_sources(vorna_realtime PRIVATE ${VORNA_REALTIME_DIR}/AudioThreadSchedulingPosix.cpp
                 ${VORNA_REALTIME_DIR}/ParentWindowX11.cpp)
  target_include_directories(vorna_realtime SYSTEM PRIVATE ${X11_INCLUDE_DIR})
  target_link_libraries(vorna_realtime PUBLIC ${X11_LIBRARIES})
endif()

# The LV2 workloads (Linux) load the built bundle's binary through the LV2 host kit, as a host
# does: run() is timed in the very binary hosts load, with its own copy of the core.
if(NOT WIN32)
  target_sources(vorna_realtime PRIVATE ${VORNA_REALTIME_DIR}/lv2/Lv2AudioThread.cpp
                 ${VORNA_REALTIME_DIR}/lv2/Lv2BenchSession.cpp
                 ${VORNA_REALTIME_DIR}/lv2/Lv2Workloads.cpp)
  target_compile_definitions(vorna_realtime PUBLIC VORNA_REALTIME_LV2
                             VORNA_LV2_BUNDLE_DIR="${VORNA_LV2_BUNDLE}")
  target_link_libraries(vorna_realtime PUBLIC vorna_lv2_hostkit)
endif()

add_executable(vorna_realtime_bench ${VORNA_REALTIME_DIR}/../RealtimeMain.cpp)
target_link_libraries(vorna_realtime_bench PRIVATE vorna_entry vorna_realtime)
if(NOT WIN32)
  add_dependencies(vorna_realtime_bench vorna_lv2_plugin)
endif()

# The figures' arithmetic (percentile, budget count); nothing timed.
if(VORNA_BUILD_TESTS AND NOT WIN32)
  find_package(GTest QUIET)
  if(GTest_FOUND)
    add_executable(vorna_realtime_stats_tests ${VORNA_REALTIME_DIR}/CallStatisticsTest.cpp)
    target_link_libraries(vorna_realtime_stats_tests PRIVATE vorna_realtime GTest::gtest_main)
    add_test(NAME realtime_statistics COMMAND vorna_realtime_stats_tests)
  endif()
endif()
