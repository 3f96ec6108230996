#pragma once
// Reading an HTTP/1.1 response from the bytes a server sent: status line,
// status code, header lines and body, and the decoding of a chunked body.
// Pure functions over byte arrays, no sockets; any input gives an answer in
// time linear in its length, never a crash.

#include <QByteArray>
#include <QList>
#include <QPair>

namespace online {

struct HttpResponse {
    bool headerComplete = false;   // the empty line (CR LF CR LF) was found
    QByteArray statusLine;         // first line of the header block
    int status = 0;                // 0 when the block does not begin with "HTTP"
    QByteArray reason;             // status line from its 14th character
    QByteArray headerBlock;        // up to the empty line, which is left out
    QByteArray body;               // everything after the empty line, as received
    // Header lines holding a colon, in order of arrival, names as sent.
    QList<QPair<QByteArray, QByteArray>> headers;

    // Values of a header, names compared without regard to case; a name sent
    // twice gives two values.
    QList<QByteArray> values(const QByteArray& name) const;
    // The first value, or an empty array.
    QByteArray value(const QByteArray& name) const;
    bool has(const QByteArray& name) const;
    // Transfer-Encoding names "chunked".
    bool isChunked() const;
    // Content-Length as a number; -1 when absent or not a number.
    qint64 contentLength() const;
};

// Splits a response at its first empty line. Without one, header block and
// body stay empty and the status 0. The status is the number in characters
// 10 to 12 of the status line ("HTTP/1.1 200 OK" gives 200).
HttpResponse parseResponse(const QByteArray& raw);

// The number in characters 10 to 12 of a status line; 0 when there is none.
int statusOfLine(const QByteArray& statusLine);

// The header lines of a block (lines split at CR LF, a bare LF also ends a
// line): each line holding a colon gives its name and its value with the
// blanks round it removed.
QList<QPair<QByteArray, QByteArray>> parseHeaderLines(const QByteArray& block);

enum class ChunkState {
    Complete,    // the zero chunk arrived (and the trailers, if any)
    Incomplete,  // more bytes are needed
    Malformed,   // a size line that is not a hexadecimal number, or a chunk not followed by CR LF
};

struct ChunkedBody {
    ChunkState state = ChunkState::Incomplete;
    QByteArray data;      // the chunks decoded so far, joined
    qint64 consumed = 0;  // bytes of the input used, up to the end of the trailers when complete
    QList<QPair<QByteArray, QByteArray>> trailers;
};

// Decodes a chunked body: size lines in hexadecimal (extensions after ';'
// ignored), each chunk followed by CR LF, the zero chunk, then trailer lines
// up to an empty line. Lines may also end with a bare LF.
ChunkedBody decodeChunked(const QByteArray& raw);

} // namespace online
