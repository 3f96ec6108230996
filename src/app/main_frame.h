#pragma once
// The MDI frame: menu bar, tool bar, message bar, tiled background, the
// second start-up stage on its first paint, and the shutdown question on close.

#include <QMainWindow>

class QMdiArea;
class QMenu;

class MainFrame : public QMainWindow {
    Q_OBJECT
public:
    MainFrame();

    QMdiArea* mdiArea() const { return m_area; }
    // The menu bar of the program; items whose view is not there yet are disabled.
    void BUILDMENU();
    // One item of "&+Plus" per script module of the program's "obj" folder.
    void MNUPLUS(QMenu* plus);

    // The action of a menu or tool-bar entry by its caption (tests, enabling views later).
    QAction* action(const QString& caption) const;

protected:
    bool eventFilter(QObject* o, QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    QAction* add(QMenu* menu, const QString& caption, std::function<void()> run = {}, const QString& icon = QString());
    void buildToolBar();
    void buildStatusBar();
    QMdiArea* m_area;
    bool m_firstPaintDone = false;
};
