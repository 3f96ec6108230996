#include "qso_menu.h"

#include "logbook/views/entry_form.h"

#include "ui/q7browse.h"

#include "store/work_area.h"

#include <QItemSelectionModel>
#include <QMenu>

#include <initializer_list>

namespace logbook {

namespace {

QsoMenuQsl& qslRun()
{
    static QsoMenuQsl run;
    return run;
}

} // namespace

void setQsoMenuQsl(QsoMenuQsl run) { qslRun() = std::move(run); }

std::vector<quint32> menuRecords(ui::tQ7Browse* grid)
{
    std::vector<quint32> recs = grid->selectedRecords();
    if (recs.empty() && grid->currentRecord() != 0)
        recs.push_back(grid->currentRecord());
    return recs;
}

QMenu* MNUPOP(ui::tQ7Browse* grid, const QString& alias, const QsoMenuActions& actions)
{
    auto* menu = new QMenu(grid);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const struct {
        const char* text;
        QsoMenuItem item;
    } items[] = {{"Marcar QSL enviada via buro", QsoMenuItem::SentBureau},
                 {"Marcar QSL enviada via directa", QsoMenuItem::SentDirect},
                 {nullptr, {}},
                 {"Marcar QSL como recibida", QsoMenuItem::Received},
                 {"Marcar QSl como recibida e imprimr", QsoMenuItem::ReceivedPrint},
                 {"Marcar QSl recibida y enviar a cola", QsoMenuItem::ReceivedQueue},
                 {nullptr, {}},
                 {"Enviar a cola de impresión", QsoMenuItem::Spool},
                 {"Imprimir QSL", QsoMenuItem::Print},
                 {nullptr, {}}};
    store::WorkArea* area = grid->area();
    const bool spooled = area && !area->eof() && area->logical(QStringLiteral("PRNQSL"));
    for (const auto& it : items) {
        if (!it.text) {
            menu->addSeparator();
            continue;
        }
        QAction* a = menu->addAction(QString::fromUtf8(it.text));
        a->setEnabled(bool(qslRun()) && !(it.item == QsoMenuItem::Spool && spooled));
        QObject::connect(a, &QAction::triggered, grid, [grid, alias, item = it.item] {
            if (!qslRun())
                return;
            qslRun()(grid, alias, item, menuRecords(grid));
            grid->clearSelection();
            grid->refresh();
        });
    }
    menu->addAction(QStringLiteral("Editar Registro"), grid, [alias] { EDTLOG(false, false, alias); });
    QAction* remove = menu->addAction(QStringLiteral("Eliminar registro"));
    remove->setEnabled(bool(actions.remove));
    if (actions.remove)
        QObject::connect(remove, &QAction::triggered, grid, actions.remove);
    return menu;
}

} // namespace logbook
