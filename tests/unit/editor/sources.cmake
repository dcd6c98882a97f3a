# The editor's layout tables, its embedded images and the captions painted into them.
list(APPEND VORNA_CORE_TEST_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/ControlLayoutTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EditorImagesTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PanelCaptionsTest.cpp)
