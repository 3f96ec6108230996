#pragma once
// The MDI frame: menu bar, tool bar, message bar, tiled background, the
// second start-up stage on its first paint, and the shutdown question on close.

#include <QMainWindow>

#include <map>

class QMdiArea;
class QMenu;

namespace app {

enum class CommandId : int;

class MainFrame : public QMainWindow {
    Q_OBJECT
public:
    MainFrame();

    QMdiArea* mdiArea() const { return m_area; }
    // The menu bar of the program, from the table of commands; entries that no
    // feature claims are disabled.
    void BUILDMENU();
    // One item of "&+Plus" per script module of the program's "obj" folder.
    void MNUPLUS(QMenu* plus);

    // The action of a menu entry or tool-bar button; nullptr for a menu or separator.
    QAction* action(CommandId id) const;
    // The "&+Plus" entry of a script module, by its label.
    QAction* plusAction(const QString& label) const;

protected:
    bool eventFilter(QObject* o, QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void build(CommandId root);
    void buildStatusBar();
    QMdiArea* m_area;
    QMenu* m_plus = nullptr;
    std::map<CommandId, QAction*> m_actions;
    bool m_firstPaintDone = false;
};

} // namespace app
