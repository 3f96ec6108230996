// The band and mode windows (both named "ManModo", titled "Bandas" and
// "Modos") and their edit dialogs. Bands and modes are added and edited, never
// deleted: QSOs, awards and the cluster refer to their codes.
#include "reference_tables.h"

#include "panel_actions.h"
#include "record_dialog.h"

#include "refdata/reference_edits.h"
#include "store/aliases.h"
#include "store/work_area.h"
#include "store/workspace.h"
#include "core/messages.h"
#include "ui/grid_panel.h"
#include "ui/q7browse.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLineEdit>

namespace refdata {

namespace {

// A grid whose first column is the code (its header on two lines) and the
// second the description, both frozen.
ui::GridPanel* codeTablePanel(store::WorkArea* area, const QString& codeField, const QString& codeHeader,
                              const QString& nameField)
{
    area->goTop();
    auto* panel = new ui::GridPanel(area);
    ui::tQ7Browse* grid = panel->browse();
    ui::BrowseColumn code;
    code.header = codeHeader;
    code.text = [codeField](store::WorkArea& a) { return a.str(codeField).trimmed(); };
    code.width = grid->fontMetrics().horizontalAdvance(QStringLiteral("WWWWWW")) + 16;
    grid->addColumn(code);
    grid->addField(nameField, QStringLiteral("Descripción"));
    return panel;
}

void addNewAndEdit(ui::GridPanel* panel, const EditDialog& dialog)
{
    panel->browse()->setFrozenColumns(2);
    panel->browse()->setRecordSelector(true);
    // the two windows share one saved layout: each keeps its own headings
    panel->browse()->setHeadersKept(true);
    addRecordActions(panel, dialog, {"Nuevo", "Alta nuevo registro", "Editar", "Editar registro"}, {},
                     [] { ui::messages().stop(QStringLiteral("No pueden eliminarse registros")); });
}

} // namespace

ui::GridPanel* bandsPanel()
{
    store::WorkArea* area = openMaintainedTable(QStringLiteral("Band"), store::alias::kBand);
    if (!area)
        return nullptr;
    ui::GridPanel* panel = codeTablePanel(area, QStringLiteral("CODBAN"), QStringLiteral("Cod.\r\nBanda"), QStringLiteral("BANDA"));
    addNewAndEdit(panel, EDTBAN);
    return panel;
}

ui::GridPanel* modesPanel()
{
    store::WorkArea* area = openMaintainedTable(QStringLiteral("Modo"), store::alias::kModo);
    if (!area)
        return nullptr;
    ui::GridPanel* panel = codeTablePanel(area, QStringLiteral("CODMOD"), QStringLiteral("Cod.\r\nModo"), QStringLiteral("MODO"));
    panel->browse()->addField(QStringLiteral("DIG"), QStringLiteral("Digital"));
    panel->browse()->addField(QStringLiteral("RSTDEF"), QStringLiteral("RST"));
    addNewAndEdit(panel, EDTMODO);
    return panel;
}

bool EDTBAN(bool isNew, QWidget* parent)
{
    store::WorkArea* area = store::Workspace::instance().area(store::alias::kBand);
    if (!area || (!isNew && area->eof()))
        return false;
    const BandEntry was = isNew ? BandEntry{} : readBand(*area);
    RecordDialog d(QStringLiteral("EDTBAN"), QStringLiteral("Mantenimiento de bandas"), parent);
    QLineEdit* code = d.addLine(QStringLiteral("601"), QStringLiteral("Cod."), was.code, fieldWidth(area, "CODBAN"), true);
    QLineEdit* name = d.addLine(QStringLiteral("602"), QStringLiteral("Banda:"), was.name, fieldWidth(area, "BANDA"));
    d.enableOkWhile(code, [code] { return !code->text().trimmed().isEmpty(); });
    return d.run([&] { return saveBand(*area, {code->text().trimmed().toUpper(), name->text()}, isNew); });
}

bool EDTMODO(bool isNew, QWidget* parent)
{
    store::WorkArea* area = store::Workspace::instance().area(store::alias::kModo);
    if (!area || (!isNew && area->eof()))
        return false;
    const ModeEntry was = isNew ? ModeEntry{} : readMode(*area);
    RecordDialog d(QStringLiteral("EDTMODO"), QStringLiteral("Mantenimiento de modos"), parent);
    QLineEdit* code = d.addLine(QStringLiteral("601"), QStringLiteral("Cod.Adif:"), was.code, fieldWidth(area, "CODMOD"), true);
    QLineEdit* name = d.addLine(QStringLiteral("602"), QStringLiteral("Modo:"), was.name, fieldWidth(area, "MODO"));
    QLineEdit* rst = d.addLine(QStringLiteral("603"), QStringLiteral("RST x Defecto:"), was.rst, fieldWidth(area, "RSTDEF"));
    auto* digital = new QCheckBox(QStringLiteral("&Es digital"), &d);
    digital->setObjectName(QStringLiteral("604"));
    digital->setChecked(was.digital);
    d.form()->addRow(digital);
    d.enableOkWhile(code, [code] { return !code->text().trimmed().isEmpty(); });
    return d.run([&] {
        return saveMode(*area, {code->text().trimmed().toUpper(), name->text(), rst->text().trimmed(), digital->isChecked()},
                        isNew);
    });
}

} // namespace refdata
