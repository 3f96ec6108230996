// Reading answers: splitting, status, headers, chunked bodies.
#include "online/http_response.h"

#include <gtest/gtest.h>

using namespace online;

TEST(HttpResponse, SplitsAtTheFirstEmptyLine)
{
    const HttpResponse r = parseResponse("HTTP/1.0 302 Moved Temporarily\r\nLocation: /x\r\n\r\nbody\r\n\r\nmore");
    EXPECT_TRUE(r.headerComplete);
    EXPECT_EQ(r.status, 302);
    EXPECT_EQ(r.reason, "Moved Temporarily");
    EXPECT_EQ(r.statusLine, "HTTP/1.0 302 Moved Temporarily");
    EXPECT_EQ(r.headerBlock, "HTTP/1.0 302 Moved Temporarily\r\nLocation: /x");
    EXPECT_EQ(r.body, "body\r\n\r\nmore");
    EXPECT_EQ(r.value("location"), "/x");

    // The status is read where HTTP/1.x puts it, whatever follows.
    EXPECT_EQ(statusOfLine("HTTP/1.1 404"), 404);
    EXPECT_EQ(statusOfLine("HTTP/1.1 2"), 2);
    EXPECT_EQ(statusOfLine("HTTP/1.1 OK"), 0);
    EXPECT_EQ(statusOfLine("HTTP/2 200 OK"), 0);
    EXPECT_EQ(statusOfLine(""), 0);

    // Anything but HTTP in front: no status, though the split is done.
    const HttpResponse other = parseResponse("ICY 200 OK\r\nA: b\r\n\r\nx");
    EXPECT_EQ(other.status, 0);
    EXPECT_EQ(other.body, "x");
}

TEST(HttpResponse, WithoutEmptyLineNothingIsTaken)
{
    for (const QByteArray& raw : {QByteArray("HTTP/1.1 200 OK\r\nA: b\r\nbody"), QByteArray("HTTP/1.1 200 OK\n\nbody"),
                                 QByteArray(), QByteArray("\r\n\r")}) {
        const HttpResponse r = parseResponse(raw);
        EXPECT_FALSE(r.headerComplete);
        EXPECT_EQ(r.status, 0);
        EXPECT_TRUE(r.headerBlock.isEmpty());
        EXPECT_TRUE(r.body.isEmpty());
        EXPECT_TRUE(r.headers.isEmpty());
    }
    // An empty header block: the answer begins with the empty line.
    const HttpResponse r = parseResponse("\r\n\r\nonly body");
    EXPECT_TRUE(r.headerComplete);
    EXPECT_EQ(r.body, "only body");
}

TEST(HttpResponse, HeadersKeepRepeatsAndIgnoreCase)
{
    const HttpResponse r = parseResponse("HTTP/1.1 200 OK\r\n"
                                         "Set-Cookie: a=1; Path=/\r\n"
                                         "SET-COOKIE:b=2\r\n"
                                         "Content-Length:   12  \r\n"
                                         "X-Empty:\r\n"
                                         "no colon here\r\n"
                                         ": nameless\r\n"
                                         "Transfer-Encoding: gzip, Chunked\r\n"
                                         "\r\n");
    EXPECT_EQ(r.values("set-cookie"), (QList<QByteArray>{"a=1; Path=/", "b=2"}));
    EXPECT_EQ(r.value("Set-Cookie"), "a=1; Path=/");
    EXPECT_EQ(r.contentLength(), 12);
    EXPECT_TRUE(r.has("x-empty"));
    EXPECT_TRUE(r.value("X-Empty").isEmpty());
    EXPECT_TRUE(r.isChunked());
    EXPECT_EQ(r.headers.size(), 5);
    EXPECT_FALSE(r.has("Location"));
    EXPECT_EQ(r.values("Location").size(), 0);

    EXPECT_EQ(parseResponse("HTTP/1.1 200 OK\r\nContent-Length: -3\r\n\r\n").contentLength(), -1);
    EXPECT_EQ(parseResponse("HTTP/1.1 200 OK\r\nContent-Length: 1x\r\n\r\n").contentLength(), -1);
    EXPECT_EQ(parseResponse("HTTP/1.1 200 OK\r\n\r\n").contentLength(), -1);
}

TEST(ChunkedBody, OneChunkThenTheZeroChunk)
{
    const ChunkedBody b = decodeChunked("1a\r\nabcdefghijklmnopqrstuvwxyz\r\n0\r\n\r\n");
    EXPECT_EQ(b.state, ChunkState::Complete);
    EXPECT_EQ(b.data, "abcdefghijklmnopqrstuvwxyz");
    EXPECT_EQ(b.consumed, 37);
    EXPECT_TRUE(b.trailers.isEmpty());

    // Chunks of data holding CR LF and "0" keep them.
    const ChunkedBody crlf = decodeChunked("5\r\n0\r\n\r\n\r\n0\r\n\r\nNEXT");
    EXPECT_EQ(crlf.state, ChunkState::Complete);
    EXPECT_EQ(crlf.data, "0\r\n\r\n");
    EXPECT_EQ(crlf.consumed, 15);
}

TEST(ChunkedBody, ExtensionsTrailersAndBareLineFeeds)
{
    const ChunkedBody b = decodeChunked("4;a=b\r\nWiki\r\n5 ; c\r\npedia\r\nE\r\n in\r\n\r\nchunks.\r\n"
                                        "0;last\r\nExpires: never\r\nX-Sum: 9\r\n\r\n");
    EXPECT_EQ(b.state, ChunkState::Complete);
    EXPECT_EQ(b.data, "Wikipedia in\r\n\r\nchunks.");
    ASSERT_EQ(b.trailers.size(), 2);
    EXPECT_EQ(b.trailers[1].first, "X-Sum");

    const ChunkedBody lf = decodeChunked("3\nabc\n0\n\n");
    EXPECT_EQ(lf.state, ChunkState::Complete);
    EXPECT_EQ(lf.data, "abc");
}

TEST(ChunkedBody, IncompleteAndMalformed)
{
    // Every cut of a good body but the whole is incomplete, never wrong.
    const QByteArray whole = "3\r\nabc\r\n10\r\n0123456789abcdef\r\n0\r\nT: 1\r\n\r\n";
    for (qsizetype n = 0; n < whole.size(); ++n) {
        const ChunkedBody b = decodeChunked(whole.left(n));
        EXPECT_EQ(b.state, ChunkState::Incomplete) << n;
        EXPECT_TRUE(QByteArray("abc0123456789abcdef").startsWith(b.data)) << n;
    }
    EXPECT_EQ(decodeChunked(whole).data, "abc0123456789abcdef");

    EXPECT_EQ(decodeChunked("zz\r\nabc\r\n").state, ChunkState::Malformed);
    EXPECT_EQ(decodeChunked("\r\n").state, ChunkState::Malformed);
    EXPECT_EQ(decodeChunked("-1\r\n").state, ChunkState::Malformed);
    EXPECT_EQ(decodeChunked("3\r\nabcX\r\n0\r\n\r\n").state, ChunkState::Malformed);
    // A size beyond any answer waits for bytes that never come.
    EXPECT_EQ(decodeChunked("fffffffffffffff\r\nabc").state, ChunkState::Incomplete);
    EXPECT_EQ(decodeChunked("ffffffffffffffff\r\nabc").state, ChunkState::Malformed);
}
