#pragma once
// A table of a log book opened read-only under an alias of its own for one
// computation, and closed when the holder goes.

#include "store/work_area.h"
#include "store/workspace.h"

#include <QString>

namespace awards::detail {

class OpenTable {
public:
    OpenTable(const QString& path, const QString& alias) : m_alias(alias)
    {
        store::Workspace& ws = store::Workspace::instance();
        if (path.isEmpty())
            return;
        ws.close(alias);
        if (!ws.use(path, {.alias = alias, .readOnly = true}, &m_area).isOk())
            m_area = nullptr;
    }
    ~OpenTable()
    {
        if (m_area)
            store::Workspace::instance().close(m_alias);
    }
    OpenTable(const OpenTable&) = delete;
    OpenTable& operator=(const OpenTable&) = delete;
    store::WorkArea* area() const { return m_area; }

private:
    QString m_alias;
    store::WorkArea* m_area = nullptr;
};

} // namespace awards::detail
