#include "pick_list.h"

#include "session_areas.h"

#include "store/access.h"
#include "store/aliases.h"
#include "store/codepage.h"
#include "store/work_area.h"
#include "store/workspace.h"

namespace refdata {

using detail::padded;
using detail::widthOf;
using store::Value;

namespace {

QByteArray bytes(const QString& s) { return store::cp1252::fromUnicode(s); }
bool empty(const QString& code) { return store::VACIO(Value::text(bytes(code))); }

// Past the last record: what the area shows when a list has nothing to offer.
void toEnd(store::WorkArea* a)
{
    a->goBottom();
    if (!a->eof())
        a->skip(1);
}

} // namespace

PickList::PickList(PickKind kind, store::WorkArea* area, QString given) : m_kind(kind), m_area(area), m_given(std::move(given))
{
    if (store::WorkArea* current = store::Workspace::instance().current())
        m_previousAlias = current->alias();
}

PickList::~PickList() { restore(); }

std::unique_ptr<PickList> PickList::provinces(const QString& entity, const QString& province)
{
    std::unique_ptr<PickList> list(new PickList(PickKind::Provinces, detail::sessionArea(store::alias::kPrv), province));
    if (store::WorkArea* a = list->m_area) {
        list->m_scope = detail::entityKey(a, entity);
        list->start(list->m_scope + padded(bytes(province), widthOf(a, "CODPRV", 4)), !empty(province), "EntNom");
    }
    return list;
}

std::unique_ptr<PickList> PickList::subdivisions(const QString& entity, const QString& province, const QString& subdivision)
{
    std::unique_ptr<PickList> list(
        new PickList(PickKind::Subdivisions, detail::sessionArea(store::alias::kSubPrv), subdivision));
    if (store::WorkArea* a = list->m_area) {
        const QByteArray entPrv = detail::entityKey(a, entity) + padded(bytes(province), widthOf(a, "CODPRV", 4));
        const bool withProvince = !empty(province);
        list->m_scope = withProvince ? entPrv : detail::entityKey(a, entity);
        list->start(entPrv + padded(bytes(subdivision), widthOf(a, "CODSUBPRV", 6)), !empty(subdivision),
                    withProvince ? "EntPrvNom" : "EntNom");
    }
    return list;
}

std::unique_ptr<PickList> PickList::awardReferences(const QString& award, const QString& reference)
{
    std::unique_ptr<PickList> list(
        new PickList(PickKind::AwardReferences, detail::sessionArea(store::alias::kDplDet), reference));
    if (store::WorkArea* a = list->m_area) {
        list->m_scope = padded(bytes(award.trimmed()), widthOf(a, "DPLCOD", 8));
        list->start(list->m_scope + padded(bytes(reference), widthOf(a, "COD", 10)), !empty(reference), nullptr);
    }
    return list;
}

// In code order, looks for the given code; then in the order shown, stays on it
// when found, else goes to the first record of the scope (the end when none).
void PickList::start(const QByteArray& firstKey, bool seekFirst, const char* order)
{
    m_area->setOrder(1);
    m_area->clearScope();
    bool found = false;
    if (seekFirst) {
        m_area->seek(Value::text(firstKey));
        found = m_area->found();
    }
    if (order)
        m_area->setOrder(QString::fromLatin1(order));
    m_shownOrder = m_area->orderName();
    if (!found) {
        m_area->seek(Value::text(m_scope), true);
        if (!m_area->eof() && !m_area->orderKeyValue().bytes().startsWith(m_scope))
            toEnd(m_area);
    }
    m_area->setScope(Value::text(m_scope), Value::text(m_scope));
}

const char* PickList::codeField() const
{
    switch (m_kind) {
    case PickKind::Provinces: return "CODPRV";
    case PickKind::Subdivisions: return "CODSUBPRV";
    case PickKind::AwardReferences: return "COD";
    }
    return "";
}

const char* PickList::nameField() const { return m_kind == PickKind::AwardReferences ? "DESC" : "NOMBRE"; }

bool PickList::search(const QString& text)
{
    if (!m_area || m_finished)
        return false;
    // A look-up run meanwhile (a form refreshing the province's name as the
    // list opens) may have moved the table to another order: the search is
    // always in the order shown.
    if (m_area->orderName() != m_shownOrder) {
        m_area->setOrder(QString::fromLatin1(m_shownOrder));
        m_area->setScope(Value::text(m_scope), Value::text(m_scope));
    }
    m_area->seek(Value::text(m_scope + bytes(text.toUpper())), true);
    return !m_area->eof();
}

QString PickList::finish(bool chosen)
{
    if (m_finished)
        return m_given;
    QString code;
    if (chosen && m_area && !m_area->eof())
        code = m_area->str(QString::fromLatin1(codeField()));
    if (m_area && !chosen && m_kind != PickKind::Provinces) {
        m_area->clearScope();
        toEnd(m_area);
    }
    restore();
    return code.trimmed().isEmpty() ? m_given : code;
}

void PickList::restore()
{
    if (m_finished)
        return;
    m_finished = true;
    if (m_area) {
        m_area->clearScope();
        m_area->setOrder(1);
    }
    if (!m_previousAlias.isEmpty())
        store::Workspace::instance().select(m_previousAlias);
}

} // namespace refdata
