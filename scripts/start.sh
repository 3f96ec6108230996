#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program with the default home
# (ORLANLOG_HOME, or ~/.local/share/orlanlog/ when unset).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
exec build/src/app/orlanlog "$@"
