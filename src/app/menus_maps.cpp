// The map windows: the grid-square map, the Earth view, the elevation
// window, the log window's view map, call-book page and QSO map, the entry
// form's path map and the browser window of the call-book addresses.
#include "command_registry.h"
#include "main_frame.h"
#include "map_windows.h"
#include "tappl.h"
#include "twin.h"
#include "window_names.h"
#include "windows.h"

#include "awards/local_time.h"
#include "core/messages.h"
#include "logbook/views/log_window.h"
#include "maps/grid_worked.h"
#include "maps/map_assets.h"
#include "maps/map_pages.h"
#include "maps/map_rules.h"
#include "maps/views/elevation_window.h"
#include "maps/views/log_pages.h"
#include "maps/views/map_window.h"
#include "maps/views/web_pane.h"
#include "online/callbook_endpoints.h"
#include "online/reachability.h"
#include "refdata/names.h"
#include "store/aliases.h"
#include "store/work_area.h"
#include "store/workspace.h"

#include <QLineEdit>
#include <QPointer>
#include <QTabWidget>
#include <QTimeZone>
#include <QVBoxLayout>

namespace app {

namespace {

store::WorkArea* area(const QString& alias) { return store::Workspace::instance().area(alias); }

QString cfgText(const char* field)
{
    store::WorkArea* cfg = area(store::alias::kCfg);
    if (!cfg)
        return {};
    cfg->goTop();
    return cfg->eof() ? QString() : cfg->str(QString::fromLatin1(field)).trimmed();
}

QString text(store::WorkArea& a, const char* field) { return a.str(QString::fromLatin1(field)).trimmed(); }

maps::PageOptions pageOptions()
{
    maps::PageOptions o;
    if (online::internetConnected() && !online::offlineForced())
        o.tiles = maps::tileServiceSetting();
    return o;
}

QString programTitle() { return oAppl ? oAppl->cAppl + QLatin1Char(' ') + oAppl->cVer : QString(); }

// The window of that id around a page: the open one is reused.
maps::MapWindow* showMap(WindowId id, const QString& file, const QString& title, const QString& html)
{
    tWin* w = HWND(id);
    auto* content = w ? qobject_cast<maps::MapWindow*>(w->widget()) : nullptr;
    if (!content) {
        w = new tWin(id, title);
        content = new maps::MapWindow(file);
        w->setWidget(content);
    }
    w->Activate(w->isMinimized() ? QStringLiteral("NORMAL") : QString());
    content->showPage(html);
    return content;
}

// The far point of the current QSO: its locator, else its entity's.
maps::QsoPoints currentPoints()
{
    maps::QsoPoints p;
    store::WorkArea* log = area(store::alias::kLog);
    if (!log || log->eof())
        return p;
    p.call = text(*log, "CALL");
    p.to = text(*log, "GRIDSQUARE");
    if (p.to.isEmpty())
        p.to = refdata::ENTQRA(log->str(QStringLiteral("CODENT"))).trimmed();
    p.from = text(*log, "QRA");
    if (p.from.isEmpty())
        p.from = cfgText("QRA");
    return p;
}

// Calls run from a tab of the log window when it becomes the current one.
template <class Page>
void whenShown(logbook::LogWindow* w, Page* page)
{
    QObject::connect(w->pages(), &QTabWidget::currentChanged, page, [w, page](int i) {
        if (w->pages()->widget(i) == page)
            page->shown();
    });
}

void elevationOfCurrent()
{
    const maps::QsoPoints p = currentPoints();
    DSPELEVACION(p.from, p.to);
}

} // namespace

void GMAPGRID()
{
    store::WorkArea* log = area(store::alias::kLog);
    if (!log)
        return;
    QMap<QString, QChar> squares;
    maps::GRIDWRK(*log, &squares);
    showMap(WindowId::GridMap, QStringLiteral("gMapGrid.html"), programTitle(), maps::gridMapPage(squares, pageOptions()));
}

void DSPEARTH()
{
    store::WorkArea* log = area(store::alias::kLog);
    if (!log || log->eof())
        return;
    const maps::QsoPoints p = currentPoints();
    if (p.from.isEmpty() || p.to.isEmpty()) {
        ui::messages().alert(QStringLiteral("Parametros erroneos o incompletos"));
        return;
    }
    QDate date = log->date(QStringLiteral("QSODATE"));
    const QDateTime now = QDateTime::currentDateTimeUtc();
    if (!date.isValid())
        date = now.date();
    QTime time = QTime::fromString(text(*log, "TIMEON").left(4), QStringLiteral("hhmm"));
    if (!time.isValid())
        time = now.time();
    QString label1 = text(*log, "OPERATOR");
    if (label1.isEmpty())
        label1 = cfgText("CALL");
    showMap(WindowId::Earth, QStringLiteral("e.html"), programTitle() + QStringLiteral(" Google Earth"),
            maps::HTMLEARTH(p.from, p.to, p.call, label1, QDateTime(date, time, Qt::UTC), pageOptions()));
}

void DSPELEVACION(const QString& from, const QString& to)
{
    tWin* w = HWND(WindowId::Elevation);
    auto* content = w ? qobject_cast<maps::ElevationWindow*>(w->widget()) : nullptr;
    if (!content) {
        w = new tWin(WindowId::Elevation, programTitle() + QStringLiteral(" Perfil elevación"));
        content = new maps::ElevationWindow;
        content->fromField()->setText(cfgText("QRA").toUpper());
        w->setWidget(content);
    }
    w->Activate(w->isMinimized() ? QStringLiteral("NORMAL") : QString());
    content->setLocators(from, to);
}

void viewMap()
{
    store::WorkArea* log = area(store::alias::kLog);
    if (!log)
        return;
    const QString own = cfgText("QRA");
    QString centre = log->eof() ? QString() : text(*log, "QRA");
    if (centre.isEmpty())
        centre = own;
    QList<maps::ViewLine> lines;
    const quint32 at = log->recNo();
    for (log->goTop(); !log->eof(); log->skip()) {
        const QString to = text(*log, "GRIDSQUARE");
        if (to.isEmpty())
            continue;
        QString from = text(*log, "QRA");
        if (from.isEmpty())
            from = own;
        lines << maps::ViewLine{from, to, maps::viewLineColour(log->str(QStringLiteral("PROPMODE")), log->str(QStringLiteral("MODE"))),
                                text(*log, "CALL")};
    }
    log->goTo(at);
    if (centre.isEmpty())
        centre = lines.isEmpty() ? QStringLiteral("IN80DO") : lines.first().from;
    showMap(WindowId::Map, QStringLiteral("plotfil.htm"), programTitle(), maps::viewMapPage(lines, centre, pageOptions()));
}

void entryPathMap(const QString& from, const QString& to, const QString& call)
{
    showMap(WindowId::EntryMap, QStringLiteral("gmapedtlog.htm"), programTitle(),
            maps::HTMLMAP(QStringLiteral("Titulo"), from, to, call, pageOptions()));
}

void showInBrowserWindow(const QString& url)
{
    // one window, kept while open, placed from and saved to section "WebView"
    static QPointer<QWidget> window;
    static QPointer<maps::WebPane> pane;
    if (!window) {
        class BrowserWindow : public QWidget {
        protected:
            void closeEvent(QCloseEvent* e) override
            {
                WINSAVPOS(this, QStringLiteral("WebView"));
                QWidget::closeEvent(e);
            }
        };
        auto* w = new BrowserWindow;
        w->setObjectName(QStringLiteral("WebView"));
        w->setAttribute(Qt::WA_DeleteOnClose);
        w->setWindowTitle(programTitle());
        auto* lay = new QVBoxLayout(w);
        lay->setContentsMargins(0, 0, 0, 0);
        pane = new maps::WebPane(w);
        lay->addWidget(pane);
        IniFile& ini = oAppl->ini();
        const int top = ini.getInt(QStringLiteral("WebView"), QStringLiteral("Top"), 2);
        const int left = ini.getInt(QStringLiteral("WebView"), QStringLiteral("Left"), 2);
        const int bottom = ini.getInt(QStringLiteral("WebView"), QStringLiteral("Bottom"), 20);
        const int right = ini.getInt(QStringLiteral("WebView"), QStringLiteral("Right"), 70);
        w->setGeometry(left * 8, top * 16, std::max(40, right - left) * 8, std::max(10, bottom - top) * 16);
        window = w;
    }
    window->show();
    window->raise();
    window->activateWindow();
    pane->showUrl(QUrl(url));
}

void registerMapCommands(CommandRegistry& r)
{
    r.registerCommand(CommandId::ElevationProfile, [](MainFrame*) { DSPELEVACION(); });
    registerView(WindowId::Elevation, [] { DSPELEVACION(); });

    maps::ElevationWindow::setLocalTimeSource([](const QString& locator) {
        const QString service = oAppl ? oAppl->ini().getString(QStringLiteral("Servicios"), awards::kTimeZoneKey,
                                                               awards::kTimeZoneDefault)
                                      : awards::kTimeZoneDefault;
        return awards::LOCALTIME(locator, QString(), online::offlineForced() ? QString() : service).text;
    });

    logbook::LogWindow::registerTool(QStringLiteral("map"), [](logbook::LogWindow*) { viewMap(); });
    logbook::LogWindow::registerTool(QStringLiteral("grid"), [](logbook::LogWindow*) { GMAPGRID(); });
    logbook::LogWindow::registerTool(QStringLiteral("elevation"), [](logbook::LogWindow*) { elevationOfCurrent(); });
    logbook::LogWindow::registerTool(QStringLiteral("earth"), [](logbook::LogWindow*) { DSPEARTH(); });

    logbook::LogWindow::registerPage(2, [](logbook::LogWindow* w) -> QWidget* {
        auto* page = new maps::CallbookPage(
            [] {
                const QString prefix = cfgText("QRZPFX");
                return prefix.isEmpty() ? online::callbookEndpoint(online::CallbookService::QrzWeb) + QStringLiteral("/db/")
                                        : prefix;
            }, [] { return currentPoints().call; });
        whenShown(w, page);
        return page;
    });
    logbook::LogWindow::registerPage(3, [](logbook::LogWindow* w) -> QWidget* {
        auto* page = new maps::QsoMapPage(currentPoints);
        whenShown(w, page);
        return page;
    });
}

} // namespace app
