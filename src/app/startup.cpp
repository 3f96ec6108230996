#include "startup.h"

#include "main_frame.h"
#include "session.h"
#include "entry_services.h"
#include "station_setup.h"
#include "spanish.h"
#include "store/aliases.h"
#include "tappl.h"
#include "twin.h"
#include "windows.h"

#include "settings/settings_dialog.h"
#include "cluster/spot_feed.h"
#include "cluster/telnet.h"
#include "cluster/views/spot_dx_dialog.h"
#include "awards/views/entity_panel.h"
#include "logbook/views/entry_form.h"
#include "maps/views/web_pane.h"
#include "online/reachability.h"
#include "online/update.h"
#include "refdata/views/pick_list_dialog.h"
#include "store/access.h"
#include "store/catalogue.h"
#include "store/home.h"
#include "store/reorga.h"
#include "store/workspace.h"
#include "ui/dialog_helpers.h"
#include "ui/file_chooser.h"
#include "ui/gui_messages.h"
#include "upgrade/backup.h"
#include "upgrade/migration.h"

#include <QApplication>
#include <QIcon>
#include <QStatusBar>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMdiArea>
#include <QScreen>
#include <QStandardPaths>

#include <cstdio>
#include <memory>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace app {

namespace {

// The QSO entry form reads and keeps its settings in section "EdtLog", says
// the known-stations note on the frame's status bar, and goes when the tables close.
void connectEntryForm(MainFrame* frame)
{
    const QString section = QStringLiteral("EdtLog");
    logbook::EntryFormHost host;
    host.readSetting = [section](const QString& key, const QVariant& def) -> QVariant {
        if (def.typeId() == QMetaType::Bool)
            return oAppl->ini().getBool(section, key, def.toBool());
        return oAppl->ini().getInt(section, key, def.toInt());
    };
    host.writeSetting = [section](const QString& key, const QVariant& value) {
        if (value.typeId() == QMetaType::Bool)
            oAppl->ini().Set(section, key, value.toBool());
        else
            oAppl->ini().Set(section, key, value.toInt());
    };
    host.showStatus = [frame](const QString& text) {
        if (text.isEmpty())
            frame->statusBar()->clearMessage();
        else
            frame->statusBar()->showMessage(text);
    };
    host.qsoSaved = [] { REFWND(WindowId::Log); };
    host.qsoShown = [] {
        if (logbook::EntryForm* form = logbook::entryForm())
            awards::DXCCINFO(form, logbook::EDTLOGDBF());
        REFWND(WindowId::PreviousQsos, true);
    };
    host.pickProvince = [](const QString& entity, const QString& province) { return refdata::HLPPRV(entity, province); };
    host.pickSubdivision = [](const QString& entity, const QString& province, const QString& sub) {
        return refdata::HLPSUBPRV(entity, province, sub);
    };
    host.pickAwardReference = [](const QString& award, const QString& reference) { return refdata::HLPDPL(award, reference); };
    host.spotPossible = [] {
        const cluster::TTelnet* t = cluster::currentCluster();
        return t && t->lConnect;
    };
    host.sendSpot = [frame](store::RecordBuffer* qso) { cluster::SPOTDX(qso, frame); };
    installRigControl(host);
    installEntryServices(host, frame);
    logbook::setEntryFormHost(std::move(host), frame);
    store::hooks().endEditing = [] { logbook::CLSEDTLOG(); };
}


MainFrame* g_frame = nullptr;
// the update started a newer program: this one ends quietly
bool g_replaced = false;
QElapsedTimer g_sinceStart;   // ORLANLOG_TIMING=1 prints the start-up time
int g_instanceLock = -1;
std::unique_ptr<ui::GuiMessages> g_messages;

store::Workspace& ws() { return store::Workspace::instance(); }

// One instance per user and program home: an exclusive lock on a file in the
// user's runtime folder named after the home. The system drops it when the
// process ends, however it ends.
bool takeInstanceLock()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    QDir().mkpath(dir);
    const QByteArray id = QCryptographicHash::hash(oAppl->cDirLocal.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    const QByteArray path = (dir + QStringLiteral("/orlanlog-") + QString::fromLatin1(id) + QStringLiteral(".lock")).toLocal8Bit();
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return true;   // no lock file possible: do not stand in the way
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    if (g_instanceLock >= 0)
        ::close(g_instanceLock);
    g_instanceLock = fd;
    return true;
}

void openAllTables()
{
    QString book;
    bool opened = true;
    MSGMETER([&](ui::Meter& m) { opened = store::ABREDBF(&m, &book); }, QString(), QStringLiteral("Abriendo ficheros..."));
    if (!opened) {
        // no log book and none created: nothing can be done
        oAppl->lCerrar = true;
        QApplication::exit(1);
        return;
    }
    oAppl->cLibro = book;
}

} // namespace

MainFrame* frame() { return g_frame; }

bool firstStage(bool checkInstance)
{
    if (checkInstance && !takeInstanceLock()) {
        ui::messages().stop(QStringLiteral("Programa ya se está ejecutando!\r\n\r\nEste programa no permite multiples instancias!"),
                            oAppl->cName);
        return false;
    }
    oAppl->lSndOn = false;
    oAppl->nSnd = 0;
    oAppl->cFreq = QString();
    TAppl::SetDialogEsc(true);
    oAppl->lAdd = false;
    QFile::remove(oAppl->cDirLocal + QStringLiteral("bck.exe"));
    // a newer program, when the update server has one and the user wants it
    if (online::internetConnected() && online::CHKACT(online::currentUpdateContext()) == online::UpdateOutcome::Restarting) {
        g_replaced = true;
        return false;
    }
    store::Workspace::instance().setProgramDir(oAppl->cDirLocal);
    // file choosers start where a file of the same kind was last chosen
    ui::setFolderStore({.get = [](const QString& kind) { return oAppl->ini().getString(QStringLiteral("Carpetas"), kind, QString()); },
                        .set = [](const QString& kind, const QString& folder) {
                            oAppl->ini().Set(QStringLiteral("Carpetas"), kind, folder);
                        }});

    // A home without tables gets them now (the shipped reference tables among them).
    QDir().mkpath(oAppl->cDirDat);
    if (store::findFileNoCase(oAppl->cDirDat + QStringLiteral("cfg.dbf")).isEmpty()) {
        if (store::Status s = store::createHome(oAppl->cDirLocal, oAppl->cDirDat, QString(), store::shippedTablesDir()); !s) {
            ui::messages().stop(s.text(), oAppl->cName);
            return false;
        }
    }

    const QString marker = oAppl->sessionMarker();
    if (QFile::exists(marker)) {
        // the last run did not end properly: repair before anything else
        MSGMETER([](ui::Meter& m) { store::REORGA(m); }, QStringLiteral("Procesando, espere por favor ... "));
    } else {
        QFile f(marker);
        f.open(QIODevice::WriteOnly);
    }

    IniFile& ini = oAppl->ini();
    const int top = ini.getInt(QStringLiteral("MDI"), QStringLiteral("Top"), 2);
    const int left = ini.getInt(QStringLiteral("MDI"), QStringLiteral("Left"), 2);
    const int bottom = ini.getInt(QStringLiteral("MDI"), QStringLiteral("Bottom"), 30);
    const int right = ini.getInt(QStringLiteral("MDI"), QStringLiteral("Right"), 90);
    const QString show = ini.getString(QStringLiteral("MDI"), QStringLiteral("cShow"), QStringLiteral("MAXIMIZED"));

    g_frame = new MainFrame;
    g_frame->setAttribute(Qt::WA_DeleteOnClose);
    g_frame->setGeometry(left * 8, top * 16, (right - left) * 8, (bottom - top) * 16);
    oAppl->oWnd = g_frame;
    oAppl->closeMainWindow = [] {
        if (g_frame)
            g_frame->close();
    };
    if (g_messages)
        g_messages->setParent(g_frame);
    QObject::connect(g_frame, &QObject::destroyed, [] { g_frame = nullptr; });
    connectEntryForm(g_frame);
    if (show == QLatin1String("MAXIMIZED")) {
        // also where no window manager maximises (a bare X server)
        if (QScreen* screen = QGuiApplication::primaryScreen())
            g_frame->setGeometry(screen->availableGeometry());
        g_frame->showMaximized();
    }
    else
        g_frame->showNormal();
    return true;
}

void SETUP()
{
    // 1. focused entry fields stand out; a full field is left with Enter
    qApp->setStyleSheet(QStringLiteral("QLineEdit:focus { background-color: #FCE8AB; }"));
    TAppl::setConfirm(true);
    // 2. the progress dialog is the meter's
    // 3. stored data brought up to the current version
    if (!upgrade::missingSteps(oAppl->cDirLocal).isEmpty())
        ui::messages().wait(QStringLiteral("Espere por favor ..."), QStringLiteral("Actualizando base de datos"),
                            [] { upgrade::ACTVER(); });
    // 5. the settings record
    if (!ws().area(store::alias::kCfg) && !store::NETUSE(QStringLiteral("cfg"), true, 1, QStringLiteral("cfg")))
        return;
    store::WorkArea* cfg = ws().area(store::alias::kCfg);
    if (cfg->recCount() == 0 && cfg->append()) {
        store::catalogue::fillCfgDefaults(cfg);
        cfg->unlock();
    }
    cfg->goTop();
    // 6. fonts
    auto font = [](const QString& faceAndSize) -> std::optional<QFont> {
        const QStringList parts = faceAndSize.trimmed().split(QLatin1Char('|'));
        if (parts.size() != 2 || parts[0].trimmed().isEmpty())
            return std::nullopt;
        QFont f(parts[0].trimmed());
        f.setPixelSize(qRound(parts[1].trimmed().toDouble() * 96 / 72));
        return f;
    };
    if (auto f = font(cfg->str(QStringLiteral("FONTPRI"))); f && g_frame) {
        g_frame->setFont(*f);
        oAppl->oFontPri = *f;
    }
    if (auto f = font(cfg->str(QStringLiteral("FONTENT"))))
        oAppl->oFontEnt = *f;
    // 7. log books; with no station call, the settings first
    if (!ws().area(store::alias::kLibros))
        store::NETUSE(QStringLiteral("libros"), true, 1, QStringLiteral("libros"));
    store::WorkArea* books = ws().area(store::alias::kLibros);
    if (cfg->str(QStringLiteral("CALL")).trimmed().isEmpty()) {
        settings::CFGPGM(cfg, oAppl->cName, g_frame);
        cfg->goTop();
        const QString call = cfg->str(QStringLiteral("CALL")).trimmed();
        if (books && books->recCount() == 0 && !call.isEmpty())
            store::createFirstBook(call);   // as orlanlog-cli init makes it
    }
    // 8. every table
    openAllTables();
    if (!ws().area(store::alias::kLog))
        return;
    // 9. session lists
    session().build();
    // 10. real-time logging warning
    if (!oAppl->ini().getBool(QStringLiteral("EdtLog"), QStringLiteral("RealTime"), true))
        ui::messages().info(QStringLiteral("Atención. Los contactos no se registran en modo tiempo real.\r\nRecuerde activarlo si procede"));
    // 11. the windows of the last run
    RSTOPNWND();
    // 12. rig control, when CATON says so (the embedded browser needs no set-up here)
    startRigControl();
    if (g_sinceStart.isValid() && qEnvironmentVariableIsSet("ORLANLOG_TIMING")) {
        std::fprintf(stderr, "orlanlog: frame usable %lld ms after start\n", g_sinceStart.elapsed());
        g_sinceStart.invalidate();
    }
}

bool FINALIZAR()
{
    if (!oAppl->lCerrar && !ui::messages().yesNo(QStringLiteral("Cerrar aplicación"), oAppl->cName))
        return false;
    if (store::hooks().endEditing)
        store::hooks().endEditing();
    if (store::hooks().closeFloatingPanels)
        store::hooks().closeFloatingPanels();
    oAppl->oDlgDxcc = nullptr;
    SAVOPNWND();
    IniFile& ini = oAppl->ini();
    if (g_frame) {
        if (g_frame->isMaximized()) {
            ini.Set(QStringLiteral("MDI"), QStringLiteral("cShow"), QStringLiteral("MAXIMIZED"));
        } else if (g_frame->isMinimized()) {
            ini.Set(QStringLiteral("MDI"), QStringLiteral("cShow"), QStringLiteral("ICONIZED"));
        } else {
            const QRect g = g_frame->geometry();
            ini.Set(QStringLiteral("MDI"), QStringLiteral("cShow"), QStringLiteral("NORMAL"));
            ini.Set(QStringLiteral("MDI"), QStringLiteral("Top"), g.top() / 16);
            ini.Set(QStringLiteral("MDI"), QStringLiteral("Left"), g.left() / 8);
            ini.Set(QStringLiteral("MDI"), QStringLiteral("Bottom"), (g.bottom() + 1) / 16);
            ini.Set(QStringLiteral("MDI"), QStringLiteral("Right"), (g.right() + 1) / 8);
        }
        if (QMdiArea* a = g_frame->mdiArea())
            for (QMdiSubWindow* w : a->subWindowList())
                if (auto* t = qobject_cast<tWin*>(w))
                    t->End();
    }
    for (const char* f : {"mihtml.htm", "tmp.jpg", "qrz.key", "speech.vbs"})
        QFile::remove(oAppl->cDirLocal + QString::fromLatin1(f));
    stopRigControl();
    oAppl->oCatTmr = oAppl->oCatTmr2 = oAppl->oCat = oAppl->oRig = nullptr;
    oAppl->oFontPri = oAppl->oFontEnt = QVariant();
    ws().closeAll();
    oAppl->removeSessionMarker();
    return true;
}

void closeForMaintenance()
{
    SAVOPNWND();
    if (g_frame && g_frame->mdiArea())
        for (QMdiSubWindow* w : g_frame->mdiArea()->subWindowList())
            if (auto* t = qobject_cast<tWin*>(w))
                t->End();
    if (store::hooks().endEditing)
        store::hooks().endEditing();
    if (store::hooks().closeFloatingPanels)
        store::hooks().closeFloatingPanels();
    ws().closeAll();
}

void reorganizeCommand()
{
    closeForMaintenance();
    bool done = false;
    MSGMETER([&done](ui::Meter& m) { done = store::REORGA(m); }, QStringLiteral("Procesando, espere por favor ... "));
    SETUP();
    // when something failed the reorganisation has named the tables
    if (done)
        ui::messages().info(QStringLiteral("Regeneración de indices concluida"), oAppl->cName + QLatin1Char(' ') + oAppl->cVer);
}

void openSettings()
{
    if (store::WorkArea* cfg = ws().area(store::alias::kCfg)) {
        if (settings::CFGPGM(cfg, oAppl->cName, g_frame))
            cluster::INIFILCLUS();   // the bands and modes the cluster follows may have changed
        startRigControl(false);      // CATON, CATRIG and CATBTN as saved
    }
}

int MAIN(int argc, char** argv)
{
    g_sinceStart.start();
    preferSpanishDates();
    maps::prepareWebEngine();   // before the application object, as Qt WebEngine wants
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("orlanlog"));
    QGuiApplication::setDesktopFileName(QStringLiteral("orlanlog"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/orlanlog.svg")));
    if (!installSpanishTranslations(&app))
        std::fprintf(stderr, "orlanlog: no se encontraron las traducciones de Qt al español (paquete qt6-translations-l10n)\n");
    ui::keepDialogTitlesVisible(&app);
    TAppl* appl = TAppl::New();
    appl->cName = QStringLiteral(ORLANLOG_NAME);
    appl->cAppl = QStringLiteral(ORLANLOG_APPL);
    appl->cVer = QStringLiteral(ORLANLOG_VERSION);
    g_messages = std::make_unique<ui::GuiMessages>(nullptr, appl->cName + QLatin1Char(' ') + appl->cVer);
    ui::setMessages(g_messages.get());
    store::hooks().closeWindowsForReopening = [] {
        SAVOPNWND();
        CLSWNDALL();
    };
    store::hooks().reopenSession = [] { SETUP(); };
    upgrade::maintenanceShell() = {.closeAll =
                                       [] {
                                           closeForMaintenance();
                                           oAppl->removeSessionMarker();
                                       },
                                   .reopen =
                                       [] {
                                           QFile marker(oAppl->sessionMarker());
                                           marker.open(QIODevice::WriteOnly);
                                           SETUP();
                                       },
                                   .inWaitBox = [](const std::function<void()>& migrate) {
                                       ui::messages().wait(QStringLiteral("Espere por favor ..."),
                                                           QStringLiteral("Actualizando base de datos"), migrate);
                                   }};
    installLogbookHooks();
    const bool argument = argc > 1 && argv[1][0] != '\0';
    if (!firstStage(!argument))
        return g_replaced ? 0 : 1;
    const int rc = app.exec();
    endRigThreads();
    ui::setMessages(nullptr);
    return rc;
}

} // namespace app
