#pragma once
// The calls that contain what has been typed so far in the call field: those
// of the contest community's list of active calls (MASTER.SCP) and those of the
// current book. Searched as one block of text, so a keystroke costs a fraction
// of a millisecond even with a hundred thousand calls.

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>

namespace store {
class WorkArea;
}

namespace logbook {

class PartialCalls {
public:
    // The calls of a MASTER.SCP file (comment lines begin with "#"); false
    // when it cannot be read.
    bool loadList(const QString& path);
    // Every call of the book open in the area (from its "Call" index).
    void addBook(store::WorkArea* log);
    void add(const QString& call);
    int size() const { return int(m_known.size()); }

    // Up to max calls containing text (upper case): those that begin with it
    // first, each group in alphabetical order. Fewer than two characters give nothing.
    QStringList matching(const QString& text, int max = 40) const;

private:
    QByteArray m_all = "\n";   // "\nCALL\nCALL\n"
    QSet<QByteArray> m_known;
};

// The program's list: MASTER.SCP from the program home when the user put one
// there, else the one shipped with the program; read on first use.
QString masterScpPath();

} // namespace logbook
