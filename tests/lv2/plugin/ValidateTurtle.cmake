# Checks every Turtle file of the built bundle with sord_validate, together with the LV2 data of
# the vocabularies it uses, so that a wrong class, a property used on the wrong subject or a value
# out of its range is an error. Fails on any error sord_validate reports.
#   cmake -DBUNDLE=<bundle folder> -DSPECS=<folder of the LV2 data bundles> -P ValidateTurtle.cmake
foreach(variable BUNDLE SPECS)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "${variable} is not set")
  endif()
endforeach()
find_program(SORD_VALIDATE sord_validate REQUIRED)

file(GLOB bundle_files ${BUNDLE}/*.ttl)
list(LENGTH bundle_files count)
if(count LESS 3)
  message(FATAL_ERROR "expected manifest.ttl, the plug-in's and the presets' data in ${BUNDLE}, "
                      "found: ${bundle_files}")
endif()

# The vocabularies the bundle's data use, with those they in turn rest on.
set(vocabularies core atom midi urid options buf-size parameters port-props presets state ui units
    worker instance-access resize-port time log schemas port-groups patch data-access event)
set(spec_files)
foreach(vocabulary IN LISTS vocabularies)
  file(GLOB files ${SPECS}/${vocabulary}.lv2/*.ttl)
  if(NOT files)
    message(FATAL_ERROR "no data for ${vocabulary} in ${SPECS}/${vocabulary}.lv2")
  endif()
  list(APPEND spec_files ${files})
endforeach()

execute_process(COMMAND ${SORD_VALIDATE} ${bundle_files} ${spec_files}
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
message("${output}${errors}")
if(NOT result EQUAL 0 OR "${output}${errors}" MATCHES "error:")
  message(FATAL_ERROR "sord_validate found errors (exit ${result})")
endif()
if(NOT "${output}${errors}" MATCHES "Found 0 errors")
  message(FATAL_ERROR "sord_validate did not report its check")
endif()
