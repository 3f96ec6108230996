#include "pick_list_dialog.h"

#include "refdata/pick_list.h"
#include "store/work_area.h"
#include "ui/q7browse.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QVBoxLayout>

namespace refdata {

namespace {

struct Captions {
    QString name, title, cancel, codeHeader, nameHeader;
};

ui::BrowseColumn textColumn(const QString& header, const char* field, int chars, const QFontMetrics& fm)
{
    ui::BrowseColumn c;
    c.header = header;
    c.text = [name = QString::fromLatin1(field)](store::WorkArea& a) { return a.str(name).trimmed(); };
    c.width = qMax(fm.horizontalAdvance(QLatin1Char('n')) * chars, fm.horizontalAdvance(header)) + 16;
    return c;
}

// The window the list belongs to: the active one, else the program's frame.
QWidget* owner()
{
    if (QWidget* w = QApplication::activeWindow())
        return w;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<QMainWindow*>(w) && w->isVisible())
            return w;
    return nullptr;
}

QString pick(PickList& list, const Captions& cap)
{
    store::WorkArea* area = list.area();
    if (!area)
        return list.finish(false);
    QDialog d(owner());
    d.setObjectName(cap.name);
    d.setWindowTitle(cap.title);
    auto* lay = new QVBoxLayout(&d);
    auto* typed = new QLineEdit(&d);
    typed->setObjectName(QStringLiteral("101"));
    typed->setReadOnly(true);
    typed->setFocusPolicy(Qt::NoFocus);
    lay->addWidget(typed);

    auto* grid = new ui::tQ7Browse(area, &d);
    grid->setObjectName(QStringLiteral("301"));
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    const QFontMetrics fm = grid->fontMetrics();
    const bool award = list.kind() == PickKind::AwardReferences;
    grid->addColumn(textColumn(cap.codeHeader, list.codeField(), award ? 10 : 6, fm));
    grid->addColumn(textColumn(cap.nameHeader, list.nameField(), award ? 40 : 30, fm));
    grid->setFrozenColumns(2);
    grid->setSearchHandler([&list](const QString& text) { return list.search(text); });
    QObject::connect(grid, &ui::tQ7Browse::searchChanged, typed, &QLineEdit::setText);
    lay->addWidget(grid, 1);

    auto* buttons = new QDialogButtonBox(&d);
    QPushButton* choose = buttons->addButton(QStringLiteral("&Selecionar"), QDialogButtonBox::AcceptRole);
    choose->setObjectName(QStringLiteral("1"));
    buttons->addButton(cap.cancel, QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("2"));
    lay->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &d, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &d, &QDialog::reject);
    QObject::connect(grid, &ui::tQ7Browse::recordActivated, &d, &QDialog::accept);

    grid->refresh();   // on the code given, or on the first record of the list
    int width = 0;
    for (int c = 0; c < grid->columnCount(); ++c)
        width += grid->columnWidth(c);
    d.resize(width + 60, 420);
    grid->setFocus();
    const bool chosen = d.exec() == QDialog::Accepted && grid->currentRecord();
    if (chosen)
        area->goTo(grid->currentRecord());
    return list.finish(chosen);
}

} // namespace

QString HLPPRV(const QString& entity, const QString& province)
{
    const auto list = PickList::provinces(entity, province);
    return pick(*list, {QStringLiteral("PrvHlp"), QStringLiteral("Povicias/estados"), QStringLiteral("Cancel"),
                        QStringLiteral("Cod"), QStringLiteral("Nombre")});
}

QString HLPSUBPRV(const QString& entity, const QString& province, const QString& subdivision)
{
    const auto list = PickList::subdivisions(entity, province, subdivision);
    return pick(*list, {QStringLiteral("SubPrvHlp"), QStringLiteral("Subdivisiones provinciales"),
                        QStringLiteral("&Cancelar"), QStringLiteral("Cod"), QStringLiteral("Nombre")});
}

QString HLPDPL(const QString& award, const QString& reference)
{
    const auto list = PickList::awardReferences(award, reference);
    return pick(*list, {QStringLiteral("SubPrvHlp"), QStringLiteral("Referencias diploma ") + award.trimmed(),
                        QStringLiteral("&Cancelar"), QStringLiteral("Ref"), QStringLiteral("Nombre")});
}

} // namespace refdata
