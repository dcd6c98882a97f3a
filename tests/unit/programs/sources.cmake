list(APPEND VORNA_CORE_TEST_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/SysExFormatTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SysExConversionTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SysExParamChangeTest.cpp)
# The real voice-bank dumps are read where they lie, never copied into the project.
set_source_files_properties(
  ${CMAKE_CURRENT_LIST_DIR}/SysExFormatTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SysExConversionTest.cpp
  PROPERTIES COMPILE_DEFINITIONS "VORNA_SYX_TESTDATA=\"${PROJECT_SOURCE_DIR}/../shared/testdata/syx\"")
list(APPEND VORNA_CORE_TEST_SOURCES ${CMAKE_CURRENT_LIST_DIR}/SysExInstanceTest.cpp)
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/SysExInstanceTest.cpp
  PROPERTIES COMPILE_DEFINITIONS "VORNA_SYX_TESTDATA=\"${PROJECT_SOURCE_DIR}/../shared/testdata/syx\"")
list(APPEND VORNA_CORE_TEST_SOURCES ${CMAKE_CURRENT_LIST_DIR}/ProgramCommandsTest.cpp)
list(APPEND VORNA_CORE_TEST_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/ProgramNumberingTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProgramBankTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FactoryBankTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BrowserDataTest.cpp)
list(APPEND VORNA_CORE_TEST_SOURCES ${CMAKE_CURRENT_LIST_DIR}/FactoryLoadPathsTest.cpp)
list(APPEND VORNA_CORE_TEST_SOURCES ${CMAKE_CURRENT_LIST_DIR}/SysExIllegalBytesTest.cpp)
list(APPEND VORNA_CORE_TEST_SOURCES ${CMAKE_CURRENT_LIST_DIR}/SysExBankExportTest.cpp)
