#pragma once
// The work areas a session opens, by the alias every part of the program
// knows them by (aliases compare without regard to case).

#include <QString>

namespace store::alias {

// the current log book, open four times in different orders
inline const QString kLog = QStringLiteral("Log");
inline const QString kLog2 = QStringLiteral("Log2");
inline const QString kLogQsl = QStringLiteral("LogQsl");
inline const QString kLogSpool = QStringLiteral("LogSpool");
inline const QString kAttach = QStringLiteral("Attach");
inline const QString kDplLog = QStringLiteral("DplLog");
// settings and log books
inline const QString kCfg = QStringLiteral("cfg");
inline const QString kLibros = QStringLiteral("libros");
inline const QString kLibBrw = QStringLiteral("LibBrw");
// reference tables
inline const QString kBand = QStringLiteral("Band");
inline const QString kModo = QStringLiteral("Modo");
inline const QString kPropa = QStringLiteral("Propa");
inline const QString kIota = QStringLiteral("iota");
inline const QString kPrv = QStringLiteral("prv");
inline const QString kSubPrv = QStringLiteral("subprv");
inline const QString kEnt = QStringLiteral("ENT");
inline const QString kPfx = QStringLiteral("Pfx");
inline const QString kBandMap = QStringLiteral("BandMap");
inline const QString kFrmQsl = QStringLiteral("FrmQsl");
inline const QString kVhfDb = QStringLiteral("vhfdb");
inline const QString kKnow = QStringLiteral("know");
// cluster
inline const QString kSpots = QStringLiteral("spots");
inline const QString kCluster = QStringLiteral("CLUSTER");
inline const QString kCfgSpot = QStringLiteral("CfgSpot");
inline const QString kAnn = QStringLiteral("ann");
inline const QString kWwv = QStringLiteral("wwv");
inline const QString kWcy = QStringLiteral("wcy");
// awards
inline const QString kDplCfg = QStringLiteral("DplCfg");
inline const QString kDplCab = QStringLiteral("DplCab");
inline const QString kDplDet = QStringLiteral("DplDet");

} // namespace store::alias
