#include "elevation_window.h"

#include "web_pane.h"

#include "core/messages.h"
#include "geo/distance.h"
#include "geo/locator.h"
#include "geo/sun.h"
#include "maps/map_assets.h"
#include "maps/map_pages.h"
#include "maps/map_rules.h"
#include "maps/place_services.h"
#include "online/reachability.h"
#include "refdata/formatting.h"

#include <QAreaSeries>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QCoreApplication>
#include <QFile>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QLineSeries>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSplitter>
#include <QThread>
#include <QToolBar>
#include <QVBoxLayout>
#include <QValueAxis>

namespace maps {

namespace {

std::function<QString(const QString&)>& localTimeSource()
{
    static std::function<QString(const QString&)> source;
    return source;
}

const char* const kFile = "pel.html";

} // namespace

// ---- the profile chart

ProfileChart::ProfileChart(QWidget* parent) : QChartView(parent)
{
    setObjectName(QStringLiteral("profile"));
    setRenderHint(QPainter::Antialiasing);
    setMinimumHeight(180);
    rebuild();
}

void ProfileChart::setProfile(const QList<double>& metres, int distanceKm)
{
    m_metres = metres;
    m_distance = distanceKm;
    rebuild();
}

void ProfileChart::setKind(Kind kind)
{
    m_kind = kind;
    rebuild();
}

void ProfileChart::setGrid(bool horizontal, bool vertical)
{
    m_hGrid = horizontal;
    m_vGrid = vertical;
    rebuild();
}

void ProfileChart::rebuild()
{
    auto* c = new QChart;
    c->legend()->hide();
    c->setMargins(QMargins(4, 4, 4, 4));
    double top = 10;
    for (double m : m_metres)
        top = std::max(top, m);
    auto* y = new QValueAxis;
    y->setTitleText(QStringLiteral("Metros"));
    y->setRange(0, top * 1.1);
    y->setLabelFormat(QStringLiteral("%.0f"));
    y->setGridLineVisible(m_hGrid);
    c->addAxis(y, Qt::AlignLeft);
    const int n = int(m_metres.size());
    auto km = [&](int i) { return n > 1 ? double(m_distance) * i / (n - 1) : 0.0; };
    if (m_kind == Kind::Bars) {
        auto* set = new QBarSet(QStringLiteral("Metros"));
        set->setColor(QColor(0x8B, 0x5A, 0x2B));
        set->setBorderColor(QColor(0x8B, 0x5A, 0x2B));
        QStringList cats;
        for (int i = 0; i < n; ++i) {
            *set << m_metres[i];
            cats << QString::number(km(i), 'f', 0);
        }
        auto* bars = new QBarSeries;
        bars->setBarWidth(1.0);
        bars->append(set);
        c->addSeries(bars);
        auto* x = new QBarCategoryAxis;
        x->append(cats);
        x->setTitleText(QStringLiteral("Km"));
        x->setGridLineVisible(m_vGrid);
        x->setLabelsVisible(n <= 40);
        c->addAxis(x, Qt::AlignBottom);
        bars->attachAxis(x);
        bars->attachAxis(y);
    } else {
        auto* line = new QLineSeries;
        for (int i = 0; i < n; ++i)
            line->append(km(i), m_metres[i]);
        auto* x = new QValueAxis;
        x->setTitleText(QStringLiteral("Km"));
        x->setRange(0, std::max(1, m_distance));
        x->setLabelFormat(QStringLiteral("%.0f"));
        x->setGridLineVisible(m_vGrid);
        c->addAxis(x, Qt::AlignBottom);
        if (m_kind == Kind::Relief) {
            // the ground as a shaded body below the line
            auto* ground = new QLineSeries;
            for (int i = 0; i < n; ++i)
                ground->append(km(i), 0);
            auto* area = new QAreaSeries(line, ground);
            QLinearGradient g(QPointF(0, 0), QPointF(0, 1));
            g.setCoordinateMode(QGradient::ObjectBoundingMode);
            g.setColorAt(0.0, QColor(0xA0, 0x6A, 0x38));
            g.setColorAt(1.0, QColor(0x3C, 0x78, 0x2E));
            area->setBrush(g);
            area->setPen(QPen(QColor(0x40, 0x28, 0x10), 2));
            c->addSeries(area);
            area->attachAxis(x);
            area->attachAxis(y);
        } else {
            line->setPen(QPen(QColor(0x8B, 0x1A, 0x1A), 2));
            c->addSeries(line);
            line->attachAxis(x);
            line->attachAxis(y);
        }
    }
    QChart* old = chart();
    setChart(c);
    delete old;
}

// ---- the window

void ElevationWindow::setLocalTimeSource(std::function<QString(const QString&)> source)
{
    localTimeSource() = std::move(source);
}

ElevationWindow::ElevationWindow(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("DspElevacion"));
    auto* lay = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    lay->addLayout(top);

    auto* path = new QGroupBox(QStringLiteral("Path"), this);
    auto* pf = new QFormLayout(path);
    auto* locator = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[A-Ra-r]{2}[0-9]{2}([A-Xa-x]{2})?")), this);
    m_from = new QLineEdit(path);
    m_from->setObjectName(QStringLiteral("from"));
    m_to = new QLineEdit(path);
    m_to->setObjectName(QStringLiteral("to"));
    for (QLineEdit* e : {m_from, m_to}) {
        e->setValidator(locator);
        e->setMaxLength(6);
        e->setMaximumWidth(e->fontMetrics().horizontalAdvance(QStringLiteral("MMMMMMMM")));
        connect(e, &QLineEdit::textEdited, e, [e](const QString& t) {
            if (t != t.toUpper()) {
                const int at = e->cursorPosition();
                e->setText(t.toUpper());
                e->setCursorPosition(at);
            }
        });
    }
    pf->addRow(QStringLiteral("Origen"), m_from);
    pf->addRow(QStringLiteral("Destino"), m_to);
    m_calc = new QPushButton(QStringLiteral("Calcular"), path);
    m_calc->setObjectName(QStringLiteral("calc"));
    pf->addRow(m_calc);
    connect(m_calc, &QPushButton::clicked, this, [this] { calculate(); });
    top->addWidget(path);

    auto* results = new QGroupBox(QStringLiteral("Resultados"), this);
    auto* rg = new QGridLayout(results);
    const struct {
        const char* name;
        const char* caption;
        int row, col;
    } cells[] = {{"qtf", "QTF", 0, 0},           {"qtfLp", "QTF LP", 0, 2},      {"dist", "Distancia", 1, 0},
                 {"distLp", "Distancia LP", 1, 2}, {"rise", "Orto(gmt)", 2, 0},   {"set", "Ocaso(gmt)", 2, 2},
                 {"local", "Hora local", 3, 0}};
    for (const auto& cell : cells) {
        rg->addWidget(new QLabel(QString::fromUtf8(cell.caption), results), cell.row, cell.col);
        QLabel* v = value(QString::fromLatin1(cell.name));
        v->setParent(results);
        rg->addWidget(v, cell.row, cell.col + 1);
    }
    for (int i = 1; i <= 3; ++i) {
        QLabel* v = value(QStringLiteral("place") + QString::number(i));
        v->setParent(results);
        rg->addWidget(v, 3 + i, 0, 1, 4);
    }
    top->addWidget(results, 1);

    auto* split = new QSplitter(Qt::Vertical, this);
    m_pane = new WebPane(split);
    auto* chartBox = new QWidget(split);
    auto* cl = new QVBoxLayout(chartBox);
    cl->setContentsMargins(0, 0, 0, 0);
    auto* bar = new QToolBar(chartBox);
    bar->setObjectName(QStringLiteral("chartBar"));
    m_chart = new ProfileChart(chartBox);
    auto kindAction = [&](const char* id, const QString& caption, ProfileChart::Kind kind) {
        QAction* a = bar->addAction(caption, this, [this, kind] { m_chart->setKind(kind); });
        a->setObjectName(QString::fromLatin1(id));
        return a;
    };
    kindAction("bars", QStringLiteral("Barras"), ProfileChart::Kind::Bars);
    kindAction("lines", QStringLiteral("Líneas"), ProfileChart::Kind::Lines);
    kindAction("relief", QStringLiteral("Vista en 3D"), ProfileChart::Kind::Relief)
        ->setToolTip(QStringLiteral("El relieve sombreado bajo el perfil"));
    bar->addSeparator();
    QAction* h = bar->addAction(QStringLiteral("Rejilla horizontal"));
    h->setObjectName(QStringLiteral("hgrid"));
    h->setCheckable(true);
    h->setChecked(m_chart->horizontalGrid());
    QAction* v = bar->addAction(QStringLiteral("Rejilla vertical"));
    v->setObjectName(QStringLiteral("vgrid"));
    v->setCheckable(true);
    v->setChecked(m_chart->verticalGrid());
    auto grids = [this, h, v] { m_chart->setGrid(h->isChecked(), v->isChecked()); };
    connect(h, &QAction::toggled, this, grids);
    connect(v, &QAction::toggled, this, grids);
    cl->addWidget(bar);
    cl->addWidget(m_chart, 1);
    split->addWidget(m_pane);
    split->addWidget(chartBox);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    split->setSizes({360, 260});   // the map as tall as the chart and more
    lay->addWidget(split, 1);
    QLabel* status = value(QStringLiteral("status"));
    status->setParent(this);
    lay->addWidget(status);
    resize(900, 720);
}

ElevationWindow::~ElevationWindow() { QFile::remove(pageFolder() + QString::fromLatin1(kFile)); }

QLabel* ElevationWindow::value(const QString& name)
{
    auto* l = new QLabel(this);
    l->setObjectName(name);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}

QString ElevationWindow::result(const QString& name) const
{
    const QLabel* l = findChild<QLabel*>(name);
    return l ? l->text() : QString();
}

QAction* ElevationWindow::chartAction(const QString& id) const
{
    const auto* bar = findChild<QToolBar*>(QStringLiteral("chartBar"));
    for (QAction* a : bar->actions())
        if (a->objectName() == id)
            return a;
    return nullptr;
}

void ElevationWindow::setLocators(const QString& from, const QString& to)
{
    if (!from.trimmed().isEmpty())
        m_from->setText(from.trimmed().toUpper());
    if (!to.trimmed().isEmpty())
        m_to->setText(to.trimmed().toUpper());
    if (!from.trimmed().isEmpty() && !to.trimmed().isEmpty())
        calculate();
}

void ElevationWindow::calculate()
{
    QString from = m_from->text().trimmed();
    QString to = m_to->text().trimmed();
    if (from.isEmpty() || to.isEmpty() || !geo::isValidLocator(from, &from) || !geo::isValidLocator(to, &to)) {
        ui::messages().alert(QStringLiteral("Parametros erroneos o incompletos"));
        return;
    }
    const int run = ++m_run;
    m_distance = geo::DIST(from, to);
    const int bearing = geo::RUMBO(from, to);
    findChild<QLabel*>(QStringLiteral("qtf"))->setText(QStringLiteral("%1º").arg(bearing, 4));
    findChild<QLabel*>(QStringLiteral("qtfLp"))->setText(QStringLiteral("%1º").arg(geo::longPathBearing(bearing), 4));
    findChild<QLabel*>(QStringLiteral("dist"))->setText(refdata::COMAS(m_distance, 6) + QStringLiteral(" Km"));
    findChild<QLabel*>(QStringLiteral("distLp"))
        ->setText(refdata::COMAS(geo::longPathDistance(m_distance), 6) + QStringLiteral(" Km"));
    QString rise, set;
    geo::ORTOOCASO(to, &rise, &set, QDateTime::currentDateTimeUtc().date());
    findChild<QLabel*>(QStringLiteral("rise"))->setText(rise);
    findChild<QLabel*>(QStringLiteral("set"))->setText(set);
    findChild<QLabel*>(QStringLiteral("local"))->clear();
    for (int i = 1; i <= 3; ++i)
        findChild<QLabel*>(QStringLiteral("place") + QString::number(i))->clear();

    // the path map now: it draws from what the program knows
    PageOptions options;
    const bool online = online::internetConnected() && !online::offlineForced();
    if (online)
        options.tiles = tileServiceSetting();
    const QString page = writePage(QString::fromLatin1(kFile), HTMLMAP(QStringLiteral("Perfil elevación"), from, to, to, options));
    if (!page.isEmpty())
        m_pane->showFile(page);

    m_busy = true;
    m_calc->setEnabled(false);
    findChild<QLabel*>(QStringLiteral("status"))
        ->setText(QStringLiteral("Recuperando información de internet (lugar y perfil de %1 muestras)...")
                      .arg(elevationSamples(m_distance)));
    QPointer<ElevationWindow> guard(this);
    QThread* worker = QThread::create([guard, run, from, to, wait = m_timeOut, local = localTimeSource()] {
        const QString time = local ? local(to) : QString();
        const QStringList place = GMAPGEO(to, wait);
        const QList<double> profile = place.isEmpty() ? QList<double>() : GMAPELEVATION(from, to, wait);
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [guard, run, time, place, profile] {
                if (guard)
                    guard->finish(run, time, place, profile);
            },
            Qt::QueuedConnection);
    });
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    worker->start();
}

void ElevationWindow::finish(int run, const QString& localTime, const QStringList& place, const QList<double>& profile)
{
    if (run != m_run)
        return;   // a later calculation is under way
    findChild<QLabel*>(QStringLiteral("local"))->setText(localTime);
    m_busy = false;
    m_calc->setEnabled(true);
    const QStringList lines = placeLines(place);
    for (int i = 0; i < 3; ++i)
        findChild<QLabel*>(QStringLiteral("place") + QString::number(i + 1))->setText(lines.value(i));
    m_profile = profile;
    m_chart->setProfile(profile, m_distance);
    QString status;
    if (place.isEmpty())
        status = QStringLiteral("El servicio de nombres de lugar no responde: sin lugar ni perfil de elevación.");
    else if (profile.isEmpty())
        status = QStringLiteral("El servicio de elevación no responde: sin perfil de elevación.");
    else
        status = QStringLiteral("Perfil de %1 puntos.").arg(profile.size());
    findChild<QLabel*>(QStringLiteral("status"))->setText(status);
    emit calculated();
}

} // namespace maps
