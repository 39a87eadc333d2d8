# The Debian package: `cpack -G DEB` in the build folder gives velmora_VERSION_ARCH.deb, which installs with
# `apt-get install ./velmora_*.deb` and pulls in the Qt libraries the executables were linked against.
set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VENDOR "Velmora")
set(CPACK_PACKAGE_CONTACT "Velmora developers <velmora@velmora.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Check NC programs (G-code) block by block against their tool path")
set(CPACK_PACKAGE_DESCRIPTION
    "Velmora reads an NC program for milling machines, shows its text beside the drawn tool path and lets you
step through it block by block. It reports faulty arcs and constructs it cannot evaluate, exports the path
as a DXF drawing, and comes with velmora-cli, a command-line checker for editors and CI.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://velmora.example.org/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The MIME and desktop databases are refreshed by the triggers of shared-mime-info and desktop-file-utils.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "shared-mime-info, desktop-file-utils, fonts-noto-cjk")
set(CPACK_GENERATOR DEB)
include(CPack)
