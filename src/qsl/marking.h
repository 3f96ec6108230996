#pragma once
// QSL marks on the QSOs of a log book: card received (RXQSL) with the check
// for a new confirmation (CHKCFM), card sent (TXQSL). Each works on the
// current record of the work area given (a view of the log: Log, LogQsl,
// LogSpool) and speaks to the user through ui::messages().

#include <QDate>
#include <QString>

#include <functional>

namespace store {
class WorkArea;
}

namespace qsl {

// What a card received for (entity, band, mode) confirms for the first time.
struct NewConfirmation {
    bool entity = false;
    bool band = false;
    bool mode = false;
    bool any() const { return entity || band || mode; }
};

// Looks at the confirmed QSOs (QSLRCVD "Y") of the entity in `log`; the
// log's order and record are restored.
NewConfirmation newConfirmation(store::WorkArea& log, const QString& codEnt, const QString& band,
                                const QString& mode);
// The alert's lines, each followed by CR LF; empty when nothing is new.
QString newConfirmationText(const NewConfirmation& n, const QString& entityName, const QString& band,
                            const QString& mode);
// CHKCFM for the current QSO of `log`: alerts, titled with the call, when the card is a new one.
void checkNewConfirmation(store::WorkArea& log);

struct ReceivedOptions {
    QDate date;
    bool print = false;            // print the answer card at once
    bool queue = false;            // put the answer card in the print spool
    bool checkNew = false;         // CHKCFM of the configuration
    // Prints the current QSO's card; false when it did not print (the card is then not marked sent).
    std::function<bool(store::WorkArea&)> printCard;
};

enum class ReceivedResult { Marked, Unmarked, Unchanged };

// RXQSL on the current QSO.
ReceivedResult markReceived(store::WorkArea& log, const ReceivedOptions& opt);
// TXQSL on the current QSO; false when the record could not be locked.
bool markSent(store::WorkArea& log, const QDate& date, QChar mode);

// Locks the current record of `area` with the program's retry question after
// `seconds` (0: keep trying). The workspace's current area becomes `area`.
bool lockCurrent(store::WorkArea& area, int seconds);

} // namespace qsl
