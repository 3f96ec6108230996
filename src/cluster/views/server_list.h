#pragma once
// The "Servidores Cluster" page: the servers of table CLUSTER, edited in
// place under a record lock, with new, edit, delete, connect and disconnect.

#include <functional>

#include <QString>

namespace store {
class WorkArea;
}
namespace ui {
class GridPanel;
}

namespace cluster {

struct ServerListActions {
    // Opens a tab for the server the table stands on and connects it.
    std::function<void(const QString& name, quint32 recNo)> connect;
    // Adds an empty tab of that name (a second "Conecta" on a server already on).
    std::function<void(const QString& name)> addTab;
    // Closes the server's tab and clears its ON mark (CLSCLUSNAME).
    std::function<void(const QString& name)> disconnect;
};

// MANCLUS: the page over the work area of the table (alias "Cluster").
ui::GridPanel* MANCLUS(store::WorkArea* servers, const ServerListActions& actions);

} // namespace cluster
