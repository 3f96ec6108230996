#include "q7browse.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QStyledItemDelegate>

#include "store/work_area.h"

#include <QAbstractTableModel>
#include <QDateTime>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>

#include <algorithm>
#include <unordered_map>

namespace ui {

class BrowseModel : public QAbstractTableModel {
public:
    explicit BrowseModel(store::WorkArea* a) : m_area(a) {}

    int rowCount(const QModelIndex& = QModelIndex()) const override { return int(m_recs.size()); }
    int columnCount(const QModelIndex& = QModelIndex()) const override { return int(m_cols.size()); }

    QVariant data(const QModelIndex& idx, int role) const override
    {
        if (!idx.isValid() || idx.row() >= int(m_recs.size()) || idx.column() >= int(m_cols.size()))
            return {};
        const BrowseColumn& c = m_cols[size_t(idx.column())];
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(c.align);
        if (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::ForegroundRole && role != Qt::BackgroundRole
            && !(role == Qt::DecorationRole && c.icon))
            return {};
        const Row& r = row(idx.row());
        const Cell& cell = r.cells[size_t(idx.column())];
        if (role == Qt::DisplayRole)
            return cell.text;
        if (role == Qt::EditRole)
            return cell.text.trimmed();
        if (role == Qt::DecorationRole)
            return cell.icon;
        if (role == Qt::ForegroundRole) {
            QColor col = cell.fore.isValid() ? cell.fore : r.fore;
            return col.isValid() ? QVariant(col) : QVariant();
        }
        QColor col = cell.back.isValid() ? cell.back : r.back;
        return col.isValid() ? QVariant(col) : QVariant();
    }

    Qt::ItemFlags flags(const QModelIndex& idx) const override
    {
        Qt::ItemFlags f = QAbstractTableModel::flags(idx);
        if (idx.isValid() && idx.column() < int(m_cols.size()) && m_cols[size_t(idx.column())].edit)
            f |= Qt::ItemIsEditable;
        return f;
    }

    bool setData(const QModelIndex& idx, const QVariant& value, int role) override
    {
        if (role != Qt::EditRole || !idx.isValid() || idx.row() >= int(m_recs.size()) || idx.column() >= int(m_cols.size()))
            return false;
        const BrowseColumn& c = m_cols[size_t(idx.column())];
        if (!c.edit)
            return false;
        const quint32 rec = m_recs[size_t(idx.row())];
        if (m_area->recNo() != rec || m_area->eof())
            m_area->goTo(rec);
        const bool stored = c.edit(*m_area, value.toString());
        m_cache.erase(idx.row());
        emit dataChanged(index(idx.row(), 0), index(idx.row(), columnCount() - 1));
        return stored;
    }

    QVariant headerData(int section, Qt::Orientation o, int role) const override
    {
        if (o == Qt::Vertical)
            return role == Qt::DisplayRole && section == markedRow ? QVariant(QStringLiteral("\u25B8")) : QVariant();
        if (role != Qt::DisplayRole || section >= int(m_cols.size()))
            return {};
        QString h = m_cols[size_t(section)].header;
        return h.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    }

    void addColumn(const BrowseColumn& c)
    {
        beginInsertColumns({}, int(m_cols.size()), int(m_cols.size()));
        m_cols.push_back(c);
        m_cache.clear();
        endInsertColumns();
    }

    void setHeader(int col, const QString& h)
    {
        m_cols[size_t(col)].header = h;
        emit headerDataChanged(Qt::Horizontal, col, col);
    }

    const BrowseColumn& column(int i) const { return m_cols[size_t(i)]; }

    void reload()
    {
        beginResetModel();
        markedRow = -1;
        m_area->visibleRecords(&m_recs);
        m_rowOf.clear();
        m_cache.clear();
        endResetModel();
    }

    // Shows a record the list leaves out (deleted, or outside the filter) at row.
    void insertRecord(quint32 rec, int row)
    {
        row = std::clamp(row, 0, int(m_recs.size()));
        beginInsertRows({}, row, row);
        m_recs.insert(m_recs.begin() + row, rec);
        m_rowOf.clear();
        m_cache.clear();
        endInsertRows();
    }

    quint32 rec(int row) const { return row >= 0 && row < int(m_recs.size()) ? m_recs[size_t(row)] : 0; }
    int rowOf(quint32 rec) const
    {
        if (m_rowOf.empty() && !m_recs.empty())
            for (size_t i = 0; i < m_recs.size(); ++i)
                m_rowOf.emplace(m_recs[i], int(i));
        auto it = m_rowOf.find(rec);
        return it == m_rowOf.end() ? -1 : it->second;
    }

    // The row the record selector marks (-1: none).
    void markRow(int r)
    {
        const int before = markedRow;
        markedRow = r;
        if (before >= 0 && before < rowCount())
            emit headerDataChanged(Qt::Vertical, before, before);
        if (r >= 0 && r != before)
            emit headerDataChanged(Qt::Vertical, r, r);
    }

    std::function<std::pair<QColor, QColor>(store::WorkArea&)> rowColors;
    std::function<std::pair<QColor, QColor>(int, store::WorkArea&)> rowColorsAt;
    quint32 current = 0;   // the record the area should stand on between reads
    int markedRow = -1;

private:
    struct Cell {
        QString text;
        QColor fore, back;
        QIcon icon;
    };
    struct Row {
        std::vector<Cell> cells;
        QColor fore, back;
    };

    const Row& row(int r) const
    {
        auto it = m_cache.find(r);
        if (it != m_cache.end())
            return it->second;
        if (m_cache.size() > 400)
            m_cache.clear();
        Row row;
        const quint32 rec = m_recs[size_t(r)];
        const bool move = m_area->recNo() != rec || m_area->eof();
        if (move)
            m_area->goTo(rec);
        if (rowColorsAt) {
            auto [f, b] = rowColorsAt(r, *m_area);
            row.fore = f;
            row.back = b;
        } else if (rowColors) {
            auto [f, b] = rowColors(*m_area);
            row.fore = f;
            row.back = b;
        }
        for (const BrowseColumn& c : m_cols) {
            Cell cell;
            if (c.text)
                cell.text = c.text(*m_area);
            if (c.foreground)
                cell.fore = c.foreground(*m_area);
            if (c.background)
                cell.back = c.background(*m_area);
            if (c.icon)
                cell.icon = c.icon(*m_area);
            row.cells.push_back(std::move(cell));
        }
        if (move && current)
            m_area->goTo(current);
        return m_cache.emplace(r, std::move(row)).first->second;
    }

    store::WorkArea* m_area;
    std::vector<BrowseColumn> m_cols;
    std::vector<quint32> m_recs;
    mutable std::unordered_map<quint32, int> m_rowOf;
    mutable std::unordered_map<int, Row> m_cache;
};

// The editor of a cell: a list for columns with choices, otherwise a line
// that takes what the field can hold.
class BrowseEditor : public QStyledItemDelegate {
public:
    BrowseEditor(BrowseModel* model, QObject* parent) : QStyledItemDelegate(parent), m_model(model) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& idx) const override
    {
        const BrowseColumn& c = m_model->column(idx.column());
        if (!c.choices.isEmpty()) {
            auto* box = new QComboBox(parent);
            box->addItems(c.choices);
            return box;
        }
        QWidget* w = QStyledItemDelegate::createEditor(parent, option, idx);
        if (auto* line = qobject_cast<QLineEdit*>(w)) {
            if (c.maxLength > 0)
                line->setMaxLength(c.maxLength);
            if (c.digits)
                line->setValidator(new QRegularExpressionValidator(
                    QRegularExpression(QStringLiteral("\\d{0,%1}").arg(c.maxLength > 0 ? c.maxLength : 18)), line));
        }
        return w;
    }
    void setEditorData(QWidget* editor, const QModelIndex& idx) const override
    {
        if (auto* box = qobject_cast<QComboBox*>(editor)) {
            const int i = box->findText(idx.data(Qt::EditRole).toString());
            box->setCurrentIndex(qMax(0, i));
            return;
        }
        QStyledItemDelegate::setEditorData(editor, idx);
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& idx) const override
    {
        if (auto* box = qobject_cast<QComboBox*>(editor)) {
            model->setData(idx, box->currentText(), Qt::EditRole);
            return;
        }
        QStyledItemDelegate::setModelData(editor, model, idx);
    }

private:
    BrowseModel* m_model;
};

tQ7Browse::tQ7Browse(store::WorkArea* area, QWidget* parent)
    : QTableView(parent), m_area(area), m_model(std::make_unique<BrowseModel>(area))
{
    setObjectName(QStringLiteral("TQ7Browse"));
    setModel(m_model.get());
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setItemDelegate(new BrowseEditor(m_model.get(), this));
    setWordWrap(false);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->hide();
    horizontalHeader()->setSectionsMovable(true);
    horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    connect(this, &QTableView::doubleClicked, this, [this](const QModelIndex& i) { emit recordActivated(m_model->rec(i.row())); });
    m_model->reload();
}

tQ7Browse::~tQ7Browse()
{
    setModel(nullptr);
    if (m_frozenView)
        m_frozenView->setModel(nullptr);
}

void tQ7Browse::addColumn(const BrowseColumn& c)
{
    m_model->addColumn(c);
    const int col = m_model->columnCount() - 1;
    int w = c.width;
    if (w <= 0) {
        int headerWidth = 0;
        for (const QString& line : c.header.split(QStringLiteral("\r\n")))
            headerWidth = qMax(headerWidth, fontMetrics().horizontalAdvance(line));
        w = headerWidth + 16;
    }
    setColumnWidth(col, w);
    if (QFontMetrics(font()).height() * 2 > horizontalHeader()->height() && c.header.contains(QStringLiteral("\r\n")))
        horizontalHeader()->setMinimumHeight(fontMetrics().height() * 2 + 8);
}

void tQ7Browse::addField(const QString& field, const QString& header)
{
    const int pos = m_area->fieldPos(field);
    if (pos < 0)
        return;
    const store::DbfField f = m_area->field(pos);
    BrowseColumn c;
    c.header = header.isEmpty() ? field : header;
    const bool number = f.type == 'N';
    c.align = (number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
    c.text = [pos, f](store::WorkArea& a) -> QString {
        const store::Value v = a.value(pos);
        switch (f.type) {
        case 'N': return QString::number(v.toNumber(), 'f', f.dec);
        case 'D': return v.julianDay() ? v.toDate().toString(QStringLiteral("dd-MM-yy")) : QString();
        case 'L': return v.toBool() ? QStringLiteral("Si") : QStringLiteral("No");
        default: return v.toString().trimmed();
        }
    };
    // room for the field's width in digits (a time, a date, a number) or most of it in letters
    const int chars = f.type == 'D' ? 8 : qMin(f.len + (f.type == 'N' ? 1 : 0), 40);
    c.width = qMax(fontMetrics().horizontalAdvance(QString(chars, QLatin1Char('0'))) + 12,
                   fontMetrics().horizontalAdvance(c.header) + 16);
    addColumn(c);
}

int tQ7Browse::columnCount() const { return m_model->columnCount(); }

void tQ7Browse::setRowColors(std::function<std::pair<QColor, QColor>(store::WorkArea&)> fn)
{
    m_model->rowColors = std::move(fn);
}

void tQ7Browse::setRowColorsAt(std::function<std::pair<QColor, QColor>(int row, store::WorkArea&)> fn)
{
    m_model->rowColorsAt = std::move(fn);
}

void tQ7Browse::setFrozenColumns(int n)
{
    m_frozen = qMax(0, n);
    if (m_frozen == 0) {
        delete m_frozenView;
        m_frozenView = nullptr;
        return;
    }
    if (!m_frozenView) {
        // A second view over the same model, painted over the first columns.
        m_frozenView = new QTableView(this);
        m_frozenView->setModel(m_model.get());
        m_frozenView->setFocusPolicy(Qt::NoFocus);
        m_frozenView->setEditTriggers(QAbstractItemView::NoEditTriggers);
        m_frozenView->setItemDelegate(new BrowseEditor(m_model.get(), m_frozenView));
        m_frozenView->verticalHeader()->hide();
        m_frozenView->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        m_frozenView->setSelectionModel(selectionModel());
        m_frozenView->setSelectionBehavior(QAbstractItemView::SelectRows);
        m_frozenView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_frozenView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_frozenView->setStyleSheet(QStringLiteral("QTableView { border: none; }"));
        m_frozenView->verticalHeader()->setDefaultSectionSize(verticalHeader()->defaultSectionSize());
        m_frozenView->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        viewport()->stackUnder(m_frozenView);
        connect(m_frozenView->verticalScrollBar(), &QAbstractSlider::valueChanged, verticalScrollBar(), &QAbstractSlider::setValue);
        connect(verticalScrollBar(), &QAbstractSlider::valueChanged, m_frozenView->verticalScrollBar(), &QAbstractSlider::setValue);
        connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int, int, int) { layoutFrozen(); });
        connect(m_frozenView, &QTableView::doubleClicked, this, [this](const QModelIndex& i) { emit recordActivated(m_model->rec(i.row())); });
        m_frozenView->show();
    }
    layoutFrozen();
}

void tQ7Browse::setRecordSelector(bool on)
{
    verticalHeader()->setVisible(on);
    if (on) {
        verticalHeader()->setFixedWidth(fontMetrics().horizontalAdvance(QChar(0x25B8)) + 10);
        verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
        verticalHeader()->setSectionsClickable(false);
        m_model->markRow(currentIndex().row());
    }
    layoutFrozen();
}

void tQ7Browse::layoutFrozen()
{
    if (!m_frozenView)
        return;
    int width = 0;
    for (int c = 0; c < m_model->columnCount(); ++c) {
        const int logical = horizontalHeader()->logicalIndex(c);
        const bool frozen = c < m_frozen;
        m_frozenView->setColumnHidden(logical, !frozen || isColumnHidden(logical));
        if (frozen && !isColumnHidden(logical)) {
            m_frozenView->setColumnWidth(logical, columnWidth(logical));
            width += columnWidth(logical);
        }
    }
    m_frozenView->horizontalHeader()->setFixedHeight(horizontalHeader()->height());
    m_frozenView->setGeometry(verticalHeader()->width() + frameWidth(), frameWidth(), width,
                              viewport()->height() + horizontalHeader()->height());
}

void tQ7Browse::resizeEvent(QResizeEvent* e)
{
    QTableView::resizeEvent(e);
    layoutFrozen();
}

void tQ7Browse::scrollContentsBy(int dx, int dy)
{
    QTableView::scrollContentsBy(dx, dy);
    layoutFrozen();
}

void tQ7Browse::refresh()
{
    const quint32 rec = currentRecord() ? currentRecord() : m_area->recNo();
    m_model->reload();
    if (!setCurrentRecord(rec) && m_model->rowCount() > 0)
        setCurrentIndex(m_model->index(0, 0));
    layoutFrozen();
}

quint32 tQ7Browse::currentRecord() const
{
    return m_model->rec(currentIndex().row());
}

int tQ7Browse::rowOf(quint32 rec) const { return m_model->rowOf(rec); }

bool tQ7Browse::setCurrentRecord(quint32 rec)
{
    const int r = m_model->rowOf(rec);
    if (r < 0)
        return false;
    setCurrentIndex(m_model->index(r, qMax(0, currentIndex().column())));
    scrollTo(currentIndex());
    return true;
}

bool tQ7Browse::showRecord(quint32 rec)
{
    if (setCurrentRecord(rec))
        return true;
    if (rec < 1 || rec > m_area->recCount())
        return false;
    // Its place is before the next record the list holds, in the grid's order.
    int row = m_model->rowCount();
    if (m_area->goTo(rec) && m_area->skip(1) && !m_area->eof())
        if (const int next = m_model->rowOf(m_area->recNo()); next >= 0)
            row = next;
    m_area->goTo(rec);
    m_model->insertRecord(rec, row);
    return setCurrentRecord(rec);
}

std::vector<quint32> tQ7Browse::selectedRecords() const
{
    std::vector<quint32> out;
    for (const QModelIndex& i : selectionModel()->selectedRows())
        out.push_back(m_model->rec(i.row()));
    std::sort(out.begin(), out.end());
    return out;
}

void tQ7Browse::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    const quint32 rec = m_model->rec(current.row());
    m_model->current = rec;
    if (!verticalHeader()->isHidden())
        m_model->markRow(current.row());
    if (rec && (m_area->recNo() != rec || m_area->eof()))
        m_area->goTo(rec);
    if (rec && rec != m_model->rec(previous.row()))
        emit currentRecordChanged(rec);
}

void tQ7Browse::keyPressEvent(QKeyEvent* e)
{
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && currentIndex().isValid()) {
        emit recordActivated(currentRecord());
        return;
    }
    const QString t = e->text();
    if (!t.isEmpty() && t.at(0).isPrint() && !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        && !m_area->orderName().isEmpty()) {
        // Incremental search in the current order; a pause starts a new search.
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        if (now - m_lastKey > 1500)
            m_search.clear();
        m_lastKey = now;
        m_search += t.toUpper();
        emit searchChanged(m_search);
        bool found = false;
        if (m_seek) {
            found = m_seek(m_search);
        } else {
            m_area->seek(store::Value::text(m_search), true);
            found = !m_area->eof();
        }
        if (found && !m_area->eof())
            setCurrentRecord(m_area->recNo());
        else if (const quint32 rec = currentRecord())
            m_area->goTo(rec);   // nothing there: the area stays on the row shown
        return;
    }
    if (e->key() == Qt::Key_Backspace && !m_search.isEmpty()) {
        m_search.chop(1);
        emit searchChanged(m_search);
        return;
    }
    QTableView::keyPressEvent(e);
}

bool tQ7Browse::editCurrentCell()
{
    const QModelIndex i = currentIndex();
    if (!i.isValid() || !(m_model->flags(i) & Qt::ItemIsEditable))
        return false;
    // a frozen column is painted by the view over it: edit there
    QTableView* view = m_frozenView && i.column() < m_frozen ? m_frozenView : static_cast<QTableView*>(this);
    view->edit(i);
    return true;
}

QString tQ7Browse::SaveState(bool olderForm) const
{
    QStringList parts;
    parts << QString::number(verticalHeader()->defaultSectionSize());
    const QHeaderView* h = horizontalHeader();
    for (int visual = 0; visual < m_model->columnCount(); ++visual) {
        const int logical = h->logicalIndex(visual);
        const QString order = QString::number(logical + 1);
        const QString width = QString::number(h->sectionSize(logical) ? h->sectionSize(logical) : columnWidth(logical));
        const QString flag = h->isSectionHidden(logical) ? QStringLiteral("H") : QStringLiteral("S");
        QString header = m_model->column(logical).header;
        if (olderForm)
            parts << order + ':' + width + ':' + header + ':' + flag;
        else
            parts << order + ':' + width + ':' + flag + ':' + header.replace(QStringLiteral("\r\n"), QStringLiteral("$&"));
    }
    return parts.join(QLatin1Char(';'));
}

void tQ7Browse::RestoreState(const QString& state)
{
    if (state.isEmpty())
        return;
    if (state.startsWith(QStringLiteral("XS"))) {
        horizontalHeader()->restoreState(QByteArray::fromBase64(state.mid(2).toLatin1()));
        layoutFrozen();
        return;
    }
    const QStringList tokens = state.split(QLatin1Char(';'));
    const int n = m_model->columnCount();
    if (tokens.size() < n + 1)
        return;   // a column was added since: keep the default layout
    for (int i = 1; i <= n; ++i)
        if (tokens[i].isEmpty())
            return;
    bool ok = false;
    const int rowHeight = tokens[0].toInt(&ok);
    if (!ok || rowHeight <= 0)
        return;
    verticalHeader()->setDefaultSectionSize(rowHeight);
    if (m_frozenView)
        m_frozenView->verticalHeader()->setDefaultSectionSize(rowHeight);
    QHeaderView* h = horizontalHeader();
    for (int slot = 1; slot <= n; ++slot) {
        const QStringList f = tokens[slot].split(QLatin1Char(':'));
        const int order = f.value(0).toInt();
        if (order < 1 || order > n)
            continue;
        const int logical = order - 1;
        h->setSectionHidden(logical, f.value(2) == QLatin1String("H"));
        const int width = f.value(1).toInt();
        if (width > 0)
            h->resizeSection(logical, width);
        QString header = f.mid(3).join(QLatin1Char(':'));
        if (!header.isEmpty() && !m_headersKept)
            m_model->setHeader(logical, header.replace(QStringLiteral("$&"), QStringLiteral("\r\n")));
        h->moveSection(h->visualIndex(logical), slot - 1);
    }
    layoutFrozen();
    viewport()->update();
}

} // namespace ui
