#!/usr/bin/env bash
# Installs the Debian packages needed to build, test and benchmark the program.
# Safe to run more than once; does nothing when everything is already present.
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config
  qt6-base-dev qt6-speech-dev qt6-declarative-dev qt6-multimedia-dev libqt6svg6
  # Qt's own dialogs in Spanish
  qt6-translations-l10n
  # the font the shipped QSL and label designs are drawn with
  fonts-dejavu-core
  # icons for the tool bar, and a display for headless screenshots
  breeze-icon-theme xvfb xauth imagemagick openbox
  libgtest-dev googletest
  libsqlite3-dev
  # the log window's spreadsheet export
  libxlsxwriter-dev
  # ZIP archives: program updates, backups
  libminizip-dev
  # rig control: Hamlib, and its rigctld for the tests against the dummy rig
  libhamlib-dev libhamlib-utils
  # independent xBase readers used by the interoperability tests
  libdbd-xbase-perl python3-dbf python3
  # the import of Access (.mdb) log books: libmdb, and mdb-export for the tests' comparison
  mdbtools-dev mdbtools
  # the map pages carry Leaflet inside them
  libjs-leaflet
  # the charts, and the map windows (a WebEngine view; the browser when it is missing)
  qt6-charts-dev qt6-webengine-dev
  # packaging: the Debian package's library dependencies, and the checks of the
  # desktop entry and the AppStream metadata
  dpkg-dev file desktop-file-utils appstream
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update
  $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
