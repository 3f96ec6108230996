#pragma once
// The entity form ("Alta de Entidad" / "Editar entidad"): every field of an
// entity and, when an existing one is edited, the list of its prefixes with
// their own form.

#include <QDialog>

namespace store {
class WorkArea;
}

namespace ui {
class GridPanel;
}

namespace refdata {

class EntityDialog : public QDialog {
    Q_OBJECT
public:
    // entities: the entity table (the current record is edited unless isNew);
    // prefixes: the prefix table; islands: the IOTA table for its list (may be null).
    EntityDialog(store::WorkArea* entities, store::WorkArea* prefixes, store::WorkArea* islands, bool isNew,
                 QWidget* parent = nullptr);
    ~EntityDialog() override;

    // Shows the form and on "OK" writes the entity when it was changed. True when written.
    bool run();

    ui::GridPanel* prefixList() const;   // null for a new entity
    void newPrefix();
    void editPrefix();
    void deletePrefix();

private:
    struct Form;
    Form* m_form;
};

} // namespace refdata
