#include "award_view.h"

#include "award_dialog.h"
#include "awards_host.h"
#include "column_widths.h"

#include "awards/cell_qsos.h"
#include "awards/status_table.h"
#include "core/messages.h"
#include "logbook/log_columns.h"
#include "logbook/views/sheet_open.h"
#include "logbook/sheet_export.h"
#include "refdata/names.h"
#include "store/aliases.h"
#include "store/catalogue.h"
#include "store/codepage.h"
#include "store/work_area.h"
#include "store/workspace.h"
#include "ui/grid_panel.h"
#include "ui/grid_print.h"
#include "ui/q7browse.h"

#include <QLabel>
#include <QSet>
#include <QVBoxLayout>

namespace awards {

namespace {

store::Workspace& ws() { return store::Workspace::instance(); }

const QString kStatusAlias = QStringLiteral("Dpl");
const QString kTmpAlias = QStringLiteral("DplTmp");

AwardsHost& hostStorage()
{
    static AwardsHost host;
    return host;
}

// The working copy of the definition, edited in view mode; erased when the holder goes.
class WorkingCopy {
public:
    explicit WorkingCopy(const AwardDef& def)
    {
        m_path = ws().dataDir() + QStringLiteral("DplTmp.dbf");
        ws().close(kTmpAlias);
        if (!store::catalogue::create(store::catalogue::dplTmp(QStringLiteral("DplTmp")), m_path).isOk())
            return;
        if (!ws().use(m_path, {.alias = kTmpAlias, .shared = false}, &m_area).isOk()) {
            m_area = nullptr;
            return;
        }
        if (m_area->append().isOk()) {
            writeDefinition(*m_area, def);
            m_area->unlock();
        }
        m_area->goTop();
    }
    ~WorkingCopy()
    {
        ws().close(kTmpAlias);
        ws().drop(m_path);
    }
    store::WorkArea* area() const { return m_area; }

private:
    QString m_path;
    store::WorkArea* m_area = nullptr;
};

QColor cellColour(const QString& cell)
{
    const QString c = cell.trimmed();
    if (c == QLatin1String("C"))
        return QColor(0xB8, 0xE6, 0xB0);
    if (c == QLatin1String("T"))
        return QColor(0xFF, 0xF0, 0xB0);
    return QColor();
}

// The owner of a read-only area over the book for one list; closes it when it goes.
class ListArea : public QObject {
public:
    ListArea(QObject* parent, store::WorkArea* area, QString alias) : QObject(parent), m_area(area), m_alias(std::move(alias)) {}
    ~ListArea() override { ws().close(m_alias); }
    store::WorkArea* m_area;
    QString m_alias;
};

} // namespace

void setAwardsHost(AwardsHost host) { hostStorage() = std::move(host); }
const AwardsHost& awardsHost() { return hostStorage(); }

QWidget* qsoList(const std::vector<quint32>& records, bool withBand, bool withMode, bool withLotw, QWidget* parent,
                 ui::GridPanel** panelOut)
{
    static int serial = 0;
    const QString alias = QStringLiteral("DplDetalle%1").arg(++serial);
    const QString path = sessionBook().log;
    store::WorkArea* area = nullptr;
    if (path.isEmpty() || !ws().use(path, {.alias = alias, .readOnly = true}, &area).isOk())
        return nullptr;
    const QSet<quint32> wanted(records.begin(), records.end());
    area->setOrder(QStringLiteral("QsoDateTimeOn"));
    area->setFilter([wanted](store::WorkArea& a) { return wanted.contains(a.recNo()); });
    area->goTop();
    auto* content = new QWidget(parent);
    new ListArea(content, area, alias);
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* panel = new ui::GridPanel(area, content);
    layout->addWidget(panel);
    ui::tQ7Browse* b = panel->browse();
    QStringList wantedColumns = {"Fecha", "Hora Inicio", "Indicativo", "Nombre"};
    if (withBand)
        wantedColumns << QStringLiteral("Banda");
    if (withMode)
        wantedColumns << QStringLiteral("Modo");
    wantedColumns << QStringList{"RST Tx", "RST Rx", "QSL RX", "QSL TX"};
    const QStringList rest = {"QSL Recibida", "QSL Enviada", "Comentario", "QSL Via", "Locator", "Dist.", "Prv",
                              "Ref IOTA", "Nombre IOTA", "QTH", "Cont", "WAZ", "ITU"};
    const std::vector<logbook::LogColumn> columns = logbook::logColumns();
    auto add = [&](const QString& name) {
        for (const logbook::LogColumn& c : columns)
            if (logbook::singleLine(c.heading) == name) {
                ui::BrowseColumn bc{c.heading, [text = c.text](store::WorkArea& a) { return text(a).trimmed(); }};
                if (c.rightAligned)
                    bc.align = Qt::AlignRight | Qt::AlignVCenter;
                if (const int chars = qsoColumnChars(name))
                    bc.width = charsWide(b, chars);
                b->addColumn(bc);
                return;
            }
    };
    for (const QString& n : wantedColumns)
        add(n);
    if (withLotw)
        b->addColumn({QStringLiteral("LOTW\r\nRX"), [](store::WorkArea& a) { return refdata::INFOQSL(a.str(QStringLiteral("LOTWRCVD"))); },
                      Qt::AlignLeft | Qt::AlignVCenter, {}, {}, charsWide(b, 4)});
    for (const QString& n : rest)
        add(n);
    b->setFrozenColumns(3);
    auto edit = [area] {
        if (!area->eof() && awardsHost().editQso)
            awardsHost().editQso(area->recNo());
    };
    panel->onEdit(edit);
    if (panelOut)
        *panelOut = panel;
    return content;
}

AwardStatusView::AwardStatusView(const AwardStatus& status, store::WorkArea* dpl, const QString& path, QWidget* parent)
    : QWidget(parent), m_status(status), m_path(path)
{
    setObjectName(QStringLiteral("EstDpl"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_panel = new ui::GridPanel(dpl, this);
    layout->addWidget(m_panel);
    auto* bar = new QLabel(m_status.def.description, this);
    bar->setObjectName(QStringLiteral("status"));
    bar->setFrameShape(QFrame::StyledPanel);
    layout->addWidget(bar);
    ui::tQ7Browse* b = m_panel->browse();
    b->addColumn({referenceHeading(m_status), [](store::WorkArea& a) { return a.str(QStringLiteral("DESC")); },
                  Qt::AlignLeft | Qt::AlignVCenter, {}, {}, charsWide(b, 21)});
    b->addColumn({QStringLiteral("Modo"), [](store::WorkArea& a) { return a.str(QStringLiteral("MODO")); },
                  Qt::AlignLeft | Qt::AlignVCenter, {}, {}, charsWide(b, 6)});
    for (const QString& column : m_status.columns()) {
        ui::BrowseColumn c{column, [column](store::WorkArea& a) { return a.str(column); }};
        c.align = Qt::AlignCenter;
        c.background = [column](store::WorkArea& a) { return cellColour(a.str(column)); };
        c.width = charsWide(b, 5);
        b->addColumn(c);
    }
    m_panel->addButton(QStringLiteral("Imprimir"), QStringLiteral("Imprimir"), QStringLiteral("Imprimir"),
                       {QStringLiteral("document-print")}, [this] { print(); });
    m_panel->addButton(QStringLiteral("OpenOffice"), QStringLiteral("OpenOffice"), QStringLiteral("Exportar a OpenOffice"),
                       {QStringLiteral("x-office-spreadsheet")}, [this] { exportSheet(true); });
    m_panel->addButton(QStringLiteral("Excel"), QStringLiteral("Excel"), QStringLiteral("Exportar a Excel"),
                       {QStringLiteral("x-office-spreadsheet")}, [this] { exportSheet(false); });
    m_panel->setCaptionsShown(true);
    m_panel->onEdit([this] { cellChosen(); });
    m_panel->onDoubleClick([this] { cellChosen(); });
}

AwardStatusView::~AwardStatusView()
{
    ws().close(kStatusAlias);
    ws().drop(m_path);
}

void AwardStatusView::cellChosen()
{
    store::WorkArea* dpl = m_panel->area();
    if (dpl->eof())
        return;
    const QByteArray ref = dpl->value(0).bytes();
    if (ref == QByteArray(ref.size(), 'z'))
        return;   // a totals row
    const int column = m_panel->browse()->currentIndex().column() - 2;
    const QStringList columns = m_status.columns();
    const QString band = column >= 0 && column < m_status.bands.size() ? m_status.bands[column] : QString();
    const QString mode = dpl->str(QStringLiteral("MODO")).trimmed();
    const QString desc = dpl->str(QStringLiteral("DESC")).trimmed();
    const std::vector<quint32> records = DPLDETALLE(m_status.def, {ref, mode, band}, sessionBook());
    ui::GridPanel* panel = nullptr;
    QWidget* list = qsoList(records, band.isEmpty(), mode == QLatin1String("DIG") || mode == QLatin1String("MIXED"), false, nullptr, &panel);
    if (!list)
        return;
    QString title = desc + u' ';
    if (!band.isEmpty())
        title += band + u' ';
    title += mode;
    if (awardsHost().showWindow)
        awardsHost().showWindow(QStringLiteral("DxccWrkd"), title, list, panel);
    else
        delete list;
}

void AwardStatusView::print()
{
    ui::previewGrid(m_panel->browse(), title(m_status.def), this);
}

void AwardStatusView::exportSheet(bool calc)
{
    std::vector<logbook::LogColumn> columns;
    columns.push_back({referenceHeading(m_status), logbook::CellKind::Text, false,
                       [](store::WorkArea& a) { return QVariant(a.str(QStringLiteral("DESC")).trimmed()); }, {}});
    QStringList names{QStringLiteral("MODO")};
    names << m_status.columns();
    for (const QString& n : names)
        columns.push_back({n == QLatin1String("MODO") ? QStringLiteral("Modo") : n, logbook::CellKind::Text, false,
                           [n](store::WorkArea& a) { return QVariant(a.str(n).trimmed()); }, {}});
    logbook::writeAndOpenSheet(QStringLiteral("Dpl%1-").arg(m_status.def.code), *m_panel->area(), columns, calc);
    m_panel->showCurrent();
}

void DPLVIS(const QString& codeIn, QWidget* parent)
{
    if (ws().area(kStatusAlias)) {
        ui::messages().alert(QStringLiteral("Ya hay una ventana de diplomas activa, cierrela y vuelva a intentarlo"));
        if (awardsHost().raiseWindow)
            awardsHost().raiseWindow(QStringLiteral("EstDpl"));
        return;
    }
    QString code = codeIn;
    if (code.isEmpty())
        if (store::WorkArea* cfg = ws().area(store::alias::kDplCfg); cfg && !cfg->eof())
            code = cfg->str(QStringLiteral("CODDPL")).trimmed();
    AwardDef def;
    if (!findDefinition(code, &def)) {
        ui::messages().alert(QStringLiteral("No existe el diploma ") + code);
        return;
    }
    {
        WorkingCopy copy(def);
        if (!copy.area()) {
            ui::messages().stop(QStringLiteral("No se puede preparar la copia de trabajo del diploma (DplTmp)"));
            return;
        }
        if (!EDTDPLCFG(copy.area(), false, true, parent))
            return;
        copy.area()->goTop();
        def = readDefinition(*copy.area());
    }
    EntitySet set = EntitySet::All;
    if (!def.noStandard && def.field == QLatin1String("DXCC")) {
        const int chosen = ui::messages().list({QStringLiteral("Todas"), QStringLiteral("Activas"), QStringLiteral("Borradas")},
                                               QStringLiteral("¿ INCLUIR ENTIDADES ?"));
        set = chosen == 1 ? EntitySet::Active : chosen == 2 ? EntitySet::Deleted : EntitySet::All;
    }
    AwardStatus status;
    QString error;
    bool done = false;
    ui::messages().wait(QStringLiteral("Calculando diploma,espere por favor..."), def.description,
                        [&] { done = computeAward(def, set, sessionBook(), &status, &error); });
    if (!done) {
        ui::messages().alert(error);
        return;
    }
    const QString path = ws().dataDir() + QStringLiteral("Dpl.dbf");
    store::WorkArea* dpl = nullptr;
    if (!fillStatusTable(status, path).isOk() || !ws().use(path, {.alias = kStatusAlias, .shared = false}, &dpl).isOk()) {
        ui::messages().stop(QStringLiteral("No se puede escribir la tabla del diploma (Dpl)"));
        ws().drop(path);
        return;
    }
    dpl->setOrder(QStringLiteral("Desc"));
    dpl->goTop();
    auto* view = new AwardStatusView(status, dpl, path);
    if (awardsHost().showWindow)
        awardsHost().showWindow(QStringLiteral("EstDpl"), AwardStatusView::title(def), view, view->panel());
    else {
        view->setAttribute(Qt::WA_DeleteOnClose);
        view->setWindowTitle(AwardStatusView::title(def));
        view->show();
    }
}

} // namespace awards
