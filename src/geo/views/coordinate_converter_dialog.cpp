#include "coordinate_converter_dialog.h"

#include "geo/dms.h"
#include "geo/locator.h"

#include "ui/dialog_helpers.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace geo {

namespace {

QLineEdit* field(QWidget* parent, int id, const QString& picture, int chars)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::number(id));
    e->setValidator(new ui::PictureValidator(picture, e));
    e->setMaxLength(int(picture.size()));
    e->setAlignment(Qt::AlignRight);
    ui::fitChars(e, chars);
    return e;
}

double number(const QLineEdit* e) { return e->text().trimmed().toDouble(); }

} // namespace

CoordinateConverterDialog::CoordinateConverterDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("CNVLATLON"));
    setWindowTitle(QStringLiteral("Conversor Latitud Longitud"));
    auto* lay = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    lay->addLayout(grid);
    grid->addWidget(new QLabel(QStringLiteral("Grados"), this), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Minutos"), this), 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Segundos"), this), 0, 3);
    grid->addWidget(new QLabel(QStringLiteral("Decimal"), this), 0, 4);
    const QString rows[] = {QStringLiteral("Latitud"), QStringLiteral("Longitud")};
    for (int i = 0; i < 2; ++i) {
        const int base = 4001 + 3 * i;
        grid->addWidget(new QLabel(rows[i], this), i + 1, 0);
        m_deg[i] = field(this, base, QStringLiteral("999"), 5);
        m_min[i] = field(this, base + 1, QStringLiteral("999"), 5);
        m_sec[i] = field(this, base + 2, QStringLiteral("99.99"), 7);
        m_dec[i] = field(this, 4007 + i, i == 0 ? QStringLiteral("999.999999") : QStringLiteral("9999.999999"), 13);
        grid->addWidget(m_deg[i], i + 1, 1);
        grid->addWidget(m_min[i], i + 1, 2);
        grid->addWidget(m_sec[i], i + 1, 3);
        grid->addWidget(m_dec[i], i + 1, 4);
        for (QLineEdit* e : {m_deg[i], m_min[i], m_sec[i]})
            connect(e, &QLineEdit::editingFinished, this, [this, i] { fromDms(i == 0); });
        connect(m_dec[i], &QLineEdit::editingFinished, this, [this] { fromDecimal(); });
    }
    grid->addWidget(new QLabel(QStringLiteral("Locator"), this), 3, 0);
    m_locator = new QLineEdit(this);
    m_locator->setObjectName(QStringLiteral("4011"));
    m_locator->setValidator(new ui::PictureValidator(QStringLiteral("AA99AA"), m_locator));
    m_locator->setMaxLength(6);
    ui::keepUpperCase(m_locator);
    ui::fitChars(m_locator, 8);
    grid->addWidget(m_locator, 3, 1, 1, 2);
    connect(m_locator, &QLineEdit::editingFinished, this, [this] { fromLocator(); });
    auto* note = new QLabel(QStringLiteral("Latitud Sur, y Longitud Oeste grados en negativo"), this);
    lay->addWidget(note);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("&Cerrar"), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("2"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    lay->addWidget(buttons);

    // it starts on 39° 26' 15'' N, 2° 47' 30'' E
    const double start[2][3] = {{39, 26, 15}, {2, 47, 30}};
    for (int i = 0; i < 2; ++i) {
        m_deg[i]->setText(QString::number(start[i][0]));
        m_min[i]->setText(QString::number(start[i][1]));
        m_sec[i]->setText(QString::number(start[i][2], 'f', 2));
        fromDms(i == 0);
    }
}

double CoordinateConverterDialog::decimal(bool latitude) const { return number(m_dec[latitude ? 0 : 1]); }

void CoordinateConverterDialog::fromDms(bool latitude)
{
    const int i = latitude ? 0 : 1;
    const bool negative = m_deg[i]->text().trimmed().startsWith(QLatin1Char('-'));
    showDecimal(latitude, dmsToDecimal(int(number(m_deg[i])), int(number(m_min[i])), number(m_sec[i]), negative));
    showLocator();
}

void CoordinateConverterDialog::fromDecimal()
{
    showDms(true, decimal(true));
    showDms(false, decimal(false));
    showLocator();
}

void CoordinateConverterDialog::fromLocator()
{
    QString loc = m_locator->text();
    if (loc.trimmed().isEmpty() || !CHKLOC(&loc))
        return;
    m_locator->setText(loc);
    showDecimal(true, QRA2LAT(loc));
    showDecimal(false, QRA2LON(loc));
    showDms(true, decimal(true));
    showDms(false, decimal(false));
}

void CoordinateConverterDialog::showDms(bool latitude, double value)
{
    const int i = latitude ? 0 : 1;
    const Dms d = decimalToDms(value);
    m_deg[i]->setText((d.negative && d.degrees == 0 ? QStringLiteral("-") : QString()) + QString::number(d.degrees));
    m_min[i]->setText(QString::number(d.minutes));
    m_sec[i]->setText(QString::number(d.seconds, 'f', 2));
}

void CoordinateConverterDialog::showDecimal(bool latitude, double value)
{
    m_dec[latitude ? 0 : 1]->setText(QString::number(value, 'f', 6));
}

void CoordinateConverterDialog::showLocator() { m_locator->setText(CALLOC(decimal(true), decimal(false))); }

} // namespace geo
