#pragma once
// Storing the QSOs of an import into the book one draft at a time: the own
// locator and operator where the record gives none, the next key after each,
// and the append batch renewed every thousand QSOs so that other users get
// at the index now and then.

#include "adif_import.h"
#include "import_summary.h"

#include <QByteArray>
#include <QString>

namespace interchange {

class DraftStore {
public:
    // Begins the batch on `log`; what goes wrong is noted in *done.
    DraftStore(store::WorkArea* log, const QsoImportOptions& opt, ImportSummary* done);
    // Stores the draft; false when the run must stop (a write error, told
    // already, or the index could not be written).
    bool store(QsoDraft& qso);
    int stored() const { return m_stored; }
    // Ends the batch (the index written once).
    void finish();

private:
    store::WorkArea* m_log;
    ImportSummary* m_done;
    QByteArray m_locator, m_operator;
    QString m_key;
    int m_stored = 0;
};

} // namespace interchange
