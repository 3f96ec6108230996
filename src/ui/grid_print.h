#pragma once
// Printing a grid as it is shown: its visible columns in their order, each as
// wide as its text (narrowed to the page when wider), headings on every page,
// the row colours, a title and page numbers.

#include <QString>

class QPrinter;
class QWidget;

namespace ui {

class tQ7Browse;

// Paints every row of the grid onto the printer's pages; the number of pages.
int printGrid(tQ7Browse* grid, const QString& title, QPrinter* printer);

// Qt's print preview of the grid, from which the user prints or saves a PDF.
void previewGrid(tQ7Browse* grid, const QString& title, QWidget* parent);

} // namespace ui
