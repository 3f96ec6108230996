#include "reports/views/chart_window.h"

#include "core/messages.h"
#include "ui/dialog_helpers.h"
#include "ui/file_chooser.h"
#include "ui/grid_print.h"

#include <QAbstractAxis>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QColorDialog>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QFontDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QMenu>
#include <QPainter>
#include <QPdfWriter>
#include <QPieSeries>
#include <QPieSlice>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSaveFile>
#include <QScatterSeries>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace reports {

namespace {

const QColor kSeries(128, 128, 255);

struct PartName {
    ChartPart part;
    const char* text;
};
// The font menu's items, with their blanks.
const PartName kParts[] = {
    {ChartPart::Title, "&Título     "},     {ChartPart::ValuesX, "&Valores   X"}, {ChartPart::LabelsY, "&Etiquetas Y"},
    {ChartPart::Legend, "&Leyendas   "},    {ChartPart::Subtitle, "&Subtítulo  "}, {ChartPart::TitleX, "&Título en X"},
    {ChartPart::TitleY, "&Título en Y"},    {ChartPart::Values, "&Valores    "},
};

QString number(double v)
{
    return QString::number(v, 'f', 0);
}

QBrush seriesBrush(const QColor& base, bool look3d, bool vertical)
{
    if (!look3d)
        return base;
    // light falling from the upper left: a rounded, raised face
    QLinearGradient g(0, 0, vertical ? 1 : 0, vertical ? 0 : 1);
    g.setCoordinateMode(QGradient::ObjectBoundingMode);
    g.setColorAt(0, base.lighter(150));
    g.setColorAt(0.45, base);
    g.setColorAt(1, base.darker(170));
    return g;
}

} // namespace

ChartWindow::ChartWindow(ChartData data, QWidget* parent)
    : QWidget(parent)
    , m_data(std::move(data))
{
    setObjectName(QStringLiteral("GrfVis"));
    setWindowTitle(m_data.title);
    QFont base(QStringLiteral("DejaVu Sans"));
    base.setPointSize(9);
    auto look = [&](ChartPart p, int size, bool bold, QColor c = Qt::black) {
        QFont f = base;
        f.setPointSize(size);
        f.setBold(bold);
        m_look[p] = {f, c};
    };
    look(ChartPart::Title, 14, true);
    look(ChartPart::Subtitle, 9, false, QColor(80, 80, 80));
    look(ChartPart::ValuesX, 9, false);
    look(ChartPart::LabelsY, 9, false);
    look(ChartPart::Legend, 9, false);
    look(ChartPart::TitleX, 10, true);
    look(ChartPart::TitleY, 10, true);
    look(ChartPart::Values, 8, false, QColor(40, 40, 40));

    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(0);
    buildBar();
    lay->addWidget(m_bar);
    m_view = new QChartView(new QChart, this);
    m_view->setRenderHint(QPainter::Antialiasing);
    lay->addWidget(m_view, 1);
    rebuild();
}

ChartWindow::~ChartWindow() = default;

QChart* ChartWindow::chart() const
{
    return m_view->chart();
}

void ChartWindow::buildBar()
{
    m_bar = new QToolBar(this);
    m_bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_bar->setIconSize(QSize(22, 22));
    auto add = [&](const char* icon, const char* tip, auto&& fn, bool checkable = false, bool checked = false) {
        QAction* a = m_bar->addAction(QIcon::fromTheme(QString::fromLatin1(icon)), QString::fromUtf8(tip));
        a->setToolTip(QString::fromUtf8(tip));
        a->setObjectName(QString::fromUtf8(tip));
        a->setCheckable(checkable);
        a->setChecked(checked);
        connect(a, &QAction::triggered, this, fn);
        return a;
    };
    add("office-chart-bar", "Barras", [this] { setType(ChartType::Bars); });
    add("office-chart-line", "Líneas", [this] { setType(ChartType::Lines); });
    add("office-chart-scatter", "Puntos", [this] { setType(ChartType::Points); });
    add("office-chart-pie", "Tarta", [this] { setType(ChartType::Pie); });
    m_bar->addSeparator();
    add("draw-cuboid", "Vista en 3D", [this](bool on) { set3d(on); }, true, m_3d);
    add("kstars_hgrid", "Rejilla horizontal", [this](bool on) { setHorizontalGrid(on); }, true, m_hGrid);
    add("kstars_grid", "Rejilla vertical", [this](bool on) { setVerticalGrid(on); }, true, m_vGrid);
    m_bar->addSeparator();
    QAction* fonts = add("font", "Tipo de letra", [] {});
    auto* menu = new QMenu(this);
    for (const PartName& p : kParts) {
        const ChartPart part = p.part;
        menu->addAction(QString::fromUtf8(p.text), this, [this, part] { chooseFont(part); });
    }
    fonts->setMenu(menu);
    if (auto* b = qobject_cast<QToolButton*>(m_bar->widgetForAction(fonts)))
        b->setPopupMode(QToolButton::InstantPopup);
    add("document-print", "Imprimir", [this] { askPrint(); });
    add("document-save-as", "Guardar", [this] {
        const QString path = ui::chooseFile(this, ui::ChooseMode::Save, QStringLiteral("chart"),
                                            QStringLiteral("Guardar gráfico"), QString(), m_data.title.trimmed() + QStringLiteral(".png"),
                                            QStringLiteral("Imagen PNG (*.png);;Documento PDF (*.pdf)"), QDir::homePath());
        QString error;
        if (!path.isEmpty() && !save(path, &error))
            ui::messages().stop(error);
    });
}

void ChartWindow::setType(ChartType type)
{
    m_type = type;
    rebuild();
}

void ChartWindow::set3d(bool on)
{
    m_3d = on;
    rebuild();
}

void ChartWindow::setHorizontalGrid(bool on)
{
    m_hGrid = on;
    applyLook();
}

void ChartWindow::setVerticalGrid(bool on)
{
    m_vGrid = on;
    applyLook();
}

void ChartWindow::setPartFont(ChartPart part, const QFont& font, const QColor& colour)
{
    m_look[part] = {font, colour};
    rebuild();
}

QFont ChartWindow::partFont(ChartPart part) const
{
    return m_look.at(part).font;
}

void ChartWindow::rebuild()
{
    QChart* old = chart();
    auto* c = new QChart;
    c->setAnimationOptions(QChart::NoAnimation);
    c->setDropShadowEnabled(m_3d);
    c->legend()->setAlignment(Qt::AlignBottom);
    const int n = int(m_data.values.size());
    const double top = m_data.values.empty() ? 0 : *std::max_element(m_data.values.begin(), m_data.values.end());
    if (m_type == ChartType::Pie) {
        auto* pie = new QPieSeries;
        pie->setName(m_data.axisTitle);
        for (int i = 0; i < n; ++i) {
            QPieSlice* s = pie->append(m_data.labels.value(i), m_data.values[size_t(i)]);
            s->setLabel(QStringLiteral("%1: %2").arg(m_data.labels.value(i), number(m_data.values[size_t(i)])));
            s->setLabelVisible(m_data.values[size_t(i)] > 0);
        }
        pie->setPieSize(0.7);
        c->addSeries(pie);
        // colours of the chart's theme, lit like a dome for the 3-D look
        for (QPieSlice* s : pie->slices()) {
            if (m_3d) {
                QRadialGradient g(0.35, 0.35, 0.9);
                g.setCoordinateMode(QGradient::ObjectBoundingMode);
                g.setColorAt(0, s->color().lighter(140));
                g.setColorAt(1, s->color().darker(140));
                s->setBrush(g);
            }
            s->setLabelFont(m_look[ChartPart::Values].font);
            s->setLabelColor(m_look[ChartPart::Values].colour);
        }
        c->legend()->setAlignment(Qt::AlignRight);
    } else {
        auto* categories = new QBarCategoryAxis;
        categories->append(m_data.labels);
        // many long names (entities) slant so that none is cut short
        qsizetype longest = 0;
        for (const QString& l : m_data.labels)
            longest = std::max(longest, l.size());
        if (n > 6 && longest > 6)
            categories->setLabelsAngle(-90);
        auto* values = new QValueAxis;
        values->setRange(0, top > 0 ? top * 1.12 : 1);
        values->setLabelFormat(QStringLiteral("%d"));
        values->applyNiceNumbers();
        c->addAxis(categories, Qt::AlignBottom);
        c->addAxis(values, Qt::AlignLeft);
        QAbstractSeries* series = nullptr;
        if (m_type == ChartType::Bars) {
            auto* set = new QBarSet(m_data.axisTitle);
            for (double v : m_data.values)
                *set << v;
            set->setBrush(seriesBrush(kSeries, m_3d, true));
            set->setPen(QPen(m_3d ? kSeries.darker(180) : kSeries.darker(130), 1));
            set->setLabelFont(m_look[ChartPart::Values].font);
            set->setLabelColor(m_look[ChartPart::Values].colour);
            auto* bars = new QBarSeries;
            bars->append(set);
            bars->setLabelsVisible(true);
            bars->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
            series = bars;
        } else {
            QXYSeries* xy = m_type == ChartType::Lines ? static_cast<QXYSeries*>(new QLineSeries)
                                                       : static_cast<QXYSeries*>(new QScatterSeries);
            xy->setName(m_data.axisTitle);
            for (int i = 0; i < n; ++i)
                xy->append(i, m_data.values[size_t(i)]);
            xy->setColor(kSeries.darker(m_3d ? 130 : 100));
            if (auto* line = qobject_cast<QLineSeries*>(xy); line && m_type == ChartType::Lines)
                line->setPen(QPen(kSeries.darker(120), m_3d ? 4 : 2));
            if (auto* dots = qobject_cast<QScatterSeries*>(xy)) {
                dots->setMarkerSize(m_3d ? 14 : 10);
                dots->setBrush(seriesBrush(kSeries, m_3d, false));
            }
            xy->setPointLabelsVisible(true);
            xy->setPointLabelsFormat(QStringLiteral("@yPoint"));
            xy->setPointLabelsFont(m_look[ChartPart::Values].font);
            xy->setPointLabelsColor(m_look[ChartPart::Values].colour);
            xy->setPointLabelsClipping(false);
            series = xy;
        }
        c->addSeries(series);
        series->attachAxis(categories);
        series->attachAxis(values);
        categories->setTitleText(m_data.categoryTitle);
        values->setTitleText(m_data.axisTitle);
    }
    m_view->setChart(c);
    delete old;
    applyLook();
}

void ChartWindow::applyLook()
{
    QChart* c = chart();
    const Look& t = m_look[ChartPart::Title];
    const Look& s = m_look[ChartPart::Subtitle];
    auto span = [](const Look& l, const QString& text) {
        return QStringLiteral("<span style=\"font-family:'%1'; font-size:%2pt; font-weight:%3; font-style:%4; color:%5\">%6</span>")
            .arg(l.font.family())
            .arg(l.font.pointSizeF())
            .arg(l.font.bold() ? QStringLiteral("bold") : QStringLiteral("normal"))
            .arg(l.font.italic() ? QStringLiteral("italic") : QStringLiteral("normal"))
            .arg(l.colour.name(), text.toHtmlEscaped());
    };
    c->setTitle(span(t, m_data.title.trimmed()) + QStringLiteral("<br>")
                + span(s, QStringLiteral("%1 QSO").arg(m_data.qsos)));
    c->legend()->setFont(m_look[ChartPart::Legend].font);
    c->legend()->setLabelColor(m_look[ChartPart::Legend].colour);
    const auto horizontal = c->axes(Qt::Horizontal), vertical = c->axes(Qt::Vertical);
    for (QAbstractAxis* a : horizontal) {
        a->setGridLineVisible(m_vGrid);
        a->setLabelsFont(m_look[ChartPart::ValuesX].font);
        a->setLabelsColor(m_look[ChartPart::ValuesX].colour);
        a->setTitleFont(m_look[ChartPart::TitleX].font);
        a->setTitleBrush(m_look[ChartPart::TitleX].colour);
    }
    for (QAbstractAxis* a : vertical) {
        a->setGridLineVisible(m_hGrid);
        a->setLabelsFont(m_look[ChartPart::LabelsY].font);
        a->setLabelsColor(m_look[ChartPart::LabelsY].colour);
        a->setTitleFont(m_look[ChartPart::TitleY].font);
        a->setTitleBrush(m_look[ChartPart::TitleY].colour);
    }
}

void ChartWindow::chooseFont(ChartPart part)
{
    Look l = m_look[part];
    bool ok = false;
    const QFont f = QFontDialog::getFont(&ok, l.font, this, QStringLiteral("Tipo de letra"));
    if (!ok)
        return;
    const QColor c = QColorDialog::getColor(l.colour, this, QStringLiteral("Color del texto"));
    setPartFont(part, f, c.isValid() ? c : l.colour);
}

void ChartWindow::print(QPrinter* printer, const ChartPlacement& at)
{
    QPainter p;
    if (!p.begin(printer))
        return;
    const double dpcm = printer->resolution() / 2.54;
    // measured from the paper's corner, as the user measures it on the sheet
    const QRectF paper = printer->paperRect(QPrinter::DevicePixel);
    const QRectF page = printer->pageRect(QPrinter::DevicePixel);
    p.translate(paper.topLeft() - page.topLeft());
    const QRectF target(at.left * dpcm, at.top * dpcm, at.width * dpcm, at.height * dpcm);
    if (at.asImage) {
        const QImage picture = m_view->grab().toImage();
        p.drawImage(target, picture);
    } else {
        m_view->render(&p, target, QRect(), Qt::KeepAspectRatio);
    }
    QFont title(QStringLiteral("Arial"), 11, QFont::Bold);
    QFont small(QStringLiteral("Arial"), 8);
    double y = at.top + at.height + 0.5;
    p.setPen(Qt::black);
    p.setFont(title);
    p.drawText(QPointF(2 * dpcm, y * dpcm + QFontMetricsF(title, printer).ascent()), m_data.title.trimmed());
    y += 0.6;
    p.setFont(small);
    const QFontMetricsF fm(small, printer);
    const double right = paper.width() / dpcm - 1;
    // the series' name, then its values right-aligned in columns of 1.5 cm
    // from 6 cm; a row that reaches the paper's edge goes on below
    p.drawText(QPointF(2 * dpcm, y * dpcm + fm.ascent()), m_data.axisTitle);
    double x = 6;
    for (double v : m_data.values) {
        if (x > right) {
            x = 6;
            y += 0.4;
        }
        const QString text = number(v);
        p.drawText(QPointF(x * dpcm - fm.horizontalAdvance(text), y * dpcm + fm.ascent()), text);
        x += 1.5;
    }
    p.end();
}

void ChartWindow::askPrint()
{
    ChartPlacement at;
    if (!GETPRTCOORS(&at, this))
        return;
    ui::previewPrint(QStringLiteral("TGraph print"), QStringLiteral("Vista previa: ") + m_data.title.trimmed(),
                     [this, at](QPrinter* printer) { print(printer, at); }, this);
}

bool ChartWindow::save(const QString& path, QString* error)
{
    const bool pdf = QFileInfo(path).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) == 0;
    QSaveFile file(path);
    bool ok = file.open(QIODevice::WriteOnly);
    if (ok && pdf) {
        QPdfWriter w(&file);
        w.setCreator(QStringLiteral("Orlan Win Log"));
        w.setTitle(m_data.title.trimmed());
        w.setPageSize(QPageSize(QPageSize::A4));
        w.setPageOrientation(QPageLayout::Landscape);
        w.setResolution(300);
        QPainter p;
        ok = p.begin(&w);
        if (ok) {
            m_view->render(&p, QRectF(0, 0, w.width(), w.height()), QRect(), Qt::KeepAspectRatio);
            ok = p.end();
        }
    } else if (ok) {
        ok = m_view->grab().toImage().save(&file, "PNG");
    }
    ok = ok && file.commit();
    if (!ok && error)
        *error = QStringLiteral("No se pudo guardar el gráfico en %1").arg(path);
    return ok;
}

bool GETPRTCOORS(ChartPlacement* placement, QWidget* parent)
{
    QDialog d(parent);
    d.setWindowTitle(QStringLiteral("Imprimir"));
    auto* lay = new QVBoxLayout(&d);
    auto* form = new QFormLayout;
    auto field = [&](const QString& label, const QString& id, double value) {
        QLineEdit* e = ui::lineEdit(&d, id, QStringLiteral("99.99"), false, 7);
        e->setText(QString::number(value, 'f', 2).rightJustified(5, u' '));
        form->addRow(label, e);
        return e;
    };
    QLineEdit* top = field(QStringLiteral("Superior"), QStringLiteral("600"), placement->top);
    QLineEdit* left = field(QStringLiteral("Izquierda"), QStringLiteral("601"), placement->left);
    QLineEdit* height = field(QStringLiteral("Alto"), QStringLiteral("602"), placement->height);
    QLineEdit* width = field(QStringLiteral("Largo"), QStringLiteral("603"), placement->width);
    form->addRow(new QLabel(QStringLiteral("Medidas en centímetros"), &d));
    lay->addLayout(form);
    auto* mode = new QGroupBox(&d);
    auto* ml = new QHBoxLayout(mode);
    auto* asChart = new QRadioButton(QStringLiteral("&Grafica"), mode);
    auto* asImage = new QRadioButton(QStringLiteral("&Imagen"), mode);
    (placement->asImage ? asImage : asChart)->setChecked(true);
    ml->addWidget(asChart);
    ml->addWidget(asImage);
    lay->addWidget(mode);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* ok = new QPushButton(QStringLiteral("&Acepta"), &d);
    auto* cancel = new QPushButton(QStringLiteral("&Cancela"), &d);
    ok->setDefault(true);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    lay->addLayout(buttons);
    QObject::connect(ok, &QPushButton::clicked, &d, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, &d, &QDialog::reject);
    if (d.exec() != QDialog::Accepted)
        return false;
    auto value = [](QLineEdit* e, double fallback) {
        bool okNum = false;
        const double v = e->text().trimmed().toDouble(&okNum);
        return okNum && v >= 0 ? v : fallback;
    };
    placement->top = value(top, placement->top);
    placement->left = value(left, placement->left);
    placement->height = std::max(1.0, value(height, placement->height));
    placement->width = std::max(1.0, value(width, placement->width));
    placement->asImage = asImage->isChecked();
    return true;
}

} // namespace reports
