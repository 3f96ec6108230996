#pragma once
// The dialog of the LoTW confirmation import ("LOGBCK" retitled): one path.

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace interchange {

class LotwImportDialog : public QDialog {
public:
    explicit LotwImportDialog(QWidget* parent = nullptr);
    QString path() const;

private:
    QLineEdit* m_path = nullptr;
    QPushButton* m_ok = nullptr;
};

// Shows the dialog; false when cancelled.
bool lotwImportDialog(QString* path, QWidget* parent = nullptr);

} // namespace interchange
