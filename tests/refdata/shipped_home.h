#pragma once
// A program home in a temporary folder with the reference tables the build
// generated (found as the program finds them), the session workspace pointing
// at it and scripted messages answering for the user.

#include "refdata/resolve.h"
#include "store/home.h"
#include "store/workspace.h"
#include "core/scripted_messages.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace refdata::testing {

class ShippedHome : public ::testing::Test {
protected:
    void SetUp() override
    {
        shipped = store::shippedTablesDir();
        ASSERT_FALSE(shipped.isEmpty()) << "the generated reference tables (target refdata_tables) are missing";
        ASSERT_TRUE(m_dir.isValid());
        program = m_dir.path() + QStringLiteral("/");
        data = program + QStringLiteral("datos/");
        const store::Status s = store::createHome(program, data, QStringLiteral("EA1XX"), shipped);
        ASSERT_TRUE(s.isOk()) << s.text().toStdString();
        ws().setDataDir(data);
        ws().setProgramDir(program);
        ui::setMessages(&msgs);
        dropResolutionImage();
    }
    void TearDown() override
    {
        ws().closeAll();
        dropResolutionImage();
        ui::setMessages(nullptr);
    }

    static store::Workspace& ws() { return store::Workspace::instance(); }

    // A file of data/refdata in the source tree.
    static QString source(const char* name) { return QStringLiteral(ORLANLOG_SOURCE_DIR "/data/refdata/") + QLatin1String(name); }

    // The entity code of a DXCC number ("281" gives " 89").
    QString codeOf(const char* dxcc)
    {
        store::WorkArea* e = nullptr;
        if (!ws().area(QStringLiteral("EntByDxcc")))
            ws().use(QStringLiteral("ENT"), {.alias = QStringLiteral("EntByDxcc")}, &e);
        e = ws().area(QStringLiteral("EntByDxcc"));
        e->setOrder(QStringLiteral("Dxcc"));
        e->seek(store::Value::text(QByteArray(dxcc)));
        return e->found() ? e->str(QStringLiteral("CODENT")) : QString();
    }

    // Appends a record to the prefix table through a work area of its own.
    void addPrefix(const QString& prefix, const QString& code)
    {
        store::WorkArea* p = ws().area(QStringLiteral("PfxMan"));
        if (!p) {
            ASSERT_TRUE(ws().use(QStringLiteral("PFX"), {.alias = QStringLiteral("PfxMan")}, &p).isOk());
        }
        ASSERT_TRUE(p->append().isOk());
        p->put(QStringLiteral("PFX"), prefix);
        p->put(QStringLiteral("CODENT"), code);
        ASSERT_TRUE(p->unlock().isOk());
    }

    store::WorkArea* ent() { return ws().area(QStringLiteral("ENT")); }

    ui::ScriptedMessages msgs;
    QString shipped, program, data;

private:
    QTemporaryDir m_dir;
};

} // namespace refdata::testing
