# Looks the plug-in up as a user would, with lv2info and LV2_PATH set to a folder that holds the
# built bundle: it must be listed, with all its ports, and lilv must report no error on the way.
# lilv takes every entry of an LV2_PATH folder for a bundle, so the folder holds only a link to
# the bundle, not the build folder's other files.
#   cmake -DBUNDLE=<bundle folder> -DURI=<plug-in URI> -DPORTS=<port count> -DWORK=<scratch folder>
#         -P ListWithLv2Info.cmake
foreach(variable BUNDLE URI PORTS WORK)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "${variable} is not set")
  endif()
endforeach()
find_program(LV2INFO lv2info REQUIRED)
get_filename_component(name ${BUNDLE} NAME)
set(folder ${WORK}/lv2-path)
file(REMOVE_RECURSE ${folder})
file(MAKE_DIRECTORY ${folder})
file(CREATE_LINK ${BUNDLE} ${folder}/${name} SYMBOLIC)

execute_process(COMMAND ${CMAKE_COMMAND} -E env LV2_PATH=${folder} ${LV2INFO} ${URI}
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "lv2info failed (exit ${result}):\n${output}${errors}")
endif()
if(errors MATCHES "error")
  message(FATAL_ERROR "lilv reported errors:\n${errors}")
endif()
string(FIND "${output}" "${URI}" at)
if(at LESS 0)
  message(FATAL_ERROR "lv2info did not list ${URI}:\n${output}")
endif()
string(REGEX MATCHALL "\n[ \t]*Port [0-9]+:" ports "${output}")
list(LENGTH ports count)
if(NOT count EQUAL PORTS)
  message(FATAL_ERROR "lv2info lists ${count} ports, expected ${PORTS}:\n${output}")
endif()
message("lv2info lists ${URI} with ${count} ports")
