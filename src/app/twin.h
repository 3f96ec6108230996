#pragma once
// tWin: the named MDI child window. Its name is the key of an INI section
// where position, show state, grid state and button-bar placement persist
// (rows of 16 pixels, columns of 8 pixels); the window bookkeeping finds open
// windows by that name.

#include "command_ids.h"

#include <QMdiSubWindow>

class QToolBar;

namespace ui {
class tQ7Browse;
}

namespace app {

class tWin : public QMdiSubWindow {
    Q_OBJECT
public:
    // Creates the window in the frame's MDI area, placed from its INI section.
    tWin(const QString& cName, const QString& cTitle = QString());
    // The same, named by id (window_names.h).
    explicit tWin(WindowId id, const QString& cTitle = QString());

    QString cName;       // the window key
    QString cBrwState;   // grid state read at creation, "" when none
    QString cBarMode;    // "TOP", "LEFT", "RIGHT" or "BOTTOM"
    QString cShow;       // "NORMAL" unless the caller says otherwise

    // Shows and activates the window ("MAXIMIZED", "ICONIZED" or "NORMAL"; default cShow).
    void Activate(const QString& show = QString());
    // Saves the state and closes the window.
    bool End();

    // The grid and button bar whose state persists with the window (optional).
    void setBrowse(ui::tQ7Browse* b) { m_browse = b; }
    ui::tQ7Browse* browse() const { return m_browse; }
    void setButtonBar(QToolBar* bar) { m_bar = bar; }

    // Brings the window's data up to date (REFWND); deep also refreshes every grid in it.
    virtual void refresh(bool deep);

    // Windows by name: the MDI area every tWin goes into (set by the frame).
    static void setArea(class QMdiArea* area);
    static QMdiArea* area();

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void saveState();
    ui::tQ7Browse* m_browse = nullptr;
    QToolBar* m_bar = nullptr;
    bool m_saved = false;
};

} // namespace app
