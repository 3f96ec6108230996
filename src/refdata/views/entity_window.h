#pragma once
// The window of the entity table: a grid of every entity with the search, the
// printout and the entity form behind its buttons and keys.

#include "ui/grid_panel.h"

namespace refdata {

class EntityPanel : public ui::GridPanel {
    Q_OBJECT
public:
    // Over the entity table opened as "EntMan" (closed again with the panel).
    explicit EntityPanel(store::WorkArea* entities, QWidget* parent = nullptr);
    ~EntityPanel() override;

    // Opens the entity table as "EntMan" and makes the panel; null when the
    // table cannot be opened (the user was told why).
    static EntityPanel* open(QWidget* parent = nullptr);

    void newEntity();
    void editEntity();
    void search();
    void searchAgain();
    void print();

private:
    store::WorkArea* m_entities;
    QAction* m_again = nullptr;
    QString m_text;        // the text searched last
    qint64 m_next = 0;     // where the next search goes on
};

} // namespace refdata
