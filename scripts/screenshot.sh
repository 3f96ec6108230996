#!/usr/bin/env bash
# Starts the program on a virtual display and saves a picture of the screen:
#   scripts/screenshot.sh OUT.png [seconds] [home]
# With a fresh home the settings page for the station call is what shows.
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-orlanlog.png}")
wait_s=${2:-4}
home=${3:-$(mktemp -d)}
command -v import >/dev/null || { echo "Falta ImageMagick (apt-get install imagemagick)"; exit 2; }
export ORLANLOG_HOME="$home" ORLANLOG_CONFIG="$home/config" ORLANLOG_OFFLINE=1
xvfb-run -a -s "-screen 0 1280x800x24" bash -c "
  build/src/app/orlanlog & pid=\$!
  sleep $wait_s
  import -window root '$out'
  kill \$pid"
echo "$out"
