#include "qsl/print_job.h"

#include "qsl/design.h"
#include "qsl/labels.h"
#include "qsl/marking.h"
#include "qsl/report.h"

#include "store/work_area.h"

#include <algorithm>
#include <numeric>

namespace qsl {

Format formatOf(store::WorkArea& frm)
{
    Format f;
    f.rec = frm.recNo();
    f.description = frm.str(QStringLiteral("DESC")).trimmed();
    f.label = frm.logical(QStringLiteral("LBL"));
    f.qsosPerLabel = std::clamp(int(frm.num(QStringLiteral("QSOXLBL"))), 1, 9);
    f.perSheet = std::max(0, int(frm.num(QStringLiteral("ETIXPAG"))));
    f.used = std::max(0, int(frm.num(QStringLiteral("ULTETI"))));
    f.design = frm.memoText(QStringLiteral("FORMATO"));
    for (const store::FieldInfo& fi : formatFields()) {
        const int p = frm.fieldPos(QString::fromLatin1(fi.name));
        f.fRow.push_back(p < 0 ? blankValue(fi) : frm.value(p));
    }
    return f;
}

namespace {

std::optional<Format> firstWhere(store::WorkArea& frm, const std::function<bool()>& pass)
{
    const quint32 back = frm.recNo();
    const QString order = QString::fromLatin1(frm.orderName());
    frm.setOrder(QString());
    std::optional<Format> found;
    for (frm.goTop(); !frm.eof() && !found; frm.skip())
        if (!frm.deleted() && !frm.memoText(QStringLiteral("FORMATO")).trimmed().isEmpty() && pass())
            found = formatOf(frm);
    frm.setOrder(order);
    if (back)
        frm.goTo(back);
    return found;
}

} // namespace

std::optional<Format> defaultFormat(store::WorkArea& frm, QString* error)
{
    auto f = firstWhere(frm, [&] { return frm.logical(QStringLiteral("DEFAULT")); });
    if (!f)
        f = firstWhere(frm, [] { return true; });
    if (!f && error)
        *error = QStringLiteral("No hay ningún formato de QSL con diseño");
    return f;
}

std::optional<Format> formatNamed(store::WorkArea& frm, const QString& description, QString* error)
{
    auto f = firstWhere(frm, [&] {
        return frm.str(QStringLiteral("DESC")).trimmed().compare(description.trimmed(), Qt::CaseInsensitive) == 0;
    });
    if (!f && error)
        *error = QStringLiteral("No existe el formato de QSL \"%1\" o no tiene diseño").arg(description);
    return f;
}

RowSet collectQsos(store::WorkArea& log, const std::function<bool(store::WorkArea&)>& accept, bool byIdx1)
{
    RowSet out;
    out.fields = cardFields();
    std::vector<int> pos;
    for (const store::FieldInfo& f : out.fields)
        pos.push_back(log.fieldPos(QString::fromLatin1(f.name)));
    const quint32 back = log.recNo();
    const int callPos = log.fieldPos(QStringLiteral("CALL"));
    for (log.goTop(); !log.eof(); log.skip()) {
        // a book starts with a blank record: no card for a QSO without a call
        if (log.deleted() || (callPos >= 0 && log.value(callPos).bytes().trimmed().isEmpty()))
            continue;
        if (accept && !accept(log))
            continue;
        std::vector<store::Value> r;
        r.reserve(out.fields.size());
        for (size_t i = 0; i < pos.size(); ++i)
            r.push_back(pos[i] < 0 ? blankValue(out.fields[i]) : log.value(pos[i]));
        out.rows.push_back(std::move(r));
    }
    if (back)
        log.goTo(back);
    if (byIdx1) {
        const int op = out.fieldPos("OPERATOR"), ent = out.fieldPos("CODENT"), call = out.fieldPos("CALL"),
                  date = out.fieldPos("QSODATE"), time = out.fieldPos("TIMEON");
        auto key = [&](const std::vector<store::Value>& r) {
            return r[size_t(op)].bytes() + r[size_t(ent)].bytes() + r[size_t(call)].bytes()
                   + QByteArray::number(r[size_t(date)].julianDay()).rightJustified(8, '0') + r[size_t(time)].bytes();
        };
        std::vector<QByteArray> keys;
        keys.reserve(out.rows.size());
        for (const auto& r : out.rows)
            keys.push_back(key(r));
        std::vector<size_t> idx(out.rows.size());
        std::iota(idx.begin(), idx.end(), 0);
        std::stable_sort(idx.begin(), idx.end(), [&](size_t a, size_t b) { return keys[a] < keys[b]; });
        std::vector<std::vector<store::Value>> sorted;
        sorted.reserve(idx.size());
        for (size_t i : idx)
            sorted.push_back(std::move(out.rows[i]));
        out.rows = std::move(sorted);
    }
    return out;
}

bool printQsos(const Format& format, const RowSet& qsos, int startAt, const QString& pdfPath, PrintResult* result,
               QString* error, QPagedPaintDevice* device)
{
    QString why;
    const auto design = parseDesign(format.design, &why);
    if (!design) {
        if (error)
            *error = QStringLiteral("El formato \"%1\": %2").arg(format.description, why);
        return false;
    }
    const RowSet data = format.label ? fillLabels(qsos, format.qsosPerLabel) : qsos;
    const auto report = Report::compile(*design, data.fields, formatFields(), &why);
    if (!report) {
        if (error)
            *error = QStringLiteral("El formato \"%1\": %2").arg(format.description, why);
        return false;
    }
    const int per = design->grid.perPage();
    const int first = format.label && per > 1 ? std::clamp(startAt, 1, per) - 1 : 0;
    bool ok = false;
    if (device) {
        ok = report->print(*device, data, format.fRow, first);
        if (!ok && error)
            *error = QStringLiteral("No se pudo imprimir");
    } else {
        ok = report->toPdf(pdfPath, data, format.fRow, first, error);
    }
    if (ok && result) {
        result->qsos = int(qsos.rows.size());
        result->records = int(data.rows.size());
        result->pages = report->pageCount(int(data.rows.size()), first);
        result->usedAfter = format.label ? labelsUsedAfter(first + 1, int(data.rows.size()), format.perSheet) : 0;
    }
    return ok;
}

bool storeLabelsUsed(store::WorkArea& frm, quint32 rec, int used)
{
    const quint32 back = frm.recNo();
    bool ok = frm.goTo(rec).isOk() && lockCurrent(frm, 2);
    if (ok) {
        frm.put(QStringLiteral("ULTETI"), used);
        frm.unlock();
    }
    if (back)
        frm.goTo(back);
    return ok;
}

} // namespace qsl
