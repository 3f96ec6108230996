#!/usr/bin/env bash
# Builds the Debian package (orlanlog_<version>_<arch>.deb) into ./build-package:
# the programs without the tests and benchmarks, installed under /usr, with the
# dependencies dpkg-shlibdeps finds in the programs' libraries.
#   scripts/package.sh            build the package
#   scripts/package.sh --check    also list its contents and run lintian on it
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
export CCACHE_BASEDIR="$PWD"
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
      -DORLANLOG_BUILD_TESTS=OFF -DORLANLOG_BUILD_BENCH=OFF "${launcher[@]}"
cmake --build build-package -j "$(nproc)"
(cd build-package && cpack -G DEB)
deb="$(ls -t build-package/orlanlog_*.deb | head -1)"
echo "$deb"
if [ "${1:-}" = "--check" ]; then
  dpkg-deb -I "$deb"
  dpkg-deb -c "$deb"
  if command -v lintian >/dev/null; then lintian --info "$deb" || true; fi
fi
