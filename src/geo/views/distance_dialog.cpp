#include "distance_dialog.h"

#include "geo/distance.h"
#include "geo/locator.h"

#include "ui/dialog_helpers.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace geo {

namespace {

QLineEdit* locatorField(QWidget* parent, const QString& id)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(id);
    e->setValidator(new ui::PictureValidator(QStringLiteral("AA99AA"), e));
    e->setMaxLength(6);
    ui::keepUpperCase(e);
    ui::fitChars(e, 8);
    // an invalid locator keeps the focus until it is mended or emptied
    QObject::connect(e, &QLineEdit::editingFinished, e, [e] {
        QString loc = e->text();
        if (CHKLOC(&loc))
            e->setText(loc);
        else
            QTimer::singleShot(0, e, [e] { e->setFocus(); });
    });
    return e;
}

QGroupBox* pathBox(QWidget* parent, const QString& title, int firstId, QLabel** out)
{
    auto* box = new QGroupBox(title, parent);
    auto* form = new QFormLayout(box);
    const QString labels[] = {QStringLiteral("Distancia"), QStringLiteral("Rumbo")};
    for (int i = 0; i < 2; ++i) {
        out[i] = new QLabel(box);
        out[i]->setObjectName(QString::number(firstId + i));
        out[i]->setMinimumWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("00000 Km")));
        out[i]->setTextInteractionFlags(Qt::TextSelectableByMouse);
        form->addRow(labels[i], out[i]);
    }
    return box;
}

} // namespace

DistanceDialog::DistanceDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("CALDISRUM"));
    setWindowTitle(QStringLiteral("Cálculo de distancias y rumbos"));
    auto* lay = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_from = locatorField(this, QStringLiteral("4001"));
    m_to = locatorField(this, QStringLiteral("4002"));
    form->addRow(QStringLiteral("Desde"), m_from);
    form->addRow(QStringLiteral("Hasta"), m_to);
    lay->addLayout(form);
    auto* paths = new QHBoxLayout;
    paths->addWidget(pathBox(this, QStringLiteral("Pasco corto"), 4003, m_short));
    paths->addWidget(pathBox(this, QStringLiteral("Paso largo"), 4005, m_long));
    lay->addLayout(paths);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* calc = buttons->addButton(QStringLiteral("C&alcular"), QDialogButtonBox::ActionRole);
    calc->setObjectName(QStringLiteral("1"));
    calc->setDefault(true);
    buttons->addButton(QStringLiteral("&Cancelar"), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("2"));
    connect(calc, &QPushButton::clicked, this, &DistanceDialog::calculate);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    lay->addWidget(buttons);
}

void DistanceDialog::calculate()
{
    const QString from = completeLocator(m_from->text());
    const QString to = completeLocator(m_to->text());
    if (from.isEmpty() || to.isEmpty() || !isValidLocator(from) || !isValidLocator(to))
        return;
    const int km = DIST(from, to);
    const int bearing = RUMBO(from, to);
    m_short[0]->setText(QString::number(km) + QStringLiteral(" Km"));
    m_short[1]->setText(QString::number(bearing) + QStringLiteral("º"));
    m_long[0]->setText(QString::number(longPathDistance(km)) + QStringLiteral(" Km"));
    m_long[1]->setText(QString::number(longPathBearing(bearing)) + QStringLiteral("º"));
}

} // namespace geo
