#pragma once
// The log window ("ManLog"): the QSOs of the current book in a grid with the
// tool bar of daily work, and the pages of the current QSO that other parts
// of the program fill (call-book page, map, attachments, QSL desk, spool).

#include "logbook/log_columns.h"

#include <QSet>
#include <QString>
#include <QWidget>

#include <functional>
#include <vector>

class QAction;
class QColor;
class QTabWidget;

namespace store {
class WorkArea;
}

namespace ui {
class GridPanel;
}

namespace logbook {

// What the window needs from the program around it.
struct LogWindowHost {
    std::function<void(const QString& windowName)> refreshWindow;   // "QsoAnt", "DxccInfo"
    std::function<void(const QString& title)> setTitle;
    // The advanced filter's module: the filter expression it gives ("" for
    // none); when not given, the dialog's button stays off.
    std::function<QString()> advancedFilter;
    bool ruledRows = false;          // LOGPAUTADO
    qint64 background1 = 0;          // LOGBCK1, LOGBCK2: RGB integers as the settings keep them
    qint64 background2 = 0;
};

class LogWindow : public QWidget {
    Q_OBJECT
public:
    // Over the book's "Log"; null when no book is open.
    static LogWindow* open(LogWindowHost host, QWidget* parent = nullptr);

    ui::GridPanel* panel() const { return m_panel; }
    QTabWidget* pages() const { return m_pages; }
    QAction* action(const QString& id) const;
    // The book's description, or "Log " + its name.
    static QString bookTitle();

    void newQso();
    void editQso();
    void deleteQso();
    void filter();
    void removeFilter();
    void blockChange();
    void exportSheet(bool calc);
    void chooseExportColumns();
    bool filtered() const { return m_filtered; }
    // The cursor is on another QSO: what follows it.
    void cursorMoved();
    // The same for a QSO under the cursor of another view of the book (the QSL pages).
    void followQso(store::WorkArea& area, const QString& alias);
    // The filter dialog over another view of the book; true when a selection (or
    // an advanced filter) resulted. The caller refreshes its grid.
    bool filterArea(store::WorkArea& area);

    // The pages 2 to 7 belong to other parts of the program, which register
    // what builds theirs; a page nobody registered says it is not there yet.
    using PageMaker = std::function<QWidget*(LogWindow*)>;
    static void registerPage(int page, PageMaker make);
    // The same for the map buttons of the bar ("map", "grid", "elevation",
    // "earth"): a button nobody registered stays disabled.
    using ToolAction = std::function<void(LogWindow*)>;
    static void registerTool(const QString& id, ToolAction run);

    // The tab texts of pages 4 and 5 with the current QSO's count of images
    // and sounds (NATTACH); this leaves the attachment table unlimited.
    void updateAttachmentTabs();

private:
    LogWindow(store::WorkArea* log, LogWindowHost host, QWidget* parent);
    void buildGrid();
    void buildBar();
    void setFiltered(bool on);
    std::vector<LogColumn> exportColumns() const;

    store::WorkArea* m_log;
    LogWindowHost m_host;
    QTabWidget* m_pages = nullptr;
    ui::GridPanel* m_panel = nullptr;
    bool m_filtered = false;
    QSet<int> m_exportChosen;   // columns chosen for the spreadsheet; none: those shown
};

// The log's 30 columns on a grid of a view of the book (the log window's and
// the QSL pages'), three frozen, with the row colours of the settings: every
// third row in the second colour when the rows are ruled.
void addLogColumns(ui::GridPanel* panel, bool ruledRows, qint64 background1, qint64 background2);

// RGB integer of the settings (red in the low byte) as a colour.
QColor settingsColour(qint64 rgb);

} // namespace logbook
