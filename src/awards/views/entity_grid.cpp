#include "entity_grid.h"

#include "award_view.h"
#include "awards_host.h"

#include "refdata/names.h"

#include <QHeaderView>

namespace awards {

EntityGrid::EntityGrid(QWidget* parent) : QTableWidget(parent)
{
    setObjectName(QStringLiteral("EstDxcc"));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setDefaultSectionSize(QFontMetrics(font()).horizontalAdvance(QStringLiteral("160")) + 8);
    horizontalHeader()->setMinimumSectionSize(20);
    connect(this, &QTableWidget::cellDoubleClicked, this, &EntityGrid::listCell);
}

void EntityGrid::show(const EntityPanelState& state, const QString& band, const QString& mode)
{
    const EntityStatus& s = state.status();
    m_entity = s.entity;
    m_bands = s.def.bands;
    m_modes.clear();
    setColumnCount(1 + int(m_bands.size()));
    QStringList headers{QStringLiteral("MOD")};
    for (const QString& b : m_bands)
        headers << b.left(3);
    setHorizontalHeaderLabels(headers);
    setRowCount(int(s.rows.size()));
    const QColor blue(0, 0, 160);
    const QColor green(0x9C, 0xE0, 0x8C);
    for (int r = 0; r < int(s.rows.size()); ++r) {
        const EntityRow& row = s.rows[size_t(r)];
        m_modes << row.mode;
        auto* m = new QTableWidgetItem(row.mode);
        m->setForeground(blue);
        setItem(r, 0, m);
        for (int c = 0; c < row.cells.size(); ++c) {
            auto* it = new QTableWidgetItem(row.cells[c]);
            it->setTextAlignment(Qt::AlignCenter);
            it->setForeground(blue);
            it->setBackground(row.worked[size_t(c)] ? green : QColor(Qt::white));
            setItem(r, c + 1, it);
        }
    }
    setColumnWidth(0, QFontMetrics(font()).horizontalAdvance(QStringLiteral("MIXED")) + 8);
    for (int c = 1; c < columnCount(); ++c)
        setColumnWidth(c, horizontalHeader()->defaultSectionSize());
    if (!band.isEmpty() || !mode.isEmpty()) {
        const auto [row, column] = state.position(band, mode);
        if (row >= 0 && column >= 0)
            setCurrentCell(row, column + 1);
        else
            clearSelection();
    }
}

int EntityGrid::fullWidth() const
{
    int w = 2 * frameWidth() + 2;
    for (int c = 0; c < columnCount(); ++c)
        w += columnWidth(c);
    return w;
}

void EntityGrid::listCell(int row, int column)
{
    if (row < 0 || row >= m_modes.size())
        return;
    const QString band = column > 0 && column <= m_bands.size() ? m_bands[column - 1] : QString();
    const QString mode = m_modes[row];
    const CellList l = DXCCWRKD(m_entity, mode, band, sessionBook());
    ui::GridPanel* panel = nullptr;
    QWidget* list = qsoList(l.records, band.isEmpty(), mode == QLatin1String("DIG") || mode == QLatin1String("MIXED"), true, nullptr, &panel);
    if (!list)
        return;
    const QString title = entityCellTitle(refdata::NOMENT(m_entity), band, mode, l);
    if (awardsHost().showWindow)
        awardsHost().showWindow(QStringLiteral("DxccWrkd"), title, list, panel);
    else
        delete list;
}

} // namespace awards
