#pragma once
// The map windows of the program (and the log window's "Mapa"):
// each a named child window around a generated page.

#include <QString>

namespace app {

// GMAPGRID: the worked and confirmed grid squares of the book ("gMapGrid").
void GMAPGRID();
// DSPEARTH: the Earth view of the log's current QSO ("gEarth").
void DSPEARTH();
// DSPELEVACION: opens or refreshes the elevation window; empty locators keep
// what it holds (the first time, the station's locator as origin).
void DSPELEVACION(const QString& from = QString(), const QString& to = QString());
// The log window's "Mapa": lines to the QSOs of the current view ("gMap").
void viewMap();
// The entry form's path map ("gMapEdtLog", "gmapedtlog.htm").
void entryPathMap(const QString& from, const QString& to, const QString& call);
// RUNEXPL's window: one browser window ("WebView", placed from its section).
void showInBrowserWindow(const QString& url);

} // namespace app
