#include "html_text.h"

#include <QRegularExpression>

namespace online {

namespace {

QString decodeEntities(const QString& s)
{
    if (!s.contains(QLatin1Char('&')))
        return s;
    static const QHash<QString, QString> named{{"amp", "&"},  {"lt", "<"},     {"gt", ">"},    {"quot", "\""},
                                               {"apos", "'"}, {"nbsp", " "},  {"ntilde", "ñ"}, {"Ntilde", "Ñ"},
                                               {"aacute", "á"}, {"eacute", "é"}, {"iacute", "í"}, {"oacute", "ó"},
                                               {"uacute", "ú"}, {"uuml", "ü"}, {"ccedil", "ç"}};
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] == QLatin1Char('&')) {
            const qsizetype semi = s.indexOf(QLatin1Char(';'), i + 1);
            if (semi > i + 1 && semi - i <= 10) {
                const QString ent = s.mid(i + 1, semi - i - 1);
                bool ok = false;
                uint code = 0;
                if (ent.startsWith(QLatin1Char('#')))
                    code = ent.startsWith(QLatin1String("#x"), Qt::CaseInsensitive) ? ent.mid(2).toUInt(&ok, 16)
                                                                                     : ent.mid(1).toUInt(&ok, 10);
                if (ok && code > 0 && code < 0x110000 && (code < 0xD800 || code > 0xDFFF)) {
                    const char32_t c = code;
                    out += QString::fromUcs4(&c, 1);
                    i = semi;
                    continue;
                }
                if (named.contains(ent)) {
                    out += named.value(ent);
                    i = semi;
                    continue;
                }
            }
        }
        out += s[i];
    }
    return out;
}

QString collapse(const QString& s) { return s.simplified(); }

void parseAttributes(const QString& inside, HtmlToken* t)
{
    static const QRegularExpression attr(
        QStringLiteral(R"re(([^\s=/"'>]+)(?:\s*=\s*(?:"([^"]*)"|'([^']*)'|([^\s"'>]+)))?)re"));
    auto it = attr.globalMatch(inside);
    while (it.hasNext()) {
        const auto m = it.next();
        const QString value = m.captured(2).isNull() ? (m.captured(3).isNull() ? m.captured(4) : m.captured(3))
                                                     : m.captured(2);
        t->attributes.insert(m.captured(1).toLower(), decodeEntities(value));
    }
}

} // namespace

QList<HtmlToken> readHtml(const QString& page)
{
    QList<HtmlToken> tokens;
    const qsizetype n = page.size();
    qsizetype i = 0;
    auto addText = [&](qsizetype from, qsizetype to) {
        if (to <= from)
            return;
        const QString text = collapse(decodeEntities(page.mid(from, to - from)));
        if (!text.isEmpty()) {
            HtmlToken t;
            t.text = text;
            tokens << t;
        }
    };
    while (i < n) {
        const qsizetype lt = page.indexOf(QLatin1Char('<'), i);
        if (lt < 0) {
            addText(i, n);
            break;
        }
        // A "<" not followed by a letter, "/" or "!" is text.
        const QChar next = lt + 1 < n ? page[lt + 1] : QChar();
        if (!(next.isLetter() || next == QLatin1Char('/') || next == QLatin1Char('!'))) {
            const qsizetype after = page.indexOf(QLatin1Char('<'), lt + 1);
            addText(i, after < 0 ? n : after);
            i = after < 0 ? n : after;
            continue;
        }
        addText(i, lt);
        if (page.mid(lt, 4) == QLatin1String("<!--")) {
            const qsizetype end = page.indexOf(QLatin1String("-->"), lt + 4);
            i = end < 0 ? n : end + 3;
            continue;
        }
        const qsizetype gt = page.indexOf(QLatin1Char('>'), lt + 1);
        if (gt < 0)
            break;   // an unfinished tag at the end: dropped
        QString inside = page.mid(lt + 1, gt - lt - 1);
        i = gt + 1;
        if (inside.startsWith(QLatin1Char('!')) || inside.startsWith(QLatin1Char('?')))
            continue;
        HtmlToken t;
        t.isTag = true;
        if (inside.startsWith(QLatin1Char('/'))) {
            t.closing = true;
            inside.remove(0, 1);
        }
        qsizetype k = 0;
        while (k < inside.size() && !inside[k].isSpace() && inside[k] != QLatin1Char('/'))
            ++k;
        t.name = inside.left(k).toLower();
        parseAttributes(inside.mid(k), &t);
        tokens << t;
        if (!t.closing && (t.name == QLatin1String("script") || t.name == QLatin1String("style"))) {
            const qsizetype end = page.indexOf(QStringLiteral("</") + t.name, i, Qt::CaseInsensitive);
            i = end < 0 ? n : end;
        }
    }
    return tokens;
}

QString valueAfterLabel(const QList<HtmlToken>& tokens, const QString& label)
{
    const QString wanted = label.trimmed();
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        const HtmlToken& t = tokens[i];
        if (t.isTag)
            continue;
        QString text = t.text;
        if (text.endsWith(QLatin1Char(':')))
            text.chop(1);
        if (text.trimmed().compare(wanted, Qt::CaseInsensitive) != 0)
            continue;
        for (qsizetype j = i + 1; j < tokens.size(); ++j) {
            if (tokens[j].isTag)
                continue;
            bool punctuation = true;
            for (const QChar c : tokens[j].text)
                punctuation = punctuation && (c.isPunct() || c.isSpace());
            if (!punctuation)
                return tokens[j].text;
        }
        return {};
    }
    return {};
}

QString htmlBodyText(const QString& page)
{
    static const QStringList blocks{"br", "p", "div", "tr", "li", "h1", "h2", "h3", "h4", "table", "body", "pre"};
    QStringList lines;
    QString line;
    for (const HtmlToken& t : readHtml(page)) {
        if (t.isTag) {
            if (blocks.contains(t.name)) {
                lines << line.trimmed();
                line.clear();
            }
            continue;
        }
        if (!line.isEmpty())
            line += QLatin1Char(' ');
        line += t.text;
    }
    lines << line.trimmed();
    // Runs of empty lines become one, leading ones go.
    QStringList out;
    for (const QString& l : lines) {
        if (l.isEmpty() && (out.isEmpty() || out.last().isEmpty()))
            continue;
        out << l;
    }
    while (!out.isEmpty() && out.last().isEmpty())
        out.removeLast();
    return out.join(QStringLiteral("\r\n"));
}

} // namespace online
