#pragma once
// Printing a grid as it is shown: its visible columns in their order, each as
// wide as its text (narrowed to the page when wider), headings on every page,
// the row colours, a title and page numbers.

#include <QString>

#include <functional>

class QPrinter;
class QWidget;

namespace ui {

class tQ7Browse;

// Paints every row of the grid onto the printer's pages; the number of pages.
int printGrid(tQ7Browse* grid, const QString& title, QPrinter* printer);

// Qt's print preview of the grid, from which the user prints or saves a PDF.
void previewGrid(tQ7Browse* grid, const QString& title, QWidget* parent);

// Qt's print preview of whatever `paint` draws on the printer it is given
// (the preview's pages, then the real printer's): print job `docName`,
// window `windowTitle`; with fullPage, drawn from the paper's corner rather
// than inside the printer's margins. True when the user printed.
bool previewPrint(const QString& docName, const QString& windowTitle, const std::function<void(QPrinter*)>& paint,
                  QWidget* parent, bool fullPage = false);

} // namespace ui
