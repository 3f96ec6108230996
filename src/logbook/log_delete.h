#pragma once
// Deleting a QSO from the log window (LOGDLT).

namespace store {
class WorkArea;
}

namespace logbook {

// LOGDLT: asks "Registro va a ser eliminado\r\n¿ Está seguro ?" with the call
// as the box's title (No preselected); on "Si" deletes the current QSO of log
// together with its attachments (session alias Attach) and its award
// references (DplLog), each under its own record lock, waiting as long as
// another user holds one; the QSO leaves the selection too. log then stands
// on the record that followed the QSO, or on the last record of its order when
// none did. False when nothing was deleted.
bool LOGDLT(store::WorkArea& log);

} // namespace logbook
