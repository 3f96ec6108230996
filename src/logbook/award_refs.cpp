#include "award_refs.h"

#include "core/messages.h"
#include "store/access.h"
#include "store/aliases.h"
#include "store/work_area.h"
#include "store/workspace.h"

namespace logbook {

namespace {
store::Workspace& ws() { return store::Workspace::instance(); }
}

void QsoAwardRefs::show(const QString& key, bool ensureOne)
{
    const store::Value k = store::Value::text(key);
    m_refs->setOrder(QStringLiteral("Key"));
    m_refs->setScope(k, k);
    m_refs->goTop();
    if (ensureOne && m_refs->eof() && !key.trimmed().isEmpty())
        add(key);
}

bool QsoAwardRefs::add(const QString& key)
{
    ws().select(m_refs->alias());
    if (!store::ADDREC(0))
        return false;
    m_refs->put(QStringLiteral("KEY"), key);
    m_refs->unlock();
    m_added.push_back(m_refs->recNo());
    return true;
}

bool QsoAwardRefs::lockCurrent(const QString& refusal)
{
    if (m_refs->eof())
        return false;
    if (!m_refs->lockRecord()) {
        ui::messages().alert(refusal);
        return false;
    }
    return true;
}

bool QsoAwardRefs::setAward(const QString& code)
{
    if (!lockCurrent(QStringLiteral("No pudo bloquearse")))
        return false;
    m_refs->put(QStringLiteral("DPL"), code);
    return m_refs->unlock().isOk();
}

bool QsoAwardRefs::setReference(const QString& reference)
{
    if (!lockCurrent(QStringLiteral("No pudo bloquearse el registro")))
        return false;
    m_refs->put(QStringLiteral("COD"), reference.trimmed().toUpper());
    return m_refs->unlock().isOk();
}

bool QsoAwardRefs::removeCurrent()
{
    if (m_refs->eof() || !ui::messages().noYes(QStringLiteral("Confirma eliminación registro diploma")))
        return false;
    ws().select(m_refs->alias());
    if (!store::RECLOCK(0))
        return false;
    m_refs->deleteRecord();
    m_refs->unlock();
    m_refs->skip(-1);
    if (m_refs->bof() || m_refs->eof())
        m_refs->goTop();
    return true;
}

void QsoAwardRefs::rekeyAdded(const QString& key)
{
    for (quint32 rec : m_added) {
        if (!m_refs->goTo(rec) || m_refs->eof() || m_refs->deleted() || m_refs->str(QStringLiteral("KEY")) == key)
            continue;
        if (m_refs->lockRecord()) {
            m_refs->put(QStringLiteral("KEY"), key);
            m_refs->unlock();
        }
    }
    m_added.clear();
}

void QsoAwardRefs::dropAdded()
{
    for (quint32 rec : m_added)
        if (m_refs->goTo(rec) && !m_refs->eof() && !m_refs->deleted() && m_refs->lockRecord()) {
            m_refs->deleteRecord();
            m_refs->unlock();
        }
    m_added.clear();
}

QStringList awardCodes()
{
    QStringList out;
    store::WorkArea* cfg = ws().area(store::alias::kDplCfg);
    if (!cfg)
        return out;
    const quint32 rec = cfg->recNo();
    const bool eof = cfg->eof();
    for (cfg->goTop(); !cfg->eof(); cfg->skip())
        out << cfg->str(QStringLiteral("CODDPL")).trimmed();
    if (!eof)
        cfg->goTo(rec);
    return out;
}

QString awardReferenceName(const QString& award, const QString& reference)
{
    store::WorkArea* det = ws().area(store::alias::kDplDet);
    if (!det || award.trimmed().isEmpty() || reference.trimmed().isEmpty())
        return {};
    det->setOrder(QStringLiteral("Dpl"));
    det->seek(store::Value::text(award.leftJustified(8) + reference.trimmed().toUpper().leftJustified(10)));
    return det->found() ? det->str(QStringLiteral("DESC")).trimmed() : QString();
}

} // namespace logbook
