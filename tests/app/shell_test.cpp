// The desktop shell driven headless: first start on an empty home, recovery
// after an unclean end, one instance per home, windows reopened in their
// order, grid layouts that persist, and the shutdown question.
#include "app/command_ids.h"
#include "app/main_frame.h"
#include "app/startup.h"
#include "app/tappl.h"
#include "app/twin.h"
#include "app/windows.h"
#include "logbook/views/entry_form.h"
#include "logbook/qso_entry.h"
#include "logbook/views/log_window.h"
#include "maps/views/web_pane.h"
#include "online/callbook_endpoints.h"
#include "store/aliases.h"
#include "store/record_buffer.h"
#include "store/access.h"
#include "store/home.h"
#include "store/workspace.h"
#include "ui/file_chooser.h"
#include "ui/q7browse.h"
#include "core/scripted_messages.h"
#include "when_modal.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QRegularExpression>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTabWidget>
#include <QToolBar>
#include <QUrl>

#include "web_server.h"

#include <gtest/gtest.h>

#include <map>

using namespace app;

namespace {

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        home = m_dir.path() + QStringLiteral("/home/");
        qputenv("ORLANLOG_HOME", home.toLocal8Bit());
        qputenv("ORLANLOG_CONFIG", (m_dir.path() + QStringLiteral("/config")).toLocal8Bit());
        // the start-up update check and every download stay on this machine
        qputenv("ORLANLOG_OFFLINE", "1");
        TAppl::New();
        ui::setMessages(&msgs);
    }
    void TearDown() override
    {
        if (MainFrame* f = frame()) {
            oAppl->lCerrar = true;
            f->close();
            QApplication::processEvents();
        }
        store::Workspace::instance().closeAll();
        ui::setMessages(nullptr);
    }

    // A home that already has its tables and a log book.
    void prepareHome(const QString& call = QStringLiteral("EA4ZZ"))
    {
        ASSERT_TRUE(store::createHome(home, home + QStringLiteral("datos/"), call, store::shippedTablesDir()).isOk());
    }

    // Starts like the program does and lets the second stage run.
    bool start(bool checkInstance = true)
    {
        if (!firstStage(checkInstance))
            return false;
        for (int i = 0; i < 50 && !store::Workspace::instance().area(QStringLiteral("Log")); ++i)
            QTest::qWait(20);
        return true;
    }

    ui::ScriptedMessages msgs;
    QString home;

private:
    QTemporaryDir m_dir;
};

// Acts on the modal dialog named `name` as soon as it shows.
void whenDialog(const QString& name, std::function<void(QDialog*)> act)
{
    whenModal<QDialog>(std::move(act), name);
}

// Every file of a directory by lower-case name; for a table, its tags and its
// records as stored (deleted or not), so that two homes can be compared.
std::map<QString, QStringList> contentsOf(const QString& dir)
{
    std::map<QString, QStringList> out;
    for (const QString& f : QDir(dir).entryList(QDir::Files)) {
        QStringList& rows = out[f.toLower()];
        store::Workspace w;
        store::WorkArea* a = nullptr;
        if (!f.endsWith(QStringLiteral(".dbf"), Qt::CaseInsensitive) ||
            !w.use(dir + f, {.alias = QStringLiteral("t"), .readOnly = true}, &a).isOk())
            continue;
        for (int i = 0; i < a->tagCount(); ++i)
            rows << QStringLiteral("tag ") + QString::fromLatin1(a->tagName(i));
        store::TableFile& t = a->table();
        QByteArray rec(int(t.header().recordLen), ' ');
        for (quint32 r = 1; r <= t.recCount(); ++r) {
            t.readRecord(r, rec.data());
            rows << QString::fromLatin1(rec.toHex());
        }
    }
    return out;
}

// A view with a grid, registered under a name as the real views will be.
void registerTestView(WindowId id, QStringList* opened)
{
    standInView(id, [id, opened] {
        auto* w = new tWin(id);
        *opened << w->cName;
        w->Activate();
    });
}

// The menu bar or a menu as an outline, one entry a line, indented by depth:
// "---" for a separator, "(off)" after an entry that is disabled.
void outline(const QList<QAction*>& actions, int depth, QStringList* out)
{
    for (QAction* a : actions) {
        QString line = QString(depth * 2, QLatin1Char(' '));
        line += a->isSeparator() ? QStringLiteral("---") : a->text();
        if (!a->isSeparator() && !a->isEnabled())
            line += QStringLiteral(" (off)");
        *out << line;
        if (a->menu())
            outline(a->menu()->actions(), depth + 1, out);
    }
}

} // namespace

TEST_F(ShellTest, FirstStartAsksForTheCallAndCreatesItsBook)
{
    // the settings page appears; the operator types a call and presses OK
    whenDialog("CFG", [](QDialog* d) {
        d->findChild<QLineEdit*>("400")->setText("ea4zz");
        d->findChild<QPushButton*>("OK")->click();
    });
    ASSERT_TRUE(start());
    store::WorkArea* books = store::Workspace::instance().area("libros");
    ASSERT_TRUE(books);
    books->goTop();
    EXPECT_EQ(books->str("NOMBRE").trimmed(), "EA4ZZ");
    EXPECT_EQ(books->str("DESCRI").trimmed(), "Libro guardia EA4ZZ");
    EXPECT_TRUE(QFile::exists(home + "datos/LogEA4ZZ.dbf"));
    EXPECT_EQ(oAppl->cLibro, "EA4ZZ");
    ASSERT_TRUE(frame());
    EXPECT_EQ(frame()->windowTitle(), "Orlan Win Log 1.92");
    EXPECT_TRUE(QFile::exists(home + "borra.me"));
    // the tool bar has its seven entries with icons, and every entry has its view
    for (CommandId tb : {CommandId::ToolLogBooks, CommandId::ToolCluster, CommandId::ToolAwards, CommandId::ToolReorganize,
                         CommandId::ToolSettings, CommandId::ToolExit})
        ASSERT_TRUE(frame()->action(tb)) << int(tb);
    EXPECT_FALSE(frame()->action(CommandId::ToolExit)->icon().isNull());
    EXPECT_TRUE(frame()->action(CommandId::Reorganize)->isEnabled());
    EXPECT_TRUE(frame()->action(CommandId::ImportCty)->isEnabled());
    EXPECT_TRUE(frame()->action(CommandId::Transfer)->isEnabled());
    EXPECT_TRUE(frame()->action(CommandId::Backup)->isEnabled());
    EXPECT_TRUE(frame()->action(CommandId::ImportRadioges)->isEnabled());
}

// The menu bar and the tool bar as the user has always had them: captions,
// access keys, separators, sub-menus, and which entries have their view yet.
TEST_F(ShellTest, MenuAndToolBarKeepTheirEntries)
{
    prepareHome();
    ASSERT_TRUE(start());
    QStringList menu;
    outline(frame()->menuBar()->actions(), 0, &menu);
    const QStringList expected = {
        "Ficheros",
        "  &Libros de Guardia...",
        "  &Entidades...",
        "  IOTA...",
        "  &Modos...",
        "  &Bandas...",
        "  &Conocidos...",
        "  ---",
        "  &Terminar",
        "Ver",
        "  Log",
        "  QSO anteriores",
        "  DX cluster",
        "  Telnet",
        "Diplomas",
        "  Configurar diplomas ...",
        "  ---",
        "  Ver e imprimir",
        "    Provincias españolas",
        "    DXCC",
        "    Información de la entidad",
        "    Islands On The Air",
        "    Cuadrículas locator VHF-UHF",
        "    Provincias EA (referencias)",
        "    Worked All States",
        "    Worked All Zones (zonas CQ)",
        "QSL",
        "  Formatos de QSL...",
        "&Informes",
        "  Entidades trabajadas pendientes de confirmar...",
        "  Entidades no trabajadas...",
        "&Gráficos",
        "  Por continentes...",
        "  Por modos...",
        "  Por bandas...",
        "  Por entidades...",
        "  Por Horas...",
        "&Utilidades",
        "  Reorganizar ...",
        "  &Importar",
        "    Importar ADIF ...",
        "    Importar Cabrillo...",
        "    Importar Radioges...",
        "    ---",
        "    Importar confirmaciones LOTW...",
        "    ---",
        "    Descargar última version de Entidades y prefijos",
        "    ---",
        "    Importar CTY ..",
        "  Exportar",
        "    Adif ...",
        "    Cabrillo...",
        "  Versión actual de CTY.DAT",
        "  Traspasar ...",
        "  Copia/restaruarción",
        "    Copia de seguridad...",
        "    Restaurar copia...",
        "  ---",
        "  Utiles...",
        "    Lat,Lon y locator...",
        "    Cálculo distancias y rumbos...",
        "    Perfil elevación ...",
        "  ---",
        "  Configurar aplicación...",
        "  Foros de soporte ",
        "  &Sobre...",
        "&+Plus",
    };
    EXPECT_EQ(menu, expected) << menu.join('\n').toStdString();

    auto* tb = frame()->findChild<QToolBar*>("ToolBar");
    ASSERT_TRUE(tb);
    EXPECT_EQ(tb->windowTitle(), "Herramientas");
    QStringList buttons;
    for (QAction* a : tb->actions())
        buttons << (a->isSeparator() ? QStringLiteral("---")
                                     : a->text() + " | " + a->toolTip() + (a->isEnabled() ? "" : " (off)")
                                           + (a->icon().isNull() ? " (no icon)" : ""));
    const QStringList expectedButtons = {
        "&Log | Seleccionar libro de guardia",
        "DX &Cluster | Telnet Dx Cluster",
        "Diplomas | Gestión de diplomas",
        "---",
        "Reorganizar | Reorganizar base de datos",
        "Configuración | Configurar aplicación",
        "---",
        "Salir | Cerrar programa",
    };
    EXPECT_EQ(buttons, expectedButtons) << buttons.join('\n').toStdString();
    for (QAction* a : tb->actions()) {
        QWidget* w = a->isSeparator() ? nullptr : tb->widgetForAction(a);
        if (w) {
            EXPECT_GE(w->minimumWidth(), 55) << a->text().toStdString();
            EXPECT_GE(w->minimumHeight(), 55) << a->text().toStdString();
        }
    }
    EXPECT_EQ(tb->iconSize(), QSize(32, 32));

    // the menu entries that carry an image
    for (QAction* a : frame()->findChildren<QAction*>()) {
        if (a->text() == "&Terminar" || a->text() == "Reorganizar ..." || a->text() == "&Importar" || a->text() == "Exportar") {
            EXPECT_FALSE(a->icon().isNull()) << a->text().toStdString();
        }
    }
}

TEST_F(ShellTest, CtyImportFromTheMenuAndItsVersion)
{
    prepareHome();
    ASSERT_TRUE(start());
    whenDialog("IMPCTY", [](QDialog* d) {
        d->findChild<QLineEdit*>("602")->setText(QStringLiteral(ORLANLOG_SOURCE_DIR "/data/refdata/cty.dat"));
        for (QPushButton* b : d->findChildren<QPushButton*>())
            if (b->text() == "&Ok")
                b->click();
    });
    frame()->action(CommandId::ImportCty)->trigger();
    EXPECT_TRUE(msgs.log().contains("meter: Procesando...")) << msgs.log().join('\n').toStdString();
    frame()->action(CommandId::CtyVersion)->trigger();
    EXPECT_TRUE(msgs.log().last().startsWith("info: VERaammdd\r\nVER")) << msgs.log().last().toStdString();
}

TEST_F(ShellTest, TheCtyDownloadButtonFetchesAndImportsTheFile)
{
    prepareHome();
    ASSERT_TRUE(start());
    QFile cty(QStringLiteral(ORLANLOG_SOURCE_DIR "/data/refdata/cty.dat"));
    ASSERT_TRUE(cty.open(QIODevice::ReadOnly));
    WebServer server;
    server.route(QStringLiteral("/cty/cty.dat"), cty.readAll());
    oAppl->ini().Set("Servicios", "CtyDat", server.base());
    qunsetenv("ORLANLOG_OFFLINE");
    whenDialog("IMPCTY", [&server](QDialog* d) {
        auto* download = d->findChild<QPushButton*>("4002");
        ASSERT_TRUE(download);
        EXPECT_EQ(download->text(), server.base() + "/cty/cty.dat");
        download->click();
    });
    frame()->action(CommandId::ImportCty)->trigger();
    qputenv("ORLANLOG_OFFLINE", "1");
    EXPECT_EQ(server.requests(), QStringList{"GET /cty/cty.dat"});
    EXPECT_TRUE(msgs.log().contains("meter: Procesando...")) << msgs.log().join('\n').toStdString();
    EXPECT_TRUE(QFile::exists(oAppl->cDirLocal + "cty.dat"));
}

TEST_F(ShellTest, TheReferenceDownloadWithoutAConnectionClosesNothing)
{
    prepareHome();
    ASSERT_TRUE(start());
    frame()->action(CommandId::Bands)->trigger();
    const QStringList before = msgs.log();
    ASSERT_TRUE(frame()->action(CommandId::DownloadReferenceData)->isEnabled());
    frame()->action(CommandId::DownloadReferenceData)->trigger();
    EXPECT_TRUE(HWND(WindowId::BandsModes));
    EXPECT_TRUE(store::Workspace::instance().area("ENT"));
    EXPECT_EQ(msgs.log(), before);
}

TEST_F(ShellTest, TheClusterWindowsOpenOnceAndASpotBecomesANewQso)
{
    prepareHome();
    ASSERT_TRUE(start());
    // no server connects by itself here
    store::WorkArea* servers = store::Workspace::instance().area(store::alias::kCluster);
    ASSERT_TRUE(servers);
    for (servers->goTop(); !servers->eof(); servers->skip()) {
        ASSERT_TRUE(servers->lockRecord().isOk());
        servers->put("AUTO", false);
        servers->unlock();
    }
    store::WorkArea* spots = store::Workspace::instance().area(store::alias::kSpots);
    ASSERT_TRUE(spots);
    ASSERT_TRUE(spots->append().isOk());
    spots->put("CALL", "K1ABC");
    spots->put("FREQ", 14.025);
    spots->put("FREQ2", 14025.0);
    spots->put("BAND", "20M");
    spots->put("MODE", "CW");
    spots->unlock();

    frame()->action(CommandId::ToolCluster)->trigger();
    frame()->action(CommandId::ClusterWindow)->trigger();
    frame()->action(CommandId::SpotsWindow)->trigger();
    auto* mdi = frame()->findChild<QMdiArea*>();
    QStringList open;
    for (QMdiSubWindow* w : mdi->subWindowList(QMdiArea::CreationOrder))
        open << static_cast<tWin*>(w)->cName;
    EXPECT_EQ(open, QStringList({"Telnet", "Spots"}));

    // a double click on the spot of the stand-alone list: a new QSO with it
    ui::tQ7Browse* list = HWND(WindowId::Spots)->browse();
    ASSERT_TRUE(list);
    ASSERT_EQ(list->model()->rowCount(), 1);
    EXPECT_EQ(list->model()->index(0, 0).data().toString(), "K1ABC");
    emit list->doubleClicked(list->model()->index(0, 0));
    QCoreApplication::processEvents();
    ASSERT_TRUE(logbook::EDTLOGVIS());
    EXPECT_EQ(logbook::EDTLOGDBF()->get("CALL").toString().trimmed(), "K1ABC");
    EXPECT_EQ(logbook::EDTLOGDBF()->get("MODE").toString().trimmed(), "CW");
    logbook::CLSEDTLOG();

    // the tables close under the open cluster windows and come back
    frame()->action(CommandId::Reorganize)->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QTest::qWait(300);
    EXPECT_TRUE(store::Workspace::instance().area(store::alias::kCluster));
}

TEST_F(ShellTest, SettingsPageRefusesAnEmptyCall)
{
    prepareHome(QString());
    whenDialog("CFG", [](QDialog* d) {
        d->findChild<QPushButton*>("Cancelar")->click();   // refused: no call yet
        QTimer::singleShot(50, d, [d] {
            d->findChild<QLineEdit*>("400")->setText("EA1ABC");
            d->findChild<QPushButton*>("OK")->click();
        });
    });
    ASSERT_TRUE(start());
    EXPECT_TRUE(msgs.log().contains("stop: Debe introducir un indicativo")) << msgs.log().join('\n').toStdString();
    EXPECT_EQ(oAppl->cLibro, "EA1ABC");
}

TEST_F(ShellTest, AnUncleanEndIsRepairedBeforeTheFrame)
{
    prepareHome();
    QFile marker(home + "borra.me");
    ASSERT_TRUE(marker.open(QIODevice::WriteOnly));
    marker.close();
    ASSERT_TRUE(start());
    EXPECT_TRUE(msgs.log().contains("meter: Procesando, espere por favor ... "));
    EXPECT_TRUE(msgs.meterTitles.contains("Reorganizando Log EA4ZZ"));
    EXPECT_TRUE(QFile::exists(home + "borra.me"));   // the marker stays for this run
    // the new book's blank record went with the repair
    store::WorkArea* log = store::Workspace::instance().area("Log");
    ASSERT_TRUE(log);
    EXPECT_EQ(log->recCount(), 0u);
}

TEST_F(ShellTest, AKilledSessionIsRepairedOnTheNextStart)
{
    prepareHome();
    ASSERT_TRUE(start());
    EXPECT_FALSE(msgs.log().contains("meter: Procesando, espere por favor ... "));
    // the process dies: no shutdown, the marker stays behind
    oAppl->lCerrar = true;
    delete frame();
    store::Workspace::instance().closeAll();
    msgs.take();
    delete oAppl;   // the next start makes its own
    TAppl::New();
    ASSERT_TRUE(start(false));
    EXPECT_TRUE(msgs.log().contains("meter: Procesando, espere por favor ... ")) << msgs.log().join('\n').toStdString();

    // a marker left by a system that does not tell case apart counts too, and shutdown removes it
    oAppl->lCerrar = true;
    frame()->close();
    QApplication::processEvents();
    QFile upper(home + "BORRA.ME");
    ASSERT_TRUE(upper.open(QIODevice::WriteOnly));
    upper.close();
    msgs.take();
    delete oAppl;   // the next start makes its own
    TAppl::New();
    ASSERT_TRUE(start(false));
    EXPECT_TRUE(msgs.log().contains("meter: Procesando, espere por favor ... "));
    EXPECT_EQ(QDir(home).entryList({"borra.me"}, QDir::Files), QStringList({"BORRA.ME"}));   // not created twice
    oAppl->lCerrar = true;
    frame()->close();
    QApplication::processEvents();
    EXPECT_TRUE(QDir(home).entryList({"borra.me"}, QDir::Files).isEmpty());
}

TEST_F(ShellTest, OneInstancePerHomeUnlessAnArgumentIsGiven)
{
    prepareHome();
    ASSERT_TRUE(start());
    // a second start on the same home
    MainFrame* first = frame();
    EXPECT_FALSE(firstStage(true));
    EXPECT_TRUE(msgs.log().contains("stop: Programa ya se está ejecutando!\r\n\r\nEste programa no permite multiples instancias!"));
    EXPECT_EQ(frame(), first);
}

TEST_F(ShellTest, WindowsReopenInTheOrderTheyWereOpen)
{
    prepareHome();
    QStringList opened;
    registerTestView(WindowId::Spots, &opened);
    registerTestView(WindowId::Log, &opened);
    registerTestView(WindowId::PreviousQsos, &opened);
    oAppl->ini().Set("Wnd", "Opn", "Spots;ManLog;");
    ASSERT_TRUE(start());
    EXPECT_EQ(opened, QStringList({"Spots", "ManLog"}));
    EXPECT_TRUE(LOPNWND(WindowId::Log));
    EXPECT_FALSE(LOPNWND(WindowId::PreviousQsos));
    EXPECT_FALSE(LOPNWND("Manlog"));   // names compare exactly
    // a window closed while maximised reopens normal
    HWND(WindowId::Log)->Activate("MAXIMIZED");
    CLSWND(WindowId::Log);
    QApplication::processEvents();
    EXPECT_EQ(oAppl->ini().getString("ManLog", "cShow", QString()), "NORMAL");
    EXPECT_FALSE(LOPNWND(WindowId::Log));
    SAVOPNWND();
    EXPECT_EQ(oAppl->ini().getString("Wnd", "Opn", QString()), "Spots;");
}

// The log-book window in the frame: a new book becomes current with the log
// window closed and opened again around the change; deleting the current book
// closes every window, opens the session on the other book and brings the
// windows back.
TEST_F(ShellTest, TheLogBookWindowChangesAndDeletesTheCurrentBookAroundTheOpenWindows)
{
    prepareHome();
    QStringList opened;
    registerTestView(WindowId::Log, &opened);
    store::hooks().closeWindowsForReopening = [] {
        SAVOPNWND();
        CLSWNDALL();
    };
    store::hooks().reopenSession = [] { SETUP(); };
    installLogbookHooks();
    ASSERT_TRUE(start());
    openView(WindowId::Log);
    frame()->action(CommandId::ToolLogBooks)->trigger();
    ASSERT_TRUE(LOPNWND(WindowId::LogBooks));
    auto* grid = HWND(WindowId::LogBooks)->findChild<ui::tQ7Browse*>();
    ASSERT_TRUE(grid);

    whenDialog("CRTLIB", [](QDialog* d) {
        auto* name = d->findChild<QLineEdit*>("601");
        name->setFocus();
        name->setText("EA4ZZ-P");
        emit name->editingFinished();
        d->findChild<QPushButton*>("1")->click();
    });
    QTest::keyClick(grid, Qt::Key_Insert);
    EXPECT_EQ(oAppl->cLibro, "EA4ZZ-P");
    EXPECT_EQ(opened, QStringList({"ManLog", "ManLog"})) << "the log window closed and came back on the new book";
    EXPECT_TRUE(LOPNWND(WindowId::Log));
    EXPECT_EQ(grid->model()->rowCount(), 2);

    grid->setCurrentIndex(grid->model()->index(1, 1));
    msgs.answer(true);
    QTest::keyClick(grid, Qt::Key_Delete);
    QTRY_COMPARE(oAppl->cLibro, QStringLiteral("EA4ZZ"));
    EXPECT_FALSE(QFile::exists(home + "datos/LogEA4ZZ-P.dbf"));
    QTRY_VERIFY(LOPNWND(WindowId::LogBooks));
    EXPECT_TRUE(LOPNWND(WindowId::Log));
    grid = HWND(WindowId::LogBooks)->findChild<ui::tQ7Browse*>();
    ASSERT_TRUE(grid);
    EXPECT_EQ(grid->model()->rowCount(), 1);
    EXPECT_EQ(grid->model()->index(0, 0).data().toString(), "Si");
    store::hooks() = store::SessionHooks{};
}

// Bands and modes are two windows of one name told apart by their titles; a
// second call brings the open one forward; the layout they share keeps each
// grid's own headings. The IOTA window's work area lives as long as the window.
TEST_F(ShellTest, ReferenceTableWindowsOpenOnceEach)
{
    prepareHome();
    ASSERT_TRUE(start());
    auto* mdi = frame()->findChild<QMdiArea*>();
    auto open = [mdi] {
        QStringList out;
        for (QMdiSubWindow* w : mdi->subWindowList(QMdiArea::CreationOrder))
            out << static_cast<tWin*>(w)->cName + " " + w->windowTitle();
        return out;
    };
    frame()->action(CommandId::Bands)->trigger();
    frame()->action(CommandId::Modes)->trigger();
    frame()->action(CommandId::Bands)->trigger();
    EXPECT_EQ(open(), QStringList({"ManModo Bandas", "ManModo Modos"}));
    EXPECT_EQ(mdi->activeSubWindow()->windowTitle(), "Bandas");

    // closed bands first and modes last: the modes' layout is the one kept
    for (QMdiSubWindow* w : mdi->subWindowList(QMdiArea::CreationOrder))
        static_cast<tWin*>(w)->End();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(oAppl->ini().getString("ManModo", "BrwState", QString()).contains("Cod.$&Modo"));
    frame()->action(CommandId::Bands)->trigger();
    ui::tQ7Browse* bands = HWND(WindowId::BandsModes)->browse();
    ASSERT_TRUE(bands);
    EXPECT_EQ(bands->model()->headerData(0, Qt::Horizontal).toString(), "Cod.\nBanda");
    CLSWND(WindowId::BandsModes);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    frame()->action(CommandId::Iota)->trigger();
    frame()->action(CommandId::KnownStations)->trigger();
    EXPECT_EQ(open(), QStringList({"ManIota Islands On the Air", "know Conocidos"}));
    EXPECT_TRUE(store::Workspace::instance().area("iotaMan"));
    CLSWND(WindowId::Iota);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(store::Workspace::instance().area("iotaMan"));
    EXPECT_TRUE(store::Workspace::instance().area("know"));   // a session table stays open
}

TEST_F(ShellTest, AFrameSavedIconizedReopensNormal)
{
    prepareHome();
    oAppl->ini().Set("MDI", "cShow", "ICONIZED");
    ASSERT_TRUE(start());
    EXPECT_FALSE(frame()->isMinimized());
    EXPECT_FALSE(frame()->isMaximized());
}

TEST_F(ShellTest, AnsweringNoKeepsTheFrame)
{
    prepareHome();
    ASSERT_TRUE(start());
    msgs.answer(false);
    EXPECT_FALSE(frame()->close());
    EXPECT_TRUE(frame()->isVisible());
    EXPECT_TRUE(QFile::exists(home + "borra.me"));
    msgs.answer(true);
    EXPECT_TRUE(frame()->close());
    QApplication::processEvents();
    EXPECT_TRUE(QDir(home).entryList({"borra.me"}, QDir::Files).isEmpty());
    EXPECT_EQ(oAppl->ini().getString("MDI", "cShow", QString()).isEmpty(), false);
    EXPECT_TRUE(store::Workspace::instance().aliases().empty());
}

TEST_F(ShellTest, GridLayoutSurvivesSaveAndRestore)
{
    prepareHome();
    store::Workspace& ws = store::Workspace::instance();
    ws.setDataDir(home + "datos/");
    ASSERT_TRUE(store::NETUSE("LogEA4ZZ", true, 1, "Log"));
    store::WorkArea* log = ws.area("Log");
    ui::tQ7Browse grid(log);
    grid.addField("CALL", "Indicativo");
    grid.addField("QSODATE", "Fecha\r\nQSO");
    grid.addField("BAND", "Banda");
    grid.setColumnWidth(0, 111);
    grid.setColumnHidden(2, true);
    grid.horizontalHeader()->moveSection(1, 0);
    const QString state = grid.SaveState();
    EXPECT_TRUE(state.contains("2:") && state.contains("Fecha$&QSO")) << state.toStdString();
    EXPECT_EQ(grid.SaveState(true).count("Fecha\r\nQSO"), 1);

    ui::tQ7Browse again(log);
    again.addField("CALL", "Indicativo");
    again.addField("QSODATE", "Fecha");
    again.addField("BAND", "Banda");
    again.RestoreState(state);
    EXPECT_EQ(again.SaveState(), state);
    EXPECT_EQ(again.model()->headerData(1, Qt::Horizontal).toString(), "Fecha\nQSO");
    EXPECT_EQ(again.columnWidth(0), 111);
    EXPECT_TRUE(again.isColumnHidden(2));

    // a state written before a column was added is ignored as a whole
    ui::tQ7Browse newer(log);
    newer.addField("CALL", "Indicativo");
    newer.addField("QSODATE", "Fecha");
    newer.addField("BAND", "Banda");
    newer.addField("MODE", "Modo");
    const QString before = newer.SaveState();
    newer.RestoreState(state);
    EXPECT_EQ(newer.SaveState(), before);
}

TEST_F(ShellTest, ScriptModulesAreMenuItemsAndTheirErrorsAreShown)
{
    prepareHome();
    QDir().mkpath(home + "obj");
    QFile ok(home + "obj/Activaciones.js");
    ASSERT_TRUE(ok.open(QIODevice::WriteOnly));
    ok.write("orlan.goTop('cfg'); orlan.info('Hola ' + orlan.field('cfg', 'CALL').trim() + ' ' + orlan.name);");
    ok.close();
    QFile bad(home + "obj/Roto.js");
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("var x = ;");
    bad.close();
    ASSERT_TRUE(start());
    QAction* a = frame()->plusAction("Activaciones");
    ASSERT_TRUE(a);
    a->trigger();
    EXPECT_TRUE(msgs.log().contains("info: Hola EA4ZZ Orlan Win Log")) << msgs.log().join('\n').toStdString();
    frame()->plusAction("Roto")->trigger();
    EXPECT_TRUE(msgs.log().last().startsWith("stop: Error en el módulo Roto")) << msgs.log().last().toStdString();
}

TEST_F(ShellTest, StatusBarKeepsItsCopyrightAndHelpNeedsNoBrowser)
{
    prepareHome();
    ASSERT_TRUE(start());
    auto* copy = frame()->findChild<QLabel*>("Copyright");
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->text(), oAppl->cCpyRght);
    // a menu hint, then the empty hint that follows it when the menu closes
    QStatusTipEvent hint("Abre el libro");
    QApplication::sendEvent(frame(), &hint);
    QStatusTipEvent none(QString{});
    QApplication::sendEvent(frame(), &none);
    EXPECT_TRUE(copy->isVisibleTo(frame()));
    EXPECT_EQ(copy->text(), oAppl->cCpyRght);

    // no browser here: the user is told, with the address to copy
    oAppl->ini().Set("Config", "Foro", "orlanlog-nobrowser://foro.example/ayuda");
    frame()->action(CommandId::SupportForum)->trigger();
    EXPECT_TRUE(msgs.log().last().startsWith("alert: No se pudo abrir el navegador.")) << msgs.log().last().toStdString();
    EXPECT_TRUE(msgs.log().last().contains("orlanlog-nobrowser://foro.example/ayuda"));

    // the About box gives the build date in Spanish
    frame()->action(CommandId::About)->trigger();
    static const QRegularExpression spanishDate(
        "compilado el \\d{1,2} de (enero|febrero|marzo|abril|mayo|junio|julio|agosto|septiembre|octubre|noviembre|diciembre) de \\d{4}");
    EXPECT_TRUE(spanishDate.match(msgs.log().last()).hasMatch()) << msgs.log().last().toStdString();
}

TEST_F(ShellTest, FileChoosersStartWhereAFileOfTheirKindWasLastChosen)
{
    prepareHome();
    ASSERT_TRUE(start());
    const QString adifFolder = home + "adif-files";
    const QString ctyFolder = home + "cty-files";
    QDir().mkpath(adifFolder);
    QDir().mkpath(ctyFolder);
    ui::rememberFolder("adif", adifFolder + "/log.adi");
    ui::rememberFolder("cty", ctyFolder);
    EXPECT_EQ(ui::lastFolder("adif", "/fallback"), adifFolder);
    EXPECT_EQ(ui::lastFolder("cty", "/fallback"), ctyFolder);
    EXPECT_EQ(ui::lastFolder("lotw", "/fallback"), "/fallback");
    // kept in the INI file, so the next run starts there too
    EXPECT_EQ(oAppl->ini().getString("Carpetas", "adif", QString()), adifFolder);
    // a folder that has gone away is not offered
    QDir(ctyFolder).removeRecursively();
    EXPECT_EQ(ui::lastFolder("cty", "/fallback"), "/fallback");

    // the chooser itself opens there
    whenModal<QFileDialog>([&](QFileDialog* d) {
        EXPECT_EQ(d->directory().absolutePath(), adifFolder);
        EXPECT_EQ(d->windowTitle(), "Elegir");
        d->reject();
    });
    EXPECT_TRUE(ui::chooseFile(frame(), ui::ChooseMode::Open, "adif", "Elegir", QString(), "x.adi", "Adif (*.adi)", "/tmp").isEmpty());
}

// The first start of the desktop program and "orlanlog-cli init" (createHome with
// a call) make the same home: same files, tables, tags and records, the new
// book's blank record among them.
TEST_F(ShellTest, FirstStartMakesTheHomeInitMakes)
{
    whenDialog("CFG", [](QDialog* d) {
        d->findChild<QLineEdit*>("400")->setText("ea4zz");
        d->findChild<QPushButton*>("OK")->click();
    });
    ASSERT_TRUE(start());
    oAppl->lCerrar = true;
    frame()->close();
    QApplication::processEvents();
    store::Workspace::instance().closeAll();
    const QString other = home + QStringLiteral("../init/");
    ASSERT_TRUE(store::createHome(other, other + QStringLiteral("datos/"), QStringLiteral("EA4ZZ"),
                                  store::shippedTablesDir()).isOk());
    for (const char* dir : {"datos/", "reports/"}) {
        const auto gui = contentsOf(home + QLatin1String(dir));
        const auto init = contentsOf(other + QLatin1String(dir));
        EXPECT_FALSE(gui.empty());
        for (const auto& [name, rows] : gui) {
            const auto it = init.find(name);
            EXPECT_TRUE(it != init.end() && it->second == rows) << dir << name.toStdString();
        }
        EXPECT_EQ(gui.size(), init.size()) << dir;
    }
    EXPECT_EQ(contentsOf(other + QStringLiteral("datos/")).at(QStringLiteral("logea4zz.dbf")).filter(
                  QRegularExpression(QStringLiteral("^[0-9a-f]+$"))).size(), 1);
}

// Settings and catalogue lost, the book's table still there: the first start
// asks for the call again and makes the book's record, but keeps its QSOs, as
// orlanlog-cli init does.
TEST_F(ShellTest, FirstStartKeepsTheQsosOfABookWhoseCatalogueWasLost)
{
    prepareHome();
    {
        store::Workspace w;
        w.setDataDir(home + "datos/");
        store::WorkArea* log = nullptr;
        ASSERT_TRUE(w.use("LogEA4ZZ", {.alias = "Log"}, &log).isOk());
        ASSERT_TRUE(log->append().isOk());
        log->put("CALL", "K1ABC");
        ASSERT_TRUE(log->unlock().isOk());
    }
    for (const char* f : {"cfg.dbf", "libros.dbf"})
        QFile::remove(home + "datos/" + f);
    whenDialog("CFG", [](QDialog* d) {
        d->findChild<QLineEdit*>("400")->setText("ea4zz");
        d->findChild<QPushButton*>("OK")->click();
    });
    ASSERT_TRUE(start());
    EXPECT_EQ(oAppl->cLibro, "EA4ZZ");
    store::WorkArea* log = store::Workspace::instance().area("Log");
    ASSERT_TRUE(log);
    QStringList calls;
    log->setOrder(0);
    for (log->goTop(); !log->eof(); log->skip())
        calls << log->str("CALL").trimmed();
    EXPECT_EQ(calls, QStringList({"", "K1ABC"}));
}

// The call typed in the entry form is looked up in the call book when
// QRZFILL asks so: once per call, under its wait message, the form filled.
TEST_F(ShellTest, ATypedCallIsLookedUpInTheCallBookWhenQrzFillIsOn)
{
    prepareHome();
    ASSERT_TRUE(start());
    store::WorkArea* cfg = store::Workspace::instance().area(store::alias::kCfg);
    ASSERT_TRUE(cfg);
    cfg->goTop();
    ASSERT_TRUE(cfg->lockRecord().isOk());
    cfg->put("QRZFILL", true);
    cfg->put("QRZXML", true);
    cfg->put("QRZUSR", "ea4zz");
    cfg->put("QRZPSW", "pw");
    cfg->unlock();
    WebServer server;
    server.handle("/xml/", [](const QByteArray& body) {
        if (body.startsWith("username="))
            return WebReply{200, R"(<?xml version="1.0" ?><QRZDatabase version="1.34"><Session><Key>k1</Key></Session></QRZDatabase>)",
                            {}, -1, false};
        return WebReply{200, R"(<?xml version="1.0" ?><QRZDatabase version="1.34"><Callsign><call>AA7BQ</call>
            <fname>FRED L</fname><grid>DM32af</grid><county>Maricopa</county></Callsign>
            <Session><Key>k1</Key></Session></QRZDatabase>)", {}, -1, false};
    });
    oAppl->ini().Set("Servicios", online::callbookKey(online::CallbookService::QrzXml), server.base());
    qunsetenv("ORLANLOG_OFFLINE");
    logbook::EDTLOG(true, false, store::alias::kLog);
    logbook::EntryForm* form = logbook::entryForm();
    ASSERT_TRUE(form);
    auto* call = form->findChild<QLineEdit*>("605");
    ASSERT_TRUE(call);
    call->setFocus();
    QTest::keyClicks(call, "aa7bq");
    emit call->editingFinished();
    emit call->editingFinished();   // leaving the field again asks nothing more
    qputenv("ORLANLOG_OFFLINE", "1");
    EXPECT_EQ(server.requests(), (QStringList{"POST /xml/", "POST /xml/"}));
    EXPECT_TRUE(msgs.log().contains("wait: Recuperando información de internet")) << msgs.log().join('\n').toStdString();
    EXPECT_EQ(logbook::EDTLOGDBF()->get("NAME").toString().trimmed(), "FRED L");
    EXPECT_EQ(logbook::EDTLOGDBF()->get("GRIDSQUARE").toString().trimmed(), "DM32af");
    logbook::CLSEDTLOG();
}

// The map buttons of the log window and the menu's elevation window open
// their named windows, their pages written in the program's folder.
TEST_F(ShellTest, TheLogWindowsMapButtonsAndTheElevationEntryOpenTheirWindows)
{
    qputenv("ORLANLOG_NO_WEBENGINE", "1");
    QList<QUrl> opened;
    maps::WebPane::setExternalOpener([&opened](const QUrl& url) {
        opened << url;
        return true;
    });
    prepareHome();
    ASSERT_TRUE(start());
    frame()->action(CommandId::LogWindow)->trigger();
    ASSERT_TRUE(LOPNWND(WindowId::Log));
    auto* log = HWND(WindowId::Log)->findChild<logbook::LogWindow*>();
    ASSERT_TRUE(log);
    for (const char* id : {"map", "grid", "elevation", "earth"})
        EXPECT_TRUE(log->action(id)->isEnabled()) << id;
    log->action("grid")->trigger();
    ASSERT_TRUE(LOPNWND(WindowId::GridMap));
    EXPECT_TRUE(QFile::exists(oAppl->cDirLocal + "gMapGrid.html"));
    log->action("map")->trigger();   // the outline draws without a connection: no refusal
    ASSERT_TRUE(LOPNWND(WindowId::Map));
    EXPECT_TRUE(QFile::exists(oAppl->cDirLocal + "plotfil.htm"));
    EXPECT_TRUE(opened.contains(QUrl::fromLocalFile(oAppl->cDirLocal + "plotfil.htm")));
    CLSWND(WindowId::Map);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(QFile::exists(oAppl->cDirLocal + "plotfil.htm")) << "deleted with its window";

    // pages 2 and 3 are the call-book page and the QSO's map
    EXPECT_TRUE(log->pages()->widget(1)->inherits("maps::CallbookPage"));
    EXPECT_TRUE(log->pages()->widget(2)->inherits("maps::QsoMapPage"));

    frame()->action(CommandId::ElevationProfile)->trigger();
    ASSERT_TRUE(LOPNWND(WindowId::Elevation));
    EXPECT_TRUE(HWND(WindowId::Elevation)->windowTitle().endsWith(" Perfil elevación"));
    qunsetenv("ORLANLOG_NO_WEBENGINE");
}

// The entry form's map button opens the path map in the program's own window,
// and a call-book address opens in the one browser window, which keeps its
// place in the section "WebView".
TEST_F(ShellTest, TheEntryFormsMapAndTheCallBookAddressOpenInTheProgramsWindows)
{
    qputenv("ORLANLOG_NO_WEBENGINE", "1");
    QList<QUrl> opened;
    maps::WebPane::setExternalOpener([&opened](const QUrl& url) {
        opened << url;
        return true;
    });
    prepareHome();
    ASSERT_TRUE(start());
    logbook::EDTLOG(true, false, store::alias::kLog);
    logbook::EntryForm* form = logbook::entryForm();
    ASSERT_TRUE(form);
    form->entry()->buffer().set("CALL", store::Value::text(QStringLiteral("K1ABC")));
    form->entry()->buffer().set("GRIDSQUARE", store::Value::text(QStringLiteral("FN42")));
    form->entry()->buffer().set("QRA", store::Value::text(QStringLiteral("IN80DO")));
    QWidget* first = form->pages()->widget(0);
    auto* map = first->findChild<QPushButton*>("4005");
    ASSERT_TRUE(map);
    map->click();
    ASSERT_TRUE(LOPNWND(WindowId::EntryMap));
    const QString page = oAppl->cDirLocal + "gmapedtlog.htm";
    ASSERT_TRUE(QFile::exists(page));
    QFile html(page);
    ASSERT_TRUE(html.open(QIODevice::ReadOnly));
    EXPECT_TRUE(html.readAll().contains("K1ABC"));
    EXPECT_EQ(opened, QList<QUrl>{QUrl::fromLocalFile(page)});

    opened.clear();
    first->findChild<QPushButton*>("4001")->click();
    ASSERT_EQ(opened.size(), 1);
    EXPECT_TRUE(opened[0].toString().endsWith("/K1ABC")) << opened[0].toString().toStdString();
    QWidget* browser = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "WebView" && w->isVisible())
            browser = w;
    ASSERT_TRUE(browser);
    browser->setGeometry(80, 160, 640, 480);
    browser->close();
    EXPECT_EQ(oAppl->ini().getInt("WebView", "Left"), 10);
    EXPECT_EQ(oAppl->ini().getInt("WebView", "Top"), 10);
    logbook::CLSEDTLOG();
    qunsetenv("ORLANLOG_NO_WEBENGINE");
}

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    maps::prepareWebEngine();
    QApplication app(argc, argv);
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
