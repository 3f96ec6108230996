#pragma once
// Every test gets its own home and configuration directories.

#include "store/codepage.h"
#include "store/expression.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

class AppTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        home = tmp.path() + "/home/";
        config = tmp.path() + "/config/";
        qputenv("ORLANLOG_HOME", home.toLocal8Bit());
        qputenv("ORLANLOG_CONFIG", config.toLocal8Bit());
        store::dateSettings() = store::DateSettings{};
    }

    static QByteArray read(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void write(const QString& path, const QByteArray& data)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(data);
    }

    QTemporaryDir tmp;
    QString home, config;
};
