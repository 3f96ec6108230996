#pragma once
// Script modules of the "&+Plus" menu: every obj/*.js file of the program
// directory, run in a JavaScript engine with a small API object `orlan`:
//
//   orlan.name, orlan.version, orlan.appl          the program's identity
//   orlan.dirLocal, orlan.dirDat, orlan.dirRpt     its directories
//   orlan.stop(text), orlan.alert(text), orlan.info(text), orlan.yesNo(text) -> bool
//   orlan.goTop(alias), orlan.skip(alias[, n]), orlan.eof(alias), orlan.recNo(alias)
//   orlan.seek(alias, key) -> found
//   orlan.field(alias, name) -> string | number | bool | "yyyy-mm-dd"
//   orlan.setField(alias, name, value) -> bool     (locks the record, writes, unlocks)
//   orlan.crypt() -> the list CRYPT collects
//
// A script error is shown to the user; it never stops the program.

#include <QString>
#include <QStringList>

namespace app {

QStringList scriptModules(const QString& dir);
// Runs the file; returns false (after telling the user) on an error.
bool runScriptModule(const QString& file);
// The same with a text passed in and out through a global variable of the
// script (the advanced filter gets "filtro" and leaves its expression there).
bool runScriptModule(const QString& file, const QString& variable, QString* value);

} // namespace app
