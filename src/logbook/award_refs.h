#pragma once
// The award references of one QSO (rows of the book's award-reference table
// with its key): listed, added, changed and deleted under record locks. Rows
// added while a new QSO is entered are remembered, so they follow the QSO if
// the save gives it another key, and go if the QSO is never saved.

#include <QString>
#include <QStringList>

#include <vector>

namespace store {
class WorkArea;
}

namespace logbook {

class QsoAwardRefs {
public:
    explicit QsoAwardRefs(store::WorkArea* refs) : m_refs(refs) {}
    store::WorkArea* area() const { return m_refs; }

    // Limits the table to the QSO's rows; with ensureOne a QSO without any
    // gets an empty one (a row to type into).
    void show(const QString& key, bool ensureOne);
    bool add(const QString& key);                       // an empty row, left current
    // The current row's award or reference; a refused lock says so and stores nothing.
    bool setAward(const QString& code);
    bool setReference(const QString& reference);
    bool removeCurrent();                               // asks first

    // After the save of a new QSO: its rows take the key it was saved under.
    void rekeyAdded(const QString& key);
    // A new QSO left unsaved: the rows added for it go.
    void dropAdded();
    void forgetAdded() { m_added.clear(); }

private:
    bool lockCurrent(const QString& refusal);
    store::WorkArea* m_refs;
    std::vector<quint32> m_added;
};

// The codes of the awards the program knows (the award table), in its order.
QStringList awardCodes();
// The name of a reference of an award ("" when the award does not list it).
QString awardReferenceName(const QString& award, const QString& reference);

} // namespace logbook
