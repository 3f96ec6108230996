#include "online/http_response.h"

namespace online {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

QByteArray trimmedBlanks(const QByteArray& s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && isBlank(s.at(b)))
        ++b;
    while (e > b && (isBlank(s.at(e - 1)) || s.at(e - 1) == '\r'))
        --e;
    return s.mid(b, e - b);
}

// The line starting at pos, without its end (LF, or CR LF); *next is where the
// following line starts. False when no LF is left.
bool takeLine(const QByteArray& s, qint64 pos, QByteArray* line, qint64* next)
{
    const qsizetype lf = s.indexOf('\n', pos);
    if (lf < 0)
        return false;
    qsizetype end = lf;
    if (end > pos && s.at(end - 1) == '\r')
        --end;
    *line = s.mid(pos, end - pos);
    *next = lf + 1;
    return true;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// A chunk-size line: hexadecimal digits, optional blanks, optional extension.
// -1 when malformed.
qint64 chunkSize(const QByteArray& line)
{
    QByteArray s = line;
    const qsizetype semi = s.indexOf(';');
    if (semi >= 0)
        s.truncate(semi);
    s = trimmedBlanks(s);
    if (s.isEmpty() || s.size() > 15)   // 15 digits always fit
        return -1;
    qint64 n = 0;
    for (char c : s) {
        const int d = hexDigit(c);
        if (d < 0)
            return -1;
        n = n * 16 + d;
    }
    return n;
}

} // namespace

QList<QByteArray> HttpResponse::values(const QByteArray& name) const
{
    QList<QByteArray> out;
    for (const auto& h : headers)
        if (h.first.compare(name, Qt::CaseInsensitive) == 0)
            out.append(h.second);
    return out;
}

QByteArray HttpResponse::value(const QByteArray& name) const
{
    for (const auto& h : headers)
        if (h.first.compare(name, Qt::CaseInsensitive) == 0)
            return h.second;
    return {};
}

bool HttpResponse::has(const QByteArray& name) const
{
    for (const auto& h : headers)
        if (h.first.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

bool HttpResponse::isChunked() const
{
    for (const QByteArray& v : values("Transfer-Encoding"))
        if (v.toLower().contains("chunked"))
            return true;
    return false;
}

qint64 HttpResponse::contentLength() const
{
    if (!has("Content-Length"))
        return -1;
    bool ok = false;
    const qint64 n = trimmedBlanks(value("Content-Length")).toLongLong(&ok);
    return ok && n >= 0 ? n : -1;
}

int statusOfLine(const QByteArray& statusLine)
{
    const QByteArray part = statusLine.mid(9, 3);
    int n = 0;
    qsizetype i = 0;
    while (i < part.size() && part.at(i) == ' ')
        ++i;
    for (; i < part.size() && part.at(i) >= '0' && part.at(i) <= '9'; ++i)
        n = n * 10 + (part.at(i) - '0');
    return n;
}

QList<QPair<QByteArray, QByteArray>> parseHeaderLines(const QByteArray& block)
{
    QList<QPair<QByteArray, QByteArray>> out;
    for (const QByteArray& raw : block.split('\n')) {
        const qsizetype colon = raw.indexOf(':');
        if (colon <= 0)
            continue;
        const QByteArray name = trimmedBlanks(raw.left(colon));
        if (name.isEmpty() || name.startsWith("HTTP/"))
            continue;
        out.append({name, trimmedBlanks(raw.mid(colon + 1))});
    }
    return out;
}

HttpResponse parseResponse(const QByteArray& raw)
{
    HttpResponse r;
    const qsizetype blank = raw.indexOf("\r\n\r\n");
    if (blank < 0)
        return r;
    r.headerComplete = true;
    r.headerBlock = raw.left(blank);
    r.body = raw.mid(blank + 4);
    const qsizetype eol = r.headerBlock.indexOf("\r\n");
    r.statusLine = eol < 0 ? r.headerBlock : r.headerBlock.left(eol);
    if (r.headerBlock.startsWith("HTTP")) {
        r.status = statusOfLine(r.statusLine);
        r.reason = r.statusLine.mid(13);
    }
    // The status line holds a colon only in odd answers; it is never a header.
    r.headers = parseHeaderLines(eol < 0 ? QByteArray() : r.headerBlock.mid(eol + 2));
    return r;
}

ChunkedBody decodeChunked(const QByteArray& raw)
{
    ChunkedBody out;
    qint64 pos = 0;
    for (;;) {
        QByteArray line;
        qint64 next = 0;
        if (!takeLine(raw, pos, &line, &next))
            return out;                                   // size line not complete yet
        const qint64 size = chunkSize(line);
        if (size < 0) {
            out.state = ChunkState::Malformed;
            return out;
        }
        if (size == 0) {
            // Trailers up to an empty line.
            qint64 p = next;
            QList<QPair<QByteArray, QByteArray>> trailers;
            for (;;) {
                QByteArray t;
                qint64 n = 0;
                if (!takeLine(raw, p, &t, &n))
                    return out;
                p = n;
                if (t.isEmpty())
                    break;
                trailers += parseHeaderLines(t);
            }
            out.trailers = trailers;
            out.consumed = p;
            out.state = ChunkState::Complete;
            return out;
        }
        if (size > raw.size() - next)
            return out;                                   // chunk not all here
        const qint64 end = next + size;
        // The chunk's own CR LF (a bare LF is accepted).
        if (end < raw.size() && raw.at(end) == '\n') {
            pos = end + 1;
        } else if (end + 1 < raw.size() && raw.at(end) == '\r' && raw.at(end + 1) == '\n') {
            pos = end + 2;
        } else if (end == raw.size() || (end + 1 == raw.size() && raw.at(end) == '\r')) {
            return out;
        } else {
            out.state = ChunkState::Malformed;
            return out;
        }
        out.data += raw.mid(next, size);
        out.consumed = pos;
    }
}

} // namespace online
