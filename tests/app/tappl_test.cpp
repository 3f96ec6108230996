#include "app/tappl.h"

#include "app_fixture.h"
#include "store/workspace.h"
#include "core/scripted_messages.h"

#include <unistd.h>

using namespace app;

namespace {

class TApplTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        ui::setMessages(&msgs);
    }
    void TearDown() override { ui::setMessages(nullptr); }
    ui::ScriptedMessages msgs;
};

} // namespace

TEST_F(TApplTest, DirectoriesAndSessionSettings)
{
    qputenv("ORLANLOG_HOME", (tmp.path() + "/casa").toLocal8Bit());   // no trailing slash
    store::dateSettings().format = "dd-mm-yyyy";
    TAppl* appl = TAppl::New("a", "b", "c");
    EXPECT_EQ(oAppl, appl);
    EXPECT_EQ(appl->cDirLocal, tmp.path() + "/casa/");
    EXPECT_EQ(appl->cDirDat, tmp.path() + "/casa/datos/");
    EXPECT_EQ(appl->cDirRpt, tmp.path() + "/casa/reports/");
    EXPECT_EQ(appl->cFileLog, tmp.path() + "/casa/log.txt");
    EXPECT_EQ(appl->ini().path(), config + "Orlan Win Log.ini");
    EXPECT_EQ(store::Workspace::instance().dataDir(), appl->cDirDat);
    EXPECT_EQ(store::dateSettings().format, "dd-mm-yy");
    EXPECT_EQ(store::dateSettings().epoch, 1919);
    EXPECT_TRUE(store::Workspace::deletedHidden());
    EXPECT_FALSE(TAppl::confirm());
    EXPECT_TRUE(appl->cUsr.isNull());

    appl->SetDirDat(tmp.path() + "/otro");
    EXPECT_EQ(appl->cDirDat, tmp.path() + "/otro/");
    EXPECT_EQ(store::Workspace::instance().dataDir(), appl->cDirDat);
    delete appl;
    EXPECT_EQ(oAppl, nullptr);
}

TEST_F(TApplTest, HomeFallsBackToPortableInstallThenUserData)
{
    qunsetenv("ORLANLOG_HOME");
    qunsetenv("ORLANLOG_CONFIG");
    const QByteArray savedHome = qgetenv("HOME");
    qputenv("HOME", tmp.path().toLocal8Bit());
    const QString exe = tmp.path() + "/bin";
    QDir().mkpath(exe);

    EXPECT_EQ(TAppl::localDir(exe), tmp.path() + "/.local/share/orlanlog/");
    QDir().mkpath(exe + "/datos");
    EXPECT_EQ(TAppl::localDir(exe), exe + "/");
    if (geteuid() != 0) {                   // root may write anywhere
        QFile::setPermissions(exe, QFile::ReadOwner | QFile::ExeOwner);
        EXPECT_EQ(TAppl::localDir(exe), tmp.path() + "/.local/share/orlanlog/");
        QFile::setPermissions(exe, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    EXPECT_EQ(TAppl::configDir(), tmp.path() + "/.config/orlanlog/");
    qputenv("HOME", savedHome);
}

TEST(TimeToSec, TextTimes)
{
    EXPECT_EQ(TIMETOSEC(QString("12")), 43200);
    EXPECT_EQ(TIMETOSEC(QString("12:34")), 45240);
    EXPECT_EQ(TIMETOSEC(QString("00:00:01")), 1);
    EXPECT_DOUBLE_EQ(TIMETOSEC(QString("12:34:56:78")), 45296.78);
    EXPECT_DOUBLE_EQ(TIMETOSEC(QString("23:59:59:99")), 86399.99);
    for (const char* bad : {"24:00", "12:60", "12:00:60", "1:30", "12-34", "12:3x", "ab", "123",
                            "12:34:", " 12:34", "", "12:34:56:78:90"})
        EXPECT_EQ(TIMETOSEC(QString(bad)), 0) << bad;
    EXPECT_EQ(TIMETOSEC(QVariant(1234)), 0);
    EXPECT_EQ(TIMETOSEC(QVariant()), 0);

    const double now = TIMETOSEC();
    EXPECT_GE(now, 0);
    EXPECT_LT(now, 86400);
    EXPECT_EQ(now, std::round(now * 100) / 100);
}

TEST_F(TApplTest, WrLogAppendsDatedLines)
{
    QDir().mkpath(home);
    TAppl appl;
    appl.WrLog("apagado");
    EXPECT_FALSE(QFile::exists(appl.cFileLog));

    write(appl.cFileLog, "previa\r\n");
    appl.lLog = true;
    appl.WrLog("uno");
    appl.WrLog("Señal");
    ASSERT_GT(appl.hFileLog, 0);
    ::close(appl.hFileLog);

    const QList<QByteArray> lines = read(appl.cFileLog).split('\n');
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], "previa\r");
    const QByteArray today = QDate::currentDate().toString("dd-MM-yy").toLatin1();
    EXPECT_TRUE(lines[1].startsWith(today + ' ') && lines[1].endsWith(":uno\r")) << lines[1].constData();
    EXPECT_EQ(lines[1].size(), 22);         // "dd-mm-yy hh:mm:ss:uno\r"
    EXPECT_TRUE(lines[2].endsWith(":Se\xF1" "al\r"));
    EXPECT_EQ(lines[3], "");
    EXPECT_TRUE(msgs.log().isEmpty());
}

TEST_F(TApplTest, WrLogReportsAFileThatCannotBeOpened)
{
    TAppl appl;                             // the home directory does not exist
    appl.lLog = true;
    appl.WrLog("perdida");
    appl.WrLog("perdida");                  // tried again each time
    const QString text = "stop: No pudo registrase entrada en el fichero de log (Error          2)";
    EXPECT_EQ(msgs.log(), QStringList({text, text}));
    EXPECT_LE(appl.hFileLog, 0);
}

TEST_F(TApplTest, LoginAsksOnlyWithoutPassword)
{
    TAppl appl;
    appl.cPsw = "secreto";
    EXPECT_TRUE(appl.Login());
    EXPECT_TRUE(msgs.log().isEmpty());
    EXPECT_EQ(appl.cUsr, qEnvironmentVariable("USER", qEnvironmentVariable("LOGNAME")) + QString(10, ' '));

    TAppl fresh;
    const QString title = "login: Inicio de sesión ORLANLOG 1.92";
    msgs.answer(QStringList{"ana", "   "});
    msgs.answer(QVariant());                // cancelled
    msgs.answer(QStringList{" ", "clave"});
    EXPECT_FALSE(fresh.Login());
    EXPECT_EQ(fresh.cPsw, "   ");
    EXPECT_FALSE(fresh.Login("Entrada"));
    EXPECT_FALSE(fresh.Login());
    EXPECT_EQ(fresh.cUsr, " ");
    EXPECT_TRUE(fresh.Login());             // a password is known now: no dialog
    EXPECT_EQ(msgs.take(), QStringList({title, "login: Entrada", title}));

    TAppl other;
    msgs.answer(QStringList{"ana", "clave"});
    EXPECT_TRUE(other.Login());
    EXPECT_EQ(other.cUsr, "ana");
    EXPECT_EQ(other.cPsw, "clave");
    EXPECT_EQ(msgs.take(), QStringList({title}));
    EXPECT_FALSE(msgs.unexpected());
}

TEST_F(TApplTest, EndRemovesMarkerAndClosesMainWindow)
{
    QDir().mkpath(home);
    TAppl appl;
    appl.End();                             // no marker, no window: nothing to do
    write(home + "borra.me", "x");
    int closed = 0;
    appl.closeMainWindow = [&] { ++closed; };
    appl.End(true);
    EXPECT_FALSE(QFile::exists(home + "borra.me"));
    EXPECT_TRUE(appl.lCerrar);
    EXPECT_EQ(closed, 1);
}

TEST_F(TApplTest, CopyFileAndDialogEsc)
{
    const QString a = tmp.path() + "/a.dbf", b = tmp.path() + "/b.dbf";
    write(a, "nuevo");
    write(b, "viejo");
    EXPECT_FALSE(COPYFILE(a, b, true));
    EXPECT_EQ(read(b), "viejo");
    EXPECT_TRUE(COPYFILE(a, b, false));
    EXPECT_EQ(read(b), "nuevo");
    EXPECT_FALSE(COPYFILE(a, a, false));
    EXPECT_EQ(read(a), "nuevo");
    EXPECT_FALSE(COPYFILE(tmp.path() + "/falta", b, false));
    EXPECT_FALSE(COPYFILE(a, tmp.path() + "/no/existe/c.dbf", false));

    EXPECT_TRUE(TAppl::SetDialogEsc());
    EXPECT_FALSE(TAppl::SetDialogEsc(false));
    EXPECT_FALSE(TAppl::SetDialogEsc());
    TAppl::SetDialogEsc(true);
}
