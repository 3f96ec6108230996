#pragma once
// A program home with the shipped reference tables, a settings file of its
// own and the application object, and helpers that read tables through the
// engine.

#include "../refdata/shipped_home.h"

#include "app/tappl.h"
#include "store/access.h"
#include "store/catalogue.h"
#include "store/table_file.h"
#include "store/work_area.h"

#include <QDir>
#include <QFile>

#include <memory>

namespace upgrade::testing {

class UpgradeHome : public refdata::testing::ShippedHome {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_config.isValid());
        qputenv("ORLANLOG_CONFIG", (m_config.path() + QStringLiteral("/")).toLocal8Bit());
        qputenv("ORLANLOG_OFFLINE", "1");
        ShippedHome::SetUp();
        if (HasFatalFailure())
            return;
        m_appl.reset(app::TAppl::New());
        // the application object points the workspace at its own home: back to ours
        ws().setDataDir(data);
        ws().setProgramDir(program);
    }
    void TearDown() override
    {
        ShippedHome::TearDown();
        m_appl.reset();
        qunsetenv("ORLANLOG_OFFLINE");
    }

    // Every record of a table as text, field by field (memos whole).
    static QStringList rows(const QString& path)
    {
        store::Workspace w;
        store::WorkArea* a = nullptr;
        if (!w.use(path, {.alias = QStringLiteral("_r"), .readOnly = true}, &a))
            return {QStringLiteral("no se abre ") + path};
        QStringList out;
        a->setOrder(0);
        for (a->goTop(); !a->eof(); a->skip()) {
            QStringList values;
            for (int i = 0; i < a->fieldCount(); ++i) {
                const QString name = QString::fromLatin1(a->field(i).name);
                values << name + QLatin1Char('=')
                              + (a->field(i).type == 'M' ? QString::fromLatin1(a->memo(name)) : a->value(i).toString());
            }
            out << values.join(QLatin1Char('|'));
        }
        return out;
    }
    static QStringList fieldNames(const QString& path)
    {
        store::Workspace w;
        store::WorkArea* a = nullptr;
        if (!w.use(path, {.alias = QStringLiteral("_f"), .readOnly = true}, &a))
            return {};
        QStringList names;
        for (int i = 0; i < a->fieldCount(); ++i)
            names << QString::fromLatin1(a->field(i).name);
        return names;
    }
    static QStringList fieldNames(const store::catalogue::TableDef& def)
    {
        QStringList names;
        for (const auto& f : def.fields)
            names << QString::fromLatin1(f.name);
        return names;
    }
    static QByteArray bytes(const QString& path)
    {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }
    QStringList markers() const
    {
        return QDir(program).entryList({QStringLiteral("*.ctl")}, QDir::Files, QDir::Name);
    }

    QTemporaryDir m_config;
    std::unique_ptr<app::TAppl> m_appl;
};

} // namespace upgrade::testing
