#pragma once
// The maintenance windows of the small reference tables, opened from the
// "Ficheros" menu: each opens its window, or brings it forward when it is open.

namespace app {

void MANKNOW();   // "know" / "Conocidos"
void MANIOTA();   // "ManIota" / "Islands On the Air"
void MANBAN();    // "ManModo" / "Bandas"
void MANMODO();   // "ManModo" / "Modos"

} // namespace app
