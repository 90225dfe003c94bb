# The Debian package. In the build folder, `cpack -G DEB` makes
# surfklocka_<version>-<revision>_<arch>.deb from the install rules; dpkg-shlibdeps (dpkg-dev)
# works out the libraries it depends on. The revision is the latest entry's of
# resources/debian/changelog, installed as changelog.Debian.gz. tools/check-package.sh builds the
# package and has lintian check it.

# The program finds its Qt libraries where the system keeps them: no RPATH in the installed
# program (lintian: custom-library-search-path).
set(CMAKE_SKIP_INSTALL_RPATH ON)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME surfklocka)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Surfklockas upphovsmän")
set(CPACK_PACKAGE_CONTACT "Surfklockas upphovsmän <surfklocka@example.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://surfklocka.example.org/")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "log of dial-up connection time and its cost (in Swedish)")
set(CPACK_PACKAGE_DESCRIPTION
    "Surfklocka keeps a day-by-day log of how long you have been connected
to the Internet on a prepaid NetLink dial-up plan with 1, 2 or 8 prepaid
hours a day, and tells you what it costs: the day's and the month's
connected time, extra time and cost, and the totals over a range of up to
a year. The last booking can be undone, a day or a month deleted and
restored, and the month printed as a report.

The program's texts are in Swedish.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${SURFKLOCKA_DEBIAN_REVISION})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The icons are PNG pictures built into the program, read by Qt's own PNG reader, and the X11
# platform plugin comes with libqt6gui6 itself, so dpkg-shlibdeps finds every dependency.
# Debian's Swedish translation of Qt's own dialogs (the save and print dialogs), which the program
# completes with its own small catalogue.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n")
# Opens the help page, the e-mail link and the home page from the help window.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Folders 0755 whatever the umask of the one who builds; files are 0644 and the program 0755
# through the install rules.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

include(CPack)
