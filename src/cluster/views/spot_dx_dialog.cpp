#include "spot_dx_dialog.h"

#include "cluster/spot_post.h"
#include "cluster/telnet.h"
#include "store/aliases.h"
#include "store/record_buffer.h"
#include "store/work_area.h"
#include "store/workspace.h"
#include "ui/dialog_helpers.h"
#include "core/messages.h"

#include <QComboBox>
#include <QDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace cluster {

namespace {

// The last QSO of the book in its current order; the book keeps its record.
SpotPost fromLastQso()
{
    SpotPost p;
    store::WorkArea* log = store::Workspace::instance().area(store::alias::kLog);
    if (!log)
        return p;
    const quint32 at = log->recNo();
    const bool wasEof = log->eof();
    log->goBottom();
    if (!log->eof()) {
        p.ownCall = log->str(QStringLiteral("OPERATOR")).trimmed();
        p.ownLocator = log->str(QStringLiteral("QRA")).trimmed();
        p.dxCall = log->str(QStringLiteral("CALL")).trimmed();
        p.dxLocator = log->str(QStringLiteral("GRIDSQUARE")).trimmed();
        p.kHz = qRound(log->num(QStringLiteral("FREQ")) * 10000.0) / 10.0;
        p.propagation = log->str(QStringLiteral("PROPMODE")).trimmed();
    }
    if (!wasEof)
        log->goTo(at);
    return p;
}

SpotPost fromQso(store::RecordBuffer* qso)
{
    SpotPost p;
    p.ownCall = qso->get(QStringLiteral("OPERATOR")).toString().trimmed();
    p.ownLocator = qso->get(QStringLiteral("QRA")).toString().trimmed();
    p.dxCall = qso->get(QStringLiteral("CALL")).toString().trimmed();
    p.dxLocator = qso->get(QStringLiteral("GRIDSQUARE")).toString().trimmed();
    p.kHz = qso->get(QStringLiteral("FREQ")).toNumber() * 1000.0;
    p.propagation = qso->get(QStringLiteral("PROPMODE")).toString().trimmed();
    return p;
}

} // namespace

bool SPOTDX(store::RecordBuffer* qso, QWidget* parent)
{
    SpotPost post = qso ? fromQso(qso) : fromLastQso();

    QDialog d(parent);
    d.setObjectName(QStringLiteral("SPOTDX"));
    d.setWindowTitle(QStringLiteral("Realizar anuncion en el DX-Cluster"));
    auto* lay = new QVBoxLayout(&d);
    auto* form = new QFormLayout;
    QLineEdit* own = ui::lineEdit(&d, QStringLiteral("500"), QString(), true, 12);
    own->setText(post.ownCall.toUpper());
    form->addRow(QStringLiteral("Nuestro indicativo"), own);
    QLineEdit* ownLoc = ui::lineEdit(&d, QStringLiteral("501"), QStringLiteral("!!99!!"), true);
    ownLoc->setText(post.ownLocator.toUpper());
    form->addRow(QStringLiteral("LOCATOR"), ownLoc);
    auto* dxRow = new QHBoxLayout;
    QLineEdit* dx = ui::lineEdit(&d, QStringLiteral("502"), QString(), true, 12);
    dx->setText(post.dxCall.toUpper());
    QLineEdit* dxLoc = ui::lineEdit(&d, QStringLiteral("503"), QStringLiteral("!!99!!"), true);
    dxLoc->setText(post.dxLocator.toUpper());
    dxRow->addWidget(dx);
    dxRow->addWidget(dxLoc);
    form->addRow(QStringLiteral("Indicativo a anunciar"), dxRow);
    QLineEdit* freq = ui::lineEdit(&d, QStringLiteral("504"), QString(), false, 12);
    freq->setText(post.kHz > 0 ? QString::number(post.kHz, 'f', 1) : QString());
    form->addRow(QStringLiteral("Frec(ej 14022.3)"), freq);
    auto* prop = new QComboBox(&d);
    prop->setObjectName(QStringLiteral("505"));
    ui::fillCodes(prop, ui::tableCodes(QStringLiteral("Propa"), "CODPRO", "PROPA"));
    prop->setCurrentIndex(qMax(0, prop->findData(post.propagation)));
    form->addRow(QStringLiteral("Propagación"), prop);
    QLineEdit* comment = ui::lineEdit(&d, QStringLiteral("506"), QString(), false, 30);
    comment->setMaxLength(30);
    form->addRow(QStringLiteral("Comentario"), comment);
    lay->addLayout(form);
    QPushButton* ok = ui::addOkCancel(&d, lay);
    ok->setText(QStringLiteral("Enviar"));

    for (;;) {
        if (d.exec() != QDialog::Accepted)
            return false;
        post.ownCall = own->text().trimmed();
        post.ownLocator = ownLoc->text().trimmed();
        post.dxCall = dx->text().trimmed();
        post.dxLocator = dxLoc->text().trimmed();
        post.kHz = freq->text().trimmed().replace(QLatin1Char(','), QLatin1Char('.')).toDouble();
        post.propagation = prop->currentData().toString().trimmed();
        post.comment = comment->text();
        // missing data is told and the dialog comes back
        if (!spotComplete(post)) {
            postSpot(post);
            continue;
        }
        return postSpot(post);
    }
}

} // namespace cluster
