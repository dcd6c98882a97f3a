# Tests of the factory sounds generator: its source language, variations, uniqueness guarantee,
# levels and manifests. Only where the generator is built.
if(TARGET vorna_bankgen_images)
  list(APPEND VORNA_CORE_TEST_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/SourceParsingTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/VariationTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ExpansionTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MeasureTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/LevelRulesTest.cpp)
endif()
