#pragma once
// GridPanel: the body of a maintenance window — a button bar over a grid of a
// work area, with the keys every such window shares: Enter, Space and double
// click edit (a window may give double click an action of its own), Insert
// creates, Delete deletes, Ctrl+F searches. The window
// around it (a named child window of the shell) keeps the grid's layout and
// the bar's place.

#include <QString>
#include <QWidget>

#include <functional>

class QAction;
class QToolBar;

namespace store {
class WorkArea;
}

namespace ui {

class tQ7Browse;

class GridPanel : public QWidget {
    Q_OBJECT
public:
    explicit GridPanel(store::WorkArea* area, QWidget* parent = nullptr);

    tQ7Browse* browse() const { return m_browse; }
    QToolBar* bar() const { return m_bar; }
    store::WorkArea* area() const { return m_area; }

    // A bar button named id with the icon of the desktop's theme (the first of
    // iconNames it has) and the tooltip; the caption is shown beside the icon
    // when captions are on, and always when no icon is found.
    QAction* addButton(const QString& id, const QString& caption, const QString& tooltip,
                       const QStringList& iconNames, std::function<void()> run);
    void setCaptionsShown(bool on);

    // What the keys do; a key without an action does nothing.
    void onEdit(std::function<void()> f) { m_edit = std::move(f); }
    void onCreate(std::function<void()> f) { m_create = std::move(f); }
    void onDelete(std::function<void()> f) { m_delete = std::move(f); }
    void onSearch(std::function<void()> f) { m_search = std::move(f); }
    // What a double click does instead of editing.
    void onDoubleClick(std::function<void()> f) { m_doubleClick = std::move(f); }

    // Reads the grid again and puts it on the work area's current record.
    void showCurrent();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    store::WorkArea* m_area;
    QToolBar* m_bar;
    tQ7Browse* m_browse;
    bool m_captions = false;
    std::function<void()> m_edit, m_create, m_delete, m_search, m_doubleClick;
};

} // namespace ui
