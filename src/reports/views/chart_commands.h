#pragma once
// The menu entries of the charts: the selection dialog, the questions of the
// entity chart, the counts, and the chart window handed to `show` (the shell
// puts it into its "GrfVis" window).

#include "reports/chart_data.h"

#include <functional>

class QWidget;

namespace reports {

class ChartWindow;

using ChartShow = std::function<void(ChartWindow*)>;

void runChart(ChartKind kind, QWidget* parent, const ChartShow& show);

inline void GRFENT(QWidget* parent, const ChartShow& show) { runChart(ChartKind::Entities, parent, show); }
inline void GRFMODOS(QWidget* parent, const ChartShow& show) { runChart(ChartKind::Modes, parent, show); }
inline void GRFBAND(QWidget* parent, const ChartShow& show) { runChart(ChartKind::Bands, parent, show); }
inline void GRFCONT(QWidget* parent, const ChartShow& show) { runChart(ChartKind::Continents, parent, show); }
inline void GRFHOR(QWidget* parent, const ChartShow& show) { runChart(ChartKind::Hours, parent, show); }

} // namespace reports
