#include "qsl/views/qsl_pages.h"

#include "qsl/views/qsl_print.h"

#include "app/tappl.h"
#include "core/messages.h"
#include "logbook/log_delete.h"
#include "logbook/log_filter.h"
#include "logbook/views/entry_form.h"
#include "logbook/views/log_window.h"
#include "logbook/views/qso_menu.h"
#include "qsl/format_choice.h"
#include "qsl/marking.h"
#include "qsl/society_check.h"
#include "qsl/spool.h"
#include "store/aliases.h"
#include "store/work_area.h"
#include "store/workspace.h"
#include "ui/grid_panel.h"
#include "ui/q7browse.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QKeyEvent>
#include <QTabBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace qsl {

namespace {

namespace alias = store::alias;
using A = store::WorkArea;

A* area(const QString& name) { return store::Workspace::instance().area(name); }

QString appTitle() { return app::oAppl ? app::oAppl->cName : QStringLiteral("Orlan Win Log"); }

struct Colours {
    bool ruled = false;
    qint64 back1 = 0, back2 = 0;
};

Colours qslColours()
{
    Colours c;
    if (A* cfg = area(alias::kCfg); cfg && !cfg->eof()) {
        c.ruled = cfg->logical(QStringLiteral("QSLPAUTADO"));
        c.back1 = qint64(cfg->num(QStringLiteral("QSLBCK1")));
        c.back2 = qint64(cfg->num(QStringLiteral("QSLBCK2")));
    }
    return c;
}

bool checkNewOn()
{
    A* cfg = area(alias::kCfg);
    return cfg && !cfg->eof() && cfg->logical(QStringLiteral("CHKCFM"));
}

void chooseFormatNow()
{
    if (A* frm = area(alias::kFrmQsl))
        selectFormat(*frm);
}

QLineEdit* addSearchField(ui::GridPanel* panel, QAction** action)
{
    auto* search = new QLineEdit(panel->bar());
    search->setObjectName(QStringLiteral("search"));
    search->setReadOnly(true);
    search->setFocusPolicy(Qt::NoFocus);
    search->setMaximumWidth(search->fontMetrics().horizontalAdvance(QString(14, QLatin1Char('W'))));
    search->setToolTip(QStringLiteral("Búsqueda"));
    QAction* a = panel->bar()->addWidget(search);
    if (action)
        *action = a;
    QObject::connect(panel->browse(), &ui::tQ7Browse::searchChanged, search, &QLineEdit::setText);
    return search;
}

void withDropDown(ui::GridPanel* panel, QAction* button, QMenu* menu)
{
    button->setMenu(menu);
    if (auto* b = qobject_cast<QToolButton*>(panel->bar()->widgetForAction(button)))
        b->setPopupMode(QToolButton::MenuButtonPopup);
}

void runMenuItem(ui::tQ7Browse* grid, const QString& aliasName, logbook::QsoMenuItem item, const std::vector<quint32>& recs)
{
    A* a = area(aliasName);
    if (!a)
        return;
    using I = logbook::QsoMenuItem;
    const QDate today = QDate::currentDate();
    switch (item) {
    case I::SentBureau:
    case I::SentDirect: {
        const quint32 back = a->recNo();
        for (quint32 r : recs)
            if (a->goTo(r).isOk() && !a->eof())
                markSent(*a, today, item == I::SentBureau ? QLatin1Char('B') : QLatin1Char('D'));
        a->goTo(back);
        break;
    }
    case I::Received: markReceivedOn(*a, recs, false, false); break;
    case I::ReceivedPrint: markReceivedOn(*a, recs, true, false); break;
    case I::ReceivedQueue: markReceivedOn(*a, recs, false, true); break;
    case I::Spool: spoolAdd(*a, recs); break;
    case I::Print: PRNQSL(*a, recs, grid); break;
    }
}

// Page 1's "Enviar a Cola": the selected rows, or the current one, into the
// spool; its drop-down puts the whole filtered view in.
void enableLogSpool(logbook::LogWindow* w)
{
    QAction* button = w->action(QStringLiteral("spool"));
    A* log = area(alias::kLog);
    if (!button || !log)
        return;
    button->setEnabled(true);
    QObject::connect(button, &QAction::triggered, w, [w, log] {
        ui::tQ7Browse* g = w->panel()->browse();
        spoolAdd(*log, logbook::menuRecords(g));
        g->clearSelection();
        w->panel()->showCurrent();
    });
    auto* menu = new QMenu(w);
    QAction* all = menu->addAction(QStringLiteral("Enviar a cola registros filtrados"));
    all->setObjectName(QStringLiteral("spoolFiltered"));
    QObject::connect(menu, &QMenu::aboutToShow, all, [w, all] { all->setEnabled(w->filtered()); });
    QObject::connect(all, &QAction::triggered, w, [w, log] {
        if (!w->filtered())
            return;
        const int n = spoolAddView(*log);
        ui::messages().info(QString::number(n) + QStringLiteral(" enviado a cola de impresión"), appTitle());
        w->panel()->showCurrent();
    });
    withDropDown(w->panel(), button, menu);
}

} // namespace

QStringList qslOrderNames()
{
    return {QStringLiteral("Fecha y Hora"), QStringLiteral("Indicativo"), QStringLiteral("Entidad"),
            QStringLiteral("Banda"),        QStringLiteral("Modo"),       QStringLiteral("Custom")};
}

QString qslOrderTag(int index)
{
    static const char* tags[] = {"QsoDateTimeOn", "Call", "CodEnt", "Band", "Mode", "Custom"};
    return index >= 0 && index < 6 ? QString::fromLatin1(tags[index]) : QString();
}

void markReceivedOn(A& a, const std::vector<quint32>& records, bool print, bool queue)
{
    ReceivedOptions opt;
    opt.date = QDate::currentDate();
    opt.print = print;
    opt.queue = queue;
    opt.checkNew = checkNewOn();
    opt.printCard = [](A& log) { return PRNQSL(log); };
    if (records.size() < 2) {
        if (!a.eof())
            markReceived(a, opt);
        return;
    }
    const quint32 back = a.recNo();
    for (quint32 r : records)
        if (a.goTo(r).isOk() && !a.eof())
            markReceived(a, opt);
    a.goTo(back);
}

QWidget* WRKQSL(logbook::LogWindow* window)
{
    A* a = area(alias::kLogQsl);
    if (!a)
        return nullptr;
    enableLogSpool(window);
    return new QslDeskPage(a, window);
}

QWidget* WRKSPOOL(logbook::LogWindow* window, const QslPagesHost& host)
{
    A* a = area(alias::kLogSpool);
    return a ? new SpoolPage(a, window, host) : nullptr;
}

void registerQslPages(QslPagesHost host)
{
    logbook::LogWindow::registerPage(6, [](logbook::LogWindow* w) { return WRKQSL(w); });
    logbook::LogWindow::registerPage(7, [host](logbook::LogWindow* w) { return WRKSPOOL(w, host); });
    logbook::setQsoMenuQsl(runMenuItem);
}

// ---------------------------------------------------------------- page 6

QslDeskPage::QslDeskPage(A* a, logbook::LogWindow* window, QWidget* parent)
    : QWidget(parent), m_area(a), m_window(window)
{
    setObjectName(QStringLiteral("WRKQSL"));
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(0);
    m_area->setOrder(QStringLiteral("Call"));
    m_area->goBottom();
    m_panel = new ui::GridPanel(m_area, this);
    const Colours c = qslColours();
    logbook::addLogColumns(m_panel, c.ruled, c.back1, c.back2);
    ui::GridPanel* p = m_panel;
    p->setCaptionsShown(true);
    p->addButton(QStringLiteral("rx"), QStringLiteral("QSL recibida"), QStringLiteral("F5-Marcar QSL como recibida"),
                 {QStringLiteral("mail-mark-read"), QStringLiteral("dialog-ok")}, [this] { received(false, false); });
    p->addButton(QStringLiteral("rxprint"), QStringLiteral("RX e Imprimir"), QStringLiteral("F6-Marcar QSL como recibida e imprimir"),
                 {QStringLiteral("document-print")}, [this] { received(true, false); });
    p->addButton(QStringLiteral("rxqueue"), QStringLiteral("RX pend.Impr."), QStringLiteral("F7-Marcar QSL RX+enviar a cola"),
                 {QStringLiteral("document-print-preview")}, [this] { received(false, true); });
    p->bar()->addSeparator();
    QAction* spool = p->addButton(QStringLiteral("spool"), QStringLiteral("Enviar a Cola"), QStringLiteral("Enviar a cola de impresion"),
                                  {QStringLiteral("mail-send"), QStringLiteral("document-send")}, [this] { spoolCurrent(); });
    auto* spoolMenu = new QMenu(this);
    QAction* spoolAll = spoolMenu->addAction(QStringLiteral("Enviar a cola registros filtrados"), this, [this] { spoolFiltered(); });
    spoolAll->setObjectName(QStringLiteral("spoolFiltered"));
    withDropDown(p, spool, spoolMenu);
    p->addButton(QStringLiteral("print"), QStringLiteral("QSL"), QStringLiteral("Imprime QSL"), {QStringLiteral("document-print")},
                 [this] { printCurrent(); });
    p->addButton(QStringLiteral("printFiltered"), QStringLiteral("Imp.Filtro"), QStringLiteral("Imprime QSL registros filtrados"),
                 {QStringLiteral("document-print-preview")}, [this] { printFiltered(); });
    p->bar()->addSeparator();
    p->addButton(QStringLiteral("filter"), QStringLiteral("Filtrar"), QString(), {QStringLiteral("view-filter"), QStringLiteral("edit-find")},
                 [this] { filter(); });
    p->addButton(QStringLiteral("unfilter"), QStringLiteral("Quitar Filtro"), QString(),
                 {QStringLiteral("edit-clear"), QStringLiteral("edit-undo")}, [this] { removeFilter(); });
    p->addButton(QStringLiteral("format"), QStringLiteral("Frm QSL"), QStringLiteral("Seleccionar formato QSL"),
                 {QStringLiteral("document-properties")}, [this] { chooseFormat(); });
    p->bar()->addSeparator();
    p->bar()->addWidget(new QLabel(QStringLiteral(" Ordenando por "), p->bar()));
    m_order = new QComboBox(p->bar());
    m_order->setObjectName(QStringLiteral("order"));
    m_order->addItems(qslOrderNames());
    m_order->setCurrentIndex(1);
    p->bar()->addWidget(m_order);
    m_search = addSearchField(p, &m_searchAction);
    lay->addWidget(p, 1);
    m_tabs = new QTabBar(this);
    m_tabs->setObjectName(QStringLiteral("orderTabs"));
    m_tabs->setShape(QTabBar::RoundedSouth);
    for (const QString& n : qslOrderNames())
        m_tabs->addTab(n);
    m_tabs->setCurrentIndex(1);
    lay->addWidget(m_tabs);
    connect(m_order, &QComboBox::activated, this, [this](int i) { setOrder(i); });
    connect(m_tabs, &QTabBar::tabBarClicked, this, [this](int i) {
        if (i >= 0)
            setOrder(i);
    });

    ui::tQ7Browse* g = p->browse();
    g->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(g, &QWidget::customContextMenuRequested, this, [this, g](const QPoint& at) {
        logbook::MNUPOP(g, alias::kLogQsl, {.remove = [this] {
                            logbook::LOGDLT(*m_area);
                            refresh();
                        }})
            ->popup(g->viewport()->mapToGlobal(at));
    });
    p->onEdit([this] {
        if (!m_area->eof())
            logbook::EDTLOG(false, false, alias::kLogQsl);
    });
    p->onCreate([] { logbook::EDTLOG(true, false, alias::kLogQsl); });
    p->onDelete([this] {
        if (!m_area->eof()) {
            logbook::LOGDLT(*m_area);
            refresh();
        }
    });
    g->installEventFilter(this);
    setFiltered(false);
    g->refresh();
    p->showCurrent();
    connect(g, &ui::tQ7Browse::currentRecordChanged, this, [this](quint32) { moved(); });
}

QAction* QslDeskPage::action(const QString& id) const { return findChild<QAction*>(id); }

bool QslDeskPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_panel->browse() && event->type() == QEvent::KeyPress) {
        const auto* k = static_cast<QKeyEvent*>(event);
        if (k->modifiers() == Qt::NoModifier || k->modifiers() == Qt::KeypadModifier) {
            if (k->key() == Qt::Key_F5 || k->key() == Qt::Key_F6 || k->key() == Qt::Key_F7) {
                received(k->key() == Qt::Key_F6, k->key() == Qt::Key_F7);
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void QslDeskPage::setFiltered(bool on)
{
    m_filtered = on;
    action(QStringLiteral("unfilter"))->setEnabled(on);
    action(QStringLiteral("printFiltered"))->setEnabled(on);
    action(QStringLiteral("spoolFiltered"))->setEnabled(on);
}

void QslDeskPage::refresh()
{
    // the grid follows the work area, which the action may have moved
    m_panel->showCurrent();
}

void QslDeskPage::moved()
{
    if (m_window)
        m_window->followQso(*m_area, alias::kLogQsl);
    m_panel->browse()->setFocus();
}

void QslDeskPage::received(bool print, bool queue)
{
    markReceivedOn(*m_area, logbook::menuRecords(m_panel->browse()), print, queue);
    m_panel->browse()->clearSelection();
    refresh();
}

void QslDeskPage::spoolCurrent()
{
    spoolAdd(*m_area, logbook::menuRecords(m_panel->browse()));
    m_panel->browse()->clearSelection();
    refresh();
}

void QslDeskPage::spoolFiltered()
{
    if (!m_filtered)
        return;
    const int n = spoolAddView(*m_area);
    ui::messages().info(QString::number(n) + QStringLiteral(" enviado a cola de impresión"), appTitle());
    refresh();
}

void QslDeskPage::printCurrent()
{
    PRNQSL(*m_area, logbook::menuRecords(m_panel->browse()), this);
    refresh();
}

void QslDeskPage::printFiltered()
{
    if (!m_filtered)
        return;
    PRNQSLFIL(*m_area, this);
    refresh();
}

void QslDeskPage::filter()
{
    const bool selected = m_window && m_window->filterArea(*m_area);
    m_searchAction->setVisible(false);
    if (selected)
        m_order->setEnabled(false);
    setFiltered(selected);
    refresh();
}

void QslDeskPage::removeFilter()
{
    logbook::LOGRMVFIL(*m_area);
    m_area->goTop();
    setFiltered(false);
    m_order->setEnabled(true);
    m_searchAction->setVisible(true);
    refresh();
}

void QslDeskPage::chooseFormat()
{
    chooseFormatNow();
    refresh();
}

void QslDeskPage::setOrder(int index)
{
    const QString tag = qslOrderTag(index);
    if (tag.isEmpty())
        return;
    m_area->setOrder(tag);
    if (m_order->currentIndex() != index)
        m_order->setCurrentIndex(index);
    if (m_tabs->currentIndex() != index)
        m_tabs->setCurrentIndex(index);
    refresh();
}

// ---------------------------------------------------------------- page 7

SpoolPage::SpoolPage(A* a, logbook::LogWindow* window, QslPagesHost host, QWidget* parent)
    : QWidget(parent), m_area(a), m_window(window), m_host(std::move(host))
{
    setObjectName(QStringLiteral("WRKSPOOL"));
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    m_area->setOrder(QStringLiteral("PrnQsl"));
    m_area->goBottom();
    m_panel = new ui::GridPanel(m_area, this);
    const Colours c = qslColours();
    logbook::addLogColumns(m_panel, c.ruled, c.back1, c.back2);
    ui::GridPanel* p = m_panel;
    p->browse()->setSelectionMode(QAbstractItemView::SingleSelection);
    p->setCaptionsShown(true);
    QAction* out = p->addButton(QStringLiteral("takeOut"), QStringLiteral("Sacar de cola"), QStringLiteral("Elimina registros de la cola"),
                                {QStringLiteral("list-remove"), QStringLiteral("edit-delete")}, [this] { takeOut(); });
    auto* outMenu = new QMenu(this);
    outMenu->addAction(QStringLiteral("Sacar todos los registros de la cola"), this, [this] { empty(); })
        ->setObjectName(QStringLiteral("empty"));
    withDropDown(p, out, outMenu);
    p->addButton(QStringLiteral("print"), QStringLiteral("Imp.Cola"), QStringLiteral("Imprime QSL en cola"),
                 {QStringLiteral("document-print")}, [this] { print(); });
    p->addButton(QStringLiteral("format"), QStringLiteral("Frm QSL"), QStringLiteral("Seleccionar formato QSL"),
                 {QStringLiteral("document-properties")}, [this] { chooseFormat(); });
    p->addButton(QStringLiteral("members"), QStringLiteral("Quita no socios"), QStringLiteral("Elimina de la cola los no socios de URE"),
                 {QStringLiteral("system-users"), QStringLiteral("user-group-delete")}, [this] { removeNonMembers(); });
    p->addButton(QStringLiteral("duplicates"), QStringLiteral("Quita Duplicados"), QStringLiteral("Elimina de la cola contactos duplicados"),
                 {QStringLiteral("edit-copy")}, [this] { removeDuplicates(); });
    p->addButton(QStringLiteral("adif"), QStringLiteral("Exporta ADIF"), QStringLiteral("Exporta cola de impresión a fichero ADIF"),
                 {QStringLiteral("document-export"), QStringLiteral("document-save-as")}, [this] { exportAdif(); });
    m_search = addSearchField(p, nullptr);
    lay->addWidget(p);
    m_panel->browse()->refresh();
    m_panel->showCurrent();
    connect(p->browse(), &ui::tQ7Browse::currentRecordChanged, this, [this](quint32) {
        if (m_window)
            m_window->followQso(*m_area, alias::kLogSpool);
        m_panel->browse()->setFocus();
    });
}

QAction* SpoolPage::action(const QString& id) const { return findChild<QAction*>(id); }

void SpoolPage::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    m_area->goTop();
    refresh();
}

void SpoolPage::refresh()
{
    // the grid follows the work area, which the action may have moved
    m_panel->showCurrent();
}

void SpoolPage::takeOut()
{
    if (m_area->eof())
        return;
    const quint32 here = m_area->recNo();
    m_area->skip();
    const quint32 next = m_area->eof() ? 0 : m_area->recNo();
    m_area->goTo(here);
    const bool out = spoolTakeOut(*m_area);
    if (out && next > 1)
        m_area->goTo(next);
    else if (out)
        m_area->goBottom();
    refresh();
}

void SpoolPage::empty()
{
    spoolEmpty(*m_area);
    m_area->goTop();
    refresh();
}

void SpoolPage::print()
{
    PRNQSLPEN(*m_area, this);
    refresh();
}

void SpoolPage::chooseFormat()
{
    chooseFormatNow();
    refresh();
}

void SpoolPage::removeNonMembers()
{
    ui::messages().meter(
        [this](ui::Meter& m) {
            m.setTotal(100);
            SocietyCheckOptions o;
            o.progress = [&m](int percent, const QString& call) {
                m.setPosition(percent);
                m.setText(call);
                return !m.cancelled();
            };
            CHKSOCIOURE(*m_area, o);
        },
        QStringLiteral("Comprobando socios ..."), QStringLiteral("Base de datos de socios de URE"));
    refresh();
}

void SpoolPage::removeDuplicates()
{
    int n = 0;
    ui::messages().wait(QStringLiteral("Eliminado registros duplicados de la cola de QSL"), appTitle(),
                        [&] { n = spoolRemoveDuplicates(*m_area); });
    m_area->goTop();
    ui::messages().info(QStringLiteral("Se han eliminado ") + QString::number(n) + QStringLiteral(" registros"), appTitle());
    refresh();
}

void SpoolPage::exportAdif()
{
    if (m_host.exportSpoolAdif)
        m_host.exportSpoolAdif(this);
    refresh();
}

} // namespace qsl
