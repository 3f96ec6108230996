#include "panel_actions.h"

#include "store/access.h"
#include "store/work_area.h"
#include "store/workspace.h"
#include "ui/grid_panel.h"
#include "ui/q7browse.h"

namespace refdata {

store::WorkArea* openMaintainedTable(const QString& file, const QString& alias)
{
    store::Workspace& ws = store::Workspace::instance();
    if (store::WorkArea* a = ws.area(alias))
        return a;
    if (!store::NETUSE(file, true, 3, alias))
        return nullptr;
    return ws.area(alias);
}

int fieldWidth(store::WorkArea* area, const char* field)
{
    const int i = area->fieldPos(QString::fromLatin1(field));
    return i >= 0 ? area->field(i).len : 10;
}

void editFromPanel(ui::GridPanel* panel, bool isNew, const EditDialog& edit)
{
    ui::tQ7Browse* grid = panel->browse();
    store::WorkArea* area = grid->area();
    const quint32 rec = grid->currentRecord();
    if (!isNew && !rec)
        return;   // an empty table has no record to edit
    if (rec)
        area->goTo(rec);
    if (edit(isNew, panel)) {
        panel->showCurrent();
        return;
    }
    if (rec)
        area->goTo(rec);
    grid->setFocus();
}

void deleteFromPanel(ui::GridPanel* panel, const std::function<bool(store::WorkArea&)>& remove)
{
    ui::tQ7Browse* grid = panel->browse();
    store::WorkArea* area = grid->area();
    const quint32 rec = grid->currentRecord();
    if (!rec)
        return;
    const int row = grid->rowOf(rec);
    area->goTo(rec);
    if (!remove(*area)) {
        grid->setFocus();
        return;
    }
    grid->refresh();
    const int up = qMax(0, row - 1);
    if (grid->model()->rowCount() > up)
        grid->setCurrentIndex(grid->model()->index(up, 0));
    grid->setFocus();
}

void addRecordActions(ui::GridPanel* panel, const EditDialog& dialog, const BarTexts& texts,
                      const std::function<bool(store::WorkArea&)>& remove, const std::function<void()>& refuse)
{
    auto create = [panel, dialog] { editFromPanel(panel, true, dialog); };
    auto edit = [panel, dialog] { editFromPanel(panel, false, dialog); };
    panel->addButton(QStringLiteral("nuevo"), QString::fromUtf8(texts.newCaption), QString::fromUtf8(texts.newTip),
                     {QStringLiteral("document-new")}, create);
    panel->addButton(QStringLiteral("editar"), QString::fromUtf8(texts.editCaption), QString::fromUtf8(texts.editTip),
                     {QStringLiteral("document-edit"), QStringLiteral("document-properties")}, edit);
    panel->onCreate(create);
    panel->onEdit(edit);
    if (remove) {
        auto del = [panel, remove] { deleteFromPanel(panel, remove); };
        if (texts.deleteCaption)
            panel->addButton(QStringLiteral("eliminar"), QString::fromUtf8(texts.deleteCaption),
                             QString::fromUtf8(texts.deleteTip), {QStringLiteral("edit-delete")}, del);
        panel->onDelete(del);
    } else if (refuse) {
        panel->onDelete(refuse);
    }
    panel->showCurrent();
}

} // namespace refdata
