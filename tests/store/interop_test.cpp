// Files written by the engine read the same with independent xBase readers
// (Perl XBase of libdbd-xbase-perl, python3-dbf), and files written by other
// programs read correctly with the engine.
#include "store_fixture.h"

#include "store/codepage.h"

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>

#include <map>

using namespace store;
using namespace store::testing;

namespace {

struct Dump {
    std::vector<std::pair<bool, std::map<QByteArray, QByteArray>>> records;   // deleted, field -> value
    std::map<QByteArray, std::vector<std::pair<QByteArray, quint32>>> tags;
};

bool runDump(const QString& program, const QStringList& args, Dump* out, QString* error)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForStarted(10000) || !p.waitForFinished(600000)) {
        *error = program + " no arrancó o no terminó";
        return false;
    }
    if (p.exitCode() != 0) {
        *error = QString::fromLocal8Bit(p.readAllStandardError());
        return false;
    }
    const QList<QByteArray> lines = p.readAllStandardOutput().split('\n');
    QByteArray tag;
    for (const QByteArray& line : lines) {
        const QList<QByteArray> cols = line.split('\t');
        if (cols.value(0) == "R") {
            std::map<QByteArray, QByteArray> fields;
            for (int i = 3; i < cols.size(); ++i) {
                const int eq = int(cols[i].indexOf('='));
                fields[cols[i].left(eq)] = QByteArray::fromHex(cols[i].mid(eq + 1));
            }
            out->records.emplace_back(cols[2] == "1", std::move(fields));
        } else if (cols.value(0) == "T") {
            tag = cols[1];
            out->tags[tag];
        } else if (cols.value(0) == "K") {
            out->tags[tag].emplace_back(QByteArray::fromHex(cols[1]), cols[2].toUInt());
        }
    }
    return true;
}

QByteArray rtrim(QByteArray b, char pad)
{
    while (!b.isEmpty() && b.back() == pad)
        b.chop(1);
    return b;
}

// The same value as the readers print it: text without trailing blanks, numbers
// compared as numbers, dates yyyymmdd, logicals true/false.
void expectSameValue(WorkArea* a, int field, const QByteArray& theirs, const char* reader, quint32 rec)
{
    const DbfField& f = a->field(field);
    const Value v = a->value(field);
    const std::string where = std::string(reader) + " record " + std::to_string(rec) + " field " + f.name.toStdString();
    switch (f.type) {
    case 'C':
        EXPECT_EQ(rtrim(v.bytes(), ' '), rtrim(theirs, ' ')) << where;
        break;
    case 'M':
        EXPECT_EQ(v.bytes(), theirs) << where;
        break;
    case 'N':
        EXPECT_DOUBLE_EQ(v.toNumber(), theirs.trimmed().toDouble()) << where;
        break;
    case 'D':
        EXPECT_EQ(v.julianDay() ? v.toDate().toString("yyyyMMdd").toLatin1() : QByteArray(), theirs.trimmed()) << where;
        break;
    case 'L':
        EXPECT_EQ(v.toBool(), theirs == "1" || theirs == "T") << where;
        break;
    }
}

class InteropTest : public StoreTest {};

} // namespace

TEST_F(InteropTest, EngineFilesReadTheSameWithIndependentReaders)
{
    const int n = qEnvironmentVariableIntValue("ORLANLOG_INTEROP_RECORDS") > 0
                      ? qEnvironmentVariableIntValue("ORLANLOG_INTEROP_RECORDS")
                      : 100000;
    std::vector<TagSpec> tags = logTags();
    tags.push_back({"NEWEST", "Descend(RecNo())"});
    tags.push_back({"FREQ", "Freq", "!Deleted()"});
    tags.push_back({"NAMEDESC", "Upper(Name)", "!Deleted()", true});
    WorkArea* a = makeTable("interop", logFields(), tags);

    QRandomGenerator rng(7);
    const char* names[] = {"José Muñoz", "Ángela", "Ñandú", "Zoë", "Œuvre", "Brøn", "Ana", "", "François"};
    const char* modes[] = {"SSB", "CW", "FT8", "RTTY"};
    for (int i = 0; i < n; ++i) {
        ASSERT_TRUE(a->append().isOk());
        a->put("CALL", QStringLiteral("EA%1%2").arg(rng.bounded(10)).arg(QChar('A' + rng.bounded(26))) +
                           QString::number(rng.bounded(1000)));
        a->put("NAME", QString::fromUtf8(names[rng.bounded(9)]));
        a->put("QSODATE", QDate(2000, 1, 1).addDays(rng.bounded(9000)));
        a->put("TIMEON", QStringLiteral("%1:%2").arg(rng.bounded(24), 2, 10, QLatin1Char('0')).arg(rng.bounded(60), 2, 10, QLatin1Char('0')));
        a->put("MODE", QString::fromLatin1(modes[rng.bounded(4)]));
        a->put("CODENT", QStringLiteral("%1").arg(rng.bounded(400), 3));
        a->put("FREQ", rng.bounded(150000) / 1000.0);
        a->put("PRNQSL", rng.bounded(10) == 0);
        a->put("LP", rng.bounded(2) == 0);
        a->put("AGE", int(rng.bounded(99)));
        if (i % 50 == 0)
            a->put("NOTES", QStringLiteral("Nota %1: señal débil, QSL vía buró").arg(i));
        if (i % 997 == 0)
            a->putMemo("ADDRES", QByteArray(int(rng.bounded(4000)), 'd'));
        ASSERT_TRUE(a->unlock().isOk());
        if (i % 101 == 0) {
            ASSERT_TRUE(a->deleteRecord().isOk() || (a->lockRecord().isOk() && a->deleteRecord().isOk()));
        }
        a->unlock();
    }
    a->commit();

    QStringList perlArgs = {QStringLiteral(ORLANLOG_TEST_SCRIPTS "/xbase_dump.pl"), dir() + "interop.dbf", dir() + "interop.cdx"};
    for (int i = 0; i < a->tagCount(); ++i)
        perlArgs << QString::fromLatin1(a->tagName(i));
    Dump perl, python;
    QString err;
    ASSERT_TRUE(runDump("perl", perlArgs, &perl, &err)) << err.toStdString();
    ASSERT_TRUE(runDump("/usr/bin/python3", {QStringLiteral(ORLANLOG_TEST_SCRIPTS "/dbf_dump.py"), dir() + "interop.dbf"},
                        &python, &err)) << err.toStdString();

    ASSERT_EQ(perl.records.size(), size_t(n));
    ASSERT_EQ(python.records.size(), size_t(n));
    Workspace::setDeletedHidden(false);
    a->setOrder(0);
    quint32 rec = 0;
    for (a->goTop(); !a->eof(); a->skip()) {
        ++rec;
        ASSERT_EQ(a->recNo(), rec);
        EXPECT_EQ(perl.records[rec - 1].first, a->deleted()) << "record " << rec;
        EXPECT_EQ(python.records[rec - 1].first, a->deleted()) << "record " << rec;
        for (int f = 0; f < a->fieldCount(); ++f) {
            expectSameValue(a, f, perl.records[rec - 1].second[a->field(f).name], "perl", rec);
            expectSameValue(a, f, python.records[rec - 1].second[a->field(f).name], "python", rec);
        }
        if (::testing::Test::HasFailure())
            break;
    }
    EXPECT_EQ(rec, quint32(n));

    // every tag: same keys in the same order as the engine walks it
    for (int i = 0; i < a->tagCount(); ++i) {
        const QByteArray name = a->tagName(i);
        CdxTag* t = a->table().cdx()->tag(i);
        std::vector<std::pair<QByteArray, quint32>> ours;
        ASSERT_TRUE(a->table().tagKeys(t, &ours).isOk());
        std::vector<quint32> walked;
        a->setOrder(i + 1);
        for (a->goTop(); !a->eof(); a->skip())
            walked.push_back(a->recNo());
        if (t->descending())
            std::reverse(walked.begin(), walked.end());
        const auto& theirs = perl.tags[name];
        ASSERT_EQ(theirs.size(), ours.size()) << name.toStdString();
        ASSERT_EQ(walked.size(), ours.size()) << name.toStdString();
        for (size_t k = 0; k < ours.size(); ++k) {
            ASSERT_EQ(theirs[k].second, ours[k].second) << name.toStdString() << " position " << k;
            ASSERT_EQ(walked[k], ours[k].second) << name.toStdString() << " position " << k;
            ASSERT_EQ(rtrim(theirs[k].first, t->pad()), rtrim(ours[k].first, t->pad())) << name.toStdString() << " position " << k;
        }
    }
    Workspace::setDeletedHidden(true);
}

TEST_F(InteropTest, ReadsATableWrittenByPythonDbf)
{
    QProcess p;
    p.start("/usr/bin/python3", {QStringLiteral(ORLANLOG_TEST_SCRIPTS "/dbf_dump.py"), "--write", dir() + "py.dbf"});
    ASSERT_TRUE(p.waitForFinished(60000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();

    WorkArea* a = nullptr;
    ASSERT_TRUE(ws.use("PY", {}, &a).isOk());
    EXPECT_EQ(a->recCount(), 4u);
    EXPECT_EQ(a->str("CALL").trimmed(), "EA4ABC");
    EXPECT_DOUBLE_EQ(a->num("FREQ"), 14.195);
    EXPECT_EQ(a->date("QSODATE"), QDate(2011, 7, 9));
    EXPECT_TRUE(a->logical("LP"));
    EXPECT_EQ(a->memoText("NOTES"), QStringLiteral("Señal débil, QSL vía buró"));
    a->skip();
    EXPECT_EQ(a->memo("NOTES"), QByteArray(3000, 'x'));
    a->skip();                                              // the deleted third record is skipped
    EXPECT_EQ(a->recNo(), 4u);
    EXPECT_EQ(a->str("CALL").trimmed(), "DL/EA1ZZ/P");
    EXPECT_EQ(a->memoText("NOTES"), QStringLiteral("línea 1\r\nlínea 2"));
    a->goTo(3);
    EXPECT_TRUE(a->deleted());
    EXPECT_EQ(a->str("CALL").trimmed(), QStringLiteral("ÑANDÚ"));
    EXPECT_FALSE(a->date("QSODATE").isValid());

    // and we can write to it, with a new tag, and python still reads it
    ws.closeAll();
    ASSERT_TRUE(ws.use("py", {.shared = false}, &a).isOk());
    ASSERT_TRUE(a->createTag({"CALL", "Upper(Call)", "!Deleted()"}).isOk());
    ASSERT_TRUE(a->append().isOk());
    a->put("CALL", QStringLiteral("EC7ZZ"));
    a->put("NOTES", QStringLiteral("añadido"));
    ASSERT_TRUE(a->unlock().isOk());
    ws.closeAll();
    Dump d;
    QString err;
    ASSERT_TRUE(runDump("/usr/bin/python3", {QStringLiteral(ORLANLOG_TEST_SCRIPTS "/dbf_dump.py"), dir() + "py.dbf"}, &d, &err))
        << err.toStdString();
    ASSERT_EQ(d.records.size(), 5u);
    EXPECT_EQ(d.records[4].second["CALL"], "EC7ZZ");
    EXPECT_EQ(d.records[4].second["NOTES"], cp1252::fromUnicode(QStringLiteral("añadido")));
}

TEST_F(InteropTest, VisualFoxProIndexReadsInTheOrderTheIndependentReaderPrints)
{
    const QString fixture = QStringLiteral(ORLANLOG_FIXTURES_DIR "/xbase/");
    ASSERT_TRUE(QFile::exists(fixture + "test.cdx")) << "fixture missing: " << fixture.toStdString();
    QProcess p;
    p.start("index_dump", {"-type=char", fixture + "test.cdx", "XCODMOV"});
    ASSERT_TRUE(p.waitForFinished(60000));
    ASSERT_EQ(p.exitCode(), 0);
    std::vector<std::pair<QByteArray, quint32>> expected;
    for (const QByteArray& line : p.readAllStandardOutput().split('\n')) {
        const int sp = int(line.lastIndexOf(' '));
        if (sp > 0)
            expected.emplace_back(line.left(sp).trimmed(), line.mid(sp + 1).toUInt());
    }
    ASSERT_EQ(expected.size(), 100u);

    WorkArea* a = nullptr;
    Status s = ws.use(fixture + "test.dbf", {.alias = "vfp", .readOnly = true}, &a);
    ASSERT_TRUE(s.isOk()) << s.text().toStdString();
    EXPECT_EQ(a->tagCount(), 2);
    EXPECT_EQ(a->tagName(0), QByteArray("XCODEKE"));          // creation order, not name order
    ASSERT_TRUE(a->setOrder("XCODMOV").isOk());
    size_t i = 0;
    for (a->goTop(); !a->eof(); a->skip(), ++i) {
        ASSERT_LT(i, expected.size());
        EXPECT_EQ(a->recNo(), expected[i].second) << "position " << i;
        EXPECT_EQ(a->str("CODMOV").trimmed().toLatin1(), expected[i].first) << "position " << i;
    }
    EXPECT_EQ(i, expected.size());
    a->seek(Value::text(QStringLiteral("2.1.01.04.02.004")));
    EXPECT_TRUE(a->found());
    EXPECT_EQ(a->recNo(), 2u);
    EXPECT_EQ(a->append().code(), StatusCode::ReadOnly);
}
