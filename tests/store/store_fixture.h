#pragma once
// A throw-away data directory with its own workspace, and the log-book
// structure most tests use.

#include "store/workspace.h"

#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QStringList& l, std::ostream* os) { *os << '[' << l.join(", ").toStdString() << ']'; }
QT_END_NAMESPACE

namespace store::testing {

inline std::vector<FieldSpec> logFields()
{
    return {
        {"AGE", 'N', 2},        {"ADDRES", 'M', 10},   {"BAND", 'C', 6},      {"CALL", 'C', 12},
        {"CNTY", 'C', 15},      {"COMMENT", 'C', 30},  {"CONT", 'C', 2},      {"CONTESTID", 'C', 20},
        {"CQZ", 'C', 2},        {"DXCC", 'C', 3},      {"FREQ", 'N', 9, 3},   {"GRIDSQUARE", 'C', 8},
        {"IOTA", 'C', 6},       {"ITUZ", 'C', 2},      {"MODE", 'C', 6},      {"NAME", 'C', 20},
        {"NOTES", 'M', 10},     {"OPERATOR", 'C', 12}, {"PFX", 'C', 6},       {"PROPMODE", 'C', 3},
        {"QSLRDATE", 'D', 8},   {"QSLSDATE", 'D', 8},  {"QSLRCVD", 'C', 1},   {"QSLSENT", 'C', 1},
        {"QSLVIA", 'C', 12},    {"QSODATE", 'D', 8},   {"QTH", 'C', 15},      {"RSTRCVD", 'C', 3},
        {"RSTSENT", 'C', 3},    {"RXPWR", 'N', 4},     {"SATMODE", 'C', 3},   {"SATNAME", 'C', 10},
        {"SRX", 'C', 4},        {"STX", 'C', 4},       {"TENTEN", 'N', 4},    {"TIMEOFF", 'C', 5},
        {"TIMEON", 'C', 5},     {"TXPWR", 'N', 4},     {"JCC", 'C', 4},       {"JCG", 'C', 5},
        {"CODENT", 'C', 3},     {"CODPRV", 'C', 4},    {"EQSLSENT", 'C', 1},  {"EQSLRCVD", 'C', 1},
        {"LOTWSENT", 'C', 1},   {"LOTWRCVD", 'C', 1},  {"LOTWSDATE", 'D', 8}, {"LOTWRDATE", 'D', 8},
        {"QRA", 'C', 6},        {"LP", 'L', 1},        {"PRNQSL", 'L', 1},    {"NOQSL", 'L', 1},
        {"NQSLTX", 'N', 1},     {"QSLMODE", 'C', 1},   {"EXPORT", 'L', 1},    {"UPD", 'N', 1},
        {"KEY", 'C', 7},
    };
}

inline std::vector<TagSpec> logTags()
{
    return {
        {"QsoDateTimeOn", "DToS(QsoDate)+TimeOn", "!Deleted()"},
        {"Call", "Upper(Call)+DToS(QsoDate)", "!Deleted()"},
        {"CodEnt", "CodEnt+DToS(QsoDate)", "!Deleted()"},
        {"Band", "Band+DToS(QsoDate)", "!Deleted()"},
        {"Mode", "Mode+DToS(QsoDate)", "!Deleted()"},
        {"Custom", "DToS(QsoDate)+TimeOn", "", false, false, true},
        {"PrnQsl", "CodEnt+Upper(Call)+DToS(QsoDate)+TimeOn", "!Deleted() .AND. PrnQsl"},
    };
}

class StoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        ws.setDataDir(m_dir.path());
    }
    void TearDown() override { ws.closeAll(); }

    QString dir() const { return m_dir.path() + QLatin1Char('/'); }

    // Creates a table with the given tags (built while exclusive) and opens it shared.
    WorkArea* makeTable(const QString& name, const std::vector<FieldSpec>& fields,
                        const std::vector<TagSpec>& tags = {}, bool shared = true)
    {
        EXPECT_TRUE(ws.create(name, fields).isOk());
        WorkArea* a = nullptr;
        Status s = ws.use(name, {.alias = name, .shared = false}, &a);
        EXPECT_TRUE(s.isOk()) << s.text().toStdString();
        for (const auto& t : tags) {
            Status ts = a->createTag(t);
            EXPECT_TRUE(ts.isOk()) << ts.text().toStdString();
        }
        if (!tags.empty())
            a->setOrder(1);
        if (!shared)
            return a;
        ws.close(name);
        s = ws.use(name, {.alias = name}, &a);
        EXPECT_TRUE(s.isOk()) << s.text().toStdString();
        return a;
    }

    // Every tag of the table agrees with its records.
    static void expectTagsConsistent(WorkArea* a)
    {
        std::vector<QString> problems;
        Status s = a->table().verify(&problems);
        ASSERT_TRUE(s.isOk()) << s.text().toStdString();
        for (const auto& p : problems)
            ADD_FAILURE() << p.toStdString();
    }

    Workspace ws;

private:
    QTemporaryDir m_dir;
};

} // namespace store::testing
