#pragma once
// The chart window ("GrfVis"): one series of counts as bars, lines, points or
// a pie, with a 3-D look, horizontal and vertical grids, a font and colour
// for each part of the chart, printing at a chosen place on the page and
// saving as a PNG or PDF file. The chart fills the window and follows its size.

#include "reports/chart_data.h"

#include <QColor>
#include <QFont>
#include <QWidget>

#include <map>

class QToolBar;
class QPrinter;

class QChart;
class QChartView;

namespace reports {

enum class ChartType { Bars = 1, Lines, Points, Pie };

// The parts whose font and colour the font menu changes, in its order.
enum class ChartPart { Title, ValuesX, LabelsY, Legend, Subtitle, TitleX, TitleY, Values };

// Where the print puts the chart, in centimetres, and whether it is drawn
// as a chart or as a picture of the window.
struct ChartPlacement {
    double top = 2.5, left = 1, height = 18, width = 22;
    bool asImage = false;
};

class ChartWindow : public QWidget {
    Q_OBJECT
public:
    explicit ChartWindow(ChartData data, QWidget* parent = nullptr);
    ~ChartWindow() override;

    const ChartData& data() const { return m_data; }
    QToolBar* bar() const { return m_bar; }
    QChart* chart() const;
    QChartView* view() const { return m_view; }

    ChartType type() const { return m_type; }
    void setType(ChartType type);
    void set3d(bool on);
    void setHorizontalGrid(bool on);
    void setVerticalGrid(bool on);
    bool is3d() const { return m_3d; }
    void setPartFont(ChartPart part, const QFont& font, const QColor& colour);
    QFont partFont(ChartPart part) const;

    // The window's font menu (CHG_FONTS) and print dialog (GETPRTCOORS).
    void chooseFont(ChartPart part);
    void askPrint();
    // Draws the chart and its values at `placement` on the printer's page.
    void print(QPrinter* printer, const ChartPlacement& placement);
    // PNG (any other extension) or PDF (".pdf"); false with a message in *error.
    bool save(const QString& path, QString* error = nullptr);

private:
    void buildBar();
    void rebuild();
    void applyLook();

    ChartData m_data;
    QToolBar* m_bar = nullptr;
    QChartView* m_view = nullptr;
    ChartType m_type = ChartType::Bars;
    bool m_3d = false;
    bool m_hGrid = true;
    bool m_vGrid = false;
    struct Look {
        QFont font;
        QColor colour;
    };
    std::map<ChartPart, Look> m_look;
};

// The print placement dialog ("Imprimir"); false when cancelled.
bool GETPRTCOORS(ChartPlacement* placement, QWidget* parent = nullptr);

} // namespace reports
