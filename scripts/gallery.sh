#!/usr/bin/env bash
# Shows every dialog of the program on a virtual display with a window manager
# and saves a picture of each into OUT-DIR:   scripts/gallery.sh OUT-DIR
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-gallery}")
command -v openbox >/dev/null || { echo "Falta openbox (apt-get install openbox)"; exit 2; }
xvfb-run -a -s "-screen 0 1280x800x24" bash -c "openbox >/dev/null 2>&1 & sleep 1; build/src/tools/orlanlog-gallery '$out'"
