#include "tappl.h"

#include "store/codepage.h"
#include "store/expression.h"
#include "store/table_file.h"
#include "store/workspace.h"
#include "core/messages.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cmath>

#include <fcntl.h>
#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>

namespace app {

#endif

TAppl* oAppl = nullptr;

namespace {

bool g_confirm = false;
bool g_dialogEsc = true;

QString withSlash(QString dir)
{
    if (!dir.isEmpty() && !dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

double round2(double v) { return std::round(v * 100.0) / 100.0; }

} // namespace

QString TAppl::configDir()
{
    const QString env = qEnvironmentVariable("ORLANLOG_CONFIG");
    if (!env.isEmpty())
        return withSlash(QDir::fromNativeSeparators(env));
    return QDir::homePath() + QStringLiteral("/.config/orlanlog/");
}

QString TAppl::executableDir()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    // No application object (batch tools, tests): ask the system.
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().section(QLatin1Char('/'), 0, -2);
}

QString TAppl::localDir(const QString& exeDir)
{
    const QString env = qEnvironmentVariable("ORLANLOG_HOME");
    if (!env.isEmpty())
        return withSlash(QDir::fromNativeSeparators(env));
    if (!exeDir.isEmpty()) {
        const QFileInfo dir(exeDir);
        if (dir.isDir() && dir.isWritable() && QFileInfo(withSlash(exeDir) + QStringLiteral("datos")).isDir())
            return withSlash(exeDir);
    }
    return QDir::homePath() + QStringLiteral("/.local/share/orlanlog/");
}

TAppl::TAppl()
{
    cDirLocal = localDir(executableDir());
    cDirDat = cDirLocal + QStringLiteral("datos/");
    cDirRpt = cDirLocal + QStringLiteral("reports/");
    cFileLog = cDirLocal + QStringLiteral("log.txt");
    m_ini = std::make_unique<IniFile>(configDir() + cName + QStringLiteral(".ini"));

    // Table layer conventions of the whole program.
    store::Workspace::instance().setDataDir(cDirDat);
    store::Workspace::setDeletedHidden(true);
    store::dateSettings().format = QStringLiteral("dd-mm-yy");
    store::dateSettings().epoch = 1919;
    setConfirm(false);
}

TAppl::~TAppl()
{
    if (oAppl == this)
        oAppl = nullptr;
}

TAppl* TAppl::New(const QString&, const QString&, const QString&)
{
    oAppl = new TAppl;
    return oAppl;
}

bool TAppl::confirm() { return g_confirm; }
void TAppl::setConfirm(bool on) { g_confirm = on; }

bool TAppl::SetDialogEsc(std::optional<bool> on)
{
    if (on)
        g_dialogEsc = *on;
    return g_dialogEsc;
}

void TAppl::SetDirDat(const QString& dir)
{
    cDirDat = withSlash(dir);
    store::Workspace::instance().setDataDir(cDirDat);
}

void TAppl::WrLog(const QString& text)
{
    if (!lLog)
        return;
    if (hFileLog <= 0) {
        // Kept open for the rest of the session. O_APPEND keeps the lines of
        // several instances sharing the file whole.
#ifdef Q_OS_WIN
        hFileLog = ::_open(QFile::encodeName(cFileLog).constData(), _O_RDWR | _O_CREAT | _O_APPEND | _O_BINARY, 0644);
#else
        hFileLog = ::open(QFile::encodeName(cFileLog).constData(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
#endif
        if (hFileLog <= 0) {
            const int err = errno;
            ui::messages().stop(QStringLiteral("No pudo registrase entrada en el fichero de log (Error ")
                                + QString::number(err).rightJustified(10, QLatin1Char(' ')) + QStringLiteral(")"));
            return;
        }
    }
    const QDateTime now = QDateTime::currentDateTime();
    QByteArray line = store::formatDate(now.date().toJulianDay());
    line += ' ';
    line += now.time().toString(QStringLiteral("hh:mm:ss")).toLatin1();
    line += ':';
    line += store::cp1252::fromUnicode(text);
    line += "\r\n";

#ifdef Q_OS_WIN
    ::_lseek(hFileLog, 0, SEEK_END);
    ::_write(hFileLog, line.constData(), unsigned(line.size()));
#else
    ::lseek(hFileLog, 0, SEEK_END);
    qsizetype done = 0;
    while (done < line.size()) {
        const ssize_t n = ::write(hFileLog, line.constData() + done, size_t(line.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;              // a full disk loses the line, as an unopened file does
        done += n;
    }
#endif
}

bool TAppl::Login(const QString& title)
{
    if (cUsr.isNull()) {
        QString name = qEnvironmentVariable("USER");
        if (name.isEmpty())
            name = qEnvironmentVariable("LOGNAME");
        cUsr = name + QString(10, QLatin1Char(' '));
    }
    if (cPsw.isNull())
        cPsw = QString(10, QLatin1Char(' '));

    const QString caption = title.isEmpty()
        ? QStringLiteral(u"Inicio de sesi\u00F3n ") + cAppl + QLatin1Char(' ') + cVer
        : title;
    if (!cPsw.trimmed().isEmpty())
        return true;

    QString user = cUsr;
    QString password = cPsw;
    if (!ui::messages().login(caption, &user, &password))
        return false;
    cUsr = user.isNull() ? QStringLiteral("") : user;
    cPsw = password.isNull() ? QStringLiteral("") : password;
    return !cUsr.trimmed().isEmpty() && !cPsw.trimmed().isEmpty();
}

void TAppl::End(bool lClose)
{
    lCerrar = lClose;
    removeSessionMarker();
    if (closeMainWindow)
        closeMainWindow();
}

QString TAppl::sessionMarker() const
{
    const QString name = cDirLocal + QStringLiteral("borra.me");
    const QString found = store::findFileNoCase(name);
    return found.isEmpty() ? name : found;
}

void TAppl::removeSessionMarker() const
{
    for (QString f = store::findFileNoCase(cDirLocal + QStringLiteral("borra.me")); !f.isEmpty();
         f = store::findFileNoCase(cDirLocal + QStringLiteral("borra.me")))
        if (!QFile::remove(f))
            break;
}

double TIMETOSEC()
{
    return round2(QTime::currentTime().msecsSinceStartOfDay() / 1000.0);
}

double TIMETOSEC(const QVariant& time)
{
    const int type = time.typeId();
    if (type != QMetaType::QString && type != QMetaType::QByteArray)
        return 0;
    const QString s = time.toString();
    const qsizetype len = s.size();
    if (len != 2 && len != 5 && len != 8 && len != 11)
        return 0;

    static const int limits[] = {24, 60, 60, 100};
    static const double weights[] = {3600, 60, 1, 0.01};
    const int groups = int(len + 1) / 3;
    double total = 0;
    for (int g = 0; g < groups; ++g) {
        const QChar hi = s[g * 3], lo = s[g * 3 + 1];
        if (hi < QLatin1Char('0') || hi > QLatin1Char('9') || lo < QLatin1Char('0') || lo > QLatin1Char('9'))
            return 0;
        if (g < groups - 1 && s[g * 3 + 2] != QLatin1Char(':'))
            return 0;
        const int v = (hi.unicode() - '0') * 10 + (lo.unicode() - '0');
        if (v >= limits[g])
            return 0;
        total += v * weights[g];
    }
    return round2(total);
}

bool COPYFILE(const QString& source, const QString& target, bool failIfExists)
{
    const QFileInfo src(source), dst(target);
    if (!src.isFile() || (failIfExists && dst.exists()))
        return false;
    if (dst.exists() && src.canonicalFilePath() == dst.canonicalFilePath())
        return false;                       // a file cannot replace itself

    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    // Through a temporary file: a failed copy leaves the old target as it was.
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    QByteArray buf;
    while (!in.atEnd()) {
        buf = in.read(1 << 16);
        if (buf.isEmpty() && in.error() != QFileDevice::NoError)
            return false;
        if (out.write(buf) != buf.size())
            return false;
    }
    return out.commit();
}

} // namespace app
