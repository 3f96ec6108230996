// Answers from the network are anything at all: mutated, cut and random
// responses never crash the reader, never take long, and what it gives back
// is always made of the bytes it was given.
#include "online/http_client.h"
#include "online/http_response.h"

#include "canned_server.h"

#include "core/scripted_messages.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>

#include <random>

using namespace online;

namespace {

const QList<QByteArray> kSeeds = {
    "HTTP/1.1 200 OK\r\nSet-Cookie: a=1\r\nSet-Cookie: b=2\r\nContent-Length: 5\r\n\r\nhello",
    "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5;x=y\r\nhello\r\n6\r\n world\r\n0\r\nT: v\r\n\r\n",
    "HTTP/1.0 302 Found\r\nLocation: http://h/p\r\n\r\n<a href=x>moved</a>",
    "HTTP/1.1 404 Not Found\r\nServer: s\r\n\r\n",
    "HTTP/1.1 200 OK\r\nServer: no blank line",
};

QByteArray mutate(QByteArray s, std::mt19937& rng)
{
    static const QByteArray tokens[] = {"\r\n", "\r\n\r\n", ":", ";", "0", "f", "ffffffffffffffffff", "\n",
                                        "HTTP/1.1 ", "chunked", "Content-Length: ", "-", " ", "\0"};
    const int edits = 1 + int(rng() % 6);
    for (int e = 0; e < edits; ++e) {
        const qsizetype at = s.isEmpty() ? 0 : qsizetype(rng() % quint32(s.size() + 1));
        switch (rng() % 6) {
        case 0: s.truncate(at); break;
        case 1: if (at < s.size()) s.remove(at, 1 + rng() % 4); break;
        case 2: s.insert(at, char(rng() % 256)); break;
        case 3: s.insert(at, tokens[rng() % std::size(tokens)]); break;
        case 4: if (at < s.size()) s[at] = char(rng() % 256); break;
        default: s += s.mid(at, 40); break;
        }
    }
    return s;
}

} // namespace

TEST(HttpResponseFuzz, MutatedAnswersGiveConsistentResults)
{
    std::mt19937 rng(20261208);
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < 20000; ++i) {
        QByteArray raw;
        if (i % 10 == 9) {
            raw.resize(rng() % 300);
            for (char& c : raw)
                c = char(rng() % 256);
        } else {
            raw = mutate(kSeeds[i % kSeeds.size()], rng);
        }
        const HttpResponse r = parseResponse(raw);
        if (r.headerComplete) {
            ASSERT_EQ(r.headerBlock + "\r\n\r\n" + r.body, raw) << i;
        } else {
            ASSERT_TRUE(r.headerBlock.isEmpty() && r.body.isEmpty() && r.status == 0) << i;
        }
        ASSERT_GE(r.status, 0);
        ASSERT_LE(r.status, 999);
        r.values("set-cookie");
        r.contentLength();

        for (const QByteArray& body : {r.body, raw}) {
            const ChunkedBody b = decodeChunked(body);
            ASSERT_LE(b.data.size(), body.size()) << i;
            ASSERT_GE(b.consumed, 0);
            ASSERT_LE(b.consumed, body.size()) << i;
            if (b.state == ChunkState::Complete) {
                ASSERT_GT(b.consumed, 0);
            }
        }
    }
    EXPECT_LT(clock.elapsed(), 20000);
}

TEST(HttpResponseFuzz, ClientsSurviveMutatedAnswersFromAServer)
{
    ui::ScriptedMessages msgs;
    ui::setMessages(&msgs);
    std::mt19937 rng(8);
    std::vector<Reply> replies;
    for (int i = 0; i < 24; ++i) {
        Reply r;
        const QByteArray raw = mutate(kSeeds[i % kSeeds.size()], rng);
        for (qsizetype at = 0; at < raw.size(); at += 1 + qsizetype(rng() % 30))
            r.pieces << raw.mid(at, 1 + qsizetype(rng() % 30));
        replies.push_back(r);
    }
    CannedServer server(replies);
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < 24; ++i) {
        if (i % 2 == 0) {
            THTTP http(QStringLiteral("127.0.0.1"), server.port(), 2);
            http.get(QStringLiteral("/"));
            EXPECT_LE(http.getData().size(), 400);
        } else {
            // Every answer is followed by the server closing: never a full wait.
            THTTPold http(QStringLiteral("127.0.0.1"), 1234, server.port());
            http.setTimeOut(1);
            http.get(QStringLiteral("127.0.0.1"), QStringLiteral("/"));
            EXPECT_LE(http.cRecurso.size(), 400);
        }
    }
    EXPECT_LT(clock.elapsed(), 60000);
    ui::setMessages(nullptr);
}
