# fonexa_add_plugin(NAME SOURCES...): a device plug-in, a module loaded by name
# at run time from the plug-in folder beside the core library.
function(fonexa_add_plugin name)
  add_library(${name} MODULE ${ARGN})
  fonexa_warnings(${name})
  target_link_libraries(${name} PRIVATE FonexaCore)
  set_target_properties(${name} PROPERTIES PREFIX "" LIBRARY_OUTPUT_DIRECTORY ${FONEXA_PLUGIN_OUTPUT_DIRECTORY})
endfunction()
