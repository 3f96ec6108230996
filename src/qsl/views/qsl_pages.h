#pragma once
// Pages 6 and 7 of the log window: the QSL desk (WRKQSL, over LogQsl), where
// received cards are marked, and the print spool (WRKSPOOL, over LogSpool).
// Also the QSL items of the QSO grids' context menu.

#include <QString>
#include <QWidget>

#include <functional>

class QComboBox;
class QLineEdit;
class QTabBar;

namespace logbook {
class LogWindow;
}

namespace store {
class WorkArea;
}

namespace ui {
class GridPanel;
}

namespace qsl {

// What the pages need from the program around them.
struct QslPagesHost {
    std::function<void(QWidget* parent)> exportSpoolAdif;   // ADIEXPSPOOL
};

// Registers pages 6 and 7 with the log window and the context menu's QSL items.
void registerQslPages(QslPagesHost host);
// The pages themselves, over LogQsl and LogSpool; null when the book is not open.
QWidget* WRKQSL(logbook::LogWindow* window);
QWidget* WRKSPOOL(logbook::LogWindow* window, const QslPagesHost& host);

// The QSL marking of the context menu and the F5, F6, F7 keys: card received
// today for `records` of `area` (the current QSO when fewer than two).
void markReceivedOn(store::WorkArea& area, const std::vector<quint32>& records, bool print, bool queue);

// The order list's six choices and their tags.
QStringList qslOrderNames();
QString qslOrderTag(int index);

class QslDeskPage : public QWidget {
    Q_OBJECT
public:
    QslDeskPage(store::WorkArea* area, logbook::LogWindow* window, QWidget* parent = nullptr);

    ui::GridPanel* panel() const { return m_panel; }
    QAction* action(const QString& id) const;
    QComboBox* orderList() const { return m_order; }
    QTabBar* orderTabs() const { return m_tabs; }
    QLineEdit* searchText() const { return m_search; }
    bool filtered() const { return m_filtered; }

    void received(bool print, bool queue);   // F5, F6, F7
    void spoolCurrent();
    void spoolFiltered();
    void printCurrent();
    void printFiltered();
    void filter();
    void removeFilter();
    void chooseFormat();
    void setOrder(int index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setFiltered(bool on);
    void refresh();
    void moved();

    store::WorkArea* m_area;
    logbook::LogWindow* m_window;
    ui::GridPanel* m_panel;
    QComboBox* m_order = nullptr;
    QTabBar* m_tabs = nullptr;
    QLineEdit* m_search = nullptr;
    QAction* m_searchAction = nullptr;
    bool m_filtered = false;
};

class SpoolPage : public QWidget {
    Q_OBJECT
public:
    SpoolPage(store::WorkArea* area, logbook::LogWindow* window, QslPagesHost host, QWidget* parent = nullptr);

    ui::GridPanel* panel() const { return m_panel; }
    QAction* action(const QString& id) const;
    QLineEdit* searchText() const { return m_search; }

    void takeOut();
    void empty();
    void print();
    void chooseFormat();
    void removeNonMembers();
    void removeDuplicates();
    void exportAdif();

protected:
    void showEvent(QShowEvent* e) override;

private:
    void refresh();

    store::WorkArea* m_area;
    logbook::LogWindow* m_window;
    QslPagesHost m_host;
    ui::GridPanel* m_panel;
    QLineEdit* m_search = nullptr;
};

} // namespace qsl
