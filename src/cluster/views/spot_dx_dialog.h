#pragma once
// SPOTDX: "Realizar anuncion en el DX-Cluster", a spot of the station's own
// posted through the current cluster connection.

class QWidget;

namespace store {
class RecordBuffer;
}

namespace cluster {

// Values from the QSO being entered when given, else from the last QSO of
// the log book in its current order. True when the spot was sent.
bool SPOTDX(store::RecordBuffer* qso = nullptr, QWidget* parent = nullptr);

} // namespace cluster
