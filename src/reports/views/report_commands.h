#pragma once
// The menu entries of the entity reports: the selection dialog, the report
// gathered under a wait message, and its print preview.

class QWidget;

namespace reports {

struct PreparedReport;

void INFWRKNOTCONF(QWidget* parent = nullptr);
void INFNOTWRK(QWidget* parent = nullptr);

// The report in Qt's print preview, titled "Gestor de informes " + program and version.
void previewReport(const PreparedReport& report, QWidget* parent = nullptr);

} // namespace reports
