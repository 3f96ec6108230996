#pragma once
// Runs orlanlog-cli on a home and collects what it says.

#include <QProcess>
#include <QString>
#include <QStringList>

#include <functional>

struct CliRun {
    int code = -1;
    QString out;     // standard output: the results and the final line
    QString err;     // standard error: the messages on the way
    QString lastLine() const { return out.trimmed().split(QLatin1Char('\n')).last(); }
};

// childSetup, when given, runs in the child before the program starts (limits).
inline CliRun cli(const QString& home, const QStringList& args, const std::function<void()>& childSetup = {})
{
    QProcess p;
    if (childSetup)
        p.setChildProcessModifier(childSetup);
    p.start(QStringLiteral(ORLANLOG_CLI), QStringList{"--home", home} + args);
    p.waitForFinished(120000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}
