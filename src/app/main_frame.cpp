#include "main_frame.h"

#include "feature_menus.h"
#include "script_modules.h"
#include "spanish.h"
#include "startup.h"
#include "tappl.h"
#include "twin.h"

#include "core/messages.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QPainter>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

namespace {

// Icons of the theme shipped by the desktop (breeze), with fallbacks.
QIcon themeIcon(const QStringList& names)
{
    for (const QString& n : names) {
        QIcon i = QIcon::fromTheme(n);
        if (!i.isNull())
            return i;
    }
    return {};
}

QIcon iconFor(const QString& image)
{
    static const std::map<QString, QStringList> names = {
        {QStringLiteral("EXCHANGE"), {QStringLiteral("address-book-new"), QStringLiteral("x-office-address-book"), QStringLiteral("bookmarks")}},
        {QStringLiteral("TELNET"), {QStringLiteral("network-connect"), QStringLiteral("network-wired"), QStringLiteral("network-workgroup")}},
        {QStringLiteral("SCROLL"), {QStringLiteral("rating"), QStringLiteral("view-certificate"), QStringLiteral("bookmarks")}},
        {QStringLiteral("REINDEX"), {QStringLiteral("view-refresh"), QStringLiteral("system-reboot")}},
        {QStringLiteral("TOOLBOX"), {QStringLiteral("configure"), QStringLiteral("preferences-system"), QStringLiteral("settings-configure")}},
        {QStringLiteral("QUIT"), {QStringLiteral("application-exit"), QStringLiteral("window-close")}},
        {QStringLiteral("QUIT16"), {QStringLiteral("application-exit")}},
        {QStringLiteral("reindex16"), {QStringLiteral("view-refresh")}},
        {QStringLiteral("import16"), {QStringLiteral("document-import"), QStringLiteral("document-open")}},
        {QStringLiteral("export16"), {QStringLiteral("document-export"), QStringLiteral("document-save-as")}},
        {QStringLiteral("LOGIC_AND"), {QStringLiteral("network-wireless"), QStringLiteral("applications-internet")}},
    };
    auto it = names.find(image);
    return it == names.end() ? QIcon() : themeIcon(it->second);
}

// The frame's background: the bitmap "Fiveback" in tiles, when the program has one.
class TiledArea : public QMdiArea {
public:
    TiledArea()
    {
        const QString file = oAppl->cDirLocal + QStringLiteral("fiveback.png");
        if (QFileInfo::exists(file))
            setBackground(QBrush(QPixmap(file)));
    }
};

} // namespace

MainFrame::MainFrame()
{
    // the desktop's icon theme when it has ours, else the one the program installs with
    if (QIcon::fromTheme(QStringLiteral("application-exit")).isNull()) {
        QStringList paths = QIcon::themeSearchPaths();
        const QString xdg = qEnvironmentVariable("XDG_DATA_DIRS", QStringLiteral("/usr/local/share:/usr/share"));
        for (const QString& d : xdg.split(QLatin1Char(':'), Qt::SkipEmptyParts))
            if (!paths.contains(d + QStringLiteral("/icons")))
                paths << d + QStringLiteral("/icons");
        QIcon::setThemeSearchPaths(paths);
        QIcon::setThemeName(QStringLiteral("breeze"));
    }
    setObjectName(QStringLiteral("MDI"));
    setWindowTitle(oAppl->cName + QLatin1Char(' ') + oAppl->cVer);
    setWindowIcon(iconFor(QStringLiteral("LOGIC_AND")));
    m_area = new TiledArea;
    setCentralWidget(m_area);
    tWin::setArea(m_area);
    m_area->viewport()->installEventFilter(this);
    BUILDMENU();
    buildToolBar();
    buildStatusBar();
    connectFeatureMenus(this);
}

QAction* MainFrame::add(QMenu* menu, const QString& caption, std::function<void()> run, const QString& icon)
{
    QAction* a = menu->addAction(caption);
    a->setObjectName(caption);
    if (!icon.isEmpty())
        a->setIcon(iconFor(icon));
    if (run)
        connect(a, &QAction::triggered, this, [run] { run(); });
    else
        a->setEnabled(false);   // its view arrives with a later version
    return a;
}

QAction* MainFrame::action(const QString& caption) const
{
    for (QAction* a : findChildren<QAction*>())
        if (a->objectName() == caption || a->text() == caption)
            return a;
    return nullptr;
}

void MainFrame::BUILDMENU()
{
    QMenuBar* bar = menuBar();
    bar->clear();
    QMenu* files = bar->addMenu(QStringLiteral("Ficheros"));
    add(files, QStringLiteral("&Libros de Guardia..."));
    add(files, QStringLiteral("&Entidades..."));
    add(files, QStringLiteral("IOTA..."));
    add(files, QStringLiteral("&Modos..."));
    add(files, QStringLiteral("&Bandas..."));
    add(files, QStringLiteral("&Conocidos..."));
    files->addSeparator();
    add(files, QStringLiteral("&Terminar"), [] { oAppl->End(); }, QStringLiteral("QUIT16"));

    QMenu* view = bar->addMenu(QStringLiteral("Ver"));
    add(view, QStringLiteral("Log"));
    add(view, QStringLiteral("QSO anteriores"));
    add(view, QStringLiteral("DX cluster"));
    add(view, QStringLiteral("Telnet"));

    QMenu* awards = bar->addMenu(QStringLiteral("Diplomas"));
    add(awards, QStringLiteral("Configurar diplomas ..."));
    awards->addSeparator();
    awards->addMenu(QStringLiteral("Ver e imprimir"))->setEnabled(false);

    QMenu* qsl = bar->addMenu(QStringLiteral("QSL"));
    add(qsl, QStringLiteral("Formatos de QSL..."));

    QMenu* reports = bar->addMenu(QStringLiteral("&Informes"));
    add(reports, QStringLiteral("Entidades trabajadas pendientes de confirmar..."));
    add(reports, QStringLiteral("Entidades no trabajadas..."));

    QMenu* charts = bar->addMenu(QStringLiteral("&Gráficos"));
    for (const char* c : {"Por continentes...", "Por modos...", "Por bandas...", "Por entidades...", "Por Horas..."})
        add(charts, QString::fromUtf8(c));

    QMenu* tools = bar->addMenu(QStringLiteral("&Utilidades"));
    add(tools, QStringLiteral("Reorganizar ..."), [] { reorganizeCommand(); }, QStringLiteral("reindex16"));
    QMenu* imports = tools->addMenu(iconFor(QStringLiteral("import16")), QStringLiteral("&Importar"));
    add(imports, QStringLiteral("Importar ADIF ..."));
    add(imports, QStringLiteral("Importar Cabrillo..."));
    add(imports, QStringLiteral("Importar Radioges..."));
    imports->addSeparator();
    add(imports, QStringLiteral("Importar confirmaciones LOTW..."));
    imports->addSeparator();
    add(imports, QStringLiteral("Descargar última version de Entidades y prefijos"));
    imports->addSeparator();
    add(imports, QStringLiteral("Importar CTY .."));
    QMenu* exports = tools->addMenu(iconFor(QStringLiteral("export16")), QStringLiteral("Exportar"));
    add(exports, QStringLiteral("Adif ..."));
    add(exports, QStringLiteral("Cabrillo..."));
    add(tools, QStringLiteral("Versión actual de CTY.DAT"));
    add(tools, QStringLiteral("Traspasar ..."));
    QMenu* backup = tools->addMenu(QStringLiteral("Copia/restaruarción"));
    add(backup, QStringLiteral("Copia de seguridad..."));
    add(backup, QStringLiteral("Restaurar copia..."));
    tools->addSeparator();
    QMenu* utils = tools->addMenu(QStringLiteral("Utiles..."));
    add(utils, QStringLiteral("Lat,Lon y locator..."));
    add(utils, QStringLiteral("Cálculo distancias y rumbos..."));
    add(utils, QStringLiteral("Perfil elevación ..."));
    tools->addSeparator();
    add(tools, QStringLiteral("Configurar aplicación..."), [] { openSettings(); });
    add(tools, QStringLiteral("Foros de soporte "), [] {
        const QString url = oAppl->ini().getString(QStringLiteral("Config"), QStringLiteral("Foro"),
                                                   QStringLiteral("https://github.com/orlanlog/orlanlog/discussions"));
        if (!QDesktopServices::openUrl(QUrl(url)))
            ui::messages().alert(QStringLiteral("No se pudo abrir el navegador. La dirección del foro de soporte es:\r\n\r\n") + url,
                                 QStringLiteral("Foros de soporte"));
    });
    add(tools, QStringLiteral("&Sobre..."), [this] {
        ui::messages().info(oAppl->cCpyRght + QStringLiteral("\nQt ") + QString::fromLatin1(qVersion()) + QLatin1Char('\n')
                                + oAppl->cName + QLatin1Char(' ') + oAppl->cVer + QStringLiteral(", ")
                                + QStringLiteral("GCC " __VERSION__ ", compilado el ") + spanishCompilerDate(__DATE__),
                            QStringLiteral("Sobre ") + oAppl->cName);
    });
    QMenu* plus = bar->addMenu(QStringLiteral("&+Plus"));
    MNUPLUS(plus);
}

void MainFrame::MNUPLUS(QMenu* plus)
{
    for (const QString& file : scriptModules(oAppl->cDirLocal + QStringLiteral("obj/"))) {
        const QString label = QFileInfo(file).completeBaseName();
        add(plus, label, [file] { runScriptModule(file); });
    }
}

void MainFrame::buildToolBar()
{
    QToolBar* tb = addToolBar(QStringLiteral("Herramientas"));
    tb->setObjectName(QStringLiteral("ToolBar"));
    tb->setIconSize(QSize(32, 32));
    tb->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    tb->setMovable(false);
    auto button = [&](const QString& image, const QString& caption, const QString& tip, std::function<void()> run) {
        QAction* a = tb->addAction(iconFor(image), caption);
        a->setObjectName(QStringLiteral("tb:") + caption);
        a->setToolTip(tip);
        if (run)
            connect(a, &QAction::triggered, this, [run] { run(); });
        else
            a->setEnabled(false);
        if (QWidget* w = tb->widgetForAction(a))
            w->setMinimumSize(55, 55);
        return a;
    };
    button(QStringLiteral("EXCHANGE"), QStringLiteral("&Log"), QStringLiteral("Seleccionar libro de guardia"), {});
    button(QStringLiteral("TELNET"), QStringLiteral("DX &Cluster"), QStringLiteral("Telnet Dx Cluster"), {});
    button(QStringLiteral("SCROLL"), QStringLiteral("Diplomas"), QStringLiteral("Gestión de diplomas"), {});
    tb->addSeparator();
    button(QStringLiteral("REINDEX"), QStringLiteral("Reorganizar"), QStringLiteral("Reorganizar base de datos"),
           [] { reorganizeCommand(); });
    button(QStringLiteral("TOOLBOX"), QStringLiteral("Configuración"), QStringLiteral("Configurar aplicación"),
           [] { openSettings(); });
    tb->addSeparator();
    button(QStringLiteral("QUIT"), QStringLiteral("Salir"), QStringLiteral("Cerrar programa"), [this] { close(); });
}

void MainFrame::buildStatusBar()
{
    // The copyright line is a permanent widget: menu hints and other passing
    // messages never take its place for good.
    QStatusBar* sb = statusBar();
    auto* copy = new QLabel(oAppl->cCpyRght, sb);
    copy->setObjectName(QStringLiteral("Copyright"));
    sb->addPermanentWidget(copy, 1);
    auto* dir = new QToolButton(sb);
    dir->setObjectName(QStringLiteral("DataDir"));
    dir->setAutoRaise(true);
    dir->setText(oAppl->cDirDat);
    dir->setMinimumWidth(int(oAppl->cDirDat.size()) * 8);
    connect(dir, &QToolButton::clicked, this, [] { ui::messages().info(oAppl->cDirDat, QStringLiteral("Via de acceso datos")); });
    sb->addPermanentWidget(dir);
}

bool MainFrame::eventFilter(QObject* o, QEvent* e)
{
    if (o == m_area->viewport() && e->type() == QEvent::Paint && !m_firstPaintDone) {
        m_firstPaintDone = true;
        // the second stage runs once the frame is on the screen
        QMetaObject::invokeMethod(this, [] { SETUP(); }, Qt::QueuedConnection);
    }
    return QMainWindow::eventFilter(o, e);
}

void MainFrame::closeEvent(QCloseEvent* e)
{
    if (FINALIZAR())
        e->accept();
    else
        e->ignore();
}
