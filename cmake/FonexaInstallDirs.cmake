# Where an installation puts things, decided before the folders below add
# their targets. The documents go to share/doc/fonexa, as Debian names them,
# unless the cache says otherwise.
if(NOT CMAKE_INSTALL_DOCDIR)
  set(CMAKE_INSTALL_DOCDIR share/doc/fonexa)
endif()
include(GNUInstallDirs)

# The plug-ins and the keypad module sit in a folder beside the core library,
# where the core looks for them from its own location.
set(FONEXA_INSTALL_PLUGINDIR ${CMAKE_INSTALL_LIBDIR}/fonexa-plugins)

# Installed programs and libraries find the project's libraries relative to
# themselves, so that a prefix or an unpacked package can move as a whole.
function(fonexa_relative_rpath from_dir out)
  if(IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}")
    set(${out} "${CMAKE_INSTALL_LIBDIR}" PARENT_SCOPE)
    return()
  endif()
  file(RELATIVE_PATH relative /${from_dir} /${CMAKE_INSTALL_LIBDIR})
  string(REGEX REPLACE "/+$" "" relative "${relative}")
  if(relative STREQUAL "")
    set(${out} "$ORIGIN" PARENT_SCOPE)
  else()
    set(${out} "$ORIGIN/${relative}" PARENT_SCOPE)
  endif()
endfunction()
