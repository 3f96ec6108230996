// The known-stations window ("know" / "Conocidos") and its edit dialog.
#include "reference_tables.h"

#include "panel_actions.h"
#include "record_dialog.h"

#include "refdata/reference_edits.h"
#include "store/aliases.h"
#include "store/work_area.h"
#include "store/workspace.h"
#include "ui/grid_panel.h"
#include "ui/q7browse.h"

#include <QLineEdit>

namespace refdata {

ui::GridPanel* knownStationsPanel()
{
    store::WorkArea* area = openMaintainedTable(QStringLiteral("know"), store::alias::kKnow);
    if (!area)
        return nullptr;
    area->goTop();
    auto* panel = new ui::GridPanel(area);
    ui::tQ7Browse* grid = panel->browse();
    grid->addField(QStringLiteral("CALL"), QStringLiteral("Indicativo"));
    grid->addField(QStringLiteral("NOTA"), QStringLiteral("Anotación"));
    grid->setRecordSelector(true);

    panel->setCaptionsShown(true);
    addRecordActions(panel, EDTKNOW,
                     {"&Nuevo", "(Insert)Añadir registro", "&Editar", "Modificar registro", "&Eliminar", "'(Del)Borrar registro'"},
                     deleteKnownStation);
    return panel;
}

bool EDTKNOW(bool isNew, QWidget* parent)
{
    store::WorkArea* area = store::Workspace::instance().area(store::alias::kKnow);
    if (!area || (!isNew && area->eof()))
        return false;
    const KnownStation was = isNew ? KnownStation{} : readKnownStation(*area);
    RecordDialog d(QStringLiteral("EDTKNOW"), QStringLiteral("Editar Registros"), parent);
    QLineEdit* call = d.addLine(QStringLiteral("601"), QStringLiteral("Call:"), was.call, fieldWidth(area, "CALL"), true);
    QLineEdit* note = d.addLine(QStringLiteral("602"), QStringLiteral("Nota:"), was.note, fieldWidth(area, "NOTA"));
    d.enableOkWhile(call, [call] { return !call->text().trimmed().isEmpty(); });
    return d.run([&] { return saveKnownStation(*area, {call->text().trimmed().toUpper(), note->text()}, isNew); });
}

} // namespace refdata
