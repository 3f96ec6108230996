#include "log_books_window.h"

#include "logbook/book_selection.h"
#include "logbook/books.h"
#include "logbook/views/book_dialog.h"

#include "store/aliases.h"
#include "store/work_area.h"
#include "store/workspace.h"
#include "ui/q7browse.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QStyleOptionButton>
#include <QTimer>
#include <QToolBar>

namespace logbook {

namespace {

// The image of a check box, ticked or not, as the style draws it.
QIcon checkImage(QWidget* w, bool on)
{
    QStyle* style = w->style();
    const int size = style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, w);
    const qreal ratio = w->devicePixelRatioF();
    QPixmap image(QSize(size, size) * ratio);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    QStyleOptionButton option;
    option.initFrom(w);
    option.state = QStyle::State_Enabled | (on ? QStyle::State_On : QStyle::State_Off);
    option.rect = QRect(0, 0, size, size);
    QPainter p(&image);
    style->drawPrimitive(QStyle::PE_IndicatorCheckBox, &option, &p, w);
    return QIcon(image);
}

} // namespace

LogBooksPanel* LogBooksPanel::open(QWidget* parent)
{
    store::WorkArea* books = store::Workspace::instance().area(store::alias::kLibBrw);
    return books ? new LogBooksPanel(books, parent) : nullptr;
}

LogBooksPanel::LogBooksPanel(store::WorkArea* books, QWidget* parent) : ui::GridPanel(books, parent), m_books(books)
{
    setObjectName(QStringLiteral("ManLib"));
    addButton(QStringLiteral("new"), QStringLiteral("Nuevo"), QStringLiteral("Alta nuevo libro"),
              {QStringLiteral("document-new"), QStringLiteral("list-add")}, [this] { newBook(); });
    addButton(QStringLiteral("edit"), QStringLiteral("Editar"), QStringLiteral("Editar libro seleccionado"),
              {QStringLiteral("document-edit"), QStringLiteral("document-properties")}, [this] { editBook(); });
    addButton(QStringLiteral("delete"), QStringLiteral("Eliminar"), QStringLiteral("Eliminar libro seleccionado"),
              {QStringLiteral("edit-delete"), QStringLiteral("list-remove")}, [this] { deleteBook(); });
    bar()->addSeparator();
    addButton(QStringLiteral("select"), QStringLiteral("Seleccionar libro"), QStringLiteral("Seleccionar libro"),
              {QStringLiteral("dialog-ok-apply"), QStringLiteral("emblem-default"), QStringLiteral("object-select")},
              [this] { selectBook(); });
    setCaptionsShown(true);

    ui::tQ7Browse* grid = browse();
    using A = store::WorkArea;
    const QIcon ticked = checkImage(grid, true), unticked = checkImage(grid, false);
    const QString selectHeader = QStringLiteral("Log\r\nSelec.");
    grid->addColumn({.header = selectHeader,
                     .text = [](A& a) { return a.logical(QStringLiteral("ACTIVO")) ? QStringLiteral("Si") : QStringLiteral("No"); },
                     .width = grid->fontMetrics().horizontalAdvance(QStringLiteral("Selec.")) + 16
                              + grid->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, grid) + 8,
                     .icon = [ticked, unticked](A& a) { return a.logical(QStringLiteral("ACTIVO")) ? ticked : unticked; }});
    grid->addField(QStringLiteral("NOMBRE"), QStringLiteral("Nombe"));
    grid->addField(QStringLiteral("DESCRI"), QStringLiteral("Descripción"));
    grid->addColumn({.header = QStringLiteral("Registros"),
                     .text =
                         [](A& a) {
                             // the current book's QSO table is open: its own count, deleted records included
                             const QString name = a.str(QStringLiteral("NOMBRE")).trimmed();
                             store::WorkArea* log = store::Workspace::instance().area(store::alias::kLog);
                             if (log && name.compare(currentBook(), Qt::CaseInsensitive) == 0)
                                 return QString::number(log->recCount());
                             return QString::number(qint64(a.num(QStringLiteral("REG"))));
                         },
                     .align = Qt::AlignRight | Qt::AlignVCenter});
    grid->addField(QStringLiteral("OPRDEF"), QStringLiteral("Operador\r\npor Defecto"));
    grid->setRowColors([](A&) { return std::pair<QColor, QColor>(QColor(Qt::black), QColor(Qt::white)); });
    books->goTop();
    grid->refresh();

    onEdit([this] { editBook(); });
    onCreate([this] { newBook(); });
    onDelete([this] { deleteBook(); });
    onDoubleClick([this] { selectBook(); });
}

void LogBooksPanel::newBook()
{
    EDTLIB(true, this);
    showCurrent();
}

void LogBooksPanel::editBook()
{
    if (m_books->eof())
        return;
    EDTLIB(false, this);
    showCurrent();
}

void LogBooksPanel::deleteBook()
{
    if (m_books->eof())
        return;
    QPointer<LogBooksPanel> self(this);
    const int row = browse()->currentIndex().row();
    QTimer::singleShot(0, qApp, [self, row] {
        if (!self)
            return;
        if (logbook::deleteBook(true) != Deletion::Deleted || !self)
            return;   // the current book went: its windows are new ones
        // the row above the book that went
        ui::tQ7Browse* grid = self->browse();
        grid->refresh();
        if (grid->model()->rowCount() > 0)
            grid->setCurrentIndex(grid->model()->index(std::clamp(row - 1, 0, grid->model()->rowCount() - 1), 0));
        grid->setFocus();
    });
}

void LogBooksPanel::selectBook()
{
    if (m_books->eof())
        return;
    LIBSELLOG([this] { browse()->refresh(); });
    showCurrent();
}

} // namespace logbook
