#pragma once
// A throw-away data directory with its own workspace, and the log-book
// structure most tests use.

#include "store/catalogue.h"
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
    return catalogue::logTable(QStringLiteral("X")).fields;
}

// The tags of a log book as the reorganisation builds them.
inline std::vector<TagSpec> logTags()
{
    std::vector<TagSpec> out;
    for (const auto& t : catalogue::logTable(QStringLiteral("X")).tags)
        out.push_back(t.tagSpec(true));
    return out;
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
