#pragma once
// The maintenance windows of four small reference tables: the known stations
// (whose note the QSO entry form shows), the IOTA island references, the bands
// and the modes. A panel is the body of the table's named window (a button bar
// over a grid, with the keys of every maintenance window); the window around it
// belongs to the shell. A panel is null when its table cannot be opened.
//
// EDTKNOW, EDTIOTA, EDTBAN, EDTMODO: the edit dialog of the table's current
// record, or of a new one with isNew; true when a record was written.

#include <QString>

class QWidget;

namespace ui {
class GridPanel;
}

namespace refdata {

// The windows' titles (bands and modes share one window name, "ManModo").
inline const QString kKnownStationsTitle = QStringLiteral("Conocidos");
inline const QString kIotaTitle = QStringLiteral("Islands On the Air");
inline const QString kBandsTitle = QStringLiteral("Bandas");
inline const QString kModesTitle = QStringLiteral("Modos");

// Known stations: table know, alias know.
ui::GridPanel* knownStationsPanel();
bool EDTKNOW(bool isNew, QWidget* parent = nullptr);

// IOTA references: table iota, opened as iotaMan and closed with the panel.
ui::GridPanel* iotaPanel();
bool EDTIOTA(bool isNew, QWidget* parent = nullptr);

// Bands (Band) and modes (Modo): added and edited, never deleted.
ui::GridPanel* bandsPanel();
bool EDTBAN(bool isNew, QWidget* parent = nullptr);
ui::GridPanel* modesPanel();
bool EDTMODO(bool isNew, QWidget* parent = nullptr);

} // namespace refdata
