#pragma once
// A fresh program home for a benchmark: the shipped tables, an empty book
// for EA1XX, and the session's tables open.

#include "store/access.h"
#include "store/home.h"
#include "store/workspace.h"
#include "core/scripted_messages.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QTemporaryDir>
#include <QFile>
#include <QString>

#include <cstdio>
#include <cstdlib>

namespace bench {

// data/refdata of the source tree this build was configured from.
inline QString sourceData()
{
    QDir d(QCoreApplication::applicationDirPath());
    for (int up = 0; up < 4; ++up, d.cdUp()) {
        QFile cache(d.filePath(QStringLiteral("CMakeCache.txt")));
        if (!cache.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray& l : cache.readAll().split('\n'))
            if (l.startsWith("CMAKE_HOME_DIRECTORY:INTERNAL="))
                return QString::fromLocal8Bit(l.mid(30)).trimmed() + QStringLiteral("/data/refdata/");
    }
    return {};
}

// What a benchmark is given: how many QSOs (first argument, else def) and a
// work folder (second argument, else a temporary one), with messages that
// answer for the user.
struct Run {
    Run(int argc, char** argv, int def = 100000)
        : n(argc > 1 ? std::atoi(argv[1]) : def), work(argc > 2 ? QString::fromLocal8Bit(argv[2]) : tmp.path())
    {
        ui::setMessages(&msgs);
        QDir().mkpath(work);
    }
    ~Run() { ui::setMessages(nullptr); }
    QTemporaryDir tmp;
    int n;
    QString work;
    ui::ScriptedMessages msgs;
};

inline bool freshHome(const QString& root)
{
    QDir(root).removeRecursively();
    QDir().mkpath(root);
    store::Workspace& ws = store::Workspace::instance();
    ws.closeAll();
    const QString program = root + QStringLiteral("/"), data = program + QStringLiteral("datos/");
    if (!store::createHome(program, data, QStringLiteral("EA1XX"), store::shippedTablesDir()))
        return false;
    ws.setDataDir(data);
    ws.setProgramDir(program);
    return store::ABREDBF();
}

// An ADIF file of n QSOs: calls EA0... to EA9..., six bands, four modes, 50 a day from 2000.
inline void writeAdif(const QString& path, int n)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write("Generated for the benchmark\r\n<ADIF_VER:5>3.1.4<PROGRAMID:5>BENCH\r\n<EOH>\r\n");
    const char* bands[] = {"160M", "80M", "40M", "20M", "15M", "10M"};
    const char* freqs[] = {"1.840", "3.700", "7.050", "14.195", "21.300", "28.500"};
    const char* modes[] = {"SSB", "CW", "FT8", "RTTY"};
    const char* dxcc[] = {"281", "291", "230", "227", "021", "248"};
    QByteArray buf;
    for (int i = 0; i < n; ++i) {
        const QByteArray call = "EA" + QByteArray::number(i % 10) + QByteArray::number(100000 + i, 36).toUpper();
        const QDate d = QDate(2000, 1, 1).addDays(i / 50);
        const int t = (i % 50) * 17;
        char time[8];
        std::snprintf(time, sizeof time, "%02d%02d00", (t / 60) % 24, t % 60);
        auto fld = [&](const char* tag, const QByteArray& v) {
            buf += '<';
            buf += tag;
            buf += ':';
            buf += QByteArray::number(v.size());
            buf += '>';
            buf += v;
        };
        fld("CALL", call);
        fld("QSO_DATE", d.toString(QStringLiteral("yyyyMMdd")).toLatin1());
        fld("TIME_ON", time);
        fld("BAND", bands[i % 6]);
        fld("FREQ", freqs[i % 6]);
        fld("MODE", modes[i % 4]);
        fld("RST_SENT", "59");
        fld("RST_RCVD", "59");
        fld("DXCC", dxcc[i % 6]);
        fld("NAME", "Operator " + QByteArray::number(i % 977));
        fld("QSL_SENT", "N");
        fld("QSL_RCVD", i % 3 ? "N" : "Y");
        buf += "<EOR>\r\n";
        if (buf.size() > 1 << 20) {
            f.write(buf);
            buf.clear();
        }
    }
    f.write(buf);
}

} // namespace bench
