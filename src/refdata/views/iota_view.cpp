// The IOTA window ("ManIota" / "Islands On the Air") and its edit dialog. The
// window works on a work area of its own over the iota table, closed with it.
#include "reference_tables.h"

#include "panel_actions.h"
#include "record_dialog.h"

#include "refdata/names.h"
#include "refdata/reference_edits.h"
#include "store/work_area.h"
#include "store/workspace.h"
#include "ui/dialog_helpers.h"
#include "ui/grid_panel.h"
#include "ui/q7browse.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>

namespace refdata {

namespace {

const QString kIotaMan = QStringLiteral("iotaMan");

QComboBox* entityList(const QString& code, QWidget* parent)
{
    auto* list = new QComboBox(parent);
    list->setObjectName(QStringLiteral("603"));
    list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    list->addItem(QString(), QString());
    for (const EntityChoice& e : entityChoices())
        list->addItem(e.name, e.code);
    const QString wanted = code.trimmed();
    int at = list->findData(wanted.isEmpty() ? QString() : wanted.rightJustified(3, QLatin1Char(' ')));
    if (at < 0) {
        // a code the entity table lacks stays as it is rather than being lost
        list->addItem(wanted, wanted);
        at = list->count() - 1;
    }
    list->setCurrentIndex(at);
    return list;
}

} // namespace

ui::GridPanel* iotaPanel()
{
    store::WorkArea* area = openMaintainedTable(QStringLiteral("iota"), kIotaMan);
    if (!area)
        return nullptr;
    area->goTop();
    auto* panel = new ui::GridPanel(area);
    // the work area lives as long as the window; by the time this runs the grid is gone
    QObject::connect(panel, &QObject::destroyed, [] { store::Workspace::instance().close(kIotaMan); });
    ui::tQ7Browse* grid = panel->browse();
    const QFontMetrics fm = grid->fontMetrics();
    ui::BrowseColumn code;
    code.header = QStringLiteral("Cod.\r\nIota");
    code.text = [](store::WorkArea& a) { return a.str(QStringLiteral("IOTA")).trimmed(); };
    code.width = fm.horizontalAdvance(QStringLiteral("WW-000")) + 16;
    grid->addColumn(code);
    grid->addField(QStringLiteral("NOMBRE"), QStringLiteral("Nombre"));
    ui::BrowseColumn entity;
    entity.header = QStringLiteral("Entidad");
    entity.text = [](store::WorkArea& a) { return NOMENT(a.str(QStringLiteral("CODENT"))).trimmed(); };
    entity.width = fm.horizontalAdvance(QLatin1Char('n')) * 30;
    grid->addColumn(entity);
    grid->setFrozenColumns(2);
    grid->setRecordSelector(true);

    addRecordActions(panel, EDTIOTA,
                     {"Nuevo", "Alta nuevo registro", "Editar", "Editar registro", "Eliminar", "Eliminar Registro"},
                     deleteIotaReference);
    return panel;
}

bool EDTIOTA(bool isNew, QWidget* parent)
{
    store::WorkArea* area = store::Workspace::instance().area(kIotaMan);
    if (!area || (!isNew && area->eof()))
        return false;
    const IotaReference was = isNew ? IotaReference{} : readIotaReference(*area);
    RecordDialog d(QStringLiteral("EDTIOTA"), QStringLiteral("Mantenimiento IOTA"), parent);
    auto* reference = new QLineEdit(&d);
    reference->setObjectName(QStringLiteral("601"));
    if (isNew)
        reference->setInputMask(QStringLiteral(">AA-999"));   // two letters, "-", three digits
    else
        reference->setReadOnly(true);                        // a reference keeps its code
    reference->setText(was.reference);
    reference->setCursorPosition(0);
    ui::fitChars(reference, 8);
    reference->setMaximumWidth(reference->minimumWidth());
    d.form()->addRow(QStringLiteral("Iota:"), reference);
    QLineEdit* name = d.addLine(QStringLiteral("602"), QStringLiteral("Nombre:"), was.name, fieldWidth(area, "NOMBRE"));
    QComboBox* entity = entityList(was.entity, &d);
    d.form()->addRow(QStringLiteral("Entidad:"), entity);
    d.enableOkWhile(reference, [reference, isNew] { return !isNew || reference->hasAcceptableInput(); });
    return d.run([&] {
        return saveIotaReference(*area, {reference->text(), name->text(), entity->currentData().toString()}, isNew);
    });
}

} // namespace refdata
