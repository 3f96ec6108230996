#pragma once
// The dialog "LOGBCK": the backup folder ("Copia de seguridad") or, for a
// restore, the archive ("Recuperar copia de seguridad"), and the menu commands
// that run the backup and the restore after it.

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace upgrade {

class BackupDialog : public QDialog {
public:
    enum class Kind { Backup, Restore };
    BackupDialog(Kind kind, const QString& start, QWidget* parent = nullptr);
    QString path() const;

private:
    void check();

    Kind m_kind;
    QLineEdit* m_path = nullptr;
    QPushButton* m_ok = nullptr;
};

// LOGBCK and LOGRST from the menu: the dialog, starting with the folder kept
// in cfg, then the operation.
void backupCommand(QWidget* parent);
void restoreCommand(QWidget* parent);

} // namespace upgrade
