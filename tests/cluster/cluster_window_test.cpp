// The cluster window against test servers on 127.0.0.1: automatic
// connection, spots in the list, the server list edited in place, a server
// that closes, and the spot posted from the dialog.
#include "cluster_home.h"
#include "test_cluster_server.h"

#include "../app/when_modal.h"
#include "../gui_app.h"

#include "cluster/servers.h"
#include "cluster/spot_post.h"
#include "cluster/telnet.h"
#include "cluster/views/server_page.h"
#include "cluster/views/spot_dx_dialog.h"
#include "cluster/views/spots_window.h"
#include "cluster/views/telnet_window.h"
#include "ui/grid_panel.h"
#include "ui/q7browse.h"

#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>

namespace cluster::testing {

namespace {

QByteArray spotLine(const char* spotter, double kHz, const char* call, const char* comment, const char* time)
{
    QByteArray line = QByteArray("DX de ") + spotter + ':';
    line = line.leftJustified(15, ' ');
    line += QByteArray::number(kHz, 'f', 1).rightJustified(9, ' ');
    line = line.leftJustified(26, ' ');
    line += QByteArray(call).leftJustified(13, ' ');
    line += QByteArray(comment).leftJustified(31, ' ');
    line += QByteArray(time) + "Z";
    return line + "\r\n";
}

// The open editor of a cell of the grid (or of its frozen columns).
template <class Editor>
Editor* cellEditor(QWidget* grid)
{
    for (Editor* e : grid->findChildren<Editor*>())
        if (e->isVisible())
            return e;
    return nullptr;
}

// Waits, with the event loop running, until done() or ms passed.
bool waitFor(const std::function<bool()>& done, int ms = 6000)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QTest::qWait(20);
    return done();
}

class ClusterWindowTest : public ClusterHome {
protected:
    void SetUp() override
    {
        testing_support::guiApp();
        ClusterHome::SetUp();
        // the settings record, open as the program's start-up leaves it
        if (!area(store::alias::kCfg)) {
            store::WorkArea* cfg = nullptr;
            ASSERT_TRUE(ws().use(QStringLiteral("cfg"), {.alias = store::alias::kCfg}, &cfg).isOk());
            cfg->goTop();
        }
        // the servers a new home comes with are of the internet: these tests use their own
        store::WorkArea* c = area(store::alias::kCluster);
        for (c->goTop(); !c->eof(); c->skip()) {
            ASSERT_TRUE(c->lockRecord().isOk());
            c->deleteRecord();
            c->unlock();
        }
    }
    void TearDown() override
    {
        delete window;
        window = nullptr;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ClusterHome::TearDown();
    }

    // A server record of CLUSTER.
    void addServer(const QString& name, int port, bool automatic)
    {
        store::WorkArea* c = area(store::alias::kCluster);
        ASSERT_TRUE(c->append().isOk());
        c->put(QStringLiteral("NOMBRE"), name);
        c->put(QStringLiteral("SITE"), QStringLiteral("127.0.0.1"));
        c->put(QStringLiteral("PORT"), port);
        c->put(QStringLiteral("AUTO"), automatic);
        ASSERT_TRUE(c->unlock().isOk());
    }
    bool serverOn(const QString& name)
    {
        store::WorkArea* c = area(store::alias::kCluster);
        for (c->goTop(); !c->eof(); c->skip())
            if (c->str(QStringLiteral("NOMBRE")).trimmed() == name)
                return c->value(QStringLiteral("ON")).toBool();
        return false;
    }
    int rows(ui::GridPanel* p) { return p->browse()->model()->rowCount(); }

    TelnetWindow* window = nullptr;
};

} // namespace

TEST_F(ClusterWindowTest, AutomaticServersConnectAndTheirSpotsFillTheList)
{
    TestClusterServer one({spotLine("N0XYZ", 14025.0, "K1ABC", "CW 599", "1234"),
                           spotLine("EA5AA", 7074.0, "JA1XX", "FT8 -10", "1235")},
                          false, 40);
    TestClusterServer two({spotLine("N0XYZ", 14025.0, "K1ABC", "CW 599", "1234")}, false, 40);
    addServer(QStringLiteral("Uno"), one.port(), true);
    addServer(QStringLiteral("Dos"), two.port(), true);
    addServer(QStringLiteral("Manual"), 1, false);

    window = new TelnetWindow;
    window->resize(900, 500);
    window->show();
    QTabWidget* tabs = window->tabs();
    QStringList fixed;
    for (int i = 0; i < tabs->count(); ++i)
        fixed << tabs->tabText(i);
    EXPECT_EQ(fixed, (QStringList{"Anuncios DX", "WCY", "WWV", "Announces", "Servidores Cluster"}));

    // about two seconds after the window shows, both automatic servers
    ASSERT_TRUE(waitFor([&] { return window->serverPages().size() == 2 && one.played() && two.played(); }, 8000));
    EXPECT_EQ(tabs->tabText(5), "Uno");
    EXPECT_EQ(tabs->tabText(6), "Dos");
    EXPECT_EQ(one.login().trimmed(), "EA4ZZ");
    EXPECT_TRUE(serverOn("Uno"));
    EXPECT_TRUE(serverOn("Dos"));
    EXPECT_FALSE(serverOn("Manual"));
    EXPECT_EQ(currentCluster(), window->serverPages().first()->telnet());
    // the same spot from both servers is filed once
    ASSERT_TRUE(waitFor([&] { return rows(window->spotsPanel()) == 2; }));
    EXPECT_EQ(column(store::alias::kSpots, "CALL"), (QStringList{"K1ABC", "JA1XX"}));
    EXPECT_EQ(tabs->currentIndex(), 0);

    // the terminal shows what the server sent; a command goes out with CR LF
    ServerPage* page = window->serverPages().first();
    EXPECT_TRUE(waitFor([&] { return page->terminal()->count() > 2; }));
    page->commandField()->setText(QStringLiteral("  sh/dx  "));
    QTest::keyClick(page->commandField(), Qt::Key_Return);
    EXPECT_TRUE(waitFor([&] { return one.received().contains("sh/dx\r\n"); }));
    EXPECT_TRUE(page->commandField()->text().isEmpty());

    // closing the window says bye and clears every mark
    delete window;
    window = nullptr;
    EXPECT_FALSE(serverOn("Uno"));
    EXPECT_FALSE(serverOn("Dos"));
    EXPECT_TRUE(waitFor([&] { return one.received().contains("b\r\n"); }));
}

TEST_F(ClusterWindowTest, AServerThatClosesLeavesItsTabAndTheFieldSendsNothing)
{
    TestClusterServer closing({QByteArray("Bienvenido\r\n")}, true, 20);
    addServer(QStringLiteral("Breve"), closing.port(), false);
    window = new TelnetWindow;
    window->show();
    store::WorkArea* c = area(store::alias::kCluster);
    c->goTop();
    ServerPage* page = window->OPNCLUS(QStringLiteral("Breve"), c->recNo());
    ASSERT_TRUE(page);
    ASSERT_TRUE(waitFor([&] { return closing.played() && !page->telnet()->lConnect; }));
    QTest::qWait(1700);   // past the check of the connection
    ASSERT_EQ(window->serverPages().size(), 1);
    const QByteArray before = closing.received();
    page->commandField()->setText(QStringLiteral("sh/dx"));
    QTest::keyClick(page->commandField(), Qt::Key_Return);
    QTest::qWait(100);
    EXPECT_EQ(closing.received(), before);
    EXPECT_TRUE(msgs.log().filter("No se pudo establecer").isEmpty());
}

TEST_F(ClusterWindowTest, AServerThatDoesNotAnswerLosesItsTab)
{
    addServer(QStringLiteral("Nadie"), 1, false);   // nobody listens on port 1
    window = new TelnetWindow;
    window->show();
    store::WorkArea* c = area(store::alias::kCluster);
    c->goTop();
    window->OPNCLUS(QStringLiteral("Nadie"), c->recNo());
    ASSERT_TRUE(waitFor([&] { return window->serverPages().isEmpty(); }, 5000));
    EXPECT_FALSE(msgs.log().filter("No se pudo establecer conexion con el cluster Nadie").isEmpty()) << msgs.log().join('\n').toStdString();
    EXPECT_EQ(window->tabs()->count(), 5);
    EXPECT_FALSE(serverOn("Nadie"));
}

TEST_F(ClusterWindowTest, TheServerListIsEditedInPlaceUnderItsLock)
{
    addServer(QStringLiteral("Viejo"), 7300, false);
    window = new TelnetWindow;
    window->show();
    ui::GridPanel* list = window->serversPanel();
    ASSERT_TRUE(list);
    window->tabs()->setCurrentWidget(list);
    ui::tQ7Browse* grid = list->browse();
    list->showCurrent();
    ASSERT_EQ(rows(list), 1);

    // the name is a frozen column: its editor opens over the grid
    grid->setCurrentIndex(grid->model()->index(0, 0));
    ASSERT_TRUE(grid->editCurrentCell());
    auto* editor = cellEditor<QLineEdit>(grid);
    ASSERT_TRUE(editor);
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("Nuevo nombre"));
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();   // the editor hands its text over from the event loop
    EXPECT_EQ(column(store::alias::kCluster, "NOMBRE"), QStringList{"Nuevo nombre"});

    // Esc leaves the record alone
    grid->setCurrentIndex(grid->model()->index(0, 1));
    ASSERT_TRUE(grid->editCurrentCell());
    editor = cellEditor<QLineEdit>(grid);
    ASSERT_TRUE(editor);
    QTest::keyClicks(editor, QStringLiteral("otro.sitio"));
    QTest::keyClick(editor, Qt::Key_Escape);
    QCoreApplication::processEvents();
    EXPECT_EQ(column(store::alias::kCluster, "SITE"), QStringList{"127.0.0.1"});

    // the port takes digits only, four of them
    grid->setCurrentIndex(grid->model()->index(0, 2));
    ASSERT_TRUE(grid->editCurrentCell());
    editor = cellEditor<QLineEdit>(grid);
    ASSERT_TRUE(editor);
    editor->clear();
    QTest::keyClicks(editor, QStringLiteral("8a0000"));
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();   // the editor hands its text over from the event loop
    EXPECT_EQ(column(store::alias::kCluster, "PORT"), QStringList{"8000"});

    // automatic connection from a list of "Si" and "No"
    grid->setCurrentIndex(grid->model()->index(0, 3));
    ASSERT_TRUE(grid->editCurrentCell());
    auto* box = cellEditor<QComboBox>(grid);
    ASSERT_TRUE(box);
    box->setCurrentText(QStringLiteral("Si"));
    QTest::keyClick(box, Qt::Key_Return);
    QCoreApplication::processEvents();
    store::WorkArea* c = area(store::alias::kCluster);
    c->goTop();
    EXPECT_TRUE(c->value(QStringLiteral("AUTO")).toBool());
    EXPECT_EQ(grid->model()->index(0, 3).data().toString(), "Si");
}

TEST_F(ClusterWindowTest, ConnectingAServerAlreadyOnLeavesAnEmptyTabAndSaysSo)
{
    addServer(QStringLiteral("Ocupado"), 7300, false);
    store::WorkArea* c = area(store::alias::kCluster);
    c->goTop();
    ASSERT_TRUE(setServerOn(c->recNo(), true));
    window = new TelnetWindow;
    window->show();
    ui::GridPanel* list = window->serversPanel();
    list->showCurrent();
    QAction* connect = list->findChild<QAction*>(QStringLiteral("Conecta"));
    ASSERT_TRUE(connect);
    connect->trigger();
    EXPECT_TRUE(msgs.log().last().startsWith("stop: Ocupado ")) << msgs.log().last().toStdString();
    EXPECT_TRUE(msgs.log().last().endsWith(" ya esta conectado")) << msgs.log().last().toStdString();
    ASSERT_EQ(window->tabs()->count(), 6);
    EXPECT_EQ(window->tabs()->tabText(5), "Ocupado");
}

TEST_F(ClusterWindowTest, ASpotIsPostedOnlyWithItsDataAndAConnection)
{
    SpotPost p;
    p.dxCall = QStringLiteral("K1ABC");
    p.kHz = 14022.3;
    p.comment = QStringLiteral("tnx");
    EXPECT_EQ(spotCommand(p), "DX 14022.3 K1ABC tnx");
    p.ownLocator = QStringLiteral("IN80");
    p.dxLocator = QStringLiteral("FN42");
    p.propagation = QStringLiteral("ES");
    EXPECT_EQ(spotCommand(p), "DX 14022.3 K1ABC IN80<ES>FN42 tnx");

    // no connection at all
    setCurrentCluster(nullptr);
    whenModal<QDialog>([](QDialog* d) {
        d->findChild<QLineEdit*>("500")->setText("EA4ZZ");
        d->findChild<QLineEdit*>("502")->setText("K1ABC");
        d->findChild<QLineEdit*>("504")->setText("14022.3");
        d->accept();
    }, "SPOTDX");
    EXPECT_FALSE(SPOTDX());
    EXPECT_EQ(msgs.log().last(), "info: Quizas no este conectado al cluster.\nNo pudo enviarse el anuncio");

    // a live connection: the missing frequency is asked for first
    TestClusterServer server({QByteArray("login: ")}, false, 20);
    TTelnet t;
    t.nPort = server.port();
    t.Connect(QStringLiteral("127.0.0.1"), QStringLiteral("EA4ZZ"));
    ASSERT_TRUE(t.lConnect);
    setCurrentCluster(&t);
    int shown = 0;
    whenModal<QDialog>([&shown](QDialog* d) {
        ++shown;
        d->findChild<QLineEdit*>("500")->setText("EA4ZZ");
        d->findChild<QLineEdit*>("502")->setText("K1ABC");
        d->findChild<QLineEdit*>("504")->clear();
        d->accept();
        whenModal<QDialog>([&shown](QDialog* again) {
            ++shown;
            again->findChild<QLineEdit*>("504")->setText("14022.3");
            again->findChild<QLineEdit*>("506")->setText("tnx");
            again->accept();
        }, "SPOTDX");
    }, "SPOTDX");
    EXPECT_TRUE(SPOTDX());
    EXPECT_EQ(shown, 2);
    EXPECT_TRUE(msgs.log().contains("stop: Faltan datos, no puede enviarse el anuncio al Dx-Cluster"));
    EXPECT_TRUE(waitFor([&] { return server.received().contains("DX 14022.3 K1ABC tnx\r\n"); }));
    setCurrentCluster(nullptr);
}

} // namespace cluster::testing
