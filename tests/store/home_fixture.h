#pragma once
// A fresh program home in a temporary folder, with the program's workspace
// pointing at it and scripted messages answering for the user.

#include "store/home.h"
#include "store/workspace.h"
#include "core/scripted_messages.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace store::testing {

class HomeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        program = m_dir.path() + QStringLiteral("/");
        data = program + QStringLiteral("datos/");
        Status s = createHome(program, data, QStringLiteral("EA1XX"));
        ASSERT_TRUE(s.isOk()) << s.text().toStdString();
        ws().setDataDir(data);
        ws().setProgramDir(program);
        ui::setMessages(&msgs);
    }
    void TearDown() override
    {
        ws().closeAll();
        ui::setMessages(nullptr);
    }

    static Workspace& ws() { return Workspace::instance(); }

    // Appends a QSO to the area with the given call, date and time.
    static void addQso(WorkArea* a, const QString& call, const QDate& d, const QString& time = QStringLiteral("12:00"),
                       const QString& codent = QStringLiteral("281"), const QString& key = QString())
    {
        ASSERT_TRUE(a->append().isOk());
        a->put("CALL", call);
        a->put("QSODATE", d);
        a->put("TIMEON", time);
        a->put("CODENT", codent);
        if (!key.isEmpty())
            a->put("KEY", key);
        ASSERT_TRUE(a->unlock().isOk());
    }

    ui::ScriptedMessages msgs;
    QString program, data;

private:
    QTemporaryDir m_dir;
};

} // namespace store::testing
