#include "qsl/views/designer.h"

#include "qsl/design.h"
#include "qsl/labels.h"
#include "qsl/print_job.h"
#include "qsl/report.h"

#include "core/messages.h"
#include "store/work_area.h"

#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace qsl {

namespace {

// Print data with one sample QSO (a label filled with it for label formats).
RowSet sample(const Format& f)
{
    RowSet qsos;
    qsos.fields = cardFields();
    std::vector<store::Value> row;
    for (const store::FieldInfo& fi : qsos.fields) {
        const QString n = QString::fromLatin1(fi.name).toUpper();
        if (n == QLatin1String("CALL"))
            row.push_back(store::Value::text(QStringLiteral("EA1XX")));
        else if (n == QLatin1String("QSODATE"))
            row.push_back(store::Value::date(QDate(2024, 5, 1)));
        else if (n == QLatin1String("TIMEON"))
            row.push_back(store::Value::text(QStringLiteral("12:34")));
        else if (n == QLatin1String("BAND"))
            row.push_back(store::Value::text(QStringLiteral("20M")));
        else if (n == QLatin1String("MODE"))
            row.push_back(store::Value::text(QStringLiteral("SSB")));
        else if (n == QLatin1String("RSTSENT"))
            row.push_back(store::Value::text(QStringLiteral("59")));
        else if (n == QLatin1String("FREQ"))
            row.push_back(store::Value::number(14.2));
        else
            row.push_back(blankValue(fi));
    }
    qsos.rows.push_back(row);
    return f.label ? fillLabels(qsos, f.qsosPerLabel) : qsos;
}

} // namespace

void openDesigner(store::WorkArea& frm, QWidget* parent)
{
    if (frm.eof())
        return;
    const Format f = formatOf(frm);
    QString why;
    const auto design = parseDesign(f.design, &why);
    if (!design) {
        ui::messages().stop(f.design.trimmed().isEmpty() ? QStringLiteral("El formato no tiene diseño todavía") : why);
        return;
    }
    const RowSet data = sample(f);
    const auto report = Report::compile(*design, data.fields, formatFields(), &why);
    if (!report) {
        ui::messages().stop(why);
        return;
    }
    const QImage image = report->pageImage(0, 96, data, f.fRow);
    QDialog d(parent);
    d.setObjectName(QStringLiteral("QSLDESIGN"));
    d.setWindowTitle(QStringLiteral("Diseño del formato ") + f.description + QStringLiteral(" (solo lectura)"));
    d.setSizeGripEnabled(true);
    auto* lay = new QVBoxLayout(&d);
    auto* scroll = new QScrollArea(&d);
    auto* picture = new QLabel(scroll);
    picture->setObjectName(QStringLiteral("picture"));
    picture->setPixmap(QPixmap::fromImage(image));
    scroll->setWidget(picture);
    lay->addWidget(scroll, 1);
    auto* close = new QPushButton(QStringLiteral("&Cerrar"), &d);
    QObject::connect(close, &QPushButton::clicked, &d, &QDialog::accept);
    lay->addWidget(close, 0, Qt::AlignHCenter);
    d.resize(std::min(image.width() + 60, 1000), std::min(image.height() + 90, 760));
    d.exec();
}

} // namespace qsl
