// Reading a table for the look-ups that keep their own image of it (call-sign
// resolution): a stamp that tells when the image is out of date, and scans
// of a tag with its records.
#include "table_file.h"

#include <optional>

namespace store {

QByteArray TableFile::TagRecord::field(int i) const
{
    const DbfField& f = header->fields[size_t(i)];
    return QByteArray(record + f.offset, f.len);
}

Status TableFile::changeStamp(ChangeStamp* out, bool otherProcesses)
{
    out->table = this;
    out->tags.clear();
    // Appends elsewhere show in the counters of the tags the table keeps in
    // step with its records; the count (one more read) is looked at only when
    // there is no such tag.
    bool keptTag = false;
    for (int i = 0; m_cdx && i < m_cdx->tagCount() && !keptTag; ++i)
        keptTag = !m_cdx->tag(i)->custom();
    if (otherProcesses && m_shared && !keptTag)
        if (Status s = refreshCount(); !s)
            return s;
    out->records = m_header.recCount;
    if (!m_cdx)
        return {};
    std::optional<CdxFile::Section> sec;
    if (otherProcesses && !sec.emplace(*m_cdx))
        return sec->status();
    out->tags.resize(size_t(m_cdx->tagCount()));
    for (int i = 0; i < m_cdx->tagCount(); ++i)
        out->tags[size_t(i)] = m_cdx->counter(m_cdx->tag(i));
    return {};
}

bool TableFile::stillAt(const ChangeStamp& stamp, bool otherProcesses)
{
    // changeStamp() without building a new stamp: this runs before every look-up
    if (stamp.table != this)
        return false;
    if (otherProcesses && m_shared && m_cdx) {
        bool keptTag = false;
        for (int i = 0; i < m_cdx->tagCount() && !keptTag; ++i)
            keptTag = !m_cdx->tag(i)->custom();
        if (!keptTag && !refreshCount())
            return false;
    }
    if (stamp.records != m_header.recCount || !m_cdx)
        return !m_cdx && stamp.records == m_header.recCount && stamp.tags.empty();
    std::optional<CdxFile::Section> sec;
    if (otherProcesses && !sec.emplace(*m_cdx))
        return false;
    if (size_t(m_cdx->tagCount()) != stamp.tags.size())
        return false;
    for (int i = 0; i < m_cdx->tagCount(); ++i)
        if (stamp.tags[size_t(i)] != m_cdx->counter(m_cdx->tag(i)))
            return false;
    return true;
}

Status TableFile::tagKeys(CdxTag* t, std::vector<std::pair<QByteArray, quint32>>* out)
{
    out->clear();
    if (!m_cdx || !t)
        return {StatusCode::NotFound, QStringLiteral("La tabla %1 no tiene esa etiqueta").arg(path())};
    for (int attempt = 0;; ++attempt) {
        Status s;
        {
            CdxFile::Section sec(*m_cdx);
            s = sec ? m_cdx->scan(sec, t, out) : sec.status();
        }
        if (s.code() != StatusCode::Stale || attempt >= 100)
            return s;
    }
}

Status TableFile::scanTag(CdxTag* t, const std::function<bool(const TagRecord&)>& visit)
{
    std::vector<std::pair<QByteArray, quint32>> keys;
    if (Status s = tagKeys(t, &keys); !s)
        return s;
    if (m_shared)
        refreshCount();
    QByteArray record(m_header.recordLen, ' ');
    TagRecord r;
    r.header = &m_header;
    r.record = record.constData();
    r.keyLen = t->keyLen();
    for (const auto& [key, rec] : keys) {
        if (rec < 1 || rec > m_header.recCount || !readRecord(rec, record.data()))
            continue;
        r.key = key.constData();
        r.rec = rec;
        r.deleted = record[0] == '*';
        if (!visit(r))
            break;
    }
    return {};
}

} // namespace store
