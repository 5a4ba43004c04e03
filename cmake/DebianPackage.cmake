# `make package`: one Debian package with the three programs and their data, under /usr.
#
# The version is the program's (src/core/version.h); the Debian revision is the one of the
# first entry of data/debian/changelog, which must name that version, so the two cannot drift.

set(AMBREL_DEBIAN_SOURCE ${PROJECT_SOURCE_DIR}/data/debian)
set(AMBREL_DEBIAN_BUILD ${PROJECT_BINARY_DIR}/debian)

file(STRINGS ${AMBREL_DEBIAN_SOURCE}/changelog changelog_head LIMIT_COUNT 1)
if(NOT changelog_head MATCHES "^ambrel \\(([^)]+)-([^)-]+)\\) ")
  message(FATAL_ERROR "data/debian/changelog must start with \"ambrel (<version>-<revision>) \"")
endif()
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "data/debian/changelog starts with version ${CMAKE_MATCH_1}; "
                      "the programs are ${PROJECT_VERSION} (src/core/version.h)")
endif()
set(CPACK_DEBIAN_PACKAGE_RELEASE ${CMAKE_MATCH_2})

# What only the package carries, installed by CPack alone (component "debian"): the copyright,
# the changelog (compressed as Debian wants it, without name or time stamp) and the lintian
# overrides, each with its reason.
find_program(GZIP gzip REQUIRED)
add_custom_command(OUTPUT ${AMBREL_DEBIAN_BUILD}/changelog.Debian.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${AMBREL_DEBIAN_BUILD}
  COMMAND ${CMAKE_COMMAND} -E copy ${AMBREL_DEBIAN_SOURCE}/changelog
          ${AMBREL_DEBIAN_BUILD}/changelog.Debian
  COMMAND ${GZIP} -9nf ${AMBREL_DEBIAN_BUILD}/changelog.Debian
  DEPENDS ${AMBREL_DEBIAN_SOURCE}/changelog VERBATIM)
add_custom_target(ambrel_debian_changelog ALL DEPENDS ${AMBREL_DEBIAN_BUILD}/changelog.Debian.gz)
install(FILES ${AMBREL_DEBIAN_SOURCE}/copyright ${AMBREL_DEBIAN_BUILD}/changelog.Debian.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT debian EXCLUDE_FROM_ALL)
install(FILES ${AMBREL_DEBIAN_SOURCE}/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME ambrel
        COMPONENT debian EXCLUDE_FROM_ALL)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ambrel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Corvane)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Everything the default install puts in place, and the package's own files.
set(CPACK_INSTALL_CMAKE_PROJECTS
  "${PROJECT_BINARY_DIR};${PROJECT_NAME};ALL;/"
  "${PROJECT_BINARY_DIR};${PROJECT_NAME};debian;/")
set(CPACK_STRIP_FILES ON)
# The same modes whatever the umask of whoever builds.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/cpack)
# The one maintainer script, with the modes dpkg expects (data/debian/prerm says why).
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${AMBREL_DEBIAN_SOURCE}/prerm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Corvane <hello@corvane.com>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://ambrel.app)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Google AdSense earnings on the desktop")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"Ambrel shows a web publisher's Google AdSense earnings at a glance: today,
yesterday against the same weekday a week earlier, the last seven days, the
month to date against the same period a year earlier, yesterday's
performance, the unpaid balance and the last payment, with a daily and a
monthly objective drawn as progress rings.

The package holds the application (ambrel) and the desktop widgets
(ambrel-widget), which fetch the same figures on their own and show them on
the desktop, as a panel indicator, or as a line for status bars such as
waybar, polybar and i3blocks, and a GNOME Shell extension that puts the
figures in GNOME's top bar and the widgets on its desktop. Sign-in uses
Google's OAuth flow for installed applications with a client of the user's
own, and keeps only the refresh token, in the Secret Service.")

# The libraries come from dpkg-shlibdeps; beside them the certificate authorities, without
# which no connection to Google is trusted. What is run rather than linked: a Secret Service
# (without one the sign-in is kept in a private file, and the window says so), xdg-open for
# the consent page (Qt falls back to $BROWSER), Qt's Wayland platform (without it Qt runs
# through XWayland), Qt's own translations (the file dialog in the user's language), and fonts
# for the scripts of the catalogs that DejaVu lacks (Japanese, Hindi's Devanagari).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS ca-certificates)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
  "gnome-keyring | kwalletmanager | keepassxc, xdg-utils, qt6-wayland, qt6-translations-l10n, \
fonts-noto-cjk, fonts-lohit-deva")
# The extension in /usr/share/gnome-shell/extensions is of the style of Debian 12's GNOME 43.
set(CPACK_DEBIAN_PACKAGE_ENHANCES "gnome-shell (>= 43)")

include(CPack)
