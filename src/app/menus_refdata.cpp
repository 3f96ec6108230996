// Menu entries of the CTY.DAT import and of its version.
#include "main_frame.h"
#include "tappl.h"
#include "windows.h"

#include "refdata/cty_import.h"
#include "ui/messages.h"

#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// "Importar Contest Country File(CTY.DAT)": the file to import. The download
// button arrives with the web client.
QString chooseCtyFile(QWidget* parent)
{
    QDialog d(parent);
    d.setObjectName(QStringLiteral("IMPCTY"));
    d.setWindowTitle(QStringLiteral("Importar Contest Country File(CTY.DAT)"));
    auto* lay = new QVBoxLayout(&d);
    auto* group = new QGroupBox(QStringLiteral("Fichero a importar"), &d);
    auto* row = new QHBoxLayout(group);
    auto* path = new QLineEdit(group);
    path->setObjectName(QStringLiteral("602"));
    const QString last = oAppl->ini().getString(QStringLiteral("ImpCty"), QStringLiteral("Fichero"), QString());
    path->setText(last);
    auto* browse = new QPushButton(QStringLiteral("..."), group);
    browse->setObjectName(QStringLiteral("4000"));
    row->addWidget(path, 1);
    row->addWidget(browse);
    lay->addWidget(group);
    auto* buttons = new QDialogButtonBox(&d);
    QPushButton* ok = buttons->addButton(QStringLiteral("&Ok"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("&Cancelar"), QDialogButtonBox::RejectRole);
    lay->addWidget(buttons);
    ok->setEnabled(!path->text().trimmed().isEmpty());
    QObject::connect(path, &QLineEdit::textChanged, ok, [ok](const QString& t) { ok->setEnabled(!t.trimmed().isEmpty()); });
    QObject::connect(buttons, &QDialogButtonBox::accepted, &d, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &d, &QDialog::reject);
    QObject::connect(browse, &QPushButton::clicked, &d, [&] {
        const QString folder = path->text().isEmpty() ? oAppl->cDirLocal : QFileInfo(path->text()).absolutePath();
        const QString f = QFileDialog::getOpenFileName(
            &d, oAppl->cName + QLatin1Char(' ') + oAppl->cVer + QStringLiteral(" Seleccione carpeta y nombre de fichero"),
            folder + QStringLiteral("/cty.dat"), QStringLiteral("DAT (*.dat)"));
        if (!f.isEmpty())
            path->setText(f);
    });
    if (d.exec() != QDialog::Accepted)
        return {};
    oAppl->ini().Set(QStringLiteral("ImpCty"), QStringLiteral("Fichero"), path->text().trimmed());
    return path->text().trimmed();
}

} // namespace

void connectRefdataMenus(MainFrame* frame)
{
    if (QAction* a = frame->action(QStringLiteral("Importar CTY .."))) {
        a->setEnabled(true);
        QObject::connect(a, &QAction::triggered, frame, [frame] {
            const QString file = chooseCtyFile(frame);
            if (file.isEmpty())
                return;
            MSGMETER([&](ui::Meter& m) { refdata::CTYIMP(m, false, file); }, QStringLiteral("Procesando..."),
                     QStringLiteral("Importando prefijos y coordenadas ..."));
        });
    }
    if (QAction* a = frame->action(QStringLiteral("Versión actual de CTY.DAT"))) {
        a->setEnabled(true);
        QObject::connect(a, &QAction::triggered, frame,
                         [] { ui::messages().info(QStringLiteral("VERaammdd\r\n") + refdata::CTYVER()); });
    }
}
