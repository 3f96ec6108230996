#include "session_areas.h"

#include "store/codepage.h"
#include "store/workspace.h"

namespace refdata::detail {

store::WorkArea* sessionArea(const QString& name)
{
    store::Workspace& ws = store::Workspace::instance();
    if (store::WorkArea* a = ws.area(name))
        return a;
    if (!ws.exists(name))
        return nullptr;
    store::WorkArea* before = ws.current();
    store::WorkArea* a = nullptr;
    if (!ws.use(name, {.alias = name}, &a))
        return nullptr;
    if (before)
        ws.select(before->alias());
    return a;
}

void ensureOrder(store::WorkArea* a, const char* tag)
{
    if (qstricmp(a->orderName().constData(), tag) != 0)
        a->setOrder(QString::fromLatin1(tag));
}

QByteArray padded(const QByteArray& text, int width)
{
    if (text.size() >= width)
        return text.left(width);
    return text + QByteArray(width - text.size(), ' ');
}

QByteArray trimmedBlanks(const QByteArray& text)
{
    qsizetype b = 0, e = text.size();
    while (b < e && text[b] == ' ')
        ++b;
    while (e > b && text[e - 1] == ' ')
        --e;
    return text.mid(b, e - b);
}

QByteArray fieldBytes(store::WorkArea* a, int field)
{
    if (field < 0 || a->eof())
        return {};
    return a->value(field).bytes();
}

int widthOf(store::WorkArea* a, const char* field, int fallback)
{
    const int i = a ? a->fieldPos(QString::fromLatin1(field)) : -1;
    return i >= 0 ? a->field(i).len : fallback;
}

QByteArray entityKey(store::WorkArea* a, const QString& code)
{
    const int width = widthOf(a, "CODENT", 3);
    QByteArray c = trimmedBlanks(store::cp1252::fromUnicode(code));
    if (c.size() < width)
        c.prepend(QByteArray(width - c.size(), ' '));
    return c.left(width);
}

QString blanksOf(store::WorkArea* a, const char* field, int fallback)
{
    const int i = a ? a->fieldPos(QString::fromLatin1(field)) : -1;
    const int width = i >= 0 ? a->field(i).len : fallback;
    return QString(qMax(width, 1), QLatin1Char(' '));
}

} // namespace refdata::detail
