// Whether a tag stands for its table: one key for each record its condition
// accepts and none for the others. Cheaper than the full check: no key is
// compared, so a walk in the tag's order can trust which records it meets.
#include "table_file.h"

#include <QFileInfo>
#include <QThread>

#include <vector>

namespace store {

namespace {

Status disagreement(const QString& cdx, const CdxTag* t, const QString& dbf, const QString& what)
{
    return {StatusCode::Corrupt, QStringLiteral("El índice %1 (etiqueta %2) no corresponde a la tabla %3: %4")
                                     .arg(cdx, QString::fromLatin1(t->name()), dbf, what)};
}

} // namespace

Status TableFile::checkTag(CdxTag* t)
{
    if (!m_cdx || !t || t->custom() || !t->usable())
        return {};
    const QString cdxName = QFileInfo(m_cdxPath).fileName();
    const QString dbfName = QFileInfo(path()).fileName();
    Status result;
    // Another user's append writes the record and its count before its keys:
    // a difference seen in that moment is looked at again.
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (attempt)
            QThread::msleep(20);
        std::vector<std::pair<QByteArray, quint32>> stored;
        quint32 n = 0;
        {
            CdxFile::Section sec(*m_cdx);
            if (!sec)
                return sec.status();
            if (m_shared)
                if (Status s = refreshCount(); !s)
                    return s;
            n = m_header.recCount;
            if (Status s = m_cdx->scan(sec, t, &stored); !s) {
                if (s.code() == StatusCode::Stale)
                    continue;
                return disagreement(cdxName, t, dbfName, s.message());
            }
        }
        std::vector<char> keyed(size_t(n) + 1, 0);
        result = {};
        for (const auto& [key, rec] : stored) {
            if (rec == 0 || rec > n) {
                result = disagreement(cdxName, t, dbfName, QStringLiteral("una clave señala el registro %1 y la tabla tiene %2").arg(rec).arg(n));
                break;
            }
            if (keyed[rec]) {
                result = disagreement(cdxName, t, dbfName, QStringLiteral("el registro %1 tiene dos claves").arg(rec));
                break;
            }
            keyed[rec] = 1;
        }
        if (result.isOk() && t->forExpression()) {
            // the records the condition accepts are the ones with a key
            quint32 accepted = 0, astray = 0;
            if (Status s = forEachRecord(n, [&](quint32 rec, const char* record) {
                    bool in = false;
                    keyFor(t, rec, record, &in);
                    accepted += in ? 1 : 0;
                    astray += in != bool(keyed[rec]) ? 1 : 0;
                });
                !s)
                return s;
            if (astray)
                result = disagreement(cdxName, t, dbfName,
                                      QStringLiteral("%1 claves para %2 registros (%3 registros fuera de lugar)")
                                          .arg(stored.size()).arg(accepted).arg(astray));
        } else if (result.isOk() && stored.size() != n) {
            result = disagreement(cdxName, t, dbfName, QStringLiteral("%1 claves para %2 registros").arg(stored.size()).arg(n));
        }
        if (result.isOk())
            return {};
    }
    return result;
}

} // namespace store
