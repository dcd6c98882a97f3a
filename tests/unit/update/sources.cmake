list(APPEND VORNA_CORE_TEST_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/VersionCheckTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BrokenAnswerTest.cpp
  # The local HTTP server runs on a thread of its own: test programs only, never the plug-in.
  ${PROJECT_SOURCE_DIR}/src/platform/LoopbackHttpServer.cpp
  ${PROJECT_SOURCE_DIR}/src/platform/${VORNA_OS}/LoopbackSockets.cpp)
