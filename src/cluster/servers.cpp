#include "servers.h"

#include "store/aliases.h"
#include "store/workspace.h"

namespace cluster {

namespace {

store::WorkArea* servers()
{
    store::Workspace& ws = store::Workspace::instance();
    if (store::WorkArea* a = ws.area(store::alias::kCluster))
        return a;
    if (!ws.exists(QStringLiteral("Cluster")))
        return nullptr;
    store::WorkArea* was = ws.current();
    const QString wasAlias = was ? was->alias() : QString();
    store::WorkArea* a = nullptr;
    const bool ok = ws.use(QStringLiteral("Cluster"), {.alias = store::alias::kCluster}, &a).isOk();
    if (!wasAlias.isEmpty())
        ws.select(wasAlias);
    return ok ? a : nullptr;
}

bool writeOn(store::WorkArea& a, bool on)
{
    if (!a.lockRecord().isOk())
        return false;
    a.put(QStringLiteral("ON"), on);
    return a.unlock().isOk();
}

// Runs body over every record, putting the table back where it stood.
template <class Body> void eachServer(store::WorkArea& a, Body body)
{
    const quint32 rec = a.recNo();
    const bool eof = a.eof();
    for (a.goTop(); !a.eof(); a.skip())
        if (!body(a))
            break;
    if (!eof && rec)
        a.goTo(rec);
}

} // namespace

bool setServerOn(quint32 recNo, bool on)
{
    store::WorkArea* a = servers();
    if (!a || !a->goTo(recNo).isOk() || a->eof())
        return false;
    return writeOn(*a, on);
}

void CLSCLUS(const QString& name)
{
    store::WorkArea* a = servers();
    if (!a)
        return;
    eachServer(*a, [&](store::WorkArea& s) {
        if (s.logical(QStringLiteral("ON")) && s.str(QStringLiteral("NOMBRE")).trimmed() == name) {
            writeOn(s, false);
            return false;
        }
        return true;
    });
}

void clearServersOn()
{
    store::WorkArea* a = servers();
    if (!a)
        return;
    eachServer(*a, [](store::WorkArea& s) {
        if (s.logical(QStringLiteral("ON")))
            writeOn(s, false);
        return true;
    });
}

} // namespace cluster
