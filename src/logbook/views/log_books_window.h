#pragma once
// The log-book window ("ManLib"): a grid of the books of the catalogue, with
// the current one marked, and the buttons and keys to create, edit, delete and
// choose a book.

#include "ui/grid_panel.h"

namespace logbook {

class LogBooksPanel : public ui::GridPanel {
    Q_OBJECT
public:
    // Over the catalogue open as LibBrw.
    explicit LogBooksPanel(store::WorkArea* books, QWidget* parent = nullptr);

    // The panel over LibBrw; null when the session has not opened it.
    static LogBooksPanel* open(QWidget* parent = nullptr);

    void newBook();
    void editBook();
    // Runs once the call that asked for it has returned: deleting the current
    // book closes every window, this one included.
    void deleteBook();
    void selectBook();

private:
    store::WorkArea* m_books;
};

} // namespace logbook
