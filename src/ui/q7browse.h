#pragma once
// tQ7Browse: the grid over a work area. Its model keeps the record numbers of
// the area's current order, scope and filter (rebuilt by refresh()), so large
// tables open and scroll at once; each row is read from the table when it is
// first shown. Columns are code blocks over the work area; the area's record
// pointer follows the grid's current row, as every view of the program expects.
//
// The layout persists as a state string:
//   row-height;order:width:flag:header;...   (flag "H" hidden, "S" shown,
//   line breaks of the header written "$&"), the older form
//   row-height;order:width:header:flag;... with SaveState(true), and strings
//   that begin with "XS" for the header view's own state.

#include <QColor>
#include <QIcon>
#include <QStringList>
#include <QTableView>

#include <functional>
#include <memory>
#include <vector>

namespace store {
class WorkArea;
}

namespace ui {

struct BrowseColumn {
    QString header;                                            // "\r\n" makes two lines
    std::function<QString(store::WorkArea&)> text;
    Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter;
    std::function<QColor(store::WorkArea&)> foreground;        // optional cell colours
    std::function<QColor(store::WorkArea&)> background;
    int width = 0;                                             // 0: from the header and a sample
    std::function<QIcon(store::WorkArea&)> icon;               // optional image before the text
    // In-place editing (editCurrentCell): stores what was typed in the record
    // the area stands on, under its own lock; false when it could not (it
    // tells the user itself). An edit left with Esc calls nothing.
    std::function<bool(store::WorkArea&, const QString&)> edit;
    QStringList choices;                                       // edited with a list of these
    int maxLength = 0;                                         // characters the editor takes (0: any)
    bool digits = false;                                       // only digits (a numeric field)
};

class BrowseModel;

class tQ7Browse : public QTableView {
    Q_OBJECT
public:
    tQ7Browse(store::WorkArea* area, QWidget* parent = nullptr);
    ~tQ7Browse() override;

    store::WorkArea* area() const { return m_area; }
    void addColumn(const BrowseColumn& c);
    // Columns by field name: the field's text, right-aligned for numbers.
    void addField(const QString& field, const QString& header = QString());
    int columnCount() const;

    // Row colours (foreground, background); a cell colour of a column wins.
    void setRowColors(std::function<std::pair<QColor, QColor>(store::WorkArea&)> fn);
    // The same knowing the row's place in the grid (ruled rows).
    void setRowColorsAt(std::function<std::pair<QColor, QColor>(int row, store::WorkArea&)> fn);
    void setFrozenColumns(int n);
    int frozenColumns() const { return m_frozen; }
    // A narrow column before the first one that marks the current row.
    void setRecordSelector(bool on);

    // Incremental search: what is typed is sought in the current order, unless
    // a handler given here positions the work area itself (true when it found
    // a record). searchChanged tells the text typed so far.
    void setSearchHandler(std::function<bool(const QString& text)> seek) { m_seek = std::move(seek); }
    const QString& searchText() const { return m_search; }

    // Reads the record list again (after other views changed data), keeping the current record.
    void refresh();
    quint32 currentRecord() const;
    bool setCurrentRecord(quint32 rec);
    // The same for a record the grid leaves out (a deleted one, say): it is
    // shown at its place in the order until the next refresh.
    bool showRecord(quint32 rec);
    std::vector<quint32> selectedRecords() const;
    // Opens the editor of the current cell when its column can be edited.
    bool editCurrentCell();
    int rowOf(quint32 rec) const;

    QString SaveState(bool olderForm = false) const;
    void RestoreState(const QString& state);
    // RestoreState keeps the headers the columns were made with: for grids
    // whose window shares its saved layout with a grid of other columns.
    void setHeadersKept(bool on) { m_headersKept = on; }

signals:
    void recordActivated(quint32 rec);   // double click or Enter
    void searchChanged(const QString& text);
    void currentRecordChanged(quint32 rec);   // the cursor is on another record

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    void layoutFrozen();
    store::WorkArea* m_area;
    std::unique_ptr<BrowseModel> m_model;
    QTableView* m_frozenView = nullptr;
    int m_frozen = 0;
    QString m_search;
    qint64 m_lastKey = 0;
    std::function<bool(const QString&)> m_seek;
    bool m_headersKept = false;
};

} // namespace ui
