#include "qsl/design_sample.h"

#include "qsl/labels.h"
#include "qsl/marking.h"
#include "qsl/print_job.h"

#include "store/codepage.h"
#include "store/work_area.h"

#include <QDate>

namespace qsl {

namespace {

RowSet madeUpQso()
{
    RowSet r;
    r.fields = cardFields();
    std::vector<store::Value>& q = r.appendBlank();
    r.set(q, "CALL", store::Value::text(QStringLiteral("EA4ZZ")));
    r.set(q, "OPERATOR", store::Value::text(QStringLiteral("EA1XX")));
    r.set(q, "CODENT", store::Value::text(QStringLiteral(" 89")));
    r.set(q, "QSODATE", store::Value::date(QDate(2024, 5, 1)));
    r.set(q, "TIMEON", store::Value::text(QStringLiteral("12:34")));
    r.set(q, "BAND", store::Value::text(QStringLiteral("20M")));
    r.set(q, "FREQ", store::Value::number(14.205));
    r.set(q, "MODE", store::Value::text(QStringLiteral("SSB")));
    r.set(q, "RSTSENT", store::Value::text(QStringLiteral("59")));
    r.set(q, "NAME", store::Value::text(QStringLiteral("José")));
    r.set(q, "QSLRCVD", store::Value::text(QStringLiteral("Y")));
    r.set(q, "QRA", store::Value::text(QStringLiteral("IN80DO")));
    r.set(q, "GRIDSQUARE", store::Value::text(QStringLiteral("IM88")));
    return r;
}

} // namespace

DesignSample designSample(bool label, int qsosPerLabel, store::WorkArea* log, store::WorkArea* frm, int count)
{
    DesignSample s;
    RowSet qsos;
    if (log) {
        int taken = 0;
        qsos = collectQsos(*log, [&](store::WorkArea&) { return taken++ < count; });
    }
    if (qsos.rows.empty())
        qsos = madeUpQso();
    s.d = label ? fillLabels(qsos, std::clamp(qsosPerLabel, 1, 9)) : qsos;
    s.fFields = formatFields();
    if (frm && !frm->eof()) {
        s.fRow = formatOf(*frm).fRow;
    } else {
        for (const store::FieldInfo& f : s.fFields)
            s.fRow.push_back(blankValue(f));
    }
    return s;
}

QString emptyDesign(bool label)
{
    return label ? QStringLiteral("ORLANQSL 1\nPAGE 210 297\nGRID cols=3 rows=8 width=70 height=37 left=0 top=0.5 hgap=0 vgap=0\n")
                 : QStringLiteral("ORLANQSL 1\nPAGE 140 90\n");
}

DesignBases designBases(store::WorkArea& frm)
{
    DesignBases b;
    b.choices << QStringLiteral("Formato vacio");
    const quint32 back = frm.recNo();
    for (frm.goTop(); !frm.eof(); frm.skip()) {
        if (frm.deleted() || frm.memoText(QStringLiteral("FORMATO")).trimmed().isEmpty())
            continue;
        b.choices << frm.str(QStringLiteral("DESC")).trimmed();
        b.records.push_back(frm.recNo());
    }
    if (back)
        frm.goTo(back);
    return b;
}

QString designOf(store::WorkArea& frm, quint32 rec)
{
    const quint32 back = frm.recNo();
    QString text;
    if (frm.goTo(rec).isOk() && !frm.eof())
        text = frm.memoText(QStringLiteral("FORMATO"));
    if (back)
        frm.goTo(back);
    return text;
}

bool saveDesign(store::WorkArea& frm, quint32 rec, const QString& text, QString* error)
{
    const quint32 back = frm.recNo();
    bool ok = frm.goTo(rec).isOk() && !frm.eof() && lockCurrent(frm, 2);
    if (ok) {
        const store::Status put = frm.putMemo(QStringLiteral("FORMATO"), store::cp1252::fromUnicode(text));
        const store::Status written = frm.unlock();
        ok = put.isOk() && written.isOk();
        if (!ok && error)
            *error = QStringLiteral("No se pudo guardar el diseño: %1").arg(put.isOk() ? written.message() : put.message());
    } else if (error) {
        *error = QStringLiteral("El formato está bloqueado por otro usuario; el diseño no se ha guardado.");
    }
    if (back)
        frm.goTo(back);
    return ok;
}

} // namespace qsl
