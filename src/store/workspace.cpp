#include "workspace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace store {

namespace {
bool g_deletedHidden = true;
}

bool Workspace::deletedHidden() { return g_deletedHidden; }
void Workspace::setDeletedHidden(bool on) { g_deletedHidden = on; }

Workspace::Workspace() : m_dataDir(QDir::currentPath() + QLatin1Char('/')) {}
Workspace::~Workspace() { closeAll(); }

Workspace& Workspace::instance()
{
    static Workspace w;
    return w;
}

void Workspace::setDataDir(const QString& dir)
{
    m_dataDir = dir;
    if (!m_dataDir.isEmpty() && !m_dataDir.endsWith(QLatin1Char('/')))
        m_dataDir += QLatin1Char('/');
}

void Workspace::setProgramDir(const QString& dir)
{
    m_programDir = dir;
    if (!m_programDir.isEmpty() && !m_programDir.endsWith(QLatin1Char('/')))
        m_programDir += QLatin1Char('/');
}

QString Workspace::tablePath(const QString& name, bool mustExist) const
{
    QString p = name;
    if (QFileInfo(p).suffix().isEmpty())
        p += QStringLiteral(".dbf");
    if (QDir::isRelativePath(p) && !p.contains(QLatin1Char('/')))
        p = m_dataDir + p;
    const QString found = findFileNoCase(p);
    if (!found.isEmpty() || mustExist)
        return found;
    return p;
}

Status Workspace::create(const QString& name, const std::vector<FieldSpec>& fields)
{
    QString p = tablePath(name, false);
    return TableFile::create(p, fields);
}

Status Workspace::drop(const QString& name)
{
    QString p = name;
    if (QDir::isRelativePath(p) && !p.contains(QLatin1Char('/')))
        p = m_dataDir + p;
    if (p.endsWith(QStringLiteral(".dbf"), Qt::CaseInsensitive))
        p.chop(4);
    for (const char* ext : {".dbf", ".cdx", ".fpt"}) {
        const QString f = findFileNoCase(p + QString::fromLatin1(ext));
        if (!f.isEmpty() && !QFile::remove(f))
            return {StatusCode::IoError, QStringLiteral("No se pudo borrar %1").arg(f), errno};
    }
    return {};
}

Status Workspace::use(const QString& name, const UseOptions& opt, WorkArea** out)
{
    const QString path = tablePath(name);
    if (path.isEmpty())
        return {StatusCode::NotFound, QStringLiteral("No existe la tabla %1").arg(name), ENOENT};
    QString alias = opt.alias.isEmpty() ? QFileInfo(path).completeBaseName() : opt.alias;
    const QString key = alias.toUpper();
    if (m_areas.count(key))
        return {StatusCode::Invalid, QStringLiteral("El alias %1 ya está en uso").arg(alias)};
    std::shared_ptr<TableFile> t;
    if (Status s = TableFile::open(path, opt.shared, opt.readOnly, &t); !s)
        return s;
    std::unique_ptr<WorkArea> a(new WorkArea(alias, t, opt.readOnly));
    a->goTop();
    m_current = a.get();
    if (out)
        *out = a.get();
    m_areas.emplace(key, std::move(a));
    return {};
}

WorkArea* Workspace::area(const QString& alias) const
{
    auto it = m_areas.find(alias.toUpper());
    return it == m_areas.end() ? nullptr : it->second.get();
}

bool Workspace::select(const QString& alias)
{
    WorkArea* a = area(alias);
    if (a)
        m_current = a;
    return a != nullptr;
}

Status Workspace::close(const QString& alias)
{
    auto it = m_areas.find(alias.toUpper());
    if (it == m_areas.end())
        return {};
    Status s = it->second->close();
    if (m_current == it->second.get())
        m_current = nullptr;
    m_areas.erase(it);
    return s;
}

void Workspace::closeAll()
{
    for (auto& [k, a] : m_areas)
        a->close();
    m_areas.clear();
    m_current = nullptr;
}

std::vector<QString> Workspace::aliases() const
{
    std::vector<QString> out;
    for (auto& [k, a] : m_areas)
        out.push_back(a->alias());
    return out;
}

} // namespace store
