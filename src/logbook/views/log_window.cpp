#include "log_window.h"

#include "logbook/qso_entry.h"
#include "logbook/views/entry_form.h"
#include "logbook/views/qso_menu.h"

#include "core/messages.h"
#include "geo/distance.h"
#include "refdata/formatting.h"
#include "refdata/names.h"
#include "store/aliases.h"
#include "store/work_area.h"
#include "store/workspace.h"
#include "ui/grid_panel.h"
#include "ui/q7browse.h"

#include <QAction>
#include <QColor>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

#include <map>

namespace logbook {

namespace {

namespace alias = store::alias;
using A = store::WorkArea;

store::Workspace& ws() { return store::Workspace::instance(); }

QString trimmed(A& a, const char* field) { return a.str(QString::fromLatin1(field)).trimmed(); }

QString dateText(A& a, const char* field)
{
    const QDate d = a.date(QString::fromLatin1(field));
    return d.isValid() ? d.toString(QStringLiteral("dd-MM-yyyy")) : QString();
}

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

QColor settingsColour(qint64 rgb) { return QColor(int(rgb & 0xFF), int((rgb >> 8) & 0xFF), int((rgb >> 16) & 0xFF)); }

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

void LogWindow::buildGrid()
{
    ui::tQ7Browse* g = m_panel->browse();
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    auto text = [g](const char* header, const char* field, bool alignRight = false) {
        g->addColumn({.header = QString::fromUtf8(header), .text = [field](A& a) { return trimmed(a, field); },
                      .align = alignRight ? (Qt::AlignRight | Qt::AlignVCenter) : (Qt::AlignLeft | Qt::AlignVCenter)});
    };
    const int dateWidth = g->fontMetrics().horizontalAdvance(QStringLiteral("00-00-00000")) + 8;
    g->addColumn({.header = QStringLiteral("Fecha"), .text = [](A& a) { return dateText(a, "QSODATE"); }, .width = dateWidth});
    text("Hora\r\nInicio", "TIMEON");
    text("Hora\r\nFin", "TIMEOFF");
    text("Indicativo", "CALL");
    text("Nombre", "NAME");
    text("Banda", "BAND", true);
    g->addColumn({.header = QStringLiteral("Frec"), .text = [](A& a) {
                      const double f = a.num(QStringLiteral("FREQ"));
                      return f > 0 ? QString::number(f, 'f', 3) : QString();
                  }, .align = right, .width = g->fontMetrics().horizontalAdvance(QStringLiteral("00000.0000")) + 8});
    text("Modo", "MODE");
    text("RST\r\nTx", "RSTSENT");
    text("RST\r\nRx", "RSTRCVD");
    g->addColumn({.header = QStringLiteral("Entidad"), .text = [](A& a) { return refdata::NOMENT(a.str(QStringLiteral("CODENT"))).trimmed(); },
                  .width = g->fontMetrics().horizontalAdvance(QString(24, QLatin1Char('n')))});
    g->addColumn({.header = QStringLiteral("Prv"), .text = [](A& a) {
                      return refdata::NOMPRV(a.str(QStringLiteral("CODENT")), a.str(QStringLiteral("CODPRV"))).trimmed();
                  }});
    text("Locator", "GRIDSQUARE");
    g->addColumn({.header = QStringLiteral("Dist."), .text = [](A& a) {
                      // to the other station's locator, else to its entity's reference locator
                      const QString own = trimmed(a, "QRA");
                      QString far = trimmed(a, "GRIDSQUARE");
                      if (far.isEmpty())
                          far = refdata::ENTQRA(a.str(QStringLiteral("CODENT"))).trimmed();
                      if (own.isEmpty() || far.isEmpty())
                          return QString();
                      return refdata::COMAS(geo::DIST(own, far), 6).trimmed();
                  }, .align = right});
    text("QSL\r\nVia", "QSLVIA");
    g->addColumn({.header = QStringLiteral("QSL\r\nRX"), .text = [](A& a) { return refdata::INFOQSL(a.str(QStringLiteral("QSLRCVD"))); }});
    g->addColumn({.header = QStringLiteral("QSL\r\nTX"), .text = [](A& a) { return refdata::INFOQSL(a.str(QStringLiteral("QSLSENT"))); }});
    g->addColumn({.header = QStringLiteral("QSL\r\nRecibida"), .text = [](A& a) { return dateText(a, "QSLRDATE"); }, .width = dateWidth});
    g->addColumn({.header = QStringLiteral("QSL\r\nEnviada"), .text = [](A& a) { return dateText(a, "QSLSDATE"); }, .width = dateWidth});
    text("Comentario", "COMMENT");
    text("Ref\r\nIOTA", "IOTA");
    g->addColumn({.header = QStringLiteral("Nombre\r\nIOTA"), .text = [](A& a) { return refdata::NOMIOTA(a.str(QStringLiteral("IOTA"))).trimmed(); }});
    text("QTH", "QTH");
    text("Cont", "CONT");
    text("WAZ", "CQZ", true);
    text("ITU", "ITUZ", true);
    g->addColumn({.header = QStringLiteral("Edad"), .text = [](A& a) {
                      const double age = a.num(QStringLiteral("AGE"));
                      return age > 0 ? QString::number(int(age)) : QString();
                  }, .align = right});
    text("Cod\r\nEnt.", "CODENT");
    text("Operador", "OPERATOR");
    text("Key", "KEY");
    g->setFrozenColumns(3);
    // ruled rows: every third row of the order in the second colour
    const QColor back1 = m_host.background1 ? settingsColour(m_host.background1) : QColor(Qt::white);
    const QColor back2 = settingsColour(m_host.background2);
    const bool ruled = m_host.ruledRows;
    g->setRowColorsAt([back1, back2, ruled](int row, A&) {
        return std::pair<QColor, QColor>(QColor(Qt::black), ruled && (row + 1) % 3 == 0 ? back2 : back1);
    });
    g->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(g, &QWidget::customContextMenuRequested, this, [g](const QPoint& at) {
        MNUPOP(g, alias::kLog)->popup(g->viewport()->mapToGlobal(at));
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
                 [] {})->setEnabled(false);
    p->bar()->addSeparator();
    p->addButton(QStringLiteral("filter"), QStringLiteral("Filtrar"), QStringLiteral("Filtrar registros"),
                 {QStringLiteral("view-filter"), QStringLiteral("edit-find")}, [] {})->setEnabled(false);
    p->addButton(QStringLiteral("unfilter"), QStringLiteral("Quitar Filtro"), QStringLiteral("Quitar filtro"),
                 {QStringLiteral("edit-clear"), QStringLiteral("edit-undo")}, [] {})->setEnabled(false);
    p->bar()->addSeparator();
    p->addButton(QStringLiteral("calc"), QStringLiteral("OpenOffice"), QStringLiteral("Envia registros a Open Office calc"),
                 {QStringLiteral("x-office-spreadsheet")}, [] {})->setEnabled(false);
    p->addButton(QStringLiteral("excel"), QStringLiteral("Excel"), QStringLiteral("Envia registros a Excel"),
                 {QStringLiteral("application-vnd.ms-excel"), QStringLiteral("x-office-spreadsheet")}, [] {})->setEnabled(false);
    p->addButton(QStringLiteral("spool"), QStringLiteral("Enviar a Cola"), QStringLiteral("Enviar a cola de impresion"),
                 {QStringLiteral("document-print")}, [] {})->setEnabled(false);
    p->bar()->addSeparator();
    for (auto [id, caption, tip, icon] :
         {std::tuple{"map", "Mapa", "Google Map con lineas par contactos filtrados", "map-globe"},
          std::tuple{"grid", "Grid", "Mapa con cuadriculas trabajadas/confirmadas", "map-flat"},
          std::tuple{"elevation", "P.Elevacion", "", "office-chart-area"}, std::tuple{"earth", "GEarth", "Google Earth", "globe"}})
        p->addButton(QString::fromLatin1(id), QString::fromLatin1(caption), QString::fromUtf8(tip), {QString::fromLatin1(icon)},
                     [] {})->setEnabled(false);
    p->bar()->addSeparator();
    p->addButton(QStringLiteral("block"), QStringLiteral("Mod.Blq"), QStringLiteral("Modificar todos los registros filtrados"),
                 {QStringLiteral("document-edit-sign"), QStringLiteral("edit-select-all")}, [] {})->setEnabled(false);
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
    const QString call = m_log->eof() ? QString() : m_log->str(QStringLiteral("CALL"));
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
        EDTLOG(false, false, alias::kLog, true);
    m_panel->browse()->setFocus();
}

void LogWindow::updateAttachmentTabs()
{
    int images = 0, sounds = 0;
    if (A* attach = ws().area(alias::kAttach); attach && !m_log->eof()) {
        const store::Value key = m_log->value(QStringLiteral("KEY"));
        attach->setOrder(QStringLiteral("Key"));
        attach->setScope(key, key);
        for (attach->goTop(); !attach->eof(); attach->skip()) {
            const QString type = attach->str(QStringLiteral("TYPE"));
            images += type == QLatin1String("G");
            sounds += type == QLatin1String("S");
        }
        attach->clearScope();
    }
    const QString t4 = padded(QStringLiteral("Imágenes adjuntas (%1)").arg(images));
    const QString t5 = padded(QStringLiteral("Sonidos adjuntos (%1)").arg(sounds));
    if (m_pages->tabText(3) != t4)
        m_pages->setTabText(3, t4);
    if (m_pages->tabText(4) != t5)
        m_pages->setTabText(4, t5);
}

} // namespace logbook
