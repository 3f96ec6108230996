#include "award_config_window.h"

#include "award_dialog.h"
#include "award_view.h"
#include "column_widths.h"

#include "awards/award_definition.h"
#include "core/messages.h"
#include "store/aliases.h"
#include "store/work_area.h"
#include "store/workspace.h"
#include "ui/grid_panel.h"
#include "ui/q7browse.h"

#include <QMenu>
#include <QToolBar>

namespace awards {

namespace {

QString joined(store::WorkArea& a, const char* stem, int n)
{
    QString s;
    for (int i = 1; i <= n; ++i)
        s += a.str(QString::fromLatin1(stem) + QString::number(i)).trimmed();
    return s;
}

store::WorkArea* awardTable()
{
    store::Workspace& ws = store::Workspace::instance();
    store::WorkArea* a = ws.area(store::alias::kDplCfg);
    if (!a && ws.exists(QStringLiteral("DplCfg")))
        ws.use(QStringLiteral("DplCfg"), {.alias = store::alias::kDplCfg}, &a);
    return a;
}

void removeCurrent(ui::GridPanel* panel)
{
    store::WorkArea* a = panel->area();
    if (a->eof())
        return;
    if (!ui::messages().noYes(QStringLiteral("Se va a eliminar el diploma ") + a->str(QStringLiteral("DESCRI")).trimmed()
                              + QStringLiteral("\r\nEsta seguro")))
        return;
    if (!a->lockRecord().isOk()) {
        ui::messages().stop(QStringLiteral("El diploma está bloqueado por otro usuario: no se ha eliminado"));
        return;
    }
    a->deleteRecord();
    a->unlock();
    a->skip(-1);
    if (a->bof())
        a->goTop();
    panel->showCurrent();
}

} // namespace

ui::GridPanel* openAwardConfigPanel()
{
    store::WorkArea* a = awardTable();
    if (!a) {
        ui::messages().stop(QStringLiteral("No se puede abrir la tabla de diplomas (DplCfg)"));
        return nullptr;
    }
    a->setOrder(QStringLiteral("CodDpl"));
    a->goTop();
    auto* panel = new ui::GridPanel(a);
    panel->setObjectName(QStringLiteral("DplCfg"));
    ui::tQ7Browse* b = panel->browse();
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    b->addColumn({QStringLiteral("Cod."), [](store::WorkArea& r) { return r.str(QStringLiteral("CODDPL")); }, left, {}, {}, charsWide(b, 8)});
    b->addColumn({QStringLiteral("Descripción"), [](store::WorkArea& r) { return r.str(QStringLiteral("DESCRI")); }, left, {}, {},
                  charsWide(b, 28)});
    b->addColumn({QStringLiteral("Modos"), [](store::WorkArea& r) { return joined(r, "MODE", 6); }, left, {}, {}, charsWide(b, 12)});
    b->addColumn({QStringLiteral("Bandas"), [](store::WorkArea& r) { return joined(r, "BAND", 10); }, left, {}, {}, charsWide(b, 42)});
    auto edit = [panel] {
        if (!panel->area()->eof() && EDTDPLCFG(panel->area(), false, false, panel))
            panel->showCurrent();
    };
    auto create = [panel] {
        if (EDTDPLCFG(panel->area(), true, false, panel))
            panel->showCurrent();
    };
    auto remove = [panel] { removeCurrent(panel); };
    auto view = [panel] {
        if (!panel->area()->eof())
            DPLVIS(panel->area()->str(QStringLiteral("CODDPL")).trimmed(), panel);
    };
    panel->addButton(QStringLiteral("Nuevo"), QStringLiteral("Nuevo"), QStringLiteral("Alta nuevo diploma"), {QStringLiteral("document-new")}, create);
    panel->addButton(QStringLiteral("Editar"), QStringLiteral("Editar"), QStringLiteral("Editar diploma"), {QStringLiteral("document-edit")}, edit);
    panel->addButton(QStringLiteral("Eliminar"), QStringLiteral("Eliminar"), QStringLiteral("Eliminar diploma seleccionado"),
                     {QStringLiteral("edit-delete")}, remove);
    panel->addButton(QStringLiteral("VerDip"), QStringLiteral("Ver Dip."), QStringLiteral("Ver diploma"), {QStringLiteral("document-print-preview")}, view);
    panel->setCaptionsShown(true);
    panel->onEdit(edit);
    panel->onCreate(create);
    panel->onDelete(remove);
    return panel;
}

void MNUDPL(QMenu* menu)
{
    menu->clear();
    const QList<QPair<QString, QString>> list = definitionList();
    for (const auto& [code, description] : list) {
        QAction* a = menu->addAction(description.isEmpty() ? code : description);
        a->setObjectName(QStringLiteral("dpl:") + code);
        QObject::connect(a, &QAction::triggered, menu, [code] { DPLVIS(code); });
    }
    if (list.isEmpty())
        menu->addAction(QStringLiteral("(no hay diplomas)"))->setEnabled(false);
}

} // namespace awards
