# The Debian package: `cpack -G DEB` in the build folder makes
# fonexa_<version>_<arch>.deb of exactly what `cmake --install` lays out.
set(CPACK_PACKAGE_NAME fonexa)
set(CPACK_PACKAGE_VENDOR "Mebrix")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "SDK and tools that drive GSM phones through a serial port")
set(CPACK_PACKAGE_DESCRIPTION
  "Fonexa drives GSM phones and modules attached through a serial port: short
messages in PDU mode, calls, phone books, operators, SIM security, unsolicited
events and GPRS dial-up. The package holds the engine library with its device
plug-ins, the C++ application SDK with headers, CMake and pkg-config files,
the fonexa command, the virtual modem fonexa-modemsim and the desktop host
tallix.")
set(CPACK_PACKAGE_CONTACT "Fonexa maintainers <fonexa@mebrix.example>")
set(CPACK_STRIP_FILES OFF)

set(CPACK_DEBIAN_PACKAGE_SECTION comm)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The run-time dependencies come from the binaries themselves (Qt, libstdc++).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The package's own libraries resolve inside the package.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS
  ${CMAKE_BINARY_DIR}/lib ${FONEXA_PLUGIN_OUTPUT_DIRECTORY})

# cpack and `make install` package the tree as it is built, like
# `cmake --install`, instead of building every target (tests and benchmarks
# included) first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(CPACK_GENERATOR DEB)
include(CPack)
