#include "draft_store.h"

#include "core/messages.h"
#include "store/access.h"
#include "store/codepage.h"
#include "store/work_area.h"

namespace interchange {

DraftStore::DraftStore(store::WorkArea* log, const QsoImportOptions& opt, ImportSummary* done)
    : m_log(log)
    , m_done(done)
    , m_locator(store::cp1252::fromUnicode(opt.locator.trimmed().toUpper()))
    , m_operator(store::cp1252::fromUnicode(opt.operatorCall.trimmed()))
    , m_key(store::KEYGEN())
{
    m_log->beginBatch();
}

bool DraftStore::store(QsoDraft& qso)
{
    if (qso.empty("QRA"))
        qso.set("QRA", store::Value::text(m_locator));
    if (qso.empty("OPERATOR"))
        qso.set("OPERATOR", store::Value::text(m_operator));
    if (!qso.appendTo(m_log, &m_key)) {
        m_done->interrupted = true;   // a write error (told already), or the user gave up on a locked table
        return false;
    }
    ++m_stored;
    m_key = QStringLiteral("%1").arg(m_key.toInt() + 1, 7, 10, QLatin1Char('0'));
    if (m_stored % 1000 == 0) {
        if (store::Status s = m_log->renewBatch(); !s) {
            ui::messages().stop(s.text());
            m_done->indexUnwritten = true;
            return false;
        }
    }
    return true;
}

void DraftStore::finish()
{
    if (store::Status s = m_log->endBatch(); !s) {
        ui::messages().stop(s.text());
        m_done->indexUnwritten = true;
    }
}

} // namespace interchange
