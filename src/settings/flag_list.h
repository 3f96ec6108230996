#pragma once
// A list of a reference table's codes with one logical flag beside each (the
// digital modes, the bands and modes the cluster shows). It works on a work
// area of its own over the session's table, and a double click, Enter or
// Space inverts the flag of the row at once, under the record's lock.

#include <QWidget>

namespace store {
class WorkArea;
}

namespace ui {
class tQ7Browse;
}

namespace settings {

class FlagList : public QWidget {
    Q_OBJECT
public:
    // sessionAlias: the table's alias in the session ("Modo", "Band");
    // ownAlias: this list's work area ("ModoDig", "ModoCls", "BandCls").
    FlagList(const QString& sessionAlias, const QString& ownAlias, const char* codeField, const QString& codeHeader,
             const char* flagField, const QString& flagHeader, QWidget* parent = nullptr);
    ~FlagList() override;

    ui::tQ7Browse* grid() const { return m_grid; }
    store::WorkArea* area() const { return m_area; }
    // Inverts the flag of the current row; false when its lock was refused (nothing changes).
    bool toggle();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString m_alias;
    QString m_flag;
    store::WorkArea* m_area = nullptr;
    ui::tQ7Browse* m_grid = nullptr;
};

// Opens a shared work area `ownAlias` on the table the session has open as
// `sessionAlias`, in the same order; null when that table is not open.
store::WorkArea* openSecondArea(const QString& sessionAlias, const QString& ownAlias);
// Locks the current record of `area`, trying three times; false when refused.
bool lockWithRetries(store::WorkArea& area);

} // namespace settings
