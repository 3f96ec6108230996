#include "server_list.h"

#include "store/work_area.h"
#include "ui/grid_panel.h"
#include "ui/q7browse.h"
#include "core/messages.h"

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace cluster {

namespace {

// Stores one typed value under the record's lock; "No pudo bloquearse" when
// another user holds it.
bool store(store::WorkArea& a, const QString& field, const store::Value& v)
{
    if (!a.lockRecord()) {
        ui::messages().stop(QStringLiteral("No pudo bloquearse"));
        return false;
    }
    a.put(field, v);
    return a.unlock().isOk();
}

ui::BrowseColumn textColumn(const char* header, const char* name, int width)
{
    ui::BrowseColumn c;
    c.header = QString::fromUtf8(header);
    const QString f = QString::fromLatin1(name);
    c.text = [f](store::WorkArea& a) { return a.str(f).trimmed(); };
    c.edit = [f](store::WorkArea& a, const QString& typed) { return store(a, f, store::Value::text(typed.trimmed())); };
    c.maxLength = width;
    c.width = 0;
    return c;
}

QIcon lamp(const QColor& colour)
{
    QPixmap p(12, 12);
    p.fill(colour);
    return QIcon(p);
}

} // namespace

ui::GridPanel* MANCLUS(store::WorkArea* servers, const ServerListActions& actions)
{
    auto* panel = new ui::GridPanel(servers);
    panel->setObjectName(QStringLiteral("ManClus"));
    ui::tQ7Browse* grid = panel->browse();

    ui::BrowseColumn name = textColumn("Nombre", "NOMBRE", 20);
    name.width = 150;
    grid->addColumn(name);
    ui::BrowseColumn site = textColumn("Site/IP", "SITE", 40);
    site.width = 200;
    grid->addColumn(site);
    ui::BrowseColumn port;
    port.header = QStringLiteral("Puerto");
    port.text = [](store::WorkArea& a) { return QString::number(int(a.num(QStringLiteral("PORT")))); };
    port.edit = [](store::WorkArea& a, const QString& typed) {
        return store(a, QStringLiteral("PORT"), store::Value::number(typed.trimmed().toInt()));
    };
    port.align = Qt::AlignRight | Qt::AlignVCenter;
    port.maxLength = 4;
    port.digits = true;
    port.width = 60;
    grid->addColumn(port);
    ui::BrowseColumn autoConnect;
    autoConnect.header = QStringLiteral("Auto\r\nConexión");
    autoConnect.text = [](store::WorkArea& a) {
        return a.value(QStringLiteral("AUTO")).toBool() ? QStringLiteral("Si") : QStringLiteral("No");
    };
    autoConnect.edit = [](store::WorkArea& a, const QString& typed) {
        return store(a, QStringLiteral("AUTO"), store::Value::logical(typed == QLatin1String("Si")));
    };
    autoConnect.choices = {QStringLiteral("Si"), QStringLiteral("No")};
    autoConnect.align = Qt::AlignCenter;
    grid->addColumn(autoConnect);
    ui::BrowseColumn on;
    on.header = QStringLiteral("Estado");
    on.icon = [](store::WorkArea& a) {
        static const QIcon green = lamp(QColor(0, 170, 0)), red = lamp(QColor(200, 0, 0));
        return a.value(QStringLiteral("ON")).toBool() ? green : red;
    };
    on.text = [](store::WorkArea& a) {
        return a.value(QStringLiteral("ON")).toBool() ? QStringLiteral("Conectado") : QString();
    };
    on.width = 100;
    grid->addColumn(on);
    grid->setFrozenColumns(3);

    const int statusColumn = 4;
    auto currentName = [servers] { return servers->str(QStringLiteral("NOMBRE")).trimmed(); };
    auto connectCurrent = [servers, actions, currentName] {
        if (servers->eof())
            return;
        if (servers->value(QStringLiteral("ON")).toBool()) {
            if (actions.addTab)
                actions.addTab(currentName());
            ui::messages().stop(servers->str(QStringLiteral("NOMBRE")) + QStringLiteral(" ya esta conectado"));
            return;
        }
        if (actions.connect)
            actions.connect(currentName(), servers->recNo());
    };
    auto disconnectCurrent = [servers, actions, currentName] {
        if (!servers->eof() && servers->value(QStringLiteral("ON")).toBool() && actions.disconnect)
            actions.disconnect(currentName());
    };
    auto addNew = [panel, servers, grid] {
        if (!servers->append()) {
            ui::messages().stop(QStringLiteral("No pudo bloquearse"));
            return;
        }
        servers->put(QStringLiteral("PORT"), 23);
        servers->unlock();
        panel->showCurrent();
        grid->setFocus();
    };
    auto editCell = [grid] {
        if (grid->currentIndex().isValid())
            grid->editCurrentCell();
    };
    auto remove = [panel, servers] {
        if (servers->eof())
            return;
        if (!servers->lockRecord()) {
            ui::messages().stop(QStringLiteral("No pudo bloquearse"));
            return;
        }
        servers->deleteRecord();
        servers->unlock();
        servers->goTop();
        panel->showCurrent();
    };
    panel->addButton(QStringLiteral("Nuevo"), QStringLiteral("Nuevo"), QStringLiteral("Añade un servidor"),
                     {QStringLiteral("document-new")}, addNew);
    panel->addButton(QStringLiteral("Editar"), QStringLiteral("Editar"), QStringLiteral("Modifica la celda actual"),
                     {QStringLiteral("document-edit")}, editCell);
    panel->addButton(QStringLiteral("Borrar"), QStringLiteral("Borrar"), QStringLiteral("Borra el servidor"),
                     {QStringLiteral("edit-delete")}, remove);
    panel->addButton(QStringLiteral("Conecta"), QStringLiteral("Conecta"), QStringLiteral("Conecta con el servidor"),
                     {QStringLiteral("network-connect")}, connectCurrent);
    panel->addButton(QStringLiteral("Desconecta"), QStringLiteral("Desconecta"), QStringLiteral("Cierra la conexión con el servidor"),
                     {QStringLiteral("network-disconnect")}, disconnectCurrent);
    panel->setCaptionsShown(true);
    panel->onEdit(editCell);
    panel->onCreate(addNew);
    panel->onDelete(remove);
    // a double click on the status connects or disconnects, elsewhere it edits
    panel->onDoubleClick([grid, editCell, connectCurrent, disconnectCurrent, servers, currentName, actions, statusColumn] {
        if (grid->currentIndex().column() != statusColumn) {
            editCell();
            return;
        }
        if (servers->eof())
            return;
        if (servers->value(QStringLiteral("ON")).toBool()) {
            if (actions.addTab)
                actions.addTab(currentName());
            disconnectCurrent();
        } else if (actions.connect) {
            actions.connect(currentName(), servers->recNo());
        }
    });
    return panel;
}

} // namespace cluster
