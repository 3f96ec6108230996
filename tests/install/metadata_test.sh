#!/usr/bin/env bash
# The desktop entry and the AppStream metadata pass their validators.
set -euo pipefail
dir="$1"
command -v desktop-file-validate >/dev/null && command -v appstreamcli >/dev/null || { echo "faltan los validadores"; exit 77; }
desktop-file-validate "$dir/orlanlog.desktop"
appstreamcli validate --no-net --pedantic "$dir/orlanlog.metainfo.xml"
