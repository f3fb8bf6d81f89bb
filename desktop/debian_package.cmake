# The Debian package of everything `cmake --install` lays out, built with
# `cpack -G DEB` in the build folder (scripts/package.sh).  Depends comes from
# the shared libraries the programs use (dpkg-shlibdeps).
set(CPACK_PACKAGE_NAME emailclean)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "岚石数据软件工作室")
set(CPACK_PACKAGE_CONTACT "岚石数据软件工作室 <support@lanshi-data.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Email地址清理: clean lists of e-mail addresses in CSV and text files")
set(CPACK_PACKAGE_DESCRIPTION
    "A desktop tool (Varnotek 电子邮件地址清理工具) that cleans lists of e-mail addresses held in\n"
    "delimited text files in GBK: previews, domain statistics as a table or a chart, removal of\n"
    "duplicates, invalid and erroneous addresses, exclusions, and exports as one file, in parts\n"
    "or per mail domain.  Also emailclean-cli (the same work without a window) and textsql.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "http://www.lanshi-data.example/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The Chinese font of the window, Qt's Chinese standard texts, and the
# opener of the status line's web address.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk, qt6-translations-l10n, xdg-utils")

set(CPACK_GENERATOR DEB)
set(CPACK_SOURCE_GENERATOR "")
include(CPack)
