// The LoTW confirmation import dialog.
#include "lotw_import_dialog.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace interchange {

LotwImportDialog::LotwImportDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("LOGBCK"));
    setWindowTitle(QStringLiteral("Incorporar confirmaciones LOTW"));
    auto* lay = new QVBoxLayout(this);
    auto* box = new QGroupBox(QStringLiteral("Carpeta"), this);
    auto* boxLay = new QHBoxLayout(box);
    m_path = new QLineEdit(box);
    m_path->setObjectName(QStringLiteral("600"));
    auto* chooser = new QPushButton(QStringLiteral("..."), box);
    chooser->setObjectName(QStringLiteral("4000"));
    boxLay->addWidget(m_path);
    boxLay->addWidget(chooser);
    lay->addWidget(box);
    auto* buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(QStringLiteral("&Ok"), QDialogButtonBox::AcceptRole);
    m_ok->setObjectName(QStringLiteral("1"));
    buttons->addButton(QStringLiteral("&Cancelar"), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("2"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    lay->addWidget(buttons);
    m_ok->setEnabled(false);
    connect(m_path, &QLineEdit::textChanged, this,
            [this](const QString& t) { m_ok->setEnabled(!t.trimmed().isEmpty() && QFileInfo(t.trimmed()).isFile()); });
    connect(chooser, &QPushButton::clicked, this, [this] {
        const QString f = QFileDialog::getOpenFileName(this, QStringLiteral("Seleccione fichero a restaurar"), m_path->text(),
                                                       QStringLiteral("ADIF (*.adi)"));
        if (!f.isEmpty())
            m_path->setText(f);
    });
}

QString LotwImportDialog::path() const
{
    return m_path->text().trimmed();
}

bool lotwImportDialog(QString* path, QWidget* parent)
{
    LotwImportDialog dlg(parent);
    if (dlg.exec() != QDialog::Accepted)
        return false;
    *path = dlg.path();
    return true;
}

} // namespace interchange
