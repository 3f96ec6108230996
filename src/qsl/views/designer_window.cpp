#include "qsl/views/designer_window.h"

#include "qsl/labels.h"
#include "qsl/print_job.h"
#include "qsl/report.h"

#include "core/messages.h"
#include "store/work_area.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QGraphicsSceneMouseEvent>
#include <QGraphicsView>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QSplitter>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include <cmath>

namespace qsl {

namespace {

constexpr double kSnap = 0.5;     // mm
constexpr double kHandle = 2.0;   // mm: the corner that sizes an item
constexpr double kPointMm = 25.4 / 72;

double snap(double v)
{
    return std::round(v / kSnap) * kSnap;
}

QDoubleSpinBox* mmBox(QWidget* parent, double max = 2000)
{
    auto* b = new QDoubleSpinBox(parent);
    b->setRange(0, max);
    b->setDecimals(1);
    b->setSingleStep(0.5);
    b->setSuffix(QStringLiteral(" mm"));
    return b;
}

} // namespace

// One item on the canvas: its box in millimetres, moved by dragging and
// sized by its lower right corner.
class DesignerItem : public QGraphicsRectItem {
public:
    DesignerItem(DesignerWindow* owner, int index, const Item& item)
        : m_owner(owner)
        , m_index(index)
        , m_item(item)
    {
        setRect(0, 0, std::max(item.mm.width(), 0.5), std::max(item.mm.height(), 0.5));
        setPos(item.mm.topLeft());
        setFlags(ItemIsMovable | ItemIsSelectable | ItemSendsGeometryChanges);
        setAcceptHoverEvents(true);
    }
    int index() const { return m_index; }
    QRectF geometryMm() const
    {
        return QRectF(pos(), rect().size());
    }

    void paint(QPainter* p, const QStyleOptionGraphicsItem*, QWidget*) override
    {
        const QRectF r = rect();
        p->setRenderHint(QPainter::Antialiasing);
        if (m_item.kind == ItemKind::Line) {
            p->setPen(QPen(Qt::black, std::max(0.1, m_item.pen)));
            p->drawLine(r.topLeft(), r.bottomRight());
        } else if (m_item.kind == ItemKind::Box) {
            p->setPen(QPen(Qt::black, std::max(0.1, m_item.pen)));
            p->drawRect(r);
        } else {
            QFont f(m_item.family);
            f.setPixelSize(std::max(1, int(std::lround(m_item.size * kPointMm * 10))));
            f.setBold(m_item.bold);
            f.setItalic(m_item.italic);
            p->save();
            p->scale(0.1, 0.1);   // the font in tenths of a millimetre keeps its shape at any zoom
            p->setFont(f);
            p->setPen(m_item.when.isEmpty() ? QColor(0, 0, 128) : QColor(128, 0, 96));
            const int h = m_item.align == 'C' ? Qt::AlignHCenter : m_item.align == 'R' ? Qt::AlignRight : Qt::AlignLeft;
            const QRectF big(r.x() * 10, r.y() * 10, r.width() * 10, r.height() * 10);
            p->setClipRect(big);
            p->drawText(big, h | Qt::AlignVCenter | Qt::TextSingleLine, m_item.text);
            p->restore();
        }
        // the frame that shows where the item is; red while selected
        QPen frame(isSelected() ? QColor(220, 0, 0) : QColor(150, 150, 150), 0);
        frame.setStyle(Qt::DashLine);
        frame.setCosmetic(true);
        p->setPen(frame);
        p->setBrush(Qt::NoBrush);
        p->drawRect(r);
        if (isSelected()) {
            p->setBrush(QColor(220, 0, 0));
            p->drawRect(QRectF(r.bottomRight() - QPointF(kHandle / 2, kHandle / 2), QSizeF(kHandle / 2, kHandle / 2)));
        }
    }

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent* e) override
    {
        const QPointF corner = rect().bottomRight();
        m_sizing = isSelected() && std::abs(e->pos().x() - corner.x()) <= kHandle && std::abs(e->pos().y() - corner.y()) <= kHandle;
        if (m_sizing) {
            e->accept();
            return;
        }
        QGraphicsRectItem::mousePressEvent(e);
    }
    void mouseMoveEvent(QGraphicsSceneMouseEvent* e) override
    {
        if (m_sizing) {
            prepareGeometryChange();
            setRect(0, 0, std::max(0.5, snap(e->pos().x())), std::max(m_item.kind == ItemKind::Line ? 0.0 : 0.5, snap(e->pos().y())));
            m_owner->itemGeometryChanged(this, false);
            return;
        }
        QGraphicsRectItem::mouseMoveEvent(e);
    }
    void mouseReleaseEvent(QGraphicsSceneMouseEvent* e) override
    {
        if (!m_sizing)
            QGraphicsRectItem::mouseReleaseEvent(e);
        m_sizing = false;
        setPos(snap(pos().x()), snap(pos().y()));
        m_owner->itemGeometryChanged(this, true);
    }
    void hoverMoveEvent(QGraphicsSceneHoverEvent* e) override
    {
        const QPointF corner = rect().bottomRight();
        const bool onCorner = isSelected() && std::abs(e->pos().x() - corner.x()) <= kHandle
                              && std::abs(e->pos().y() - corner.y()) <= kHandle;
        setCursor(onCorner ? Qt::SizeFDiagCursor : Qt::SizeAllCursor);
    }
    QVariant itemChange(GraphicsItemChange change, const QVariant& value) override
    {
        if (change == ItemPositionHasChanged && m_owner)
            m_owner->itemGeometryChanged(this, false);
        return QGraphicsRectItem::itemChange(change, value);
    }

private:
    DesignerWindow* m_owner;
    int m_index;
    Item m_item;
    bool m_sizing = false;
};

QString fieldExpression(const QString& alias, const store::FieldInfo& field)
{
    QString name = QString::fromLatin1(field.name);
    name = name.left(1).toUpper() + name.mid(1).toLower();
    const QString ref = alias + QStringLiteral("->") + name;
    switch (field.type) {
    case 'D': return QStringLiteral("[DToC(%1)]").arg(ref);
    case 'N': return QStringLiteral("[LTrim(Str(%1))]").arg(ref);
    case 'L': return QStringLiteral("[IIF(%1, \"Sí\", \"No\")]").arg(ref);
    default: return QStringLiteral("[Trim(%1)]").arg(ref);
    }
}

DesignerWindow::DesignerWindow(const Design& design, bool label, DesignSample sample, const QString& title, QWidget* parent)
    : QDialog(parent)
    , m_design(design)
    , m_label(label)
    , m_sample(std::move(sample))
{
    setWindowTitle(title);
    setObjectName(QStringLiteral("QslDesigner"));
    setSizeGripEnabled(true);
    auto* lay = new QVBoxLayout(this);

    auto* bar = new QToolBar(this);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    auto act = [&](const char* icon, const QString& text, const QString& tip, auto&& fn) {
        QAction* a = bar->addAction(QIcon::fromTheme(QString::fromLatin1(icon)), text);
        a->setToolTip(tip);
        a->setObjectName(text);
        connect(a, &QAction::triggered, this, fn);
        return a;
    };
    act("insert-text", QStringLiteral("Texto"), QStringLiteral("Añadir un texto"), [this] { addItem(ItemKind::Text); });
    act("draw-line", QStringLiteral("Línea"), QStringLiteral("Añadir una línea"), [this] { addItem(ItemKind::Line); });
    act("draw-rectangle", QStringLiteral("Recuadro"), QStringLiteral("Añadir un recuadro"), [this] { addItem(ItemKind::Box); });
    act("edit-copy", QStringLiteral("Duplicar"), QStringLiteral("Duplicar el elemento elegido"), [this] { duplicateSelected(); });
    act("edit-delete", QStringLiteral("Eliminar"), QStringLiteral("Eliminar el elemento elegido (Supr)"), [this] { removeSelected(); });
    bar->addSeparator();
    act("document-page-setup", QStringLiteral("Página..."), QStringLiteral("Tamaño de la página y hoja de etiquetas"),
        [this] { pageSetup(); });
    bar->addSeparator();
    bar->addWidget(new QLabel(QStringLiteral(" Elementos de: "), bar));
    m_section = new QComboBox(bar);
    m_section->addItems({label ? QStringLiteral("cada etiqueta") : QStringLiteral("cada tarjeta"), QStringLiteral("cada página")});
    bar->addWidget(m_section);
    connect(m_section, &QComboBox::currentIndexChanged, this, [this](int i) { showPageItems(i == 1); });
    lay->addWidget(bar);

    auto* split = new QSplitter(Qt::Horizontal, this);
    m_scene = new QGraphicsScene(this);
    m_view = new QGraphicsView(m_scene, split);
    m_view->setRenderHint(QPainter::Antialiasing);
    m_view->setBackgroundBrush(QColor(200, 200, 200));
    m_view->setMinimumSize(360, 260);
    m_view->viewport()->installEventFilter(this);
    m_view->installEventFilter(this);
    connect(m_scene, &QGraphicsScene::selectionChanged, this, [this] {
        if (m_loading)
            return;
        const auto sel = m_scene->selectedItems();
        m_selected = sel.isEmpty() ? -1 : static_cast<DesignerItem*>(sel.first())->index();
        showProperties();
    });
    split->addWidget(m_view);

    auto* right = new QSplitter(Qt::Vertical, split);
    right->addWidget(buildProperties());
    auto* previewBox = new QGroupBox(QStringLiteral("Vista previa"), right);
    auto* pl = new QVBoxLayout(previewBox);
    auto* scroll = new QScrollArea(previewBox);
    m_previewLabel = new QLabel(scroll);
    m_previewLabel->setAlignment(Qt::AlignCenter);
    scroll->setWidget(m_previewLabel);
    scroll->setWidgetResizable(true);
    scroll->setMinimumHeight(180);
    pl->addWidget(scroll);
    m_status = new QLabel(previewBox);
    m_status->setWordWrap(true);
    pl->addWidget(m_status);
    right->addWidget(previewBox);
    split->addWidget(right);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    split->setSizes({600, 480});
    right->setSizes({330, 330});
    lay->addWidget(split, 1);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* save = buttons->addButton(QStringLiteral("&Guardar"), QDialogButtonBox::AcceptRole);
    save->setObjectName(QStringLiteral("1"));
    buttons->addButton(QStringLiteral("&Cerrar"), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("2"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    lay->addWidget(buttons);

    m_previewTimer = new QTimer(this);
    m_previewTimer->setSingleShot(true);
    m_previewTimer->setInterval(200);
    connect(m_previewTimer, &QTimer::timeout, this, &DesignerWindow::refreshPreview);

    resize(1100, 720);
    rebuildCanvas();
    showProperties();
    refreshPreview();
}

DesignerWindow::~DesignerWindow()
{
    // the scene dies after this window's widgets: nothing it says may reach them
    m_loading = true;
    m_scene->blockSignals(true);
    m_scene->clear();
}

QWidget* DesignerWindow::buildProperties()
{
    auto* box = new QWidget(this);
    auto* lay = new QHBoxLayout(box);
    lay->setContentsMargins(0, 0, 0, 0);

    m_props = new QGroupBox(QStringLiteral("Elemento"), box);
    auto* form = new QFormLayout(m_props);
    auto* pos = new QHBoxLayout;
    m_x = mmBox(m_props);
    m_y = mmBox(m_props);
    pos->addWidget(m_x);
    pos->addWidget(m_y);
    form->addRow(QStringLiteral("Posición (x, y)"), pos);
    auto* size = new QHBoxLayout;
    m_w = mmBox(m_props);
    m_h = mmBox(m_props);
    size->addWidget(m_w);
    size->addWidget(m_h);
    form->addRow(QStringLiteral("Tamaño (ancho, alto)"), size);
    m_text = new QLineEdit(m_props);
    m_text->setPlaceholderText(QStringLiteral("texto con [expresiones]"));
    form->addRow(QStringLiteral("Texto"), m_text);
    m_when = new QLineEdit(m_props);
    m_when->setPlaceholderText(QStringLiteral("se imprime siempre"));
    form->addRow(QStringLiteral("Imprimir si"), m_when);
    m_font = new QFontComboBox(m_props);
    form->addRow(QStringLiteral("Tipo de letra"), m_font);
    auto* style = new QHBoxLayout;
    m_size = new QDoubleSpinBox(m_props);
    m_size->setRange(1, 200);
    m_size->setDecimals(1);
    m_size->setSuffix(QStringLiteral(" pt"));
    m_bold = new QCheckBox(QStringLiteral("Negrita"), m_props);
    m_italic = new QCheckBox(QStringLiteral("Cursiva"), m_props);
    style->addWidget(m_size);
    style->addWidget(m_bold);
    style->addWidget(m_italic);
    form->addRow(QStringLiteral("Tamaño de letra"), style);
    m_align = new QComboBox(m_props);
    m_align->addItems({QStringLiteral("Izquierda"), QStringLiteral("Centro"), QStringLiteral("Derecha")});
    form->addRow(QStringLiteral("Alineación"), m_align);
    m_pen = new QDoubleSpinBox(m_props);
    m_pen->setRange(0, 20);
    m_pen->setDecimals(2);
    m_pen->setSingleStep(0.1);
    m_pen->setSuffix(QStringLiteral(" mm"));
    form->addRow(QStringLiteral("Grosor de línea"), m_pen);
    lay->addWidget(m_props, 3);

    auto* fieldsBox = new QGroupBox(QStringLiteral("Campos (doble clic para añadir)"), box);
    auto* fl = new QVBoxLayout(fieldsBox);
    m_fields = new QListWidget(fieldsBox);
    auto field = [this](const QString& shown, const QString& expression) {
        auto* it = new QListWidgetItem(shown, m_fields);
        it->setData(Qt::UserRole, expression);
    };
    for (const store::FieldInfo& f : m_sample.d.fields)
        field(QStringLiteral("d->") + QString::fromLatin1(f.name), fieldExpression(QStringLiteral("d"), f));
    for (const store::FieldInfo& f : m_sample.fFields)
        field(QStringLiteral("f->") + QString::fromLatin1(f.name), fieldExpression(QStringLiteral("f"), f));
    field(QStringLiteral("Página"), QStringLiteral("[LTrim(Str(Pagina))]"));
    connect(m_fields, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* it) { insertField(it->data(Qt::UserRole).toString()); });
    fl->addWidget(m_fields);
    lay->addWidget(fieldsBox, 2);

    auto commit = [this] { applyProperties(); };
    for (QDoubleSpinBox* b : {m_x, m_y, m_w, m_h, m_size, m_pen})
        connect(b, &QDoubleSpinBox::valueChanged, this, commit);
    connect(m_text, &QLineEdit::textEdited, this, commit);
    connect(m_when, &QLineEdit::textEdited, this, commit);
    connect(m_font, &QFontComboBox::currentFontChanged, this, commit);
    connect(m_bold, &QCheckBox::toggled, this, commit);
    connect(m_italic, &QCheckBox::toggled, this, commit);
    connect(m_align, &QComboBox::currentIndexChanged, this, commit);
    return box;
}

QRectF DesignerWindow::canvasArea() const
{
    if (m_pageItems || m_design.grid.perPage() <= 1)
        return QRectF(QPointF(0, 0), m_design.page);
    return QRectF(0, 0, m_design.grid.width, m_design.grid.height);
}

void DesignerWindow::rebuildCanvas()
{
    m_loading = true;
    m_scene->clear();
    m_boxes.clear();
    const QRectF area = canvasArea();
    auto* paper = m_scene->addRect(area, QPen(QColor(120, 120, 120), 0), Qt::white);
    paper->setZValue(-1);
    for (size_t i = 0; i < m_design.items.size(); ++i) {
        if (m_design.items[i].perPage != m_pageItems)
            continue;
        auto* box = new DesignerItem(this, int(i), m_design.items[i]);
        m_scene->addItem(box);
        m_boxes.push_back(box);
        if (int(i) == m_selected)
            box->setSelected(true);
    }
    m_scene->setSceneRect(area.adjusted(-5, -5, 5, 5));
    m_loading = false;
    fitCanvas();
}

void DesignerWindow::fitCanvas()
{
    if (m_view && m_scene)
        m_view->fitInView(m_scene->sceneRect(), Qt::KeepAspectRatio);
}

void DesignerWindow::resizeEvent(QResizeEvent* e)
{
    QDialog::resizeEvent(e);
    fitCanvas();
}

bool DesignerWindow::eventFilter(QObject* watched, QEvent* e)
{
    if (m_view && watched == m_view->viewport() && e->type() == QEvent::Resize)
        QTimer::singleShot(0, this, &DesignerWindow::fitCanvas);
    // the arrow keys move the chosen item rather than scroll the canvas
    if (m_view && watched == m_view && e->type() == QEvent::KeyPress && canvasKey(static_cast<QKeyEvent*>(e)))
        return true;
    return QDialog::eventFilter(watched, e);
}

void DesignerWindow::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    // the view has its size only once the window is laid out
    QTimer::singleShot(0, this, &DesignerWindow::fitCanvas);
}

void DesignerWindow::showProperties()
{
    m_loading = true;
    const bool has = m_selected >= 0 && size_t(m_selected) < m_design.items.size();
    m_props->setEnabled(has);
    if (has) {
        const Item& it = m_design.items[size_t(m_selected)];
        const bool text = it.kind == ItemKind::Text;
        m_x->setValue(it.mm.x());
        m_y->setValue(it.mm.y());
        m_w->setValue(it.mm.width());
        m_h->setValue(it.mm.height());
        m_text->setText(it.text);
        m_when->setText(it.when);
        m_font->setCurrentFont(QFont(it.family));
        m_size->setValue(it.size);
        m_bold->setChecked(it.bold);
        m_italic->setChecked(it.italic);
        m_align->setCurrentIndex(it.align == 'C' ? 1 : it.align == 'R' ? 2 : 0);
        m_pen->setValue(it.pen);
        for (QWidget* w : std::initializer_list<QWidget*>{m_text, m_font, m_size, m_bold, m_italic, m_align})
            w->setEnabled(text);
        m_pen->setEnabled(!text);
    }
    m_loading = false;
}

void DesignerWindow::applyProperties()
{
    if (m_loading || m_selected < 0 || size_t(m_selected) >= m_design.items.size())
        return;
    Item& it = m_design.items[size_t(m_selected)];
    it.mm = QRectF(m_x->value(), m_y->value(), m_w->value(), m_h->value());
    it.text = m_text->text();
    it.when = m_when->text().trimmed();
    it.family = m_font->currentFont().family();
    it.size = m_size->value();
    it.bold = m_bold->isChecked();
    it.italic = m_italic->isChecked();
    it.align = "LCR"[std::clamp(m_align->currentIndex(), 0, 2)];
    it.pen = m_pen->value();
    rebuildCanvas();
    touched();
}

void DesignerWindow::touched()
{
    m_changed = true;
    m_previewTimer->start();
}

void DesignerWindow::itemGeometryChanged(DesignerItem* box, bool finished)
{
    if (m_loading || size_t(box->index()) >= m_design.items.size())
        return;
    Item& it = m_design.items[size_t(box->index())];
    const QRectF g = box->geometryMm();
    if (g == it.mm)
        return;
    it.mm = g;
    if (box->index() == m_selected)
        showProperties();
    if (finished)
        touched();
}

void DesignerWindow::addItem(ItemKind kind)
{
    Item it;
    it.kind = kind;
    it.perPage = m_pageItems;
    const QRectF area = canvasArea();
    const double w = std::min(40.0, area.width() - 4), h = kind == ItemKind::Line ? 0 : std::min(kind == ItemKind::Box ? 15.0 : 6.0, area.height() - 4);
    it.mm = QRectF(2, 2, std::max(1.0, w), std::max(0.0, h));
    if (kind == ItemKind::Text)
        it.text = QStringLiteral("Texto");
    m_design.items.push_back(it);
    m_selected = int(m_design.items.size()) - 1;
    rebuildCanvas();
    showProperties();
    touched();
}

void DesignerWindow::removeSelected()
{
    if (m_selected < 0 || size_t(m_selected) >= m_design.items.size())
        return;
    m_design.items.erase(m_design.items.begin() + m_selected);
    m_selected = -1;
    rebuildCanvas();
    showProperties();
    touched();
}

void DesignerWindow::duplicateSelected()
{
    if (m_selected < 0 || size_t(m_selected) >= m_design.items.size())
        return;
    Item copy = m_design.items[size_t(m_selected)];
    copy.mm.translate(2, 2);
    m_design.items.push_back(copy);
    m_selected = int(m_design.items.size()) - 1;
    rebuildCanvas();
    showProperties();
    touched();
}

void DesignerWindow::selectItem(int index)
{
    m_selected = index >= 0 && size_t(index) < m_design.items.size() ? index : -1;
    if (m_selected >= 0 && m_design.items[size_t(m_selected)].perPage != m_pageItems) {
        m_section->setCurrentIndex(m_design.items[size_t(m_selected)].perPage ? 1 : 0);
        return;   // the section's change rebuilds the canvas with the item selected
    }
    rebuildCanvas();
    showProperties();
}

void DesignerWindow::setSelectedGeometry(const QRectF& mm)
{
    if (m_selected < 0)
        return;
    m_design.items[size_t(m_selected)].mm = mm;
    rebuildCanvas();
    showProperties();
    touched();
}

void DesignerWindow::moveSelected(double dx, double dy)
{
    if (m_selected < 0)
        return;
    QRectF r = m_design.items[size_t(m_selected)].mm;
    r.translate(dx, dy);
    r.moveTo(std::max(-1000.0, r.x()), std::max(-1000.0, r.y()));
    setSelectedGeometry(r);
}

void DesignerWindow::insertField(const QString& expression)
{
    if (m_selected < 0 || m_design.items[size_t(m_selected)].kind != ItemKind::Text) {
        addItem(ItemKind::Text);
        m_design.items[size_t(m_selected)].text.clear();
    }
    Item& it = m_design.items[size_t(m_selected)];
    it.text = it.text.isEmpty() ? expression : it.text + QLatin1Char(' ') + expression;
    rebuildCanvas();
    showProperties();
    touched();
}

void DesignerWindow::showPageItems(bool page)
{
    if (m_section->currentIndex() != (page ? 1 : 0)) {
        m_section->setCurrentIndex(page ? 1 : 0);   // comes back here through the signal
        return;
    }
    m_pageItems = page;
    if (m_selected >= 0 && m_design.items[size_t(m_selected)].perPage != page)
        m_selected = -1;
    rebuildCanvas();
    showProperties();
}

void DesignerWindow::setPage(const QSizeF& page, const Grid& grid)
{
    m_design.page = page;
    m_design.grid = grid;
    rebuildCanvas();
    touched();
}

void DesignerWindow::pageSetup()
{
    QDialog d(this);
    d.setWindowTitle(QStringLiteral("Página y etiquetas"));
    auto* lay = new QVBoxLayout(&d);
    auto* pageBox = new QGroupBox(QStringLiteral("Página"), &d);
    auto* pf = new QFormLayout(pageBox);
    QDoubleSpinBox* pw = mmBox(pageBox);
    QDoubleSpinBox* ph = mmBox(pageBox);
    pw->setMinimum(10);
    ph->setMinimum(10);
    pw->setValue(m_design.page.width());
    ph->setValue(m_design.page.height());
    pf->addRow(QStringLiteral("Ancho"), pw);
    pf->addRow(QStringLiteral("Alto"), ph);
    lay->addWidget(pageBox);
    auto* gridBox = new QGroupBox(QStringLiteral("Etiquetas o filas en la página"), &d);
    auto* gf = new QFormLayout(gridBox);
    const Grid& g = m_design.grid;
    auto* cols = new QSpinBox(gridBox);
    cols->setRange(1, 50);
    cols->setValue(g.cols);
    auto* rows = new QSpinBox(gridBox);
    rows->setRange(1, 50);
    rows->setValue(g.rows);
    gf->addRow(QStringLiteral("Columnas"), cols);
    gf->addRow(QStringLiteral("Filas"), rows);
    auto box = [&](const QString& label, double v) {
        QDoubleSpinBox* b = mmBox(gridBox);
        b->setValue(v);
        gf->addRow(label, b);
        return b;
    };
    QDoubleSpinBox* lw = box(QStringLiteral("Ancho de cada una"), g.width);
    QDoubleSpinBox* lh = box(QStringLiteral("Alto de cada una"), g.height);
    QDoubleSpinBox* left = box(QStringLiteral("Margen izquierdo"), g.left);
    QDoubleSpinBox* top = box(QStringLiteral("Margen superior"), g.top);
    QDoubleSpinBox* hgap = box(QStringLiteral("Separación horizontal"), g.hgap);
    QDoubleSpinBox* vgap = box(QStringLiteral("Separación vertical"), g.vgap);
    lay->addWidget(gridBox);
    auto* note = new QLabel(&d);
    note->setStyleSheet(QStringLiteral("color: #a00000"));
    lay->addWidget(note);
    auto* buttons = new QDialogButtonBox(&d);
    QPushButton* ok = buttons->addButton(QStringLiteral("&Aceptar"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("&Cancelar"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, &d, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &d, &QDialog::reject);
    lay->addWidget(buttons);
    // the labels must fit on the page
    auto check = [&] {
        const double right = left->value() + cols->value() * lw->value() + (cols->value() - 1) * hgap->value();
        const double bottom = top->value() + rows->value() * lh->value() + (rows->value() - 1) * vgap->value();
        const bool fits = right <= pw->value() + 0.01 && bottom <= ph->value() + 0.01;
        note->setText(fits ? QString() : QStringLiteral("Las etiquetas no caben en la página (%1 x %2 mm).")
                                             .arg(right, 0, 'f', 1).arg(bottom, 0, 'f', 1));
        ok->setEnabled(fits);
    };
    for (QDoubleSpinBox* b : {pw, ph, lw, lh, left, top, hgap, vgap})
        connect(b, &QDoubleSpinBox::valueChanged, &d, check);
    for (QSpinBox* b : {cols, rows})
        connect(b, &QSpinBox::valueChanged, &d, check);
    check();
    if (d.exec() != QDialog::Accepted)
        return;
    Grid ng;
    ng.cols = cols->value();
    ng.rows = rows->value();
    ng.width = lw->value();
    ng.height = lh->value();
    ng.left = left->value();
    ng.top = top->value();
    ng.hgap = hgap->value();
    ng.vgap = vgap->value();
    setPage(QSizeF(pw->value(), ph->value()), ng);
}

void DesignerWindow::refreshPreview()
{
    m_previewTimer->stop();
    QString error;
    // the text the design is saved as, read back: what is previewed is what is stored
    const auto parsed = parseDesign(text(), &error);
    std::unique_ptr<Report> report;
    if (parsed)
        report = Report::compile(*parsed, m_sample.d.fields, m_sample.fFields, &error);
    m_previewError = report ? QString() : error;
    if (report) {
        const double longest = std::max(m_design.page.width(), m_design.page.height());
        m_preview = report->pageImage(0, std::clamp(25.4 * 420 / longest, 40.0, 200.0), m_sample.d, m_sample.fRow);
        m_previewLabel->setPixmap(QPixmap::fromImage(m_preview));
        m_status->setStyleSheet(QString());
        m_status->setText(QStringLiteral("Página de %1 x %2 mm%3")
                              .arg(m_design.page.width())
                              .arg(m_design.page.height())
                              .arg(m_design.grid.perPage() > 1 ? QStringLiteral(", %1 etiquetas").arg(m_design.grid.perPage())
                                                               : QString()));
    } else {
        m_status->setStyleSheet(QStringLiteral("color: #a00000"));
        m_status->setText(m_previewError);
    }
}

bool DesignerWindow::canvasKey(QKeyEvent* e)
{
    if (m_selected < 0)
        return false;
    const double step = (e->modifiers() & Qt::ShiftModifier) ? 5 : kSnap;
    switch (e->key()) {
    case Qt::Key_Delete: removeSelected(); return true;
    case Qt::Key_Left: moveSelected(-step, 0); return true;
    case Qt::Key_Right: moveSelected(step, 0); return true;
    case Qt::Key_Up: moveSelected(0, -step); return true;
    case Qt::Key_Down: moveSelected(0, step); return true;
    default: return false;
    }
}

bool openDesigner(store::WorkArea& frm, quint32 rec, store::WorkArea* log, QWidget* parent)
{
    if (!frm.goTo(rec).isOk() || frm.eof())
        return false;
    const Format format = formatOf(frm);
    QString text = format.design;
    if (text.trimmed().isEmpty()) {
        const DesignBases bases = designBases(frm);
        const int choice = ui::messages().list(bases.choices, QStringLiteral("Elije que formato de QSL quieres como base"), 1);
        if (choice < 1)
            return false;
        text = choice == 1 ? emptyDesign(format.label) : designOf(frm, bases.records[size_t(choice - 2)]);
        frm.goTo(rec);
    }
    QString error;
    auto design = parseDesign(text, &error);
    if (!design) {
        // a damaged design: say why, and start from an empty one rather than lose the window
        ui::messages().alert(error);
        design = parseDesign(emptyDesign(format.label));
    }
    DesignerWindow w(*design, format.label, designSample(format.label, format.qsosPerLabel, log, &frm),
                     QStringLiteral("Diseño del formato QSL: ") + format.description, parent);
    const bool saveAsked = w.exec() == QDialog::Accepted;
    const bool isNew = format.design.trimmed().isEmpty();
    if (!saveAsked && !w.changed() && !isNew)
        return false;
    if (!saveAsked && !ui::messages().yesNo(QStringLiteral("Desea guardar cambios")))
        return false;
    if (!saveDesign(frm, rec, w.text(), &error)) {
        ui::messages().stop(error);
        return false;
    }
    return true;
}

} // namespace qsl
