#include "qso_menu.h"

#include "logbook/views/entry_form.h"

#include "ui/q7browse.h"

#include <QMenu>

#include <initializer_list>

namespace logbook {

QMenu* MNUPOP(ui::tQ7Browse* grid, const QString& alias, const QsoMenuActions& actions)
{
    auto* menu = new QMenu(grid);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    // the QSL marking and the print spool come with the QSL desk
    for (const char* text : std::initializer_list<const char*>{"Marcar QSL enviada via buro", "Marcar QSL enviada via directa", nullptr, "Marcar QSL como recibida",
                             "Marcar QSl como recibida e imprimr", "Marcar QSl recibida y enviar a cola", nullptr,
                             "Enviar a cola de impresión", "Imprimir QSL", nullptr}) {
        if (!text) {
            menu->addSeparator();
            continue;
        }
        menu->addAction(QString::fromUtf8(text))->setEnabled(false);
    }
    menu->addAction(QStringLiteral("Editar Registro"), grid, [alias] { EDTLOG(false, false, alias); });
    QAction* remove = menu->addAction(QStringLiteral("Eliminar registro"));
    remove->setEnabled(bool(actions.remove));
    if (actions.remove)
        QObject::connect(remove, &QAction::triggered, grid, actions.remove);
    return menu;
}

} // namespace logbook
