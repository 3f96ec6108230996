#!/usr/bin/env bash
# Installs the build into a temporary prefix and runs the installed
# orlanlog-cli with a fresh home: it must find its reference tables under the
# prefix (not in the build tree), work, and write nothing under the prefix.
set -euo pipefail
build_dir="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"
cmake --install "$build_dir" --prefix "$prefix" >/dev/null

for f in bin/orlanlog bin/orlanlog-cli share/applications/orlanlog.desktop share/metainfo/orlanlog.metainfo.xml \
         share/icons/hicolor/scalable/apps/orlanlog.svg share/icons/hicolor/48x48/apps/orlanlog.png \
         share/icons/hicolor/128x128/apps/orlanlog.png share/man/man1/orlanlog-cli.1.gz \
         share/bash-completion/completions/orlanlog-cli share/orlanlog/refdata/ENT.dbf share/orlanlog/maps/world-110m.js; do
  [ -e "$prefix/$f" ] || { echo "falta $f en la instalación"; exit 1; }
done
# the maps take Leaflet from the system, not from a copy of their own
[ ! -e "$prefix/share/orlanlog/maps/leaflet.js" ] || { echo "copia de Leaflet instalada"; exit 1; }

before="$(cd "$prefix" && find . -printf '%p %s %T@\n' | sort)"
export QT_QPA_PLATFORM=offscreen ORLANLOG_OFFLINE=1
unset ORLANLOG_REFDATA ORLANLOG_HOME
cd "$work"
out="$("$prefix/bin/orlanlog-cli" --home "$work/home" init --call EA4ZZ 2>/dev/null)"
echo "$out"
grep -q "Tablas de referencia del programa: $prefix/share/orlanlog/refdata/" <<<"$out" \
  || { echo "no usa las tablas instaladas"; exit 1; }
out="$("$prefix/bin/orlanlog-cli" --home "$work/home" resolve EA4ZZ 2>/dev/null)"
echo "$out"
grep -q $'^EA4ZZ\t 89\tEA4\tESPAÑA' <<<"$out" || { echo "resolve EA4ZZ no da España"; exit 1; }
# a map page drawn by the installed program carries Leaflet and the outline
"$prefix/bin/orlanlog-cli" --home "$work/home" map path --html "$work/camino.html" --from IN80DO --to JN45NL >/dev/null 2>&1
grep -q "ORLAN_WORLD" "$work/camino.html" && grep -q "L.map\|leaflet" "$work/camino.html" \
  && ! grep -q "window.ORLAN_MISSING = " "$work/camino.html" || { echo "la página del mapa no lleva Leaflet y el contorno"; exit 1; }
# the manual page and the completion name every command the program has
commands="$("$prefix/bin/orlanlog-cli" --help 2>/dev/null | awk '/^  [a-z]/ {print $1}')"
page="$(zcat "$prefix/share/man/man1/orlanlog-cli.1.gz")"
for c in $commands; do
  grep -q "^\\\\fB${c//-/\\\\-}\\\\fR" <<<"$page" || { echo "la página de manual no trae $c"; exit 1; }
  grep -q " $c" "$prefix/share/bash-completion/completions/orlanlog-cli" || { echo "la terminación no trae $c"; exit 1; }
done
bash -n "$prefix/share/bash-completion/completions/orlanlog-cli"
# without --home the user's data go to the XDG data folder
HOME="$work/user" XDG_DATA_HOME="" "$prefix/bin/orlanlog-cli" init --call EA4ZZ >/dev/null 2>&1
[ -f "$work/user/.local/share/orlanlog/datos/cfg.dbf" ] || { echo "sin --home los datos no van a ~/.local/share/orlanlog"; exit 1; }
after="$(cd "$prefix" && find . -printf '%p %s %T@\n' | sort)"
[ "$before" = "$after" ] || { echo "se escribió bajo el prefijo:"; diff <(echo "$before") <(echo "$after"); exit 1; }
echo "instalación correcta"
