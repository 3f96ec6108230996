#include "cluster_lines.h"

#include <QList>

namespace cluster {

namespace {

QString text(const QByteArray& b)
{
    return QString::fromLatin1(b);
}

// Columns from (1-based) to to, as far as the line reaches.
QByteArray columns(const QByteArray& s, int from, int to)
{
    if (s.size() < from)
        return {};
    return s.mid(from - 1, to - from + 1);
}

bool isCallChar(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '/' || c == '-';
}

// The text up to the first CR or LF, with trailing BELs and blanks removed.
QByteArray lineOf(const QByteArray& b)
{
    qsizetype end = b.size();
    for (qsizetype i = 0; i < b.size(); ++i)
        if (b[i] == '\r' || b[i] == '\n') {
            end = i;
            break;
        }
    while (end > 0 && (b[end - 1] == '\a' || b[end - 1] == ' ' || b[end - 1] == '\t'))
        --end;
    return b.left(end);
}

// "SENDER: text" (the sender may have leading blanks); false without a colon or a sender.
bool senderAndText(const QByteArray& l, Announcement* out)
{
    const qsizetype colon = l.indexOf(':');
    if (colon < 0)
        return false;
    const QByteArray sender = l.left(colon).left(12).trimmed();
    if (sender.isEmpty())
        return false;
    out->call = text(sender);
    out->text = text(l.mid(colon + 1).trimmed());
    return true;
}

} // namespace

double leadingNumber(const QByteArray& s, bool* any)
{
    qsizetype i = 0;
    while (i < s.size() && s[i] == ' ')
        ++i;
    const qsizetype start = i;
    if (i < s.size() && (s[i] == '-' || s[i] == '+'))
        ++i;
    bool digits = false, dot = false;
    for (; i < s.size(); ++i) {
        if (s[i] >= '0' && s[i] <= '9')
            digits = true;
        else if (s[i] == '.' && !dot)
            dot = true;
        else
            break;
    }
    if (any)
        *any = digits;
    if (!digits)
        return 0;
    return s.mid(start, i - start).toDouble();
}

bool parseSpotLine(const QByteArray& s, SpotLine* out)
{
    if (!s.startsWith("DX de"))
        return false;
    QByteArray spotter = columns(s, 7, 15);
    spotter.replace(':', "");
    spotter = spotter.trimmed();
    const QByteArray freq = columns(s, 16, 26).trimmed();
    bool number = false;
    const double kHz = leadingNumber(freq, &number);
    // the whole field must be the number: "14025.0x" is no frequency
    bool clean = number;
    for (char c : freq)
        clean = clean && ((c >= '0' && c <= '9') || c == '.');
    const QByteArray call = columns(s, 27, 38).trimmed();
    const QByteArray time = columns(s, 71, 74);
    if (spotter.isEmpty() || !clean || kHz <= 0 || kHz >= 999999.99 || call.isEmpty() || time.size() != 4)
        return false;
    for (char c : call)
        if (!isCallChar(c))
            return false;
    for (char c : time)
        if (c < '0' || c > '9')
            return false;
    if (time.left(2).toInt() > 23 || time.mid(2).toInt() > 59)
        return false;
    out->spotter = text(spotter);
    out->kHz = kHz;
    out->call = text(call);
    out->comment = text(columns(s, 40, 69).trimmed());
    out->time = text(time.left(2)) + u':' + text(time.mid(2));
    out->locator.clear();
    if (s.size() >= 77 && s[76] != '\a') {
        const QByteArray loc = columns(s, 77, 80).trimmed();
        bool fine = true;
        for (char c : loc)
            fine = fine && ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'));
        if (fine)
            out->locator = text(loc);
    }
    return true;
}

bool parseTalk(const QByteArray& b, const QByteArray& stationCall, Announcement* out)
{
    if (stationCall.isEmpty())
        return false;
    const qsizetype at = b.indexOf(stationCall + " de");
    if (at < 0)
        return false;
    return senderAndText(lineOf(b.mid(at + stationCall.size() + 3)), out);
}

bool parseAnnouncement(const QByteArray& b, Announcement* out)
{
    const qsizetype at = b.indexOf("To ALL de");
    if (at < 0)
        return false;
    return senderAndText(lineOf(b.mid(at + 9)), out);
}

// The line of a bulletin that starts with marker ("WWV de "), the sender
// between the marker and "<" (or the colon), and the colon before the data.
static bool bulletinLine(const QByteArray& b, const char* marker, QByteArray* line, QString* sender, qsizetype* colonAt)
{
    const qsizetype at = b.indexOf(marker);
    if (at < 0)
        return false;
    const QByteArray l = lineOf(b.mid(at));
    const qsizetype colon = l.indexOf(':');
    if (colon < 0)
        return false;
    const qsizetype lt = l.indexOf('<');
    const QByteArray head = l.mid(7, (lt >= 7 && lt < colon ? lt : colon) - 7).trimmed();
    if (head.isEmpty())
        return false;
    *line = l;
    *sender = text(head.left(12));
    *colonAt = colon;
    return true;
}

bool parseWwv(const QByteArray& b, WwvBulletin* out)
{
    QByteArray l;
    QString sender;
    qsizetype colon = 0;
    if (!bulletinLine(b, "WWV de ", &l, &sender, &colon))
        return false;
    *out = WwvBulletin();
    out->call = sender;
    for (const QByteArray& piece : l.mid(colon + 1).split(',')) {
        const qsizetype eq = piece.indexOf('=');
        const QByteArray key = eq < 0 ? QByteArray() : QByteArray(piece.left(eq)).trimmed();
        const int value = int(leadingNumber(piece.mid(eq + 1)));
        if (key == "SFI")
            out->sfi = value;
        else if (key == "A")
            out->a = value;
        else if (key == "K")
            out->k = value;
        else
            out->forecast = text(piece.left(25));
    }
    return true;
}

bool parseWcy(const QByteArray& b, WcyBulletin* out)
{
    QByteArray l;
    QString sender;
    qsizetype colon = 0;
    if (!bulletinLine(b, "WCY de ", &l, &sender, &colon))
        return false;
    *out = WcyBulletin();
    out->call = sender;
    for (const QByteArray& piece : l.mid(colon + 1).split(' ')) {
        const qsizetype eq = piece.indexOf('=');
        if (eq <= 0)
            continue;
        const QByteArray key = piece.left(eq), raw = piece.mid(eq + 1);
        const int value = int(leadingNumber(raw));
        if (key == "K")
            out->k = value;
        else if (key == "expK")
            out->ek = value;
        else if (key == "A")
            out->a = value;
        else if (key == "R")
            out->r = value;
        else if (key == "SFI")
            out->sfi = value;
        else if (key == "SA")
            out->sa = text(raw.left(3));
        else if (key == "GMF")
            out->gmf = text(raw.left(3));
        else if (key == "Au")
            out->aurora = text(raw.left(3));
    }
    return true;
}

} // namespace cluster
