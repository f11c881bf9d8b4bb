# TavrinPackage.cmake - `cpack -G DEB` in a build folder makes tavrin_VERSION_ARCH.deb
# of everything `cmake --install` puts in place, installed under /usr.
set(CPACK_PACKAGE_NAME tavrin)
set(CPACK_PACKAGE_VENDOR "Tavrin")
set(CPACK_PACKAGE_CONTACT "Tavrin developers <tavrin@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Korean scripture reader")
set(CPACK_PACKAGE_DESCRIPTION
  "Tavrin reads the Old and New Testaments in Korean: pick a testament, a book\n\
and a reference and read its text, read a whole chapter and step from chapter\n\
to chapter, copy text or keep it in a notes file. It comes with the 1961\n\
Korean Revised Version (성경전서 개역한글판, Korean Bible Society), the\n\
command-line reader tavrin-read, tavrin-mkstore to build other store sets,\n\
and Tessdb, its record-store library.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Library dependencies come from dpkg-shlibdeps (package dpkg-dev). Without a
# Korean face every syllable is an empty box, and not every desktop has one.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own dialog buttons speak Korean through its translations.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-noto-cjk | fonts-nanum, qt6-translations-l10n")
set(CPACK_STRIP_FILES ON)
# The ld.so cache is refreshed by dpkg's ldconfig trigger. Naming maintainer
# scripts that do not exist keeps CPack from writing its own ldconfig
# postinst and postrm: a package with a postrm stays known to dpkg after
# `apt-get remove`, and the programs find libtessdb by their run path anyway.
file(WRITE ${CMAKE_BINARY_DIR}/deb/triggers "activate-noawait ldconfig\n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
  ${CMAKE_BINARY_DIR}/deb/triggers ${CMAKE_BINARY_DIR}/deb/none/postinst ${CMAKE_BINARY_DIR}/deb/none/postrm)
include(CPack)
