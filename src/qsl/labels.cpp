#include "qsl/labels.h"

#include <algorithm>
#include <functional>

#include "store/catalogue.h"

namespace qsl {

namespace {

std::vector<store::FieldInfo> infoOf(const store::catalogue::TableDef& t)
{
    std::vector<store::FieldInfo> out;
    for (const auto& f : t.fields)
        out.push_back({f.name.toUpper(), f.type, f.len, f.dec});
    return out;
}

QByteArray trimmed(const store::Value& v)
{
    QByteArray b = v.bytes();
    while (b.endsWith(' '))
        b.chop(1);
    return b;
}

} // namespace

std::vector<store::FieldInfo> labelFields()
{
    return infoOf(store::catalogue::logLbl());
}

std::vector<store::FieldInfo> cardFields()
{
    return infoOf(store::catalogue::reportLog());
}

std::vector<store::FieldInfo> formatFields()
{
    return {{"DESC", 'C', 40}, {"NOMBRE", 'C', 40}, {"DIR1", 'C', 50}, {"DIR2", 'C', 50},
            {"TXT1", 'C', 60}, {"TXT2", 'C', 60}};
}

RowSet fillLabels(const RowSet& qsos, int qsosPerLabel, const std::function<bool(size_t)>& accept)
{
    const int per = std::clamp(qsosPerLabel, 1, 9);
    RowSet out;
    out.fields = labelFields();
    const int call = qsos.fieldPos("CALL");
    const int op = qsos.fieldPos("OPERATOR");
    auto src = [&](size_t r, const char* name) { return qsos.get(r, name); };
    QByteArray curCall, curOp;
    int slot = per;   // forces a first label
    for (size_t r = 0; r < qsos.rows.size(); ++r) {
        if (accept && !accept(r))
            continue;
        const QByteArray c = call < 0 ? QByteArray() : qsos.rows[r][size_t(call)].bytes();
        const QByteArray o = op < 0 ? QByteArray() : qsos.rows[r][size_t(op)].bytes();
        if (out.rows.empty() || c != curCall || o != curOp || slot >= per) {
            auto& lbl = out.appendBlank();
            for (const char* f : {"CALL", "QSLVIA", "NAME", "OPERATOR", "CODENT"})
                out.set(lbl, f, src(r, f));
            curCall = c;
            curOp = o;
            slot = 0;
        }
        ++slot;
        auto& lbl = out.rows.back();
        const QByteArray n = QByteArray::number(slot);
        out.set(lbl, "QSODATE" + n, src(r, "QSODATE"));
        out.set(lbl, "TIMEON" + n, src(r, "TIMEON"));
        out.set(lbl, "BAND" + n, src(r, "BAND"));
        out.set(lbl, "FREQ" + n, src(r, "FREQ"));
        out.set(lbl, "MODE" + n, src(r, "MODE"));
        out.set(lbl, "RSTSENT" + n, src(r, "RSTSENT"));
        out.set(lbl, "COMMENT" + n, src(r, "COMMENT"));
        out.set(lbl, "CONTESTID" + n, src(r, "CONTESTID"));
        out.set(lbl, "GRID" + n, src(r, "GRIDSQUARE"));
        out.set(lbl, "MIGRID" + n, src(r, "QRA"));
        const QByteArray rcvd = trimmed(src(r, "QSLRCVD"));
        if (!rcvd.isEmpty())
            out.set(lbl, "QSL" + n, store::Value::text(QByteArray(rcvd == "Y" ? "TNX" : "PSE")));
    }
    return out;
}

int labelsUsedAfter(int startAt, int printed, int perSheet)
{
    if (perSheet <= 0)
        return 0;
    const int used = std::max(0, startAt - 1) + printed;
    return used < perSheet ? used : used % perSheet;
}

} // namespace qsl
