# The symbols the shared libraries export are compared with the lists in abi/
# whenever a library or its list changes, so that an accidental change of the
# interface fails the build and not an application. An intended change
# updates the lists:
#   cmake --build <dir> --target fonexa_abi_update
set(FONEXA_ABI_DIR ${PROJECT_SOURCE_DIR}/abi)
set(FONEXA_ABI_SCRIPT ${FONEXA_ABI_DIR}/CheckSymbolList.cmake)
set(FONEXA_ABI_UPDATE_HINT "cmake --build ${CMAKE_BINARY_DIR} --target fonexa_abi_update")
set(FONEXA_ABI_STAMPS)
set(FONEXA_ABI_UPDATES)
foreach(library FonexaCore Fonexa)
  set(list ${FONEXA_ABI_DIR}/lib${library}.symbols)
  set(stamp ${CMAKE_BINARY_DIR}/abi/lib${library}.checked)
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DLIBRARY=$<TARGET_FILE:${library}> -DLIST=${list}
            "-DUPDATE_HINT=${FONEXA_ABI_UPDATE_HINT}" -P ${FONEXA_ABI_SCRIPT}
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    DEPENDS ${library} ${list} ${FONEXA_ABI_SCRIPT}
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    COMMENT "Checking the symbols lib${library} exports against abi/"
    VERBATIM)
  list(APPEND FONEXA_ABI_STAMPS ${stamp})
  list(APPEND FONEXA_ABI_UPDATES
    COMMAND ${CMAKE_COMMAND} -DLIBRARY=$<TARGET_FILE:${library}> -DLIST=${list} -DUPDATE=ON -P ${FONEXA_ABI_SCRIPT})
endforeach()
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/abi)
add_custom_target(fonexa_abi_check ALL DEPENDS ${FONEXA_ABI_STAMPS})
add_custom_target(fonexa_abi_update ${FONEXA_ABI_UPDATES}
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
  COMMENT "Writing the exported symbols into abi/"
  VERBATIM)
add_dependencies(fonexa_abi_update FonexaCore Fonexa)
