#pragma once
// A fresh program home for a benchmark: the shipped tables, an empty book
// for EA1XX, and the session's tables open.

#include "store/access.h"
#include "store/home.h"
#include "store/workspace.h"

#include <QDir>
#include <QString>

namespace bench {

inline bool freshHome(const QString& root)
{
    QDir(root).removeRecursively();
    QDir().mkpath(root);
    store::Workspace& ws = store::Workspace::instance();
    ws.closeAll();
    const QString program = root + QStringLiteral("/"), data = program + QStringLiteral("datos/");
    if (!store::createHome(program, data, QStringLiteral("EA1XX"), store::shippedTablesDir()))
        return false;
    ws.setDataDir(data);
    ws.setProgramDir(program);
    return store::ABREDBF();
}

} // namespace bench
