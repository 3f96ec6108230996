#!/usr/bin/env bash
# Installs the Debian package on a clean Debian 12 (a debootstrap chroot), runs
# orlanlog-cli there with a fresh home, then removes the package and checks that
# nothing of it is left. Needs root, debootstrap and a Debian mirror.
#   scripts/package-chroot-test.sh [CHROOT-DIR]   (default: build-package/bookworm)
set -euo pipefail
cd "$(dirname "$0")/.."
root="${1:-build-package/bookworm}"
deb="$(ls -t build-package/orlanlog_*.deb 2>/dev/null | head -1)"
[ -n "$deb" ] || { echo "Primero: scripts/package.sh"; exit 1; }
if [ ! -x "$root/bin/bash" ]; then
  debootstrap --variant=minbase bookworm "$root" http://deb.debian.org/debian
fi
cp "$deb" "$root/tmp/"
name="$(basename "$deb")"
mount --bind /proc "$root/proc"
trap 'umount "$root/proc" || true' EXIT
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 "$@"; }
in_root apt-get update -q
in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "/tmp/$name"
in_root sh -c 'QT_QPA_PLATFORM=offscreen orlanlog-cli --home /tmp/home init --call EA4ZZ && QT_QPA_PLATFORM=offscreen orlanlog-cli --home /tmp/home resolve EA4ZZ'
in_root sh -c 'man -w orlanlog-cli >/dev/null 2>&1 || test -f /usr/share/man/man1/orlanlog-cli.1.gz'
in_root test -f /usr/share/applications/orlanlog.desktop
in_root env DEBIAN_FRONTEND=noninteractive apt-get remove -y -q orlanlog
left="$(in_root sh -c 'ls /usr/bin/orlanlog /usr/bin/orlanlog-cli /usr/share/orlanlog 2>/dev/null || true')"
[ -z "$left" ] || { echo "Quedan ficheros tras desinstalar: $left"; exit 1; }
echo "Paquete instalado, probado y desinstalado en $root"
