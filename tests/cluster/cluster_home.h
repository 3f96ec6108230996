#pragma once
// A program home for EA4ZZ in a temporary folder with the shipped reference
// tables and the session's tables open, as the program has them when the
// cluster window works; scripted messages answer for the user.

#include "cluster/spot_feed.h"
#include "refdata/resolve.h"
#include "store/access.h"
#include "store/aliases.h"
#include "store/home.h"
#include "store/workspace.h"
#include "core/scripted_messages.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace cluster::testing {

class ClusterHome : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        program = m_dir.path() + QStringLiteral("/");
        const QString data = program + QStringLiteral("datos/");
        const store::Status s = store::createHome(program, data, QStringLiteral("EA4ZZ"), store::shippedTablesDir());
        ASSERT_TRUE(s.isOk()) << s.text().toStdString();
        ws().setDataDir(data);
        ws().setProgramDir(program);
        ui::setMessages(&msgs);
        refdata::dropResolutionImage();
        ASSERT_TRUE(store::ABREDBF());
        INIFILCLUS();
    }
    void TearDown() override
    {
        ws().closeAll();
        refdata::dropResolutionImage();
        ui::setMessages(nullptr);
    }
    static store::Workspace& ws() { return store::Workspace::instance(); }
    static store::WorkArea* area(const QString& alias) { return ws().area(alias); }

    // Sets a field of the settings record.
    void setCfg(const char* field, const store::Value& v)
    {
        store::WorkArea* cfg = area(store::alias::kCfg);
        if (!cfg) {
            ASSERT_TRUE(ws().use(QStringLiteral("cfg"), {.alias = QStringLiteral("cfg")}, &cfg).isOk());
        }
        cfg->goTop();
        ASSERT_TRUE(cfg->lockRecord().isOk());
        cfg->put(QLatin1String(field), v);
        ASSERT_TRUE(cfg->unlock().isOk());
    }

    // A QSO in the log book, with its entity resolved as the entry form does.
    void addQso(const QString& call, const QString& band, const QString& mode, const QString& qslRcvd,
                const QString& iota = QString())
    {
        const QString code = refdata::DXCC(call);
        store::WorkArea* log = area(store::alias::kLog);
        ASSERT_TRUE(log->append([&](store::WorkArea& a) {
            a.put(QStringLiteral("CALL"), call);
            a.put(QStringLiteral("QSODATE"), QDate(2024, 3, 1));
            a.put(QStringLiteral("BAND"), band);
            a.put(QStringLiteral("MODE"), mode);
            a.put(QStringLiteral("QSLRCVD"), qslRcvd);
            a.put(QStringLiteral("IOTA"), iota);
            a.put(QStringLiteral("CODENT"), code);
            return a.put(QStringLiteral("KEY"), QStringLiteral("%1").arg(++m_key, 7, 10, QLatin1Char('0')));
        }).isOk());
        log->unlock();
    }

    // Records in a table, in record order, as one field's trimmed values.
    QStringList column(const QString& alias, const char* field)
    {
        QStringList out;
        store::WorkArea* a = area(alias);
        if (!a)
            return out;
        const int order = a->order();
        a->setOrder(0);
        for (a->goTop(); !a->eof(); a->skip())
            out << a->value(QLatin1String(field)).toString().trimmed();
        a->setOrder(order);
        return out;
    }

    ui::ScriptedMessages msgs;
    QString program;

private:
    QTemporaryDir m_dir;
    int m_key = 0;
};

// A spot in the 80-column layout: spotter and its colon from column 7, the
// frequency right-aligned to column 24, the call from 27, the comment from
// 40, the time in 71-74 with Z, the locator from 77.
inline QByteArray spotLine(const char* spotter, const char* kHz, const char* call, const char* comment,
                           const char* hhmm, const char* locator = "")
{
    QByteArray s = "DX de " + (QByteArray(spotter) + ':').leftJustified(9, ' ', true);
    s += QByteArray(kHz).rightJustified(9, ' ', true) + "  ";
    s += QByteArray(call).leftJustified(12, ' ', true) + ' ';
    s += QByteArray(comment).leftJustified(30, ' ', true) + ' ';
    s += QByteArray(hhmm) + "Z";
    if (*locator)
        s += ' ' + QByteArray(locator);
    return s;
}

} // namespace cluster::testing
