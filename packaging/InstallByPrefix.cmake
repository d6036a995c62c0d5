# SPDX-License-Identifier: GPL-3.0-or-later
# Runs at install time for the parts whose place or text depends on the prefix the
# install goes to (cmake --install --prefix …, or /usr when CPack makes the package).
# Set before: STEPORA_PACKAGING_DIR, STEPORA_STAGING_DIR, STEPORA_APP_ID,
# STEPORA_BINDIR, STEPORA_DATADIR.

# The menu entry names the launcher by its full path, so a prefix outside PATH works too.
set(STEPORA_LAUNCHER "${CMAKE_INSTALL_PREFIX}/${STEPORA_BINDIR}/stepora-launch")
if(STEPORA_LAUNCHER MATCHES " ")
  set(STEPORA_LAUNCHER "\"${STEPORA_LAUNCHER}\"")
endif()
# One staging file per destination: two installs may run at once (the tests do).
string(MD5 destination "$ENV{DESTDIR}|${CMAKE_INSTALL_PREFIX}")
set(entry "${STEPORA_STAGING_DIR}/${destination}/${STEPORA_APP_ID}.desktop")
configure_file("${STEPORA_PACKAGING_DIR}/${STEPORA_APP_ID}.desktop.in" "${entry}" @ONLY)
file(INSTALL "${entry}" DESTINATION "${CMAKE_INSTALL_PREFIX}/${STEPORA_DATADIR}/applications")
file(REMOVE_RECURSE "${STEPORA_STAGING_DIR}/${destination}")

# Debian 12 keeps the rules of its packages in /lib/udev/rules.d; any other prefix gets
# them under its own lib/ (udev reads them only from /etc/udev/rules.d and the system's
# folders, see the README).
if(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
  set(rules_dir "/lib/udev/rules.d")
else()
  set(rules_dir "${CMAKE_INSTALL_PREFIX}/lib/udev/rules.d")
endif()
file(INSTALL "${STEPORA_PACKAGING_DIR}/70-stepora-pedometer.rules" DESTINATION "${rules_dir}")
