#include "previous_qsos_window.h"
#include "ui/stored_colour.h"

#include "awards_host.h"
#include "column_widths.h"
#include "entity_grid.h"

#include "awards/entity_status.h"
#include "awards/local_time.h"
#include "logbook/log_columns.h"
#include "logbook/views/entry_form.h"
#include "logbook/views/qso_menu.h"
#include "refdata/names.h"
#include "store/aliases.h"
#include "store/record_buffer.h"
#include "store/work_area.h"
#include "store/workspace.h"
#include "ui/dialog_helpers.h"
#include "ui/grid_panel.h"
#include "ui/q7browse.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace awards {

namespace {

store::Workspace& ws() { return store::Workspace::instance(); }

QColor rgb(double v, const QColor& zero)
{
    const qint64 n = qint64(v);
    return n == 0 ? zero : ui::storedColour(n);
}

} // namespace

PreviousQsosWindow* PreviousQsosWindow::open(QWidget* parent)
{
    store::WorkArea* log2 = ws().area(store::alias::kLog2);
    if (!log2)
        return nullptr;
    // limited to the call of the log's current QSO
    if (store::WorkArea* log = ws().area(store::alias::kLog); log && !log->eof()) {
        const QString call = log->str(QStringLiteral("CALL")).trimmed().toUpper();
        log2->clearFilter();
        log2->setOrder(QStringLiteral("Call"));
        if (!call.isEmpty())
            log2->setScope(store::Value::text(call), store::Value::text(call));
        log2->goTop();
    }
    return new PreviousQsosWindow(parent);
}

PreviousQsosWindow::PreviousQsosWindow(QWidget* parent) : QWidget(parent), m_state(std::make_unique<EntityPanelState>())
{
    setObjectName(QStringLiteral("QsoAnt"));
    store::WorkArea* log2 = ws().area(store::alias::kLog2);
    auto* top = new QVBoxLayout(this);
    top->setContentsMargins(2, 2, 2, 2);

    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(new QLabel(QStringLiteral("Buscar indicativo:"), this));
    m_search = ui::lineEdit(this, QStringLiteral("search"), QString(), true, 15);
    m_search->setMaxLength(15);
    m_search->setToolTip(QStringLiteral("Indicativo a buscar"));
    searchRow->addWidget(m_search);
    m_partial = new QCheckBox(QStringLiteral("Busqueda parcial del indicativo"), this);
    m_partial->setObjectName(QStringLiteral("partial"));
    m_partial->setToolTip(QStringLiteral("Busqueda parcial, por cualquier parte del indicativo"));
    m_partial->setChecked(true);
    searchRow->addWidget(m_partial);
    searchRow->addStretch();
    top->addLayout(searchRow);

    m_panel = new ui::GridPanel(log2, this);
    m_panel->bar()->hide();
    ui::tQ7Browse* b = m_panel->browse();
    const std::vector<logbook::LogColumn> columns = logbook::logColumns();
    auto add = [&](const QString& heading) {
        for (const logbook::LogColumn& c : columns)
            if (c.heading == heading) {
                ui::BrowseColumn bc{c.heading, [text = c.text](store::WorkArea& a) { return text(a).trimmed(); }};
                if (c.rightAligned)
                    bc.align = Qt::AlignRight | Qt::AlignVCenter;
                if (const int chars = qsoColumnChars(logbook::singleLine(c.heading)))
                    bc.width = charsWide(b, chars);
                b->addColumn(bc);
                return;
            }
    };
    for (const char* h : {"Fecha", "Hora\r\nInicio", "Hora\r\nFin", "Indicativo"})
        add(QString::fromUtf8(h));
    b->addColumn({QStringLiteral("Pfx"), [](store::WorkArea& a) { return a.str(QStringLiteral("PFX")); }, Qt::AlignLeft | Qt::AlignVCenter,
                  {}, {}, charsWide(b, 5)});
    for (const char* h : {"Nombre", "Banda", "Frec", "Modo", "RST\r\nTx", "RST\r\nRx", "Entidad", "Prv", "QSL\r\nVia", "QSL\r\nRX",
                          "QSL\r\nTX", "QSL\r\nRecibida", "QSL\r\nEnviada", "QTH", "Cont", "WAZ", "ITU", "Ref\r\nIOTA",
                          "Nombre\r\nIOTA", "Locator", "Edad", "Comentario", "Cod\r\nEnt."})
        add(QString::fromUtf8(h));
    b->setFrozenColumns(3);
    b->setRecordSelector(true);
    if (store::WorkArea* cfg = ws().area(store::alias::kCfg); cfg && cfg->logical(QStringLiteral("ACOLACT"))) {
        const QColor rxFor = rgb(cfg->num(QStringLiteral("AQSLRXFOR")), Qt::black), rxBck = rgb(cfg->num(QStringLiteral("AQSLRXBCK")), Qt::white);
        const QColor txFor = rgb(cfg->num(QStringLiteral("AQSLTXFOR")), Qt::black), txBck = rgb(cfg->num(QStringLiteral("AQSLTXBCK")), Qt::white);
        b->setRowColors([=](store::WorkArea& a) -> std::pair<QColor, QColor> {
            if (a.str(QStringLiteral("QSLRCVD")).startsWith(u'Y'))
                return {rxFor, rxBck};
            if (a.str(QStringLiteral("QSLSENT")).startsWith(u'Y'))
                return {txFor, txBck};
            return {Qt::black, Qt::white};
        });
    }
    auto edit = [log2] {
        if (!log2->eof() && awardsHost().editQso)
            awardsHost().editQso(log2->recNo());
    };
    m_panel->onEdit(edit);
    m_panel->onCreate([] {
        if (awardsHost().newQso)
            awardsHost().newQso();
    });
    m_panel->onDelete([this] { m_panel->showCurrent(); });
    b->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(b, &QWidget::customContextMenuRequested, this, [b](const QPoint& at) {
        if (QMenu* m = logbook::MNUPOP(b, store::alias::kLog2)) {
            m->exec(b->viewport()->mapToGlobal(at));
            m->deleteLater();
        }
    });
    top->addWidget(m_panel, 1);

    auto* bottom = new QWidget(this);
    bottom->setFixedHeight(120);
    auto* bl = new QHBoxLayout(bottom);
    bl->setContentsMargins(0, 0, 0, 0);
    auto* info = new QWidget(bottom);
    info->setFixedWidth(250);
    auto* g = new QGridLayout(info);
    g->setContentsMargins(4, 0, 4, 0);
    g->setVerticalSpacing(0);
    auto* name = new QLabel(info);
    name->setObjectName(QStringLiteral("entity"));
    QFont bold = name->font();
    bold.setBold(true);
    name->setFont(bold);
    g->addWidget(name, 0, 0, 1, 3);
    int row = 1;
    auto line = [&](const QString& caption, const char* first, const char* second) {
        g->addWidget(new QLabel(caption, info), row, 0);
        auto* a = new QLabel(info);
        a->setObjectName(QString::fromLatin1(first));
        a->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        g->addWidget(a, row, 1);
        if (second) {
            auto* s = new QLabel(info);
            s->setObjectName(QString::fromLatin1(second));
            s->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            g->addWidget(s, row, 2);
        }
        ++row;
    };
    line(QStringLiteral("Paso corto"), "spBearing", "spDistance");
    line(QStringLiteral("Paso largo"), "lpBearing", "lpDistance");
    line(QStringLiteral("Orto(gmt)"), "sunrise", nullptr);
    line(QStringLiteral("Ocaso(gmt)"), "sunset", nullptr);
    line(QStringLiteral("CQ Zone"), "cqz", nullptr);
    line(QStringLiteral("ITU Zone"), "ituz", nullptr);
    auto* local = new QPushButton(QStringLiteral("Hora local"), info);
    local->setObjectName(QStringLiteral("localTimeButton"));
    g->addWidget(local, row, 0);
    auto* localText = new QLabel(QStringLiteral("  :  "), info);
    localText->setObjectName(QStringLiteral("localTime"));
    g->addWidget(localText, row, 1);
    auto* source = new QLabel(info);
    source->setObjectName(QStringLiteral("localSource"));
    QFont small = source->font();
    small.setPointSizeF(small.pointSizeF() * 0.8);
    source->setFont(small);
    g->addWidget(source, row, 2);
    bl->addWidget(info);
    m_grid = new EntityGrid(bottom);
    bl->addWidget(m_grid, 1);
    top->addWidget(bottom);

    connect(local, &QPushButton::clicked, this, &PreviousQsosWindow::askLocalTime);
    connect(m_search, &QLineEdit::textEdited, this, [this] { search(); });
    connect(m_partial, &QCheckBox::toggled, this, [this] { search(); });
    // every refresh of the list (the window's own, or REFWND from the entry form and the log window)
    connect(b->model(), &QAbstractItemModel::modelReset, this, [this] {
        if (m_pending)
            return;
        m_pending = true;
        QTimer::singleShot(0, this, [this] {
            m_pending = false;
            refreshPanel();
        });
    });
    connect(b, &ui::tQ7Browse::currentRecordChanged, this, [this](quint32) { refreshPanel(); });
    refreshPanel();
}

PreviousQsosWindow::~PreviousQsosWindow() = default;

QLabel* PreviousQsosWindow::value(const char* name)
{
    return findChild<QLabel*>(QString::fromLatin1(name));
}

QString PreviousQsosWindow::shown(const char* label) const
{
    const auto* l = findChild<QLabel*>(QString::fromLatin1(label));
    return l ? l->text() : QString();
}

void PreviousQsosWindow::search()
{
    store::WorkArea* log2 = m_panel->area();
    ACTQSOANT(*log2, m_search->text(), m_partial->isChecked());
    m_fromSearch = true;
    m_panel->showCurrent();
    refreshPanel();
    m_fromSearch = false;
}

void PreviousQsosWindow::refreshPanel()
{
    store::WorkArea* log2 = m_panel->area();
    QString station;
    if (store::WorkArea* cfg = ws().area(store::alias::kCfg))
        station = cfg->str(QStringLiteral("QRA"));
    QString entity, band, mode;
    if (logbook::EDTLOGVIS() && logbook::EDTLOGDBF()) {
        const store::RecordBuffer& q = *logbook::EDTLOGDBF();
        entity = q.get(QStringLiteral("CODENT")).toString();
        band = q.get(QStringLiteral("BAND")).toString();
        mode = q.get(QStringLiteral("MODE")).toString();
        m_info = infoFromQso(entity, q.get(QStringLiteral("GRIDSQUARE")).toString(), q.get(QStringLiteral("QRA")).toString(), station);
    }
    else if (m_fromSearch && log2->eof() && !m_search->text().trimmed().isEmpty()) {
        m_info = infoFromCall(m_search->text(), station);
        entity = m_info.entity;
    }
    else if (!log2->eof()) {
        entity = log2->str(QStringLiteral("CODENT"));
        band = log2->str(QStringLiteral("BAND"));
        mode = log2->str(QStringLiteral("MODE"));
        m_info = infoFromQso(entity, log2->str(QStringLiteral("GRIDSQUARE")), log2->str(QStringLiteral("QRA")), station);
    }
    else
        m_info = InfoPanel{};
    value("entity")->setText(m_info.entityName);
    value("spBearing")->setText(m_info.shortPathBearing());
    value("spDistance")->setText(m_info.shortPathDistance());
    value("lpBearing")->setText(m_info.longPathBearing());
    value("lpDistance")->setText(m_info.longPathDistance());
    value("sunrise")->setText(m_info.sunrise);
    value("sunset")->setText(m_info.sunset);
    value("cqz")->setText(m_info.cqz);
    value("ituz")->setText(m_info.ituz);
    value("localTime")->setText(QStringLiteral("  :  "));
    value("localSource")->clear();
    m_state->DPLVIS(entity);
    m_grid->show(*m_state, band, mode);
}

void PreviousQsosWindow::askLocalTime()
{
    const QString service = awardsHost().timeZoneService ? awardsHost().timeZoneService() : kTimeZoneDefault;
    const LocalTime t = LOCALTIME(m_info.farLocator, m_info.utcDifference, service);
    value("localTime")->setText(t.text);
    value("localSource")->setText(t.sourceText());
    value("localSource")->setToolTip(t.sourceExplained());
    value("localTime")->setToolTip(t.sourceExplained());
}

} // namespace awards
