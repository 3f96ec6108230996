#include "qso_lookup.h"

#include "store/aliases.h"
#include "store/codepage.h"
#include "store/work_area.h"
#include "store/workspace.h"

namespace interchange {

namespace {

using store::Value;
using store::WorkArea;

QByteArray squeezedUpper(const QByteArray& expr)
{
    QByteArray e = expr.toUpper();
    e.replace(" ", "");
    return e;
}

// The tag of the area whose key expression is expr (blanks and case aside), or empty.
QString tagWithKey(WorkArea* a, const char* expr)
{
    for (int i = 0; i < a->tagCount(); ++i) {
        store::CdxTag* t = a->table().cdx()->tag(i);
        if (!t->custom() && t->usable() && squeezedUpper(t->definition().keyExpr) == expr)
            return QString::fromLatin1(t->name());
    }
    return {};
}

QByteArray trimmedUpper(const QByteArray& s) { return store::cp1252::upper(s.trimmed()); }

} // namespace

bool findQso(const QByteArray& callIn, const QDate& date, const QByteArray& timeIn)
{
    WorkArea* q = store::Workspace::instance().area(store::alias::kLogQsl);
    const QByteArray call = trimmedUpper(callIn);
    if (!q || call.isEmpty() || !q->table().cdx())
        return false;
    const QByteArray day = date.isValid() ? date.toString(QStringLiteral("yyyyMMdd")).toLatin1() : QByteArray(8, ' ');
    const QByteArray time = timeIn.left(5).leftJustified(5, ' ');
    const int callField = q->fieldPos(QStringLiteral("CALL"));
    const int callWidth = callField >= 0 ? q->field(callField).len : 12;

    // Call and date when the call tag holds both (a reorganised book), else date and start time.
    QString tag = tagWithKey(q, "UPPER(CALL)+DTOS(QSODATE)");
    QByteArray prefix;
    if (!tag.isEmpty()) {
        prefix = call.left(callWidth).leftJustified(callWidth, ' ') + day;
    } else if (!(tag = tagWithKey(q, "DTOS(QSODATE)+TIMEON")).isEmpty()) {
        prefix = day + time;
    } else {
        // a book from elsewhere: every QSO of the call
        tag = tagWithKey(q, "UPPER(CALL)");
        prefix = call.left(callWidth).leftJustified(callWidth, ' ');
    }
    const QByteArray order = q->orderName();
    bool found = false;
    quint32 rec = 0;
    if (!tag.isEmpty()) {
        q->setOrder(tag);
        if (q->seek(Value::text(prefix)) && q->found()) {
            for (; !q->eof(); q->skip()) {
                const Value k = q->orderKeyValue();
                if (!k.isChar() || !k.bytes().startsWith(prefix))
                    break;
                if (trimmedUpper(q->value(QStringLiteral("CALL")).bytes()) == call && q->date(QStringLiteral("QSODATE")) == date &&
                    q->value(QStringLiteral("TIMEON")).bytes().left(5).leftJustified(5, ' ') == time) {
                    found = true;
                    rec = q->recNo();
                    break;
                }
            }
        }
    }
    q->setOrder(QString::fromLatin1(order));
    if (found)
        q->goTo(rec);
    return found;
}

} // namespace interchange
