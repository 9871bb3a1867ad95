# What `cmake --install` lays out, under GNUInstallDirs folders:
#   include/fonexa/                 the public headers
#   LIBDIR/                         libFonexaCore, libFonexa (the SDK) and the
#                                   host's client library PhonePanel
#   LIBDIR/tallix/                  the host: the program tallix, its skin/ and
#                                   its own libraries Gui and System
#   LIBDIR/fonexa-plugins/          the device plug-ins and the keypad module
#   bin/                            fonexa, fonexa-modemsim, and tallix as a link
#                                   to the host's program
#   LIBDIR/cmake/Fonexa/            the CMake package: Fonexa::Core, Fonexa::Sdk
#   LIBDIR/pkgconfig/               fonexa-core.pc, fonexa.pc
# Test programs, benchmarks, examples and the static helper libraries stay in
# the build tree.
include(CMakePackageConfigHelpers)

# ---- Sonames -------------------------------------------------------------------
# The plug-ins are modules loaded by file name and need none.
set_target_properties(FonexaCore Fonexa Gui System PROPERTIES
  VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR})
set_target_properties(FonexaCore PROPERTIES EXPORT_NAME Core)
set_target_properties(Fonexa PROPERTIES EXPORT_NAME Sdk)

# ---- Relative run paths ----------------------------------------------------------
fonexa_relative_rpath(${CMAKE_INSTALL_BINDIR} fonexa_program_rpath)
fonexa_relative_rpath(${FONEXA_INSTALL_PLUGINDIR} fonexa_plugin_rpath)
fonexa_relative_rpath(${CMAKE_INSTALL_LIBDIR} fonexa_library_rpath)
set_target_properties(fonexa fonexa-modemsim PROPERTIES INSTALL_RPATH "${fonexa_program_rpath}")
set_target_properties(Fonexa PROPERTIES INSTALL_RPATH "${fonexa_library_rpath}")
# The host's own libraries Gui and System are private to it: their names are
# too general for the shared library folder. tallix opens its client libraries
# (libPhonePanel.so) by bare name, which its own run path resolves.
# The host's installation folder is the folder of its program: its skin/ and
# logs/ sit beside it there, not in bin/.
set(FONEXA_INSTALL_HOSTLIBDIR ${CMAKE_INSTALL_LIBDIR}/tallix)
fonexa_relative_rpath(${FONEXA_INSTALL_HOSTLIBDIR} fonexa_host_rpath)
set_target_properties(tallix PROPERTIES INSTALL_RPATH "$ORIGIN;${fonexa_host_rpath}")
set_target_properties(PhonePanel PROPERTIES INSTALL_RPATH "${fonexa_library_rpath};${fonexa_library_rpath}/tallix")
set_target_properties(Gui System PROPERTIES INSTALL_RPATH "$ORIGIN")
set(fonexa_plugin_modules GenericPhone MotorolaPhone EricssonPhone NokiaPhone FonexaKeypad)
set_target_properties(${fonexa_plugin_modules} PROPERTIES INSTALL_RPATH "${fonexa_plugin_rpath}")

# ---- Files ---------------------------------------------------------------------
install(TARGETS FonexaCore Fonexa EXPORT FonexaTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/fonexa
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}
  FILES_MATCHING PATTERN "*.h")
install(TARGETS ${fonexa_plugin_modules} LIBRARY DESTINATION ${FONEXA_INSTALL_PLUGINDIR})
install(TARGETS Gui System LIBRARY DESTINATION ${FONEXA_INSTALL_HOSTLIBDIR})
install(TARGETS PhonePanel LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(TARGETS fonexa fonexa-modemsim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS tallix RUNTIME DESTINATION ${FONEXA_INSTALL_HOSTLIBDIR})
# tallix reads skin/tallix.xml beside its own file (the link's target).
get_directory_property(fonexa_skin_pictures DIRECTORY ${PROJECT_SOURCE_DIR}/host DEFINITION TALLIX_SKIN_PICTURES)
install(FILES ${PROJECT_SOURCE_DIR}/host/skin/tallix.xml ${fonexa_skin_pictures}
  DESTINATION ${FONEXA_INSTALL_HOSTLIBDIR}/skin)
file(RELATIVE_PATH fonexa_host_link /${CMAKE_INSTALL_BINDIR} /${FONEXA_INSTALL_HOSTLIBDIR}/tallix)
install(CODE "
  set(link \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/tallix\")
  file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
  file(REMOVE \"\${link}\")
  file(CREATE_LINK \"${fonexa_host_link}\" \"\${link}\" SYMBOLIC)
  message(STATUS \"Installing: \${link} -> ${fonexa_host_link}\")")
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})

# ---- The CMake package -----------------------------------------------------------
set(FONEXA_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Fonexa)
install(EXPORT FonexaTargets NAMESPACE Fonexa:: DESTINATION ${FONEXA_CMAKE_DIR})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/FonexaConfig.cmake.in
  ${PROJECT_BINARY_DIR}/package/FonexaConfig.cmake
  INSTALL_DESTINATION ${FONEXA_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/package/FonexaConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/package/FonexaConfig.cmake ${PROJECT_BINARY_DIR}/package/FonexaConfigVersion.cmake
  DESTINATION ${FONEXA_CMAKE_DIR})

# ---- pkg-config ------------------------------------------------------------------
# The files name their prefix relative to their own folder, so that they stay
# right wherever the tree is installed or unpacked.
file(RELATIVE_PATH fonexa_pc_to_prefix /${CMAKE_INSTALL_LIBDIR}/pkgconfig /)
string(REGEX REPLACE "/$" "" fonexa_pc_to_prefix "${fonexa_pc_to_prefix}")
set(FONEXA_PC_PREFIX "\${pcfiledir}/${fonexa_pc_to_prefix}")
foreach(pc fonexa-core fonexa)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/${pc}.pc.in ${PROJECT_BINARY_DIR}/package/${pc}.pc @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/package/${pc}.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endforeach()

include(${PROJECT_SOURCE_DIR}/cmake/FonexaInstallAbi.cmake)
