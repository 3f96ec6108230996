// The LoTW confirmation import dialog.
#include "lotw_import_dialog.h"

#include "ui/dialog_helpers.h"
#include "ui/file_chooser.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace interchange {

LotwImportDialog::LotwImportDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("LOGBCK"));
    setWindowTitle(QStringLiteral("Incorporar confirmaciones LOTW"));
    auto* lay = new QVBoxLayout(this);
    m_path = ui::addPathChooser(lay, QStringLiteral("Carpeta"), QStringLiteral("600"), [this](const QString& current) {
        return ui::chooseFile(this, ui::ChooseMode::Open, QStringLiteral("lotw"), QStringLiteral("Seleccione fichero a restaurar"),
                              current, QString(), QStringLiteral("ADIF (*.adi)"), QDir::homePath());
    });
    m_ok = ui::addOkCancel(this, lay);
    // Ok only for a file that is there
    m_ok->setEnabled(false);
    connect(m_path, &QLineEdit::textChanged, this,
            [this](const QString& t) { m_ok->setEnabled(!t.trimmed().isEmpty() && QFileInfo(t.trimmed()).isFile()); });
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
