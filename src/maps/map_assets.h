#pragma once
// What a generated map page carries with it so it draws without a
// connection: Leaflet's script and style and the world outline, put inline
// into the page. They come from the program's "maps" folder (the build tree's
// <build>/maps, share/orlanlog/maps when installed, or $ORLANLOG_MAPS);
// an installed program takes Leaflet from the system (libjs-leaflet).

#include <QString>

namespace maps {

// The folder holding world-110m.js (and Leaflet, unless the system's is
// used); empty when none is found.
QString mapAssetsDir();

// The <style> and <script> elements of Leaflet and the outline ("var
// ORLAN_WORLD"). When an asset is missing, a script that says so on the page
// instead of a map. *missing, when given, names what was not found.
QString inlineMapAssets(QString* missing = nullptr);

// The tile service of the INI section "Servicios", key "TeselasMapa"
// (an address with {z}, {x} and {y}); empty: no tiles, only the outline.
QString tileServiceSetting();

} // namespace maps
