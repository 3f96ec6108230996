#include "main_frame.h"

#include "command_registry.h"
#include "commands.h"
#include "feature_menus.h"
#include "script_modules.h"
#include "startup.h"
#include "tappl.h"
#include "twin.h"

#include "awards/views/award_config_window.h"
#include "core/messages.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

namespace app {

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
    build(CommandId::ToolBar);
    buildStatusBar();
}

QAction* MainFrame::action(CommandId id) const
{
    auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

QAction* MainFrame::plusAction(const QString& label) const
{
    if (m_plus)
        for (QAction* a : m_plus->actions())
            if (a->text() == label)
                return a;
    return nullptr;
}

void MainFrame::BUILDMENU()
{
    menuBar()->clear();
    build(CommandId::MenuBar);
}

// Adds the entries of the table that go under root (the menu bar or the tool
// bar), in order: a parent is always listed before what it holds.
void MainFrame::build(CommandId root)
{
    const CommandRegistry& registry = featureCommands();
    std::map<CommandId, QMenu*> menus;
    QToolBar* tb = nullptr;
    auto underRoot = [&](const Command& c) {
        return c.id == root || c.parent == root || menus.count(c.parent) > 0;
    };
    auto connectTo = [&](QAction* a, CommandId id) {
        const Opener* open = registry.opener(id);
        if (open)
            connect(a, &QAction::triggered, this, [this, run = *open] { run(this); });
        else
            a->setEnabled(false);   // no feature of the program runs it
    };
    for (const Command& c : commands()) {
        if (!underRoot(c))
            continue;
        const QString caption = QString::fromUtf8(c.caption);
        QMenu* inMenu = menus.count(c.parent) ? menus[c.parent] : nullptr;
        switch (c.kind) {
        case CommandKind::Bar:
            if (c.id == CommandId::ToolBar) {
                tb = addToolBar(caption);
                tb->setObjectName(QStringLiteral("ToolBar"));
                tb->setIconSize(QSize(32, 32));
                tb->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
                tb->setMovable(false);
            }
            break;
        case CommandKind::Menu: {
            QMenu* m = inMenu ? inMenu->addMenu(iconFor(QString::fromLatin1(c.icon)), caption) : menuBar()->addMenu(caption);
            if (c.enabledBy == Feature::None)
                m->setEnabled(false);
            menus[c.id] = m;
            if (c.id == CommandId::PlusMenu) {
                m_plus = m;
                MNUPLUS(m);
            }
            if (c.id == CommandId::AwardViewsMenu && registry.opener(CommandId::ConfigureAwards))
                awards::MNUDPL(m);   // built once, with the menu
            break;
        }
        case CommandKind::Item: {
            QAction* a = inMenu->addAction(caption);
            a->setObjectName(caption);
            if (*c.icon)
                a->setIcon(iconFor(QString::fromLatin1(c.icon)));
            connectTo(a, c.id);
            m_actions[c.id] = a;
            break;
        }
        case CommandKind::Separator:
            if (inMenu)
                inMenu->addSeparator();
            else if (tb)
                tb->addSeparator();
            break;
        case CommandKind::Button: {
            QAction* a = tb->addAction(iconFor(QString::fromLatin1(c.icon)), caption);
            a->setObjectName(QStringLiteral("tb:") + caption);
            a->setToolTip(QString::fromUtf8(c.tip));
            connectTo(a, c.runs == CommandId::None ? c.id : c.runs);
            if (QWidget* w = tb->widgetForAction(a))
                w->setMinimumSize(55, 55);
            if (c.id == CommandId::ToolAwards && registry.opener(CommandId::ConfigureAwards))
                if (auto* button = qobject_cast<QToolButton*>(tb->widgetForAction(a))) {
                    // the awards to view, read anew each time the drop-down opens
                    auto* list = new QMenu(button);
                    connect(list, &QMenu::aboutToShow, list, [list] { awards::MNUDPL(list); });
                    button->setMenu(list);
                    button->setPopupMode(QToolButton::MenuButtonPopup);
                }
            m_actions[c.id] = a;
            break;
        }
        }
    }
}

void MainFrame::MNUPLUS(QMenu* plus)
{
    for (const QString& file : scriptModules(oAppl->cDirLocal + QStringLiteral("obj/"))) {
        QAction* a = plus->addAction(QFileInfo(file).completeBaseName());
        a->setObjectName(a->text());
        connect(a, &QAction::triggered, this, [file] { runScriptModule(file); });
    }
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

} // namespace app
