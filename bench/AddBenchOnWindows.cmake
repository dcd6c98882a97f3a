# Adds the plain real-time benchmark to a Windows build while the top-level list adds bench/ on
# Linux only. Given to the configure step as -DCMAKE_PROJECT_Vorna_INCLUDE=<this file>, it runs
# right after project(Vorna) and defers the targets to the end of the top-level list, when the
# plug-in's targets exist (a deferred call may include a file but not add a directory). Not needed
# once the top-level list adds bench/ on Windows itself.
if(WIN32)
  cmake_language(EVAL CODE
    "cmake_language(DEFER CALL include [[${CMAKE_CURRENT_LIST_DIR}/realtime/RealtimeTargets.cmake]])")
endif()
