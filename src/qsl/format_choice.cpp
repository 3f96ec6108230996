#include "qsl/format_choice.h"

#include "qsl/marking.h"

#include "core/messages.h"
#include "store/work_area.h"

namespace qsl {

FormatList formatsWithDesign(store::WorkArea& frm)
{
    FormatList out;
    const quint32 back = frm.recNo();
    const QString order = QString::fromLatin1(frm.orderName());
    frm.setOrder(QString());
    for (frm.goTop(); !frm.eof(); frm.skip()) {
        if (frm.deleted() || frm.memoText(QStringLiteral("FORMATO")).trimmed().isEmpty())
            continue;
        if (out.current < 0 && frm.logical(QStringLiteral("DEFAULT")))
            out.current = int(out.records.size());
        out.descriptions << frm.str(QStringLiteral("DESC")).trimmed();
        out.records.push_back(frm.recNo());
    }
    frm.setOrder(order);
    if (back)
        frm.goTo(back);
    return out;
}

bool makeDefault(store::WorkArea& frm, quint32 rec)
{
    const quint32 back = frm.recNo();
    const QString order = QString::fromLatin1(frm.orderName());
    frm.setOrder(QString());
    bool ok = true;
    for (frm.goTop(); !frm.eof(); frm.skip()) {
        const bool want = frm.recNo() == rec;
        if (frm.logical(QStringLiteral("DEFAULT")) == want)
            continue;
        if (!lockCurrent(frm, 0)) {
            ok = false;
            continue;
        }
        frm.put(QStringLiteral("DEFAULT"), want);
        frm.unlock();
    }
    frm.setOrder(order);
    if (back)
        frm.goTo(back);
    return ok;
}

bool selectFormat(store::WorkArea& frm)
{
    const FormatList list = formatsWithDesign(frm);
    if (list.records.empty()) {
        ui::messages().alert(QStringLiteral("No hay ningún formato de QSL con diseño"));
        return false;
    }
    const int chosen = ui::messages().list(list.descriptions, QStringLiteral("Selecciona formato de QSL"),
                                           std::max(0, list.current));
    if (chosen < 0 || chosen >= int(list.records.size()) || chosen == list.current)
        return false;
    return makeDefault(frm, list.records[size_t(chosen)]);
}

} // namespace qsl
