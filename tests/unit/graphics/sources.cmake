# The drawing library's image scaling: the resampler on made-up pictures, and the editor's
# embedded pictures at every scale through the image cache.
list(APPEND VORNA_CORE_TEST_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/ImageScalingTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ScaledImagesTest.cpp)
