#include "log_window.h"
#include "sheet_open.h"
#include "ui/stored_colour.h"

#include "logbook/attachments.h"
#include "logbook/block_change.h"
#include "logbook/log_columns.h"
#include "logbook/log_delete.h"
#include "logbook/log_filter.h"
#include "logbook/qso_entry.h"
#include "logbook/sheet_export.h"
#include "logbook/views/block_change_dialog.h"
#include "logbook/views/filter_dialog.h"
#include "logbook/views/entry_form.h"
#include "logbook/views/qso_menu.h"

#include "core/messages.h"
#include "store/aliases.h"
#include "store/work_area.h"
#include "store/workspace.h"
#include "ui/dialog_helpers.h"
#include "ui/grid_panel.h"
#include "ui/q7browse.h"

#include <QAction>
#include <QHeaderView>
#include <QListWidget>
#include <QToolButton>
#include <QColor>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

#include <map>
#include <string_view>

namespace logbook {

namespace {

namespace alias = store::alias;
using A = store::WorkArea;

store::Workspace& ws() { return store::Workspace::instance(); }

QString trimmed(A& a, const char* field) { return a.str(QString::fromLatin1(field)).trimmed(); }

// A page filled by a part of the program that is not there yet.
QWidget* laterPage(const QString& what)
{
    auto* page = new QWidget;
    auto* lay = new QVBoxLayout(page);
    auto* text = new QLabel(what + QStringLiteral(": esta función todavía no está disponible."), page);
    text->setWordWrap(true);
    lay->addWidget(text);
    lay->addStretch(1);
    return page;
}

QString padded(const QString& text) { return QStringLiteral("   ") + text + QStringLiteral("   "); }

std::map<int, LogWindow::PageMaker>& pageMakers()
{
    static std::map<int, LogWindow::PageMaker> m;
    return m;
}

} // namespace

void LogWindow::registerPage(int page, PageMaker make) { pageMakers()[page] = std::move(make); }

namespace {
std::map<QString, LogWindow::ToolAction>& toolActions()
{
    static std::map<QString, LogWindow::ToolAction> m;
    return m;
}
} // namespace

void LogWindow::registerTool(const QString& id, ToolAction run) { toolActions()[id] = std::move(run); }


QString LogWindow::bookTitle()
{
    A* lib = ws().area(alias::kLibros);
    if (!lib || lib->eof())
        return QStringLiteral("Log");
    const QString description = trimmed(*lib, "DESCRI");
    return description.isEmpty() ? QStringLiteral("Log ") + trimmed(*lib, "NOMBRE") : description;
}

LogWindow* LogWindow::open(LogWindowHost host, QWidget* parent)
{
    A* log = ws().area(alias::kLog);
    if (!log)
        return nullptr;
    return new LogWindow(log, std::move(host), parent);
}

LogWindow::LogWindow(A* log, LogWindowHost host, QWidget* parent) : QWidget(parent), m_log(log), m_host(std::move(host))
{
    setObjectName(QStringLiteral("ManLog"));
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    m_pages = new QTabWidget(this);
    m_pages->setTabPosition(QTabWidget::South);
    lay->addWidget(m_pages);
    m_panel = new ui::GridPanel(log, m_pages);
    buildGrid();
    buildBar();
    m_pages->addTab(m_panel, padded(QStringLiteral("&1 Log")));
    const struct {
        const char* tab;
        const char* what;
    } later[] = {{"&2 QRZ.com", "La página del indicativo en QRZ.com"},
                 {"&3 Google map", "El mapa del QSO"},
                 {"&4 Imágenes adjuntas", "Las imágenes adjuntas"},
                 {"&5 Sonidos adjuntos", "Los sonidos adjuntos"},
                 {"&6 Gestión QSL", "La gestión de QSL"},
                 {"&7 Cola impresion QSL", "La cola de impresión de QSL"}};
    for (int i = 0; i < 6; ++i) {
        const auto& maker = pageMakers()[i + 2];
        QWidget* page = maker ? maker(this) : nullptr;
        m_pages->addTab(page ? page : laterPage(QString::fromUtf8(later[i].what)), padded(QString::fromUtf8(later[i].tab)));
    }

    // it opens on the last QSO of its order
    log->goBottom();
    m_panel->browse()->refresh();
    m_panel->showCurrent();
    connect(m_panel->browse(), &ui::tQ7Browse::currentRecordChanged, this, [this](quint32) { cursorMoved(); });
    cursorMoved();
}

void addLogColumns(ui::GridPanel* panel, bool ruledRows, qint64 background1, qint64 background2)
{
    ui::tQ7Browse* g = panel->browse();
    const QFontMetrics fm = g->fontMetrics();
    for (const LogColumn& c : logColumns()) {
        int width = 0;   // from the heading and a sample, unless the content is known to be wider
        if (c.kind == CellKind::Date)
            width = fm.horizontalAdvance(QStringLiteral("00-00-00000")) + 8;
        else if (c.heading == QLatin1String("Frec"))
            width = fm.horizontalAdvance(QStringLiteral("00000.0000")) + 8;
        else if (c.heading == QLatin1String("Entidad"))
            width = fm.horizontalAdvance(QString(24, QLatin1Char('n')));
        // cells without the padding of their fields, dates with their century
        std::function<QString(A&)> text = [t = c.text](A& a) { return t(a).trimmed(); };
        if (c.kind == CellKind::Date)
            text = [v = c.value](A& a) {
                const QDate d = v(a).toDate();
                return d.isValid() ? d.toString(QStringLiteral("dd-MM-yyyy")) : QString();
            };
        g->addColumn({.header = c.heading,
                      .text = text,
                      .align = c.rightAligned ? (Qt::AlignRight | Qt::AlignVCenter) : (Qt::AlignLeft | Qt::AlignVCenter),
                      .width = width});
    }
    g->setFrozenColumns(3);
    // ruled rows: every third row of the order in the second colour
    const QColor back1 = background1 ? ui::storedColour(background1) : QColor(Qt::white);
    const QColor back2 = ui::storedColour(background2);
    g->setRowColorsAt([back1, back2, ruledRows](int row, A&) {
        return std::pair<QColor, QColor>(QColor(Qt::black), ruledRows && (row + 1) % 3 == 0 ? back2 : back1);
    });
}

void LogWindow::buildGrid()
{
    ui::tQ7Browse* g = m_panel->browse();
    addLogColumns(m_panel, m_host.ruledRows, m_host.background1, m_host.background2);
    g->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(g, &QWidget::customContextMenuRequested, this, [this, g](const QPoint& at) {
        MNUPOP(g, alias::kLog, {.remove = [this] { deleteQso(); }})->popup(g->viewport()->mapToGlobal(at));
    });
    m_panel->onEdit([this] { editQso(); });
    m_panel->onCreate([this] { newQso(); });
}

void LogWindow::buildBar()
{
    ui::GridPanel* p = m_panel;
    p->setCaptionsShown(true);
    p->addButton(QStringLiteral("new"), QStringLiteral("&Nuevo QSO"), QStringLiteral("(Insert)Añadir registro"),
                 {QStringLiteral("document-new"), QStringLiteral("list-add")}, [this] { newQso(); });
    p->addButton(QStringLiteral("edit"), QStringLiteral("Modificar"), QStringLiteral("Editar Registro"),
                 {QStringLiteral("document-edit")}, [this] { editQso(); });
    p->addButton(QStringLiteral("delete"), QStringLiteral("Eliminar"), QStringLiteral("Eliminar"), {QStringLiteral("edit-delete")},
                 [this] { deleteQso(); });
    p->bar()->addSeparator();
    p->addButton(QStringLiteral("filter"), QStringLiteral("Filtrar"), QStringLiteral("Filtrar registros"),
                 {QStringLiteral("view-filter"), QStringLiteral("edit-find")}, [this] { filter(); });
    p->addButton(QStringLiteral("unfilter"), QStringLiteral("Quitar Filtro"), QStringLiteral("Quitar filtro"),
                 {QStringLiteral("edit-clear"), QStringLiteral("edit-undo")}, [this] { removeFilter(); });
    p->bar()->addSeparator();
    for (auto [id, caption, tip, icon] :
         {std::tuple{"calc", "OpenOffice", "Envia registros a Open Office calc", "x-office-spreadsheet"},
          std::tuple{"excel", "Excel", "Envia registros a Excel", "application-vnd.ms-excel"}}) {
        const bool calc = std::string_view(id) == "calc";
        QAction* a = p->addButton(QString::fromLatin1(id), QString::fromLatin1(caption), QString::fromUtf8(tip),
                                  {QString::fromLatin1(icon), QStringLiteral("x-office-spreadsheet")}, [this, calc] { exportSheet(calc); });
        auto* menu = new QMenu(this);
        menu->addAction(QStringLiteral("Seleccionar campos a exportar"), this, [this] { chooseExportColumns(); });
        a->setMenu(menu);
        if (auto* b = qobject_cast<QToolButton*>(p->bar()->widgetForAction(a)))
            b->setPopupMode(QToolButton::MenuButtonPopup);
    }
    // the print spool, the maps and the earth view come with their own parts of the program
    p->addButton(QStringLiteral("spool"), QStringLiteral("Enviar a Cola"), QStringLiteral("Enviar a cola de impresion"),
                 {QStringLiteral("document-print")}, [] {})->setEnabled(false);
    p->bar()->addSeparator();
    for (auto [id, caption, tip, icon] :
         {std::tuple{"map", "Mapa", "Google Map con lineas par contactos filtrados", "map-globe"},
          std::tuple{"grid", "Grid", "Mapa con cuadriculas trabajadas/confirmadas", "map-flat"},
          std::tuple{"elevation", "P.Elevacion", "", "office-chart-area"}, std::tuple{"earth", "GEarth", "Google Earth", "globe"}}) {
        const LogWindow::ToolAction& run = toolActions()[QString::fromLatin1(id)];
        p->addButton(QString::fromLatin1(id), QString::fromLatin1(caption), QString::fromUtf8(tip), {QString::fromLatin1(icon)},
                     [this, run] { if (run) run(this); })->setEnabled(bool(run));
    }
    p->bar()->addSeparator();
    p->addButton(QStringLiteral("block"), QStringLiteral("Mod.Blq"), QStringLiteral("Modificar todos los registros filtrados"),
                 {QStringLiteral("document-edit-sign"), QStringLiteral("edit-select-all")}, [this] { blockChange(); });
    setFiltered(false);
    m_panel->onDelete([this] { deleteQso(); });
}

void LogWindow::setFiltered(bool on)
{
    m_filtered = on;
    action(QStringLiteral("unfilter"))->setEnabled(on);
    action(QStringLiteral("block"))->setEnabled(on);
}

void LogWindow::deleteQso()
{
    if (m_log->eof())
        return;
    LOGDLT(*m_log);
    m_panel->showCurrent();
    cursorMoved();
}

void LogWindow::filter()
{
    setFiltered(filterArea(*m_log));
    m_panel->browse()->refresh();
    m_panel->showCurrent();
    cursorMoved();
}

bool LogWindow::filterArea(A& area)
{
    const LogFilter& kept = filterMemory().criteria;
    auto date = [](const QDate& d) { return d.isValid() ? d.toString(QStringLiteral("dd-MM-yyyy")) : QString(); };
    const QMap<QString, QString> criteria = {
        {QStringLiteral("call"), kept.call},          {QStringLiteral("from"), date(kept.from)},
        {QStringLiteral("to"), date(kept.until)},     {QStringLiteral("mode"), kept.mode},
        {QStringLiteral("band"), kept.band},          {QStringLiteral("cont"), kept.continent},
        {QStringLiteral("entity"), kept.entity},      {QStringLiteral("iota"), kept.iota},
        {QStringLiteral("grid"), kept.locator},       {QStringLiteral("cqz"), kept.cqZone},
        {QStringLiteral("ituz"), kept.ituZone},       {QStringLiteral("qslRcvd"), kept.qslReceived},
        {QStringLiteral("qslSent"), kept.qslSent},    {QStringLiteral("qslVia"), kept.qslVia},
        {QStringLiteral("operator"), kept.operatorCall}, {QStringLiteral("province"), kept.province},
        {QStringLiteral("qslMode"), kept.qslMode},    {QStringLiteral("exchange"), QString::number(kept.exchange)}};
    const FilterStart start = beginFilter(area);
    FilterDialog dialog(criteria, bool(m_host.advancedFilter), this);
    if (dialog.exec() != QDialog::Accepted) {
        if (dialog.advancedChosen()) {
            // the module's expression becomes the record filter of the view
            const QString expression = m_host.advancedFilter();
            if (!expression.trimmed().isEmpty() && applyAdvancedFilter(area, expression, start))
                return true;
        }
        cancelFilter(area, start);
        return false;
    }
    const QMap<QString, QString> v = dialog.values();
    LogFilter f;
    f.call = v.value(QStringLiteral("call"));
    f.from = ui::dialogDate(v.value(QStringLiteral("from")));
    f.until = ui::dialogDate(v.value(QStringLiteral("to")));
    f.mode = v.value(QStringLiteral("mode"));
    f.band = v.value(QStringLiteral("band"));
    f.continent = v.value(QStringLiteral("cont"));
    f.entity = v.value(QStringLiteral("entity"));
    f.iota = v.value(QStringLiteral("iota"));
    f.locator = v.value(QStringLiteral("grid"));
    f.cqZone = v.value(QStringLiteral("cqz"));
    f.ituZone = v.value(QStringLiteral("ituz"));
    f.qslReceived = v.value(QStringLiteral("qslRcvd"));
    f.qslSent = v.value(QStringLiteral("qslSent"));
    f.qslVia = v.value(QStringLiteral("qslVia"));
    f.operatorCall = v.value(QStringLiteral("operator"));
    f.province = v.value(QStringLiteral("province"));
    f.qslMode = v.value(QStringLiteral("qslMode"));
    f.exchange = v.value(QStringLiteral("exchange"), QStringLiteral("1")).toInt();
    FilterResult r;
    ui::messages().meter([&](ui::Meter& m) { r = runFilter(area, f, &m); }, QStringLiteral("Procesando..."),
                         QStringLiteral("Filtrando registros ..."));
    return r.selected;
}

void LogWindow::removeFilter()
{
    LOGRMVFIL(*m_log);
    setFiltered(false);
    m_log->goBottom();
    m_panel->browse()->refresh();
    m_panel->showCurrent();
    cursorMoved();
}

void LogWindow::blockChange()
{
    if (!m_filtered)
        return;
    BlockChangeDialog dialog(this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    BlockChange change;
    if (!dialog.change(&change) || isEmpty(change))
        return;
    ui::messages().meter([&](ui::Meter& m) { LOGCHGBLQ(*m_log, change, &m); }, QStringLiteral("Procesando..."),
                         QStringLiteral("Modificando registros ..."));
    m_panel->browse()->refresh();
    m_panel->showCurrent();
}

std::vector<LogColumn> LogWindow::exportColumns() const
{
    // the columns chosen, or those the grid shows, in its order
    const std::vector<LogColumn> all = logColumns();
    std::vector<LogColumn> out;
    const QHeaderView* h = m_panel->browse()->horizontalHeader();
    for (int visual = 0; visual < h->count(); ++visual) {
        const int logical = h->logicalIndex(visual);
        if (logical >= int(all.size()))
            continue;
        const bool wanted = m_exportChosen.isEmpty() ? !h->isSectionHidden(logical) : m_exportChosen.contains(logical);
        if (wanted)
            out.push_back(all[size_t(logical)]);
    }
    return out;
}

void LogWindow::chooseExportColumns()
{
    QDialog d(this);
    d.setObjectName(QStringLiteral("EXPCOLS"));
    d.setWindowTitle(QStringLiteral("Columnas a exportar"));
    auto* lay = new QVBoxLayout(&d);
    auto* list = new QListWidget(&d);
    list->setObjectName(QStringLiteral("columns"));
    const std::vector<LogColumn> all = logColumns();
    const QHeaderView* h = m_panel->browse()->horizontalHeader();
    for (size_t i = 0; i < all.size(); ++i) {
        auto* item = new QListWidgetItem(singleLine(all[i].heading), list);
        const bool on = m_exportChosen.isEmpty() ? !h->isSectionHidden(int(i)) : m_exportChosen.contains(int(i));
        item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    }
    list->setMinimumHeight(list->sizeHintForRow(0) * 16);
    lay->addWidget(list);
    ui::addOkCancel(&d, lay);
    if (d.exec() != QDialog::Accepted)
        return;
    m_exportChosen.clear();
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->checkState() == Qt::Checked)
            m_exportChosen.insert(i);
}

void LogWindow::exportSheet(bool calc)
{
    writeAndOpenSheet(QStringLiteral("Log"), *m_log, exportColumns(), calc);
    m_panel->showCurrent();
}

QAction* LogWindow::action(const QString& id) const { return m_panel->bar()->findChild<QAction*>(id); }

void LogWindow::newQso() { EDTLOG(true, false, alias::kLog); }

void LogWindow::editQso()
{
    if (!m_log->eof())
        EDTLOG(false, false, alias::kLog);
}

void LogWindow::cursorMoved()
{
    followQso(*m_log, alias::kLog);
    m_panel->browse()->setFocus();
}

void LogWindow::followQso(A& area, const QString& areaAlias)
{
    const QString call = area.eof() ? QString() : area.str(QStringLiteral("CALL"));
    if (A* log2 = ws().area(alias::kLog2)) {
        log2->setFilter(std::function<bool(A&)>());
        log2->setScope(store::Value::text(call), store::Value::text(call));
        log2->goTop();
    }
    if (m_host.refreshWindow) {
        m_host.refreshWindow(QStringLiteral("QsoAnt"));
        m_host.refreshWindow(QStringLiteral("DxccInfo"));
    }
    if (m_host.setTitle)
        m_host.setTitle(bookTitle() + QStringLiteral("[") + call.trimmed() + QStringLiteral("]"));
    updateAttachmentTabs();
    // the entry form follows the cursor, unless a new QSO is being typed there
    bool follow = true;
    if (EntryForm* form = entryForm(); form && form->isVisible() && form->entry() && form->entry()->isNew())
        follow = ui::messages().noYes(QStringLiteral("Desea abandonar el registro que esta dando de alta, sin guardarlo"));
    if (follow)
        EDTLOG(false, false, areaAlias, true);
}

void LogWindow::updateAttachmentTabs()
{
    const int images = m_log->eof() ? 0 : countAttachments(m_log->str(QStringLiteral("KEY")), kImageAttachment);
    const int sounds = m_log->eof() ? 0 : countAttachments(m_log->str(QStringLiteral("KEY")), kSoundAttachment);
    const QString t4 = padded(QStringLiteral("Imágenes adjuntas (%1)").arg(images));
    const QString t5 = padded(QStringLiteral("Sonidos adjuntos (%1)").arg(sounds));
    if (m_pages->tabText(3) != t4)
        m_pages->setTabText(3, t4);
    if (m_pages->tabText(4) != t5)
        m_pages->setTabText(4, t5);
}

} // namespace logbook
