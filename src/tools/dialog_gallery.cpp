// Shows every dialog of the program one after another on the screen it runs on
// and saves a picture of the whole screen for each (window-manager frames and
// titles included), so they can be looked at as a user sees them:
//   scripts/gallery.sh OUT-DIR
// It works on a home of its own, made fresh in a temporary folder.
#include "upgrade/views/backup_dialog.h"
#include "app/command_ids.h"
#include "app/main_frame.h"
#include "app/map_windows.h"
#include "app/spanish.h"
#include "app/startup.h"
#include "app/tappl.h"
#include "app/twin.h"
#include "app/windows.h"
#include "interchange/adif_export_dialog.h"
#include "interchange/adif_import_dialog.h"
#include "interchange/cabrillo_editor.h"
#include "interchange/cabrillo_export_dialog.h"
#include "interchange/cabrillo_import_dialog.h"
#include "interchange/lotw_import_dialog.h"
#include "interchange/radioges_import_dialog.h"
#include "logbook/qso_entry.h"
#include "logbook/qso_values.h"
#include "logbook/views/entry_form.h"
#include "logbook/views/block_change_dialog.h"
#include "logbook/views/filter_dialog.h"
#include "awards/views/award_view.h"
#include "awards/views/previous_qsos_window.h"
#include "qsl/shipped_designs.h"
#include "qsl/views/designer_window.h"
#include "reports/entity_reports.h"
#include "reports/views/band_mode_dialog.h"
#include "reports/views/chart_selection_dialog.h"
#include "reports/views/chart_window.h"
#include "cluster/spot_feed.h"
#include "cluster/telnet.h"
#include "cluster/views/server_page.h"
#include "cluster/views/spot_dx_dialog.h"
#include "cluster/views/telnet_window.h"
#include "geo/views/coordinate_converter_dialog.h"
#include "geo/views/distance_dialog.h"
#include "logbook/book_selection.h"
#include "logbook/books.h"
#include "core/version.h"
#include "logbook/attachments.h"
#include "logbook/recordings.h"
#include "logbook/views/attachment_pages.h"
#include "logbook/views/book_dialog.h"
#include "logbook/views/log_books_window.h"
#include "logbook/views/log_window.h"
#include "logbook/views/transfer_dialog.h"
#include "qsl/shipped_designs.h"
#include "qsl/spool.h"
#include "qsl/views/format_window.h"
#include "qsl/views/qsl_print.h"
#include "refdata/views/entity_dialog.h"
#include "refdata/views/entity_window.h"
#include "refdata/views/prefix_dialog.h"
#include "refdata/views/pick_list_dialog.h"
#include "refdata/views/reference_tables.h"
#include "settings/settings_dialog.h"
#include "settings/spot_rules_page.h"
#include "station/cat.h"
#include "station/rig_config.h"
#include "station/rig_link.h"
#include "station/rig_modes.h"
#include "station/views/freq_panel.h"
#include "station/views/rig_dialog.h"
#include "store/aliases.h"
#include "store/home.h"
#include "store/workspace.h"
#include "ui/dialog_helpers.h"
#include "ui/grid_panel.h"
#include "ui/grid_print.h"
#include "ui/gui_messages.h"
#include "ui/q7browse.h"
#include "maps/views/web_pane.h"

#include <QApplication>
#include <QClipboard>
#include <QPainter>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProcess>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QToolBar>
#include <QPushButton>
#include <QTabWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QTemporaryDir>
#include <QThread>
#include <QTime>
#include <QTimer>
#include <QToolBar>

#include <cmath>
#include <cstdio>
#include <functional>

using namespace app;

namespace {

QString g_out;
int g_count = 0;

void settle(int ms = 400)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
}

void shoot(const QString& name)
{
    settle();
    const QString file = QStringLiteral("%1/%2-%3.png").arg(g_out).arg(++g_count, 2, 10, QLatin1Char('0')).arg(name);
    QGuiApplication::primaryScreen()->grabWindow(0).save(file);
    std::printf("%s\n", qPrintable(file));
    std::fflush(stdout);
}

// Shows a dialog that is not modal yet, takes its picture and closes it.
void show(QWidget* w, const QString& name, const std::function<void()>& before = {})
{
    w->show();
    w->raise();
    w->activateWindow();
    if (before)
        before();
    shoot(name);
    w->close();
}

// Types the text into the widget, a key at a time, as the user would.
void typeInto(QWidget* w, const QString& text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, c.toUpper().unicode(), Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
    }
}

// Takes the picture of the modal dialog that open shows, then closes it
// without a choice; before, when given, acts on the dialog first.
void showModal(const QString& name, const std::function<void()>& open, const std::function<void(QWidget*)>& before = {})
{
    QTimer::singleShot(0, [name, before] {
        QWidget* w = nullptr;
        for (int i = 0; i < 100 && !(w = QApplication::activeModalWidget()); ++i)
            settle(20);
        if (w && before)
            before(w);
        shoot(name);
        if (w)
            w->close();
    });
    open();
}

// Opens a window from its menu entry, takes its picture and closes it.
void showWindow(CommandId entry, WindowId window, const QString& name, const std::function<void()>& more = {})
{
    if (QAction* a = frame()->action(entry))
        a->trigger();
    shoot(name);
    if (more)
        more();
    if (tWin* w = HWND(window))
        w->End();
    settle(100);
}

// The QSL desk and the print spool of the log window, the spool's print
// selection, the list box, the format window and dialog, and the society check.
void showQslPages(store::Workspace& ws, QWidget* parent)
{
    store::WorkArea* log = ws.area(store::alias::kLog);
    store::WorkArea* frm = ws.area(store::alias::kFrmQsl);
    if (!log || !frm)
        return;
    std::vector<quint32> recs;
    int n = 0;
    for (log->goTop(); !log->eof() && n < 40; log->skip(), ++n)
        if (n % 3 == 1)
            recs.push_back(log->recNo());
    qsl::spoolAdd(*log, recs);
    for (const auto& [desc, label] : {std::pair{"Tarjeta EA", false}, std::pair{"Etiquetas 3x8", true}}) {
        frm->append([&](store::WorkArea& a) {
            a.put(QStringLiteral("DESC"), desc);
            a.put(QStringLiteral("LBL"), label);
            a.put(QStringLiteral("DEFAULT"), !label);
            a.put(QStringLiteral("QSOXLBL"), label ? 3 : 1);
            a.put(QStringLiteral("ETIXPAG"), label ? 24 : 0);
            return a.putMemo(QStringLiteral("FORMATO"),
                             (label ? qsl::shippedLabelDesign() : qsl::shippedCardDesign()).toLatin1());
        });
        frm->unlock();
    }
    if (auto* tabs = parent->findChild<logbook::LogWindow*>() ? parent->findChild<logbook::LogWindow*>()->pages() : nullptr) {
        tabs->setCurrentIndex(5);
        shoot(QStringLiteral("qsl-desk"));
        tabs->setCurrentIndex(6);
        shoot(QStringLiteral("qsl-spool"));
        tabs->setCurrentIndex(0);
    }
    auto* selection = new qsl::SpoolSelectionDialog(parent);
    show(selection, QStringLiteral("qsl-print-spool"));
    delete selection;
    showModal(QStringLiteral("qsl-format-list"), [] {
        ui::messages().list({QStringLiteral("Tarjeta EA"), QStringLiteral("Etiquetas 3x8")},
                            QStringLiteral("Selecciona formato de QSL"), 0);
    });
    ui::messages().meter(
        [](ui::Meter& m) {
            m.setTotal(100);
            m.setPosition(35);
            m.setText(QStringLiteral("EA3ABC"));
            shoot(QStringLiteral("qsl-society-check"));
        },
        QStringLiteral("Comprobando socios ..."), QStringLiteral("Base de datos de socios de URE"));
    frm->goTop();
    auto* format = new qsl::FormatDialog(frm, false, frm->logical(QStringLiteral("LBL")), parent);
    show(format, QStringLiteral("qsl-format-dialog"));
    delete format;
    showModal(QStringLiteral("qsl-design"), [frm, parent] { qsl::openDesigner(*frm, frm->recNo(), nullptr, parent); });
    showWindow(CommandId::QslFormats, WindowId::QslFormats, QStringLiteral("qsl-formats"));
}

// A picture standing for a scanned QSL card.
QImage sampleCard()
{
    QImage card(640, 400, QImage::Format_RGB32);
    card.fill(QColor(250, 246, 230));
    QPainter p(&card);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(30, 60, 120), 6));
    p.drawRect(card.rect().adjusted(10, 10, -10, -10));
    p.setFont(QFont(QStringLiteral("DejaVu Sans"), 54, QFont::Bold));
    p.drawText(QRect(0, 50, 640, 120), Qt::AlignCenter, QStringLiteral("EA4ZZ"));
    p.setFont(QFont(QStringLiteral("DejaVu Sans"), 18));
    p.drawText(QRect(0, 190, 640, 160), Qt::AlignCenter,
               QStringLiteral("Madrid · IN80DK\nConfirmando QSO con EA1ABC\n14 MHz SSB  59"));
    return card;
}

// Pages 4 and 5 of the log window with a picture and a sound of the current
// QSO, and the dialogs that add them.
void showAttachmentPages(QWidget* parent)
{
    auto* window = parent->findChild<logbook::LogWindow*>();
    store::WorkArea* log = store::Workspace::instance().area(store::alias::kLog);
    if (!window || !log || log->eof())
        return;
    const QString key = log->str(QStringLiteral("KEY"));
    logbook::addImageAttachment(key, QStringLiteral("QSL recibida por el bureau"), sampleCard());
    logbook::addSoundAttachment(key, QStringLiteral("08-03-2024 10:15:02"), logbook::wavFile(QByteArray(11025, char(128))));
    logbook::addSoundAttachment(key, QStringLiteral("Llamada en 20 m"), logbook::wavFile(QByteArray(5000, char(128))));
    window->updateAttachmentTabs();
    QTabWidget* tabs = window->pages();
    tabs->setCurrentIndex(3);
    shoot(QStringLiteral("log-images-page"));
    tabs->setCurrentIndex(4);
    shoot(QStringLiteral("log-sounds-page"));
    tabs->setCurrentIndex(0);

    static logbook::AttachmentPagesHost host;
    host.appTitle = QStringLiteral(ORLANLOG_NAME " " ORLANLOG_VERSION);
    auto* image = new logbook::ImageAttachDialog(host, parent);
    show(image, QStringLiteral("attach-image"), [image] {
        QGuiApplication::clipboard()->setImage(sampleCard());
        image->findChild<QLineEdit*>(QStringLiteral("600"))->setText(QStringLiteral("Anverso de la QSL"));
        image->fromClipboard();
    });
    delete image;
    auto* sound = new logbook::SoundAttachDialog(host, parent);
    show(sound, QStringLiteral("attach-sound"));
    delete sound;
}

// The settings' CAT page, the rig settings on both kinds of rig, and the frame
// with the frequency panel on Hamlib's dummy rig (when rigctld is installed).
void showRigControl(QWidget* parent)
{
    auto* cfgDialog = new settings::SettingsDialog(store::Workspace::instance().area(store::alias::kCfg), oAppl->cName, parent);
    show(cfgDialog, QStringLiteral("settings-cat"), [cfgDialog] { cfgDialog->tabs()->setCurrentIndex(4); });

    QProcess rigctld;
    station::RigConfig dummy;
    dummy.network = true;
    dummy.host = QStringLiteral("127.0.0.1");
    if (!QStandardPaths::findExecutable(QStringLiteral("rigctld")).isEmpty()) {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        dummy.tcpPort = probe.serverPort();
        probe.close();
        rigctld.start(QStringLiteral("rigctld"), {QStringLiteral("-m"), QStringLiteral("1"), QStringLiteral("-T"),
                                                  QStringLiteral("127.0.0.1"), QStringLiteral("-t"), QString::number(dummy.tcpPort)});
        for (int i = 0; i < 50; ++i) {
            QTcpSocket s;
            s.connectToHost(QHostAddress::LocalHost, quint16(dummy.tcpPort));
            if (s.waitForConnected(200))
                break;
            QThread::msleep(50);
        }
        station::RigLink link;
        link.open(dummy);
        link.setMode(station::kSsbUpper);
        link.setFrequency(14025300);
    }
    station::saveRigConfig(1, dummy);
    auto* rig = new station::RigDialog(1, parent);
    show(rig, QStringLiteral("rig-settings-rigctld"), [rig] {
        rig->probe();
        for (int i = 0; i < 200 && rig->probing(); ++i)
            settle(20);
    });
    auto* direct = new station::RigDialog(1, parent);
    show(direct, QStringLiteral("rig-settings-hamlib"), [direct] {
        direct->findChild<QRadioButton*>(QStringLiteral("Directo"))->setChecked(true);
        direct->findChild<QLineEdit*>(QStringLiteral("Buscar"))->setText(QStringLiteral("icom"));
    });

    station::CATON(1);
    station::CATCTRL(frame()->findChild<QToolBar*>(QStringLiteral("ToolBar")));
    settle(1500);
    shoot(QStringLiteral("frame-rig"));
    station::CATOFF();
    if (rigctld.state() != QProcess::NotRunning) {
        rigctld.terminate();
        rigctld.waitForFinished(3000);
    }
}


// A small HTTP server in this thread for the map windows' pictures: the
// place-name and elevation services (canned answers in their JSON form) and a
// call-book page. It answers while the gallery waits in settle().
class CannedWeb : public QTcpServer {
public:
    CannedWeb()
    {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = nextPendingConnection())
                connect(s, &QTcpSocket::readyRead, s, [s] { answer(s); });
        });
    }
    QString base() const { return QStringLiteral("http://127.0.0.1:%1").arg(serverPort()); }

private:
    static void answer(QTcpSocket* s)
    {
        const QByteArray request = s->readAll();
        const QByteArray path = request.split(' ').value(1);
        QByteArray body, type = "application/json; charset=UTF-8";
        if (path.startsWith("/maps/api/geocode/json")) {
            body = R"({"results":[{"formatted_address":"Via Roma, 12, 20121 Milano MI, Italia"}],"status":"OK"})";
        } else if (path.startsWith("/maps/api/elevation/json")) {
            // the path from Madrid to Milan: the Meseta, the Pyrenees' east end, the Gulf of Lion, the Alps' foot
            QByteArray rows;
            for (int i = 0; i < 126; ++i) {
                const double x = i / 125.0;
                double h = 650 - 500 * x + 900 * std::exp(-std::pow((x - 0.45) / 0.05, 2)) +
                           1400 * std::exp(-std::pow((x - 0.93) / 0.04, 2)) + 60 * std::sin(i * 1.7);
                if (x > 0.55 && x < 0.85)
                    h = -200;   // the sea, shown as 0
                rows += (i ? "," : "") + QByteArray("{\"elevation\":") + QByteArray::number(h, 'f', 1) + "}";
            }
            body = "{\"results\":[" + rows + "],\"status\":\"OK\"}";
        } else {
            type = "text/html; charset=UTF-8";
            const QByteArray call = path.mid(path.lastIndexOf('/') + 1);
            body = "<html><head><title>" + call + "</title></head><body style='font-family:sans-serif;margin:24px'>"
                   "<h1 style='color:#1a3d7c'>" + call + "</h1><p>Página de prueba del libro de indicativos servida en "
                   "127.0.0.1 para la galería.</p><table border=1 cellpadding=6><tr><th>Nombre</th><td>Juan</td></tr>"
                   "<tr><th>Locator</th><td>JN11</td></tr><tr><th>QSL</th><td>Buró</td></tr></table></body></html>";
        }
        s->write("HTTP/1.1 200 OK\r\nContent-Type: " + type + "\r\nContent-Length: " + QByteArray::number(body.size()) +
                 "\r\nConnection: close\r\n\r\n" + body);
        s->disconnectFromHost();
    }
};

// The map windows: path, grid, Earth and view maps, the elevation window with
// a canned profile, and the log window's call-book page.
void showMaps()
{
    store::Workspace& ws = store::Workspace::instance();
    CannedWeb web;
    oAppl->ini().Set(QStringLiteral("Servicios"), QStringLiteral("Geocodificacion"), web.base());
    oAppl->ini().Set(QStringLiteral("Servicios"), QStringLiteral("Elevacion"), web.base());
    if (store::WorkArea* cfg = ws.area(store::alias::kCfg)) {
        cfg->goTop();
        if (cfg->lockRecord().isOk()) {
            cfg->put("QRA", "IN80DK");
            cfg->put("QRZPFX", web.base() + QStringLiteral("/db/"));
            cfg->unlock();
        }
    }
    {
        logbook::QsoEntry entry(ws.area(store::alias::kLog), logbook::sessionSettings(false));
        const char* qsos[][3] = {{"IK2ABC", "JN45", "Y"}, {"DL1XYZ", "JO62", "N"}, {"F5ABC", "JN18", "Y"},
                                 {"G4XYZ", "IO91", "N"},  {"EA8CN", "IL18", "Y"},  {"CT1ABC", "IM58", "N"},
                                 {"OH2BH", "KP20", "N"},  {"K1ABC", "FN42", "N"},  {"EA3ABC", "JN11", "Y"}};
        int i = 0;
        for (const auto& q : qsos) {
            logbook::QsoValues v{.call = QString::fromLatin1(q[0]),
                                 .date = QStringLiteral("20250310"),
                                 .time = QTime(9, 0).addSecs(++i * 600).toString(QStringLiteral("HH:mm")),
                                 .freq = QStringLiteral("14.205"),
                                 .mode = QStringLiteral("SSB"),
                                 .grid = QString::fromLatin1(q[1])};
            QString key, error;
            logbook::enterQso(entry, v, &key, &error);
        }
        if (store::WorkArea* log = ws.area(store::alias::kLog))
            for (log->goTop(); !log->eof(); log->skip())
                if (log->str(QStringLiteral("CALL")).trimmed() == QLatin1String("IK2ABC") ||
                    log->str(QStringLiteral("CALL")).trimmed() == QLatin1String("F5ABC") ||
                    log->str(QStringLiteral("CALL")).trimmed() == QLatin1String("EA8CN")) {
                    if (log->lockRecord().isOk()) {
                        log->put("QSLRCVD", "Y");
                        log->unlock();
                    }
                }
    }
    auto closeAll = [] {
        if (QMdiArea* area = frame()->findChild<QMdiArea*>())
            area->closeAllSubWindows();
        settle(100);
    };
    auto maximise = [] {
        if (QMdiArea* area = frame()->findChild<QMdiArea*>(); area && area->activeSubWindow())
            area->activeSubWindow()->showMaximized();
    };
    const int renderWait = 4000;   // Chromium draws the page (Leaflet and the outline) in its own process

    entryPathMap(QStringLiteral("IN80DK"), QStringLiteral("FN42"), QStringLiteral("K1ABC"));
    maximise();
    settle(renderWait);
    shoot(QStringLiteral("map-path"));
    closeAll();

    GMAPGRID();
    maximise();
    settle(renderWait);
    shoot(QStringLiteral("map-grid"));
    closeAll();

    DSPELEVACION(QStringLiteral("IN80DK"), QStringLiteral("JN45NL"));
    maximise();
    settle(renderWait);
    shoot(QStringLiteral("map-elevation"));
    closeAll();

    if (QAction* logWindow = frame()->action(CommandId::LogWindow)) {
        logWindow->trigger();
        settle(300);
        maximise();
        if (store::WorkArea* log = ws.area(store::alias::kLog)) {
            // the cursor on the QSO with Milan
            for (log->goTop(); !log->eof(); log->skip())
                if (log->str(QStringLiteral("CALL")).trimmed() == QLatin1String("IK2ABC"))
                    break;
        }
        DSPEARTH();
        maximise();
        settle(renderWait);
        shoot(QStringLiteral("map-earth"));
        if (tWin* earth = HWND(WindowId::Earth))
            earth->close();
        viewMap();
        maximise();
        settle(renderWait);
        shoot(QStringLiteral("map-view"));
        if (tWin* view = HWND(WindowId::Map))
            view->close();
        if (tWin* w = HWND(WindowId::Log)) {
            w->Activate();
            w->showMaximized();
            if (auto* pages = w->findChild<QTabWidget*>()) {
                pages->setCurrentIndex(1);
                settle(renderWait);
                shoot(QStringLiteral("log-callbook-page"));
                pages->setCurrentIndex(2);
                settle(renderWait);
                shoot(QStringLiteral("log-qso-map-page"));
            }
        }
        closeAll();
    }
}

} // namespace

// A few colour rules of the operator's, for the settings' list and the cluster window.
void seedSpotRules()
{
    store::Workspace& ws = store::Workspace::instance();
    if (store::WorkArea* rules = ws.area(store::alias::kCfgSpot)) {
        struct Rule {
            const char *fld, *ent, *mode, *band, *desc;
            int fore, back;
        } const list[] = {
            {"*", "N", " ", " ", "Entidad nueva", 128, 255 + 205 * 256 + 205 * 65536},
            {"*", " ", " ", "N", "Banda nueva", 0, 255 + 245 * 256 + 190 * 65536},
            {"M", " ", "N", " ", "Modo nuevo", 100 * 256, 200 + 255 * 256 + 200 * 65536},
        };
        for (const Rule& r : list) {
            if (!rules->append())
                break;
            rules->put(QStringLiteral("FLD"), r.fld);
            rules->put(QStringLiteral("STSENT"), r.ent);
            rules->put(QStringLiteral("STSMODE"), r.mode);
            rules->put(QStringLiteral("STSBAND"), r.band);
            rules->put(QStringLiteral("DESC"), r.desc);
            rules->put(QStringLiteral("COLFOR"), r.fore);
            rules->put(QStringLiteral("COLBCK"), r.back);
            rules->unlock();
        }
    }
}

int main(int argc, char** argv)
{
    preferSpanishDates();
    maps::prepareWebEngine();
    QApplication app(argc, argv);
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    installSpanishTranslations(&app);
    ui::keepDialogTitlesVisible(&app);
    if (argc < 2) {
        std::fprintf(stderr, "uso: orlanlog-gallery CARPETA-DE-SALIDA\n");
        return 2;
    }
    g_out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(g_out);
    QTemporaryDir tmp;
    const QString home = tmp.path() + QStringLiteral("/home/");
    qputenv("ORLANLOG_HOME", home.toLocal8Bit());
    qputenv("ORLANLOG_CONFIG", (tmp.path() + QStringLiteral("/config")).toLocal8Bit());
    qputenv("ORLANLOG_OFFLINE", "1");
    TAppl* appl = TAppl::New();
    appl->cName = QStringLiteral(ORLANLOG_NAME);
    appl->cVer = QStringLiteral(ORLANLOG_VERSION);
    ui::GuiMessages messages(nullptr, appl->cName + QLatin1Char(' ') + appl->cVer);
    ui::setMessages(&messages);
    if (!store::createHome(home, home + QStringLiteral("datos/"), QStringLiteral("EA4ZZ"), store::shippedTablesDir()).isOk())
        return 1;
    if (!firstStage(false))
        return 1;
    for (int i = 0; i < 200 && !store::Workspace::instance().area(store::alias::kLog); ++i)
        settle(20);
    shoot(QStringLiteral("frame"));
    if (qEnvironmentVariable("ORLANLOG_GALLERY_ONLY") == QLatin1String("maps")) {
        showMaps();   // only the map windows, for working on them
        oAppl->lCerrar = true;
        frame()->close();
        settle(100);
        store::Workspace::instance().closeAll();
        ui::setMessages(nullptr);
        return 0;
    }
    // the "&Utilidades" menu open on "&Importar", as the user opens it
    if (QAction* adif = frame()->action(CommandId::ImportAdif)) {
        auto* imports = qobject_cast<QMenu*>(adif->parent());
        auto* tools = imports ? qobject_cast<QMenu*>(imports->parent()) : nullptr;
        if (tools) {
            frame()->menuBar()->setActiveAction(tools->menuAction());
            settle(200);
            tools->setActiveAction(imports->menuAction());
            QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
            QApplication::sendEvent(tools, &right);
            shoot(QStringLiteral("menu-tools"));
            imports->close();
            tools->close();
            settle(100);
        }
    }
    QWidget* parent = frame();
    const QString title = appl->cName + QLatin1Char(' ') + appl->cVer;

    // the dialogs belong to the frame, which deletes them when it closes
    // every page of the settings, and the editor of a cluster colour rule
    seedSpotRules();
    {
        auto* cfgDialog = new settings::SettingsDialog(store::Workspace::instance().area(store::alias::kCfg), appl->cName, parent);
        for (int i = 0; i < cfgDialog->tabs()->count(); ++i) {
            if (i == 4)
                continue;   // the rig control page comes with the rig settings
            show(cfgDialog, QStringLiteral("settings-%1").arg(i + 1), [cfgDialog, i] { cfgDialog->tabs()->setCurrentIndex(i); });
        }
        if (auto* rules = cfgDialog->findChild<settings::SpotRulesList*>()) {
            cfgDialog->tabs()->setCurrentIndex(6);
            cfgDialog->show();
            showModal(QStringLiteral("settings-spot-rule"), [rules] { rules->editRule(false); });
            cfgDialog->close();
        }
        delete cfgDialog;
    }
    showRigControl(parent);
    show(new interchange::AdifImportDialog(title, home, parent), QStringLiteral("import-adif"));
    show(new interchange::CabrilloImportDialog(title, home, parent), QStringLiteral("import-cabrillo"));
    show(new interchange::LotwImportDialog(parent), QStringLiteral("import-lotw"));
    show(new interchange::RadiogesImportDialog(title, home, parent), QStringLiteral("import-radioges"));
    ui::messages().meter(
        [](ui::Meter& m) {
            m.setTotal(1250);
            m.setPosition(480);
            shoot(QStringLiteral("import-radioges-progress"));
        },
        QStringLiteral("Procesando..."), QStringLiteral("Importando Radioges ..."));
    show(new interchange::AdifExportDialog(title, home + QStringLiteral("ea4zz.adi"), parent), QStringLiteral("export-adif"));
    show(new interchange::CabrilloExportDialog(title, home, parent), QStringLiteral("export-cabrillo"));

    QFile cbr(home + QStringLiteral("ea4zz.cbr"));
    if (cbr.open(QIODevice::WriteOnly)) {
        cbr.write("START-OF-LOG: 3.0\r\nCONTEST: CQ-WW-SSB\r\nCALLSIGN: EA4ZZ\r\n");
        for (int i = 0; i < 200; ++i)
            cbr.write(QStringLiteral("QSO: 14200 PH 2024-10-26 %1 EA4ZZ         59  14     DL%2ABC        59  14\r\n")
                          .arg(1000 + i % 60, 4, 10, QLatin1Char('0'))
                          .arg(i % 10)
                          .toLatin1());
        cbr.write("END-OF-LOG:\r\n");
        cbr.close();
    }
    if (QWidget* editor = interchange::EDITACABRILLO(cbr.fileName(), parent))
        show(editor, QStringLiteral("cabrillo-editor"));

    // the entity window in the frame, its form for a new entity and for an
    // existing one with its prefixes, the prefix form and the printout
    store::Workspace& ws = store::Workspace::instance();
    if (QAction* entities = frame()->action(CommandId::Entities)) {
        entities->trigger();
        settle(200);
        shoot(QStringLiteral("entities-window"));
        store::WorkArea* entMan = ws.area(QStringLiteral("EntMan"));
        auto* panel = parent->findChild<refdata::EntityPanel*>();
        if (entMan && panel) {
            auto* fresh = new refdata::EntityDialog(entMan, ws.area(store::alias::kPfx), ws.area(store::alias::kIota), true, parent);
            show(fresh, QStringLiteral("entity-new"));
            delete fresh;
            entMan->setOrder(QStringLiteral("Dxcc"));
            entMan->seek(store::Value::text(QByteArray("281")));   // Spain: many prefixes
            entMan->setOrder(QStringLiteral("CodEnt"));
            auto* edit = new refdata::EntityDialog(entMan, ws.area(store::alias::kPfx), ws.area(store::alias::kIota), false, parent);
            show(edit, QStringLiteral("entity-edit"), [edit] {
                auto* prefix = new refdata::PrefixDialog(edit->prefixList()->area(), false, QString(), edit);
                QWidget* grid = edit->prefixList()->browse();
                prefix->move(grid->mapToGlobal(QPoint(20, 40)));
                prefix->show();
                shoot(QStringLiteral("prefix-edit"));
                prefix->close();
            });
            delete edit;
            QPrinter printer(QPrinter::HighResolution);
            auto* preview = new QPrintPreviewDialog(&printer, parent);
            preview->setWindowTitle(QStringLiteral("Vista previa: Entidades DXCC"));
            QObject::connect(preview, &QPrintPreviewDialog::paintRequested, preview,
                             [panel](QPrinter* pr) { ui::printGrid(panel->browse(), QStringLiteral("Entidades DXCC"), pr); });
            preview->resize(900, 700);
            show(preview, QStringLiteral("entities-print-preview"));
            delete preview;
        }
        if (QMdiArea* area = frame()->findChild<QMdiArea*>())
            area->closeAllSubWindows();
        settle(100);
    }
    // the log window over a book of a few hundred QSOs
    {
        logbook::QsoEntry entry(ws.area(store::alias::kLog), logbook::sessionSettings(false));
        const char* calls[] = {"EA3ABC", "DL1XYZ", "K1ABC", "JA1QRP", "VK2DX", "F5ABC", "G4XYZ", "I2ABC", "OH2BH", "PY2XX", "ZS6AB",
                               "EA8CN", "CT1ABC", "ON4AB", "HB9XY"};
        const char* freqs[] = {"14.205", "7.050", "21.300", "3.790", "28.450", "10.120"};
        const char* modes[] = {"SSB", "CW", "FT8", "RTTY"};
        for (int i = 0; i < 300; ++i) {
            logbook::QsoValues v{.call = QString::fromLatin1(calls[i % 15]) + (i >= 15 ? QString::number(i % 7) : QString()),
                                 .date = QDate(2024, 1, 1).addDays(i / 6).toString(QStringLiteral("yyyyMMdd")),
                                 .time = QTime(8, 0).addSecs(i * 97 % 43200).toString(QStringLiteral("HH:mm")),
                                 .freq = QString::fromLatin1(freqs[i % 6]),
                                 .mode = QString::fromLatin1(modes[i % 4]),
                                 .name = i % 3 ? QStringLiteral("Juan") : QString(),
                                 .grid = i % 2 ? QStringLiteral("JN11") : QString()};
            QString key, error;
            logbook::enterQso(entry, v, &key, &error);
        }
    }
    if (QAction* logWindow = frame()->action(CommandId::LogWindow)) {
        logWindow->trigger();
        settle(300);
        if (QMdiArea* area = frame()->findChild<QMdiArea*>(); area && area->activeSubWindow())
            area->activeSubWindow()->showMaximized();
        shoot(QStringLiteral("log-window"));
        showQslPages(ws, parent);
        showAttachmentPages(parent);
        auto* filter = new logbook::FilterDialog({{QStringLiteral("call"), QStringLiteral("EA")},
                                                  {QStringLiteral("from"), QStringLiteral("01-01-2024")},
                                                  {QStringLiteral("band"), QStringLiteral("20M")}},
                                                 false, parent);
        show(filter, QStringLiteral("log-filter"));
        delete filter;
        auto* block = new logbook::BlockChangeDialog(parent);
        show(block, QStringLiteral("log-block-change"));
        delete block;
        if (QMdiArea* area = frame()->findChild<QMdiArea*>())
            area->closeAllSubWindows();
        settle(100);
    }

    showMaps();

    // the station's locator, for the bearings and distances of the entity panel and the previous QSOs
    if (store::WorkArea* cfg = ws.area(store::alias::kCfg); cfg && cfg->lockRecord()) {
        cfg->put(QStringLiteral("QRA"), "IN80DO");
        cfg->unlock();
    }
    // the entry form, a new QSO typed in, page by page
    logbook::EDTLOG(true, false, store::alias::kLog);
    if (logbook::EntryForm* form = logbook::entryForm()) {
        if (auto* call = form->findChild<QLineEdit*>(QStringLiteral("605"))) {
            call->setText(QStringLiteral("EA3ABC"));
            form->entry()->callTyped(QStringLiteral("EA3ABC"));
            form->entry()->setText("NAME", QStringLiteral("Jordi"));
            form->entry()->setText("QTH", QStringLiteral("Barcelona"));
            form->refresh();
        }
        const char* names[] = {"principal", "qsl", "notas", "direccion", "diplomas", "adicionales"};
        for (int i = 0; i < form->pages()->count() && i < 6; ++i) {
            form->pages()->setCurrentIndex(i);
            shoot(QStringLiteral("entry-form-") + QLatin1String(names[i]));
        }
        // the entity panel beside the form, for a call already worked
        form->pages()->setCurrentIndex(0);
        form->move(0, form->y());   // room for the panel on this small screen
        if (auto* call = form->findChild<QLineEdit*>(QStringLiteral("605"))) {
            call->setFocus();
            call->selectAll();
            for (const QChar c : QStringLiteral("DL1XYZ3")) {
                QKeyEvent press(QEvent::KeyPress, c.unicode(), Qt::NoModifier, QString(c));
                QApplication::sendEvent(call, &press);
            }
        }
        shoot(QStringLiteral("entity-panel"));
        form->hide();
    }

    // the previous-QSO window, searching part of a call
    if (QAction* previous = frame()->action(CommandId::PreviousQsos)) {
        previous->trigger();
        settle(300);
        if (auto* w = parent->findChild<awards::PreviousQsosWindow*>()) {
            if (QMdiArea* area = frame()->findChild<QMdiArea*>(); area && area->activeSubWindow())
                area->activeSubWindow()->showMaximized();
            typeInto(w->searchField(), QStringLiteral("XYZ"));
            settle(200);
            w->askLocalTime();
        }
        shoot(QStringLiteral("previous-qsos"));
        if (tWin* w = HWND(WindowId::PreviousQsos))
            w->End();
        settle(100);
    }

    // the awards: the management window, a new award, an award viewed and the QSOs behind a cell
    showWindow(CommandId::ConfigureAwards, WindowId::Awards, QStringLiteral("award-config"), [] {
        if (auto* panel = frame()->findChild<ui::GridPanel*>(QStringLiteral("DplCfg")))
            if (QAction* create = panel->bar()->findChild<QAction*>(QStringLiteral("Nuevo")))
                showModal(QStringLiteral("award-new"), [create] { create->trigger(); });
    });
    QTimer::singleShot(0, [] {
        QWidget* w = nullptr;
        for (int i = 0; i < 200 && !(w = QApplication::activeModalWidget()); ++i)
            settle(20);
        shoot(QStringLiteral("award-view-options"));
        if (auto* ok = w ? w->findChild<QPushButton*>(QStringLiteral("1")) : nullptr)
            ok->click();
        QTimer::singleShot(0, [] {
            QWidget* list = nullptr;
            for (int i = 0; i < 200 && !(list = QApplication::activeModalWidget()); ++i)
                settle(20);
            shoot(QStringLiteral("award-entities"));
            if (auto* d = qobject_cast<QDialog*>(list))
                d->accept();
        });
    });
    awards::DPLVIS(QStringLiteral("DXCC"), parent);
    settle(300);
    if (QMdiArea* area = frame()->findChild<QMdiArea*>(); area && area->activeSubWindow())
        area->activeSubWindow()->showMaximized();
    shoot(QStringLiteral("award-view"));
    if (auto* view = parent->findChild<awards::AwardStatusView*>()) {
        ui::tQ7Browse* grid = view->panel()->browse();
        grid->setCurrentIndex(grid->model()->index(0, 4));
        emit grid->recordActivated(grid->currentRecord());
        QApplication::processEvents();
        if (tWin* list = HWND(WindowId::AwardWorked)) {
            list->Activate(QStringLiteral("NORMAL"));
            shoot(QStringLiteral("award-cell-qsos"));
            list->End();
        }
    }
    if (tWin* w = HWND(WindowId::AwardStatistics))
        w->End();
    settle(100);

    // the entity reports: the selection dialog and a report's preview; the
    // charts: their selection dialog, every chart type, the print placement
    {
        auto* sel = new reports::BandModeDialog(reports::reportTitle(reports::EntityReport::WorkedNotConfirmed), {}, parent);
        show(sel, QStringLiteral("report-selection"));
        delete sel;
        QString why;
        if (auto r = reports::prepareEntityReport(reports::EntityReport::WorkedNotConfirmed, {}, false, &why)) {
            QPrinter printer(QPrinter::HighResolution);
            auto* preview = new QPrintPreviewDialog(&printer, parent);
            preview->setWindowTitle(QStringLiteral("Gestor de informes Orlan Win Log"));
            QObject::connect(preview, &QPrintPreviewDialog::paintRequested, preview,
                             [&r](QPrinter* pr) { r->report->print(*pr, r->rows, r->heading); });
            preview->resize(900, 700);
            show(preview, QStringLiteral("report-preview"));
            delete preview;
        }
        // the designer of QSL formats, on the shipped label sheet and card, a text item chosen
        for (const bool label : {true, false}) {
            const auto design = qsl::parseDesign(label ? qsl::shippedLabelDesign() : qsl::shippedCardDesign());
            auto* designer = new qsl::DesignerWindow(*design, label, qsl::designSample(label, 3, ws.area(store::alias::kLog), nullptr),
                                                     QStringLiteral("Diseño del formato QSL: ") + (label ? QStringLiteral("Etiquetas 3x8") : QStringLiteral("Tarjeta")),
                                                     parent);
            designer->selectItem(label ? 0 : 4);
            designer->resize(1180, 740);
            show(designer, label ? QStringLiteral("qsl-designer-labels") : QStringLiteral("qsl-designer-card"));
            delete designer;
        }
        auto* chartSel = new reports::ChartSelectionDialog(parent);
        show(chartSel, QStringLiteral("chart-selection"));
        delete chartSel;
        const std::pair<reports::ChartKind, reports::ChartType> charts[] = {
            {reports::ChartKind::Entities, reports::ChartType::Bars}, {reports::ChartKind::Hours, reports::ChartType::Lines},
            {reports::ChartKind::Bands, reports::ChartType::Points}, {reports::ChartKind::Continents, reports::ChartType::Pie},
            {reports::ChartKind::Modes, reports::ChartType::Bars}};
        int n = 0;
        for (const auto& [kind, type] : charts) {
            reports::ChartRequest req;
            req.kind = kind;
            req.withRest = true;
            reports::ChartData data;
            if (!reports::chartOf(req, &data))
                continue;
            auto* w = new reports::ChartWindow(data);
            w->setType(type);
            if (++n == 5)
                w->set3d(true);
            auto* win = new tWin(WindowId::Chart, data.title.trimmed());
            win->setWidget(w);
            win->Activate(QStringLiteral("NORMAL"));
            win->resize(860, 600);
            if (n == 1)
                if (QAction* fonts = w->bar()->findChild<QAction*>(QStringLiteral("Tipo de letra")))
                    QTimer::singleShot(300, [w, fonts] { fonts->menu()->popup(w->mapToGlobal(QPoint(480, 60))); });
            shoot(QStringLiteral("chart-%1%2").arg(n).arg(n == 5 ? QStringLiteral("-3d") : QString()));
            if (QWidget* popup = QApplication::activePopupWidget())
                popup->close();
            if (n == 1) {
                showModal(QStringLiteral("chart-print-placement"), [w] {
                    reports::ChartPlacement at;
                    reports::GETPRTCOORS(&at, w);
                });
            }
            win->End();
            settle(100);
        }
    }

    // the log-book window with a second book, the book form for a new book and
    // for the current one, and the transfer dialog
    if (QAction* books = frame()->action(CommandId::LogBooks)) {
        store::WorkArea* lib = ws.area(store::alias::kLibBrw);
        if (lib && logbook::saveBook({QStringLiteral("CONCURSOS"), QStringLiteral("Concursos de HF"), QStringLiteral("EA4ZZ")}, true)
            && logbook::findBook(QStringLiteral("EA4ZZ")))
            logbook::LIBSELLOG();
        books->trigger();
        settle(200);
        shoot(QStringLiteral("logbooks-window"));
        if (lib && parent->findChild<logbook::LogBooksPanel*>()) {
            lib->goBottom();
            lib->skip();
            auto* fresh = new logbook::BookDialog(lib, true, parent);
            show(fresh, QStringLiteral("logbook-new"));
            delete fresh;
            logbook::findBook(QStringLiteral("EA4ZZ"));
            auto* edit = new logbook::BookDialog(lib, false, parent);
            show(edit, QStringLiteral("logbook-edit"));
            delete edit;
        }
        if (QMdiArea* area = frame()->findChild<QMdiArea*>())
            area->closeAllSubWindows();
        settle(100);
    }
    auto* transfer = new logbook::TransferDialog(parent);
    transfer->findChild<QLineEdit*>(QStringLiteral("600"))->setText(QStringLiteral("01-01-2024"));
    transfer->findChild<QLineEdit*>(QStringLiteral("601"))->setText(QStringLiteral("31-12-2024"));
    show(transfer, QStringLiteral("logbook-transfer"));

    show(new geo::CoordinateConverterDialog(parent), QStringLiteral("latlon-converter"));
    auto* distance = new geo::DistanceDialog(parent);
    distance->findChild<QLineEdit*>(QStringLiteral("4001"))->setText(QStringLiteral("IN80DO"));
    distance->findChild<QLineEdit*>(QStringLiteral("4002"))->setText(QStringLiteral("PM95UQ"));
    distance->calculate();
    show(distance, QStringLiteral("distance-bearing"));

    show(new QMessageBox(QMessageBox::Question, appl->cName, QStringLiteral("Cerrar aplicación"), QMessageBox::Yes | QMessageBox::No,
                         parent),
         QStringLiteral("question"));
    show(new QFileDialog(parent, title + QStringLiteral(" Seleccione carpeta y nombre de fichero"), home, QStringLiteral("Adif (*.adi)")),
         QStringLiteral("file-chooser"));

    // the reference tables' windows, their edit dialogs and the pick lists
    showWindow(CommandId::KnownStations, WindowId::KnownStations, QStringLiteral("known-stations"), [parent] {
        showModal(QStringLiteral("known-station-edit"), [parent] { refdata::EDTKNOW(false, parent); });
    });
    showWindow(CommandId::Iota, WindowId::Iota, QStringLiteral("iota"), [parent] {
        showModal(QStringLiteral("iota-edit"), [parent] { refdata::EDTIOTA(false, parent); });
        showModal(QStringLiteral("iota-new"), [parent] { refdata::EDTIOTA(true, parent); }, [](QWidget* d) {
            if (auto* ref = d->findChild<QWidget*>(QStringLiteral("601")))
                typeInto(ref, QStringLiteral("eu0"));
        });
    });
    showWindow(CommandId::Bands, WindowId::BandsModes, QStringLiteral("bands"), [parent] {
        showModal(QStringLiteral("band-edit"), [parent] { refdata::EDTBAN(false, parent); });
    });
    showWindow(CommandId::Modes, WindowId::BandsModes, QStringLiteral("modes"), [parent] {
        showModal(QStringLiteral("mode-edit"), [parent] { refdata::EDTMODO(false, parent); });
    });
    auto typeInList = [](QWidget* d) {
        if (auto* grid = d->findChild<QWidget*>(QStringLiteral("301")))
            typeInto(grid, QStringLiteral("val"));
    };
    showModal(QStringLiteral("pick-province"), [] { refdata::HLPPRV(QStringLiteral(" 89")); }, typeInList);
    showModal(QStringLiteral("pick-subdivision"), [] { refdata::HLPSUBPRV(QStringLiteral("243"), QStringLiteral("21")); });
    showModal(QStringLiteral("pick-award-reference"), [] { refdata::HLPDPL(QStringLiteral("PROVEA"), QStringLiteral("B")); });

    // the cluster window with traffic, coloured by a few rules of the operator's
    if (store::WorkArea* cfg = ws.area(store::alias::kCfg); cfg && cfg->lockRecord()) {
        cfg->put(QStringLiteral("QRA"), "IN80DO");
        cfg->unlock();
    }
    if (QAction* telnet = frame()->action(CommandId::ClusterWindow)) {
        auto spot = [](const char* spotter, double kHz, const char* call, const char* comment, int minute) {
            QByteArray line = (QByteArray("DX de ") + spotter + ':').leftJustified(15, ' ');
            line += QByteArray::number(kHz, 'f', 1).rightJustified(9, ' ');
            line = line.leftJustified(26, ' ') + QByteArray(call).leftJustified(13, ' ');
            line += QByteArray(comment).leftJustified(31, ' ') + QByteArray::number(1200 + minute) + "Z\r\n";
            return line;
        };
        const QByteArray traffic = spot("DL1ABC", 14025.0, "K1ABC", "CW 599 tnx", 1) + spot("EA5XX", 7074.0, "JA1QRP", "FT8 -12 dB", 2)
            + spot("G4XYZ", 21295.0, "3Y0J", "SSB up 5 Bouvet!", 3) + spot("OH2BH", 28480.0, "VK2DX", "SSB 59 long path", 4)
            + spot("F5ABC", 10120.0, "PY2XX", "CW", 5) + spot("I2ABC", 18100.0, "VP8PJ", "FT8 EU-005 ??", 6)
            + spot("N0XYZ", 3790.0, "EA8CN", "SSB", 7) + spot("W1AW", 50313.0, "CT1ABC", "FT8 6m Es", 8)
            + "To ALL de EA4ZZ: Buenas tardes desde Madrid\r\n"
            + "WWV de W0MU <18>:   SFI=150, A=8, K=2, No Storms -> No Storms\r\n";
        telnet->trigger();
        settle(300);
        if (QMdiArea* area = frame()->findChild<QMdiArea*>(); area && area->activeSubWindow())
            area->activeSubWindow()->resize(area->width() - 20, area->height() * 2 / 3);
        if (auto* window = frame()->findChild<cluster::TelnetWindow*>()) {
            window->addServerTab(QStringLiteral("Cluster local"));
            cluster::ServerPage* page = window->serverPages().value(0);
            if (page)
                page->telnet()->feed(QByteArray("Hola EA4ZZ, bienvenido al cluster de pruebas\r\nlogin: EA4ZZ\r\n") + traffic);
            cluster::spotFeed().CRTSPOT(traffic, QStringLiteral("EA4ZZ"));
            settle(400);
            window->tabs()->setCurrentIndex(0);
            settle(200);
            shoot(QStringLiteral("cluster-spots"));
            if (page) {
                window->tabs()->setCurrentWidget(page);
                settle(200);
                shoot(QStringLiteral("cluster-terminal"));
            }
            window->tabs()->setCurrentIndex(4);
            settle(200);
            shoot(QStringLiteral("cluster-servers"));
            window->tabs()->setCurrentIndex(2);
            settle(200);
            shoot(QStringLiteral("cluster-wwv"));
            window->tabs()->setCurrentIndex(0);
        }
        if (QAction* spots = frame()->action(CommandId::SpotsWindow)) {
            spots->trigger();
            settle(300);
            shoot(QStringLiteral("spots-window"));
        }
        showModal(QStringLiteral("spot-dx"), [parent] { cluster::SPOTDX(nullptr, parent); });
        if (QMdiArea* area = frame()->findChild<QMdiArea*>())
            area->closeAllSubWindows();
        settle(100);
    }

    // the country file: choose a file or download the publisher's
    showModal(QStringLiteral("import-cty"), [] { frame()->action(CommandId::ImportCty)->trigger(); });
    ui::messages().wait(QStringLiteral("Descargando nueva versión 1.93"), oAppl->cName + oAppl->cVer,
                        [] { shoot(QStringLiteral("update-download")); });
    ui::messages().meter(
        [](ui::Meter& m) {
            m.setTotal(2400000);
            m.setPosition(900000);
            m.setText(QStringLiteral("Bytes copiados: 900000"));
            shoot(QStringLiteral("update-progress"));
        },
        QStringLiteral("Bytes copiados:"), QStringLiteral("Actualizando aplicación"));

    // backup and restore: the two faces of "LOGBCK", their progress boxes, the migration's wait box
    {
        auto* backup = new upgrade::BackupDialog(upgrade::BackupDialog::Kind::Backup, QDir::homePath(), frame());
        show(backup, QStringLiteral("backup-dialog"));
        delete backup;
        auto* restore = new upgrade::BackupDialog(upgrade::BackupDialog::Kind::Restore,
                                                  QDir::homePath() + QStringLiteral("/20121231OrlanLog.q7z"), frame());
        show(restore, QStringLiteral("restore-dialog"));
        delete restore;
        ui::messages().meter(
            [](ui::Meter& m) {
                m.setTotal(12);
                m.setPosition(4);
                m.setText(QStringLiteral("Comprimiendo\r\nLogEA4ZZ.cdx"));
                shoot(QStringLiteral("backup-progress"));
            },
            QStringLiteral("Comprimiendo"), QStringLiteral("Espere ejecutando La copia de seguridad..."));
        ui::messages().meter(
            [](ui::Meter& m) {
                m.setTotal(12);
                m.setPosition(9);
                m.setText(QStringLiteral("Descomprimiendo\r\nDplEA4ZZ.dbf"));
                shoot(QStringLiteral("restore-progress"));
            },
            QStringLiteral("Descomprimiendo"), QStringLiteral("Espere ejecutando recuperación de datos..."));
        ui::messages().wait(QStringLiteral("Espere por favor ..."), QStringLiteral("Actualizando base de datos"),
                            [] { shoot(QStringLiteral("migration-wait")); });
    }

    ui::messages().wait(QStringLiteral("Espere por favor ..."), QStringLiteral("Exportando a Cabrillo"),
                        [] { shoot(QStringLiteral("wait-box")); });
    ui::messages().meter(
        [](ui::Meter& m) {
            m.setTotal(100);
            m.setPosition(40);
            shoot(QStringLiteral("meter-box"));
        },
        QStringLiteral("Procesando..."), QStringLiteral("Importando datos ... "));

    oAppl->lCerrar = true;
    frame()->close();
    settle(100);
    store::Workspace::instance().closeAll();
    ui::setMessages(nullptr);
    return 0;
}
