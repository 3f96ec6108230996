#pragma once
// DSPELEVACION: the elevation window. Two locators, "Calcular", the bearing,
// distance, sun times and local time at the destination, the place name
// (GMAPGEO) and the terrain profile (GMAPELEVATION) drawn with Qt Charts, and
// the path map ("pel.html"). The two services are asked on a worker thread:
// the window keeps painting and says in its status line what is going on.

#include <QChartView>
#include <QList>
#include <QStringList>
#include <QWidget>

#include <functional>

class QAction;
class QLabel;
class QLineEdit;
class QPushButton;

namespace maps {

class WebPane;

// The profile in metres along the path: lines (the default), bars, or a
// shaded relief for "Vista en 3D"; horizontal and vertical grid lines on demand.
class ProfileChart : public QChartView {
    Q_OBJECT
public:
    enum class Kind { Lines, Bars, Relief };
    explicit ProfileChart(QWidget* parent = nullptr);
    void setProfile(const QList<double>& metres, int distanceKm);
    void setKind(Kind kind);
    Kind kind() const { return m_kind; }
    void setGrid(bool horizontal, bool vertical);
    bool horizontalGrid() const { return m_hGrid; }
    bool verticalGrid() const { return m_vGrid; }

private:
    void rebuild();
    QList<double> m_metres;
    int m_distance = 0;
    Kind m_kind = Kind::Lines;
    bool m_hGrid = true;
    bool m_vGrid = false;
};

class ElevationWindow : public QWidget {
    Q_OBJECT
public:
    explicit ElevationWindow(QWidget* parent = nullptr);
    ~ElevationWindow() override;

    // The local time at a locator (the previous-QSO window's helper), given by the program;
    // it runs on the worker thread beside the services.
    static void setLocalTimeSource(std::function<QString(const QString& locator)> source);

    // The locators given (empty ones keep what the fields hold); with both
    // present, calculates.
    void setLocators(const QString& from, const QString& to);
    // "Calcular": checks the locators, then computes and asks the services.
    void calculate();
    bool busy() const { return m_busy; }
    // How long each service may take to answer (15 s).
    void setTimeOut(int seconds) { m_timeOut = seconds; }

    QLineEdit* fromField() const { return m_from; }
    QLineEdit* toField() const { return m_to; }
    // The results by name: "qtf", "qtfLp", "dist", "distLp", "rise", "set",
    // "local", "place1", "place2", "place3", "status".
    QString result(const QString& name) const;
    QList<double> profile() const { return m_profile; }
    ProfileChart* chart() const { return m_chart; }
    WebPane* pane() const { return m_pane; }
    QAction* chartAction(const QString& id) const;

signals:
    // The services answered (or gave up) and the window shows the outcome.
    void calculated();

private:
    void finish(int run, const QString& localTime, const QStringList& place, const QList<double>& profile);
    QLabel* value(const QString& name);

    QLineEdit* m_from;
    QLineEdit* m_to;
    QPushButton* m_calc;
    WebPane* m_pane;
    ProfileChart* m_chart;
    QList<double> m_profile;
    int m_distance = 0;
    int m_run = 0;
    int m_timeOut = 15;
    bool m_busy = false;
};

} // namespace maps
