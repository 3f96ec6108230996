#include "telnet_window.h"

#include "server_list.h"
#include "server_page.h"
#include "spot_dx_dialog.h"
#include "spot_grid.h"

#include "cluster/servers.h"
#include "cluster/spot_feed.h"
#include "cluster/spot_rules.h"
#include "cluster/telnet.h"
#include "store/aliases.h"
#include "store/work_area.h"
#include "store/workspace.h"
#include "ui/grid_panel.h"
#include "ui/q7browse.h"
#include "core/messages.h"

#include <QActionGroup>
#include <QApplication>
#include <QLineEdit>
#include <QAudioOutput>
#include <QLabel>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <QMediaPlayer>
#include <QPointer>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

namespace cluster {

namespace {

ClusterHost g_host;

store::WorkArea* area(const QString& alias) { return store::Workspace::instance().area(alias); }

// The sound of a spot's rule, played while everything goes on.
void playSound(const QString& file)
{
    static QMediaPlayer* player = nullptr;
    if (!player) {
        player = new QMediaPlayer(qApp);
        player->setAudioOutput(new QAudioOutput(player));
    }
    player->stop();
    player->setSource(QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()));
    player->play();
}

const int kFixedTabs = 5;

} // namespace

void setClusterHost(ClusterHost host) { g_host = std::move(host); }
const ClusterHost& clusterHost() { return g_host; }

SpotFeed& spotFeed()
{
    static SpotFeed* feed = [] {
        auto* f = new SpotFeed(qApp);
        QObject::connect(f, &SpotFeed::spotFiled, f, [](const FiledSpot& s) {
            if (const QString sound = SPOTSND(s.status); !sound.isEmpty())
                playSound(sound);
        });
        return f;
    }();
    return *feed;
}

TelnetWindow::TelnetWindow(QWidget* parent)
    : QWidget(parent), m_tabs(new QTabWidget(this)), m_autoConnect(new QTimer(this))
{
    setObjectName(QStringLiteral("Telnet"));
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->addWidget(m_tabs);
    m_tabs->setObjectName(QStringLiteral("tabs"));

    m_spots = makeSpotsTab();
    addFixedTab(m_spots, QStringLiteral("Anuncios DX"));
    m_wcy = makeListTab(store::alias::kWcy, QStringLiteral("WCY"),
                        {{QStringLiteral("Fecha"), QStringLiteral("DATE")}, {QStringLiteral("UTC"), QStringLiteral("TIME")},
                         {QStringLiteral("Origen"), QStringLiteral("CALL")}, {QStringLiteral("SFI"), QStringLiteral("SFI")},
                         {QStringLiteral("A"), QStringLiteral("A")}, {QStringLiteral("K"), QStringLiteral("K")},
                         {QStringLiteral("Exp.K"), QStringLiteral("EK")}, {QStringLiteral("SA"), QStringLiteral("SA")},
                         {QStringLiteral("GMF"), QStringLiteral("GMF")}, {QStringLiteral("Aurora"), QStringLiteral("AURORA")}});
    addFixedTab(m_wcy, QStringLiteral("WCY"));
    m_wwv = makeListTab(store::alias::kWwv, QStringLiteral("WWV"),
                        {{QStringLiteral("Fecha"), QStringLiteral("DATE")}, {QStringLiteral("Utc"), QStringLiteral("TIME")},
                         {QStringLiteral("Origen"), QStringLiteral("CALL")}, {QStringLiteral("SFI"), QStringLiteral("SFI")},
                         {QStringLiteral("A"), QStringLiteral("A")}, {QStringLiteral("K"), QStringLiteral("K")},
                         {QStringLiteral("Previsión"), QStringLiteral("FORECAST")}});
    addFixedTab(m_wwv, QStringLiteral("WWV"));
    m_ann = makeListTab(store::alias::kAnn, QStringLiteral("Announce"),
                        {{QStringLiteral("Hora"), QStringLiteral("TIME")}, {QStringLiteral("Origen"), QStringLiteral("CALL")},
                         {QStringLiteral("Texto"), QStringLiteral("ANN")}});
    addFixedTab(m_ann, QStringLiteral("Announces"));

    if (store::WorkArea* servers = area(store::alias::kCluster)) {
        ServerListActions actions;
        actions.connect = [this](const QString& name, quint32 rec) { OPNCLUS(name, rec); };
        actions.addTab = [this](const QString& name) { addServerTab(name); };
        actions.disconnect = [this](const QString& name) { CLSCLUSNAME(name); };
        m_servers = MANCLUS(servers, actions);
        if (g_host.readLayout)
            m_servers->browse()->RestoreState(g_host.readLayout(QStringLiteral("ManClus")));
    }
    addFixedTab(m_servers, QStringLiteral("Servidores Cluster"));

    SpotFeed& feed = spotFeed();
    connect(&feed, &SpotFeed::spotFiled, this, [this] { scheduleRefresh(m_spots, true); });
    connect(&feed, &SpotFeed::announcementFiled, this, [this] { scheduleRefresh(m_ann, true); });
    connect(&feed, &SpotFeed::wwvFiled, this, [this] { scheduleRefresh(m_wwv, false); });
    connect(&feed, &SpotFeed::wcyFiled, this, [this] { scheduleRefresh(m_wcy, false); });

    m_autoConnect->setSingleShot(true);
    m_autoConnect->setInterval(2000);
    connect(m_autoConnect, &QTimer::timeout, this, &TelnetWindow::INIWINTELNET);
}

TelnetWindow::~TelnetWindow()
{
    if (m_shutDown)
        return;
    if (tablesAlive()) {
        shutDown();
        return;
    }
    // the tables went first: the connections say bye and touch nothing else
    for (ServerPage* p : serverPages()) {
        p->telnet()->bClose = [](TTelnet& c) { c.SendData(QStringLiteral("b\r\n")); };
        delete p;
    }
}

bool TelnetWindow::tablesAlive() const
{
    // a list's work area still belongs to the session under its alias
    for (ui::GridPanel* panel : {m_spots, m_wcy, m_wwv, m_ann, m_servers})
        if (panel && panel->area() && store::Workspace::instance().area(panel->area()->alias()) != panel->area())
            return false;
    return true;
}

void TelnetWindow::shutDown()
{
    if (m_shutDown)
        return;
    m_shutDown = true;
    m_autoConnect->stop();
    SAVBRW();
    CLSCLUSALL();
}

bool TelnetWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Close && watched == m_frame && tablesAlive())
        shutDown();
    return QWidget::eventFilter(watched, event);
}

void TelnetWindow::addFixedTab(QWidget* page, const QString& caption)
{
    if (!page) {
        // the session could not open its table: the tab says so
        auto* note = new QLabel(QStringLiteral("No puede abrirse la tabla de esta pestaña"), m_tabs);
        note->setAlignment(Qt::AlignCenter);
        page = note;
    }
    m_tabs->addTab(page, caption);
}

void TelnetWindow::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    // the window it lives in tells when it closes
    if (!m_frame) {
        for (QWidget* w = parentWidget(); w; w = w->parentWidget())
            if (qobject_cast<QMdiSubWindow*>(w)) {
                m_frame = w;
                w->installEventFilter(this);
                break;
            }
    }
    if (!m_autoStarted) {
        m_autoStarted = true;
        m_autoConnect->start();
    }
}

ui::GridPanel* TelnetWindow::makeSpotsTab()
{
    store::WorkArea* spots = area(store::alias::kSpots);
    if (!spots)
        return nullptr;
    auto* panel = new ui::GridPanel(spots);
    panel->setObjectName(QStringLiteral("Spots"));
    setUpSpotGrid(panel->browse(), SpotGridKind::Tab);
    if (g_host.readLayout)
        panel->browse()->RestoreState(g_host.readLayout(QStringLiteral("Spots")));
    panel->addButton(QStringLiteral("Spot"), QStringLiteral("Spot"), QStringLiteral("Anuncia un DX en el cluster"),
                     {QStringLiteral("mail-send"), QStringLiteral("document-send")}, [this] { SPOTDX(nullptr, this); });
    panel->bar()->addSeparator();
    auto* bands = new QActionGroup(panel);
    bands->setExclusive(true);
    auto addBand = [this, panel, bands](const QString& caption, const QString& code) {
        QAction* a = panel->bar()->addAction(caption);
        a->setObjectName(QStringLiteral("banda ") + code);
        a->setCheckable(true);
        bands->addAction(a);
        connect(a, &QAction::triggered, this, [panel, code] {
            SPOTFIL(code);
            panel->showCurrent();
        });
        return a;
    };
    if (store::WorkArea* band = area(store::alias::kBand)) {
        const quint32 at = band->recNo();
        const int order = band->order();
        band->setOrder(0);
        for (band->goTop(); !band->eof(); band->skip())
            if (band->value(QStringLiteral("CLUSIN")).toBool())
                addBand(band->str(QStringLiteral("BANDA")).trimmed(), band->str(QStringLiteral("CODBAN")).trimmed());
        band->setOrder(order);
        band->goTo(at);
    }
    addBand(QStringLiteral("Todos"), QStringLiteral("ALL"))->setChecked(true);
    panel->setCaptionsShown(true);
    auto chosen = [] {
        if (g_host.spotChosen)
            g_host.spotChosen();
    };
    panel->onDoubleClick(chosen);
    panel->onEdit(chosen);
    spots->goBottom();
    panel->showCurrent();
    return panel;
}

ui::GridPanel* TelnetWindow::makeListTab(const QString& alias, const QString& name,
                                         const std::vector<std::pair<QString, QString>>& columns)
{
    store::WorkArea* a = area(alias);
    if (!a)
        return nullptr;
    auto* panel = new ui::GridPanel(a);
    panel->setObjectName(name);
    for (const auto& [header, field] : columns)
        panel->browse()->addField(field, header);
    panel->bar()->hide();
    if (g_host.readLayout)
        panel->browse()->RestoreState(g_host.readLayout(name));
    return panel;
}

void TelnetWindow::scheduleRefresh(ui::GridPanel* panel, bool toEnd)
{
    if (!panel || !panel->area() || panel->property("refreshDue").toBool())
        return;
    // a busy cluster files many spots a second: the list is read once for them all
    panel->setProperty("refreshDue", true);
    QPointer<ui::GridPanel> guard(panel);
    QTimer::singleShot(150, this, [this, guard, toEnd] {
        if (!guard || m_shutDown || !tablesAlive())
            return;
        guard->setProperty("refreshDue", false);
        if (toEnd)
            guard->area()->goBottom();
        else
            guard->area()->goTop();
        guard->showCurrent();
    });
}

QList<ServerPage*> TelnetWindow::serverPages() const
{
    QList<ServerPage*> pages;
    for (int i = kFixedTabs; i < m_tabs->count(); ++i)
        if (auto* p = qobject_cast<ServerPage*>(m_tabs->widget(i)))
            pages << p;
    return pages;
}

void TelnetWindow::addServerTab(const QString& name)
{
    auto* page = new ServerPage(name, m_tabs);
    connect(page, &ServerPage::disconnectRequested, this, [this](ServerPage* p) {
        closePage(p);
        m_tabs->setCurrentIndex(0);
    });
    m_tabs->addTab(page, name);
    m_tabs->setCurrentWidget(page);
}

ServerPage* TelnetWindow::OPNCLUS(const QString& name, quint32 rec)
{
    store::WorkArea* servers = area(store::alias::kCluster);
    if (!servers)
        return nullptr;
    servers->goTo(rec);
    const QString site = servers->str(QStringLiteral("SITE")).trimmed();
    const int port = int(servers->num(QStringLiteral("PORT")));
    addServerTab(name);
    auto* page = qobject_cast<ServerPage*>(m_tabs->widget(m_tabs->count() - 1));
    TTelnet* t = page->telnet();
    t->nPort = port > 0 ? port : 23;
    if (store::WorkArea* cfg = area(store::alias::kCfg)) {
        if (cfg->eof())
            cfg->goTop();   // the one settings record
        t->cUserName = cfg->str(QStringLiteral("CALL")).trimmed();
    }
    t->lBell = false;
    QPointer<ui::GridPanel> list(m_servers);
    t->bConnect = [rec, list](TTelnet&) {
        setServerOn(rec, true);
        if (list)
            list->browse()->refresh();
    };
    // the bye, then the mark of this page's own server
    t->bClose = [name, list](TTelnet& c) {
        c.SendData(QStringLiteral("b\r\n"));
        CLSCLUS(name);
        if (list)
            list->browse()->refresh();
    };
    spotFeed().attach(t);
    QPointer<ServerPage> guard(page);
    // a server that logged us in and then closed keeps its tab with its lines
    connect(t, &TTelnet::connected, page, [page] { page->setProperty("wasConnected", true); });
    t->Connect(site);
    // give the login a moment, then the command field; no connection: the tab goes
    QTimer::singleShot(1500, this, [this, guard, name] {
        if (!guard)
            return;
        guard->commandField()->setFocus();
        if (guard->telnet()->lConnect || guard->property("wasConnected").toBool())
            return;
        ui::messages().stop(QStringLiteral("No se pudo establecer conexion con el cluster ") + name);
        closePage(guard);
        m_tabs->setCurrentIndex(0);
    });
    return page;
}

void TelnetWindow::closePage(ServerPage* page)
{
    if (!page)
        return;
    const int i = m_tabs->indexOf(page);
    if (i >= 0)
        m_tabs->removeTab(i);
    delete page;   // ends the connection: the bye, then the server's ON mark
}

void TelnetWindow::CLSCLUSNAME(const QString& name)
{
    for (ServerPage* p : serverPages())
        if (p->name() == name) {
            m_tabs->setCurrentWidget(p);
            closePage(p);
            m_tabs->setCurrentIndex(0);
            break;
        }
    // whether or not a tab was open, the server is no longer marked on
    CLSCLUS(name);
    if (m_servers)
        m_servers->browse()->refresh();
}

void TelnetWindow::CLSCLUSALL()
{
    for (ServerPage* p : serverPages())
        closePage(p);
    clearServersOn();
    if (m_servers)
        m_servers->browse()->refresh();
}

void TelnetWindow::SAVBRW()
{
    if (!g_host.writeLayout)
        return;
    const std::pair<ui::GridPanel*, const char*> lists[] = {
        {m_spots, "Spots"}, {m_wcy, "WCY"}, {m_wwv, "WWV"}, {m_ann, "Announce"}, {m_servers, "ManClus"}};
    for (const auto& [panel, section] : lists)
        if (panel && panel->area())
            g_host.writeLayout(QString::fromLatin1(section), panel->browse()->SaveState());
}

void TelnetWindow::INIWINTELNET()
{
    store::WorkArea* servers = area(store::alias::kCluster);
    if (!servers)
        return;
    std::vector<std::pair<QString, quint32>> automatic;
    for (servers->goTop(); !servers->eof(); servers->skip())
        if (servers->value(QStringLiteral("AUTO")).toBool())
            automatic.emplace_back(servers->str(QStringLiteral("NOMBRE")).trimmed(), servers->recNo());
    if (automatic.empty())
        return;   // nothing to connect: the tab the user chose stays
    for (const auto& [name, rec] : automatic)
        OPNCLUS(name, rec);
    servers->goTop();
    if (m_servers)
        m_servers->showCurrent();
    m_tabs->setCurrentIndex(0);
}

} // namespace cluster
