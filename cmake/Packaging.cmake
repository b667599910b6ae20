# A Debian package of the installed tree (cpack -G DEB, or `make package`).
set(CPACK_PACKAGE_NAME capbeam)
set(CPACK_PACKAGE_VENDOR "capbeam")
set(CPACK_PACKAGE_CONTACT "capbeam maintainers <maintainers@capbeam.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "End points of skewed pier cap beams on a circular road curve")
set(CPACK_PACKAGE_DESCRIPTION
    "A calculator for bridge surveyors: from the curve, the design cap beam and the roadbed's\n\
half-width it gives, for any chainage of a beam's centre, the centre's coordinates and each\n\
beam end's chainage, coordinates and length on the roadbed's inner and outer edge.\n\
Includes the window program capbeam, the terminal front-end capbeam-cli and\n\
capbeam-report, which writes a job's calculation sheet for capbeam-cli report.")
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The libraries come from dpkg-shlibdeps; the platform plugin, the font that
# renders the Chinese captions and Qt's own Chinese dialog texts are not
# libraries, so they are named here.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-wqy-microhei, qt6-translations-l10n")
include(CPack)
