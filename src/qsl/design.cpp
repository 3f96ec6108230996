#include "qsl/design.h"

#include <QStringList>

namespace qsl {

QRectF Grid::slot(int index) const
{
    const int n = perPage() > 0 ? index % perPage() : 0;
    const int r = n / cols;
    const int c = n % cols;
    return QRectF(left + c * (width + hgap), top + r * (height + vgap), width, height);
}

namespace {

// Splits `key=value key="quoted value"` pairs; a quote inside quotes is doubled.
bool splitPairs(const QString& s, QList<QPair<QString, QString>>* out)
{
    int i = 0;
    const int n = s.size();
    while (i < n) {
        while (i < n && s[i].isSpace())
            ++i;
        if (i >= n)
            break;
        const int eq = s.indexOf(QLatin1Char('='), i);
        if (eq < 0)
            return false;
        const QString key = s.mid(i, eq - i).trimmed().toLower();
        if (key.isEmpty() || key.contains(QLatin1Char(' ')))
            return false;
        i = eq + 1;
        QString value;
        if (i < n && s[i] == QLatin1Char('"')) {
            ++i;
            bool closed = false;
            while (i < n) {
                if (s[i] == QLatin1Char('"')) {
                    if (i + 1 < n && s[i + 1] == QLatin1Char('"')) {
                        value += QLatin1Char('"');
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                value += s[i++];
            }
            if (!closed)
                return false;
        } else {
            while (i < n && !s[i].isSpace())
                value += s[i++];
        }
        out->append({key, value});
    }
    return true;
}

QString quoted(const QString& s)
{
    QString q = s;
    q.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

QString num(double v)
{
    return QString::number(v, 'g', 6);
}

} // namespace

std::optional<Design> parseDesign(const QString& text, QString* error)
{
    auto fail = [&](int line, const QString& why) -> std::optional<Design> {
        if (error)
            *error = QStringLiteral("Diseño no válido en la línea %1: %2").arg(line).arg(why);
        return std::nullopt;
    };
    Design d;
    bool header = false;
    bool gridSeen = false;
    bool pageSection = false;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int ln = 0; ln < lines.size(); ++ln) {
        const QString line = lines[ln].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const int sp = line.indexOf(QLatin1Char(' '));
        const QString word = (sp < 0 ? line : line.left(sp)).toUpper();
        const QString rest = sp < 0 ? QString() : line.mid(sp + 1);
        if (!header) {
            if (word != QLatin1String("ORLANQSL"))
                return fail(ln + 1, QStringLiteral("falta la cabecera ORLANQSL"));
            header = true;
            continue;
        }
        if (word == QLatin1String("PAGE")) {
            const QStringList p = rest.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            bool ok1 = false, ok2 = false;
            const double w = p.value(0).toDouble(&ok1), h = p.value(1).toDouble(&ok2);
            if (p.size() != 2 || !ok1 || !ok2 || w < 10 || h < 10 || w > 2000 || h > 2000)
                return fail(ln + 1, QStringLiteral("tamaño de página incorrecto"));
            d.page = QSizeF(w, h);
            continue;
        }
        if (word == QLatin1String("SECTION")) {
            const QString which = rest.trimmed().toLower();
            if (which != QLatin1String("page") && which != QLatin1String("record"))
                return fail(ln + 1, QStringLiteral("sección desconocida %1").arg(rest.trimmed()));
            pageSection = which == QLatin1String("page");
            continue;
        }
        QList<QPair<QString, QString>> pairs;
        if (!splitPairs(rest, &pairs))
            return fail(ln + 1, QStringLiteral("texto mal formado"));
        if (word == QLatin1String("GRID")) {
            for (const auto& [k, v] : pairs) {
                bool ok = false;
                const double x = v.toDouble(&ok);
                if (!ok || x < 0 || x > 2000)
                    return fail(ln + 1, QStringLiteral("valor incorrecto para %1").arg(k));
                if (k == QLatin1String("cols")) d.grid.cols = int(x);
                else if (k == QLatin1String("rows")) d.grid.rows = int(x);
                else if (k == QLatin1String("width")) d.grid.width = x;
                else if (k == QLatin1String("height")) d.grid.height = x;
                else if (k == QLatin1String("left")) d.grid.left = x;
                else if (k == QLatin1String("top")) d.grid.top = x;
                else if (k == QLatin1String("hgap")) d.grid.hgap = x;
                else if (k == QLatin1String("vgap")) d.grid.vgap = x;
                else return fail(ln + 1, QStringLiteral("clave desconocida %1").arg(k));
            }
            if (d.grid.cols < 1 || d.grid.rows < 1 || d.grid.cols > 50 || d.grid.rows > 50)
                return fail(ln + 1, QStringLiteral("número de etiquetas incorrecto"));
            gridSeen = true;
            continue;
        }
        Item it;
        if (word == QLatin1String("TEXT")) it.kind = ItemKind::Text;
        else if (word == QLatin1String("LINE")) it.kind = ItemKind::Line;
        else if (word == QLatin1String("BOX")) it.kind = ItemKind::Box;
        else return fail(ln + 1, QStringLiteral("orden desconocida %1").arg(word));
        double x = 0, y = 0, w = 0, h = 0;
        for (const auto& [k, v] : pairs) {
            bool ok = true;
            if (k == QLatin1String("x")) x = v.toDouble(&ok);
            else if (k == QLatin1String("y")) y = v.toDouble(&ok);
            else if (k == QLatin1String("w")) w = v.toDouble(&ok);
            else if (k == QLatin1String("h")) h = v.toDouble(&ok);
            else if (k == QLatin1String("font")) it.family = v;
            else if (k == QLatin1String("size")) { it.size = v.toDouble(&ok); ok = ok && it.size >= 1 && it.size <= 200; }
            else if (k == QLatin1String("pen")) { it.pen = v.toDouble(&ok); ok = ok && it.pen >= 0 && it.pen <= 20; }
            else if (k == QLatin1String("style")) {
                it.bold = v.contains(QLatin1Char('B'), Qt::CaseInsensitive);
                it.italic = v.contains(QLatin1Char('I'), Qt::CaseInsensitive);
            } else if (k == QLatin1String("align")) {
                const QString a = v.toUpper();
                ok = a == QLatin1String("L") || a == QLatin1String("C") || a == QLatin1String("R");
                if (ok)
                    it.align = a[0].toLatin1();
            } else if (k == QLatin1String("text")) it.text = v;
            else if (k == QLatin1String("when")) it.when = v;
            else return fail(ln + 1, QStringLiteral("clave desconocida %1").arg(k));
            if (!ok)
                return fail(ln + 1, QStringLiteral("valor incorrecto para %1").arg(k));
        }
        if (w < 0 || h < 0 || x < -1000 || y < -1000 || x > 2000 || y > 2000 || w > 2000 || h > 2000)
            return fail(ln + 1, QStringLiteral("posición o tamaño incorrecto"));
        it.mm = QRectF(x, y, w, h);
        it.perPage = pageSection;
        d.items.push_back(it);
    }
    if (!header)
        return fail(1, QStringLiteral("el diseño está vacío"));
    if (!gridSeen) {
        d.grid.width = d.page.width();
        d.grid.height = d.page.height();
    }
    return d;
}

QString designText(const Design& d)
{
    QString s = QStringLiteral("ORLANQSL 1\n");
    s += QStringLiteral("PAGE %1 %2\n").arg(num(d.page.width()), num(d.page.height()));
    const Grid& g = d.grid;
    s += QStringLiteral("GRID cols=%1 rows=%2 width=%3 height=%4 left=%5 top=%6 hgap=%7 vgap=%8\n")
             .arg(g.cols).arg(g.rows)
             .arg(num(g.width), num(g.height), num(g.left), num(g.top), num(g.hgap), num(g.vgap));
    bool pageSection = false;
    for (const Item& it : d.items) {
        if (it.perPage != pageSection) {
            pageSection = it.perPage;
            s += pageSection ? QStringLiteral("SECTION page\n") : QStringLiteral("SECTION record\n");
        }
        const char* word = it.kind == ItemKind::Text ? "TEXT" : it.kind == ItemKind::Line ? "LINE" : "BOX";
        s += QStringLiteral("%1 x=%2 y=%3 w=%4 h=%5")
                 .arg(QLatin1String(word), num(it.mm.x()), num(it.mm.y()), num(it.mm.width()), num(it.mm.height()));
        if (it.kind == ItemKind::Text) {
            QString style;
            if (it.bold) style += QLatin1Char('B');
            if (it.italic) style += QLatin1Char('I');
            s += QStringLiteral(" font=%1 size=%2").arg(quoted(it.family), num(it.size));
            if (!style.isEmpty())
                s += QStringLiteral(" style=") + style;
            s += QStringLiteral(" align=") + QLatin1Char(it.align);
            s += QStringLiteral(" text=") + quoted(it.text);
        } else {
            s += QStringLiteral(" pen=") + num(it.pen);
        }
        if (!it.when.isEmpty())
            s += QStringLiteral(" when=") + quoted(it.when);
        s += QLatin1Char('\n');
    }
    return s;
}

} // namespace qsl
