#include "upgrade/views/backup_dialog.h"

#include "upgrade/backup.h"

#include "ui/dialog_helpers.h"
#include "ui/file_chooser.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace upgrade {

BackupDialog::BackupDialog(Kind kind, const QString& start, QWidget* parent) : QDialog(parent), m_kind(kind)
{
    setObjectName(QStringLiteral("LOGBCK"));
    setWindowTitle(kind == Kind::Backup ? QStringLiteral("Copia de seguridad") : QStringLiteral("Recuperar copia de seguridad"));
    auto* layout = new QVBoxLayout(this);
    m_path = ui::addPathChooser(layout, QStringLiteral("Carpeta"), QStringLiteral("600"), [this](const QString& current) {
        if (m_kind == Kind::Backup)
            return QFileDialog::getExistingDirectory(this, QStringLiteral("Carpeta para backup"),
                                                     current.trimmed().isEmpty() ? QDir::homePath() : current.trimmed());
        const QString folder = QFileInfo(current.trimmed()).isDir() ? current.trimmed()
                                                                    : QFileInfo(current.trimmed()).absolutePath();
        return QFileDialog::getOpenFileName(this, QStringLiteral("Seleccione fichero a restaurar"), folder,
                                            QStringLiteral("Orlanlog BackUp (*.q7z)"));
    });
    m_path->setMinimumWidth(m_path->fontMetrics().averageCharWidth() * 50);
    m_path->setText(start);
    m_ok = ui::addOkCancel(this, layout);
    connect(m_path, &QLineEdit::textChanged, this, &BackupDialog::check);
    check();
}

QString BackupDialog::path() const
{
    return m_path->text().trimmed();
}

void BackupDialog::check()
{
    // a backup needs a folder; a restore needs an archive that exists
    m_ok->setEnabled(m_kind == Kind::Backup ? !path().isEmpty() : QFileInfo(path()).isFile());
}

void backupCommand(QWidget* parent)
{
    BackupDialog dialog(BackupDialog::Kind::Backup, storedBackupFolder(), parent);
    if (dialog.exec() == QDialog::Accepted)
        LOGBCK(dialog.path());
}

void restoreCommand(QWidget* parent)
{
    BackupDialog dialog(BackupDialog::Kind::Restore, storedBackupFolder(), parent);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QString archive = dialog.path();
    if (LOGRST(archive))
        storeBackupFolder(QFileInfo(archive).absolutePath());
}

} // namespace upgrade
