#include "partial_calls.h"

#include "store/home.h"
#include "store/table_file.h"
#include "store/work_area.h"
#include "store/workspace.h"

#include <QByteArrayMatcher>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace logbook {

bool PartialCalls::loadList(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray data = f.readAll();
    for (QByteArray line : data.split('\n')) {
        line = line.trimmed().toUpper();
        if (line.isEmpty() || line.startsWith('#') || m_known.contains(line))
            continue;
        m_known.insert(line);
        m_all += line;
        m_all += '\n';
    }
    return true;
}

void PartialCalls::addBook(store::WorkArea* log)
{
    if (!log)
        return;
    store::CdxTag* tag = log->table().tag("CALL");
    std::vector<std::pair<QByteArray, quint32>> keys;
    if (tag && log->table().tagKeys(tag, &keys)) {
        for (const auto& [key, rec] : keys) {
            const QByteArray call = key.trimmed();
            if (!call.isEmpty() && !m_known.contains(call)) {
                m_known.insert(call);
                m_all += call;
                m_all += '\n';
            }
        }
    }
}

void PartialCalls::add(const QString& call)
{
    const QByteArray c = call.trimmed().toUpper().toLatin1();
    if (c.isEmpty() || c.contains('\n') || m_known.contains(c))
        return;
    m_known.insert(c);
    m_all += c;
    m_all += '\n';
}

QStringList PartialCalls::matching(const QString& text, int max) const
{
    const QByteArray needle = text.trimmed().toUpper().toLatin1();
    if (needle.size() < 2 || needle.contains('\n'))
        return {};
    QByteArrayMatcher matcher(needle);
    QList<QByteArray> starting, containing;
    qsizetype from = 0;
    // a generous sample: the list shown is sorted, the prefix matches first
    const int enough = max * 4;
    while (starting.size() + containing.size() < enough) {
        const qsizetype at = matcher.indexIn(m_all, from);
        if (at < 0)
            break;
        const qsizetype begin = m_all.lastIndexOf('\n', at) + 1;
        const qsizetype end = m_all.indexOf('\n', at);
        const QByteArray call = m_all.mid(begin, end - begin);
        (begin == at ? starting : containing).append(call);
        from = end;
    }
    std::sort(starting.begin(), starting.end());
    std::sort(containing.begin(), containing.end());
    QStringList out;
    for (const QList<QByteArray>* group : {&starting, &containing})
        for (const QByteArray& c : *group) {
            if (out.size() >= max)
                return out;
            out << QString::fromLatin1(c);
        }
    return out;
}

QString masterScpPath()
{
    const QString own = store::Workspace::instance().programDir() + QStringLiteral("MASTER.SCP");
    if (QFileInfo::exists(own))
        return own;
    const QString shipped = store::shippedTablesDir();
    return shipped.isEmpty() ? QString() : QDir(shipped).filePath(QStringLiteral("MASTER.SCP"));
}

} // namespace logbook
