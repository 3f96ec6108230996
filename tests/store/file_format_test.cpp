// The three readers of the table files on their own: a header, a memo file and
// the fields of a record go out and come back unchanged, and each kind of
// damage is refused as damage, never read as data.
#include "store/dbf_header.h"
#include "store/memo_file.h"
#include "store/record_codec.h"

#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

using namespace store;

namespace {

const std::vector<FieldSpec> kFields = {
    {"CALL", 'C', 12}, {"FREQ", 'N', 10, 3}, {"QSODATE", 'D', 8}, {"QSL", 'L', 1}, {"NOTES", 'M', 10}};

DbfHeader built(quint32 count = 3)
{
    DbfHeader h;
    EXPECT_TRUE(DbfHeader::build(kFields, &h).isOk());
    h.recCount = count;
    return h;
}

qint64 sizeFor(const DbfHeader& h)
{
    return qint64(h.headerLen) + qint64(h.recCount) * h.recordLen + 1;
}

} // namespace

TEST(DbfHeaderFormat, ComesBackAsItWentOut)
{
    const DbfHeader h = built();
    EXPECT_EQ(h.headerLen, 32 + 32 * 5 + 1);
    EXPECT_EQ(h.recordLen, 1 + 12 + 10 + 8 + 1 + 10);
    EXPECT_EQ(h.type, DbfHeader::kTypeFpt);
    const QByteArray bytes = h.encode();
    EXPECT_EQ(quint8(bytes[h.headerLen - 1]), dbf::kHeaderEnd);
    DbfHeader back;
    ASSERT_TRUE(DbfHeader::parse(bytes, sizeFor(h), "t.dbf", &back).isOk());
    EXPECT_EQ(back.recCount, 3u);
    EXPECT_EQ(back.headerLen, h.headerLen);
    EXPECT_EQ(back.recordLen, h.recordLen);
    ASSERT_EQ(back.fields.size(), kFields.size());
    for (size_t i = 0; i < kFields.size(); ++i) {
        EXPECT_EQ(back.fields[i].name, kFields[i].name);
        EXPECT_EQ(back.fields[i].type, kFields[i].type);
        EXPECT_EQ(back.fields[i].len, kFields[i].len);
        EXPECT_EQ(back.fields[i].offset, h.fields[i].offset);
    }
    EXPECT_EQ(back.fields[1].dec, 3);

    // the FoxPro backlink after the terminator is read past
    DbfHeader fox = h;
    fox.headerLen += 263;
    QByteArray withBacklink = fox.encode();
    ASSERT_TRUE(DbfHeader::parse(withBacklink, sizeFor(fox), "t.dbf", &back).isOk());
    EXPECT_EQ(back.headerLen, fox.headerLen);
}

TEST(DbfHeaderFormat, DamageIsRefusedWithTheFileNamed)
{
    const DbfHeader h = built();
    struct Damage {
        const char* what;
        std::function<void(QByteArray&)> change;
        qint64 size = -1;   // file size when not the header's own
    };
    auto put16 = [](QByteArray& b, int at, int v) { qToLittleEndian<quint16>(quint16(v), b.data() + at); };
    const Damage cases[] = {
        {"unknown type byte", [](QByteArray& b) { b[dbf::kType] = char(0x44); }},
        {"header one byte longer", [&](QByteArray& b) { put16(b, dbf::kHeaderLen, h.headerLen + 1); b.append('\0'); }},
        {"header one byte shorter", [&](QByteArray& b) { put16(b, dbf::kHeaderLen, h.headerLen - 1); }},
        {"record length beside the fields", [&](QByteArray& b) { put16(b, dbf::kRecordLen, h.recordLen + 1); }},
        {"nameless field", [](QByteArray& b) { std::memset(b.data() + 32 + 32, 0, 11); }},
        {"field of no width", [](QByteArray& b) { b[32 + dbf::kFieldLen] = 0; }},
        {"no terminator", [&](QByteArray& b) { b[h.headerLen - 1] = 'X'; }},
        {"count beyond the file", [](QByteArray& b) { qToLittleEndian<quint32>(1000, b.data() + dbf::kRecCount); }},
        {"shorter than a prefix", [](QByteArray& b) { b.truncate(20); }, 20},
    };
    for (const Damage& d : cases) {
        QByteArray bytes = h.encode();
        d.change(bytes);
        DbfHeader out;
        const Status s = DbfHeader::parse(bytes, d.size >= 0 ? d.size : sizeFor(h), "/datos/LogEA1XX.dbf", &out);
        EXPECT_EQ(s.code(), StatusCode::Corrupt) << d.what;
        EXPECT_TRUE(s.message().contains("LogEA1XX.dbf")) << d.what << ": " << s.message().toStdString();
    }
    // what a new table may not have
    DbfHeader out;
    EXPECT_FALSE(DbfHeader::build({{"NAME_TOO_LONG", 'C', 5}}, &out).isOk());
    EXPECT_FALSE(DbfHeader::build({{"A", 'C', 5}, {"a", 'C', 5}}, &out).isOk());
    EXPECT_FALSE(DbfHeader::build({{"A", 'X', 5}}, &out).isOk());
    EXPECT_FALSE(DbfHeader::build({{"A", 'N', 5, 4}}, &out).isOk());
}

TEST(MemoFormat, MemosComeBackAndReuseTheirBlocks)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("t.fpt");
    MemoFile m;
    ASSERT_TRUE(m.create(path).isOk());
    quint32 next = 0;
    ASSERT_TRUE(m.nextFree(&next).isOk());
    EXPECT_EQ(next, 512u / 64);

    quint32 text = 0, bin = 0;
    ASSERT_TRUE(m.write(0, QByteArray(100, 't'), false, &text).isOk());
    ASSERT_TRUE(m.write(0, QByteArray("\x00\x01\x02", 3), true, &bin).isOk());
    EXPECT_EQ(text, 8u);
    EXPECT_EQ(bin, 8u + 2);   // 100 bytes and the 8 of the memo's head take two blocks
    QByteArray data;
    bool binary = true;
    ASSERT_TRUE(m.read(text, &data, &binary).isOk());
    EXPECT_EQ(data, QByteArray(100, 't'));
    EXPECT_FALSE(binary);
    ASSERT_TRUE(m.read(bin, &data, &binary).isOk());
    EXPECT_EQ(data, QByteArray("\x00\x01\x02", 3));
    EXPECT_TRUE(binary);

    // shorter: the same blocks; longer: new ones at the end
    quint32 again = 0;
    ASSERT_TRUE(m.write(text, "corto", false, &again).isOk());
    EXPECT_EQ(again, text);
    ASSERT_TRUE(m.write(text, QByteArray(300, 'l'), false, &again).isOk());
    EXPECT_EQ(again, bin + 1);
    ASSERT_TRUE(m.nextFree(&next).isOk());
    EXPECT_EQ(next, again + (300 + 8 + 63) / 64);
    ASSERT_TRUE(m.read(0, &data).isOk());
    EXPECT_TRUE(data.isEmpty());
    m.close();

    // a block size other than 64 is read from the header
    MemoFile big;
    ASSERT_TRUE(big.create(dir.filePath("b.fpt"), 512).isOk());
    big.close();
    ASSERT_TRUE(big.open(dir.filePath("b.fpt"), false).isOk());
    EXPECT_EQ(big.blockSize(), 512);
}

TEST(MemoFormat, DamageIsRefused)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("t.fpt");
    quint32 block = 0;
    {
        MemoFile m;
        ASSERT_TRUE(m.create(path).isOk());
        ASSERT_TRUE(m.write(0, QByteArray(40, 'x'), false, &block).isOk());
    }
    MemoFile m;
    ASSERT_TRUE(m.open(path, true).isOk());
    QByteArray data;
    EXPECT_EQ(m.read(5000, &data).code(), StatusCode::Corrupt);   // block outside the file
    EXPECT_EQ(m.read(1, &data).code(), StatusCode::Corrupt);      // inside the header
    uchar len[4];
    qToBigEndian<quint32>(0x7FFFFFF0u, len);
    ASSERT_TRUE(m.file().writeAt(qint64(block) * 64 + fpt::kMemoLength, len, 4).isOk());
    const Status s = m.read(block, &data);
    EXPECT_EQ(s.code(), StatusCode::Corrupt);
    EXPECT_TRUE(s.message().contains("t.fpt")) << s.message().toStdString();
    m.close();

    uchar size[2];
    qToBigEndian<quint16>(40000, size);
    {
        MemoFile w;
        ASSERT_TRUE(w.open(path, true).isOk());
        ASSERT_TRUE(w.file().writeAt(fpt::kBlockSize, size, 2).isOk());
    }
    EXPECT_EQ(m.open(path, false).code(), StatusCode::Corrupt);
}

TEST(RecordFormat, FieldsComeBackInTheirTextForms)
{
    const DbfHeader h = built();
    QByteArray rec = blankRecord(h);
    EXPECT_TRUE(wellFormedRecord(h, rec.constData()));
    const DbfField& call = h.fields[0];
    const DbfField& freq = h.fields[1];
    const DbfField& day = h.fields[2];
    const DbfField& qsl = h.fields[3];
    const DbfField& notes = h.fields[4];

    ASSERT_TRUE(encodeField(call, Value::text(QStringLiteral("EA4ÑÜ")), rec.data()).isOk());
    EXPECT_EQ(rec.mid(call.offset, 12), QByteArray("EA4\xD1\xDC       "));
    EXPECT_EQ(decodeField(call, rec.constData()).toString().trimmed(), QStringLiteral("EA4ÑÜ"));

    ASSERT_TRUE(encodeField(freq, Value::number(14.19551), rec.data()).isOk());
    EXPECT_EQ(rec.mid(freq.offset, 10), QByteArray("    14.196"));
    ASSERT_TRUE(encodeField(freq, Value::number(-7.5), rec.data()).isOk());
    EXPECT_EQ(rec.mid(freq.offset, 10), QByteArray("    -7.500"));
    EXPECT_DOUBLE_EQ(decodeField(freq, rec.constData()).toNumber(), -7.5);
    EXPECT_FALSE(encodeField(freq, Value::number(12345678.0), rec.data()).isOk());   // wider than the field
    EXPECT_FALSE(encodeField(freq, Value::text(QStringLiteral("x")), rec.data()).isOk());   // not a number

    ASSERT_TRUE(encodeField(day, Value::date(QDate(2024, 10, 26)), rec.data()).isOk());
    EXPECT_EQ(rec.mid(day.offset, 8), QByteArray("20241026"));
    EXPECT_EQ(decodeField(day, rec.constData()).toDate(), QDate(2024, 10, 26));
    ASSERT_TRUE(encodeField(day, Value::date(QDate()), rec.data()).isOk());
    EXPECT_EQ(rec.mid(day.offset, 8), QByteArray(8, ' '));

    for (const char c : {'T', 't', 'Y', 'y'}) {
        rec[qsl.offset] = c;
        EXPECT_TRUE(decodeField(qsl, rec.constData()).toBool()) << c;
    }
    for (const char c : {'F', '?', ' '}) {
        rec[qsl.offset] = c;
        EXPECT_FALSE(decodeField(qsl, rec.constData()).toBool()) << c;
    }

    encodeMemoBlock(notes, 1234, rec.data());
    EXPECT_EQ(rec.mid(notes.offset, 10), QByteArray("      1234"));
    EXPECT_EQ(memoBlock(notes, rec.constData()), 1234u);
    EXPECT_TRUE(wellFormedRecord(h, rec.constData()));

    // what no writer leaves in a record
    QByteArray bad = rec;
    bad[0] = 'X';
    EXPECT_FALSE(wellFormedRecord(h, bad.constData()));
    bad = rec;
    std::memcpy(bad.data() + day.offset, "2024AB26", 8);
    EXPECT_FALSE(wellFormedRecord(h, bad.constData()));
    bad = rec;
    std::memcpy(bad.data() + freq.offset, "  14,1x  ", 9);
    EXPECT_FALSE(wellFormedRecord(h, bad.constData()));
}
