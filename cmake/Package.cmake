# The Debian package, made by `cpack -G DEB` in the build folder: the game with its
# desktop entry and icon, the command-line recognizer, the libraries, headers, pkg-config
# and CMake files, the Python module and the dictionaries, installed under /usr. The
# package's dependencies come from dpkg-shlibdeps (dpkg-dev), which reads the binaries.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessera)
set(CPACK_PACKAGE_VENDOR "Tessera")
set(CPACK_PACKAGE_CONTACT "Tessera developers <tessera@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Kanji guessing game with its own handwriting recognizer")
# The summary is the description's first line; CPack indents the rest as Debian wants.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "A game master hides a kanji behind one of five effects and reveals it step by step;
players write their guess with a pen or a mouse. The package also holds the recognizer
for other programs: the command-line recognizer tessera-recognize, the libraries with
their headers, pkg-config and CMake files, and the Python module tessera.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# A shlibs file for the libraries, and ldconfig run when they are installed.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
# The package's own libraries, for dpkg-shlibdeps to find when it reads the programs.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${TESSERA_LIB_DIR})
# The game draws with the IPA fonts; the Python module needs Debian's Python 3.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-mincho, fonts-ipafont-gothic, python3")
include(CPack)
