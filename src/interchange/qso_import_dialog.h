#pragma once
// The layout the QSO imports share ("IMPADIF"): default operator and locator,
// the file to import with its chooser, the duplicate test, Ok and Cancel.

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace interchange {

struct QsoImportOptions;

class QsoImportDialog : public QDialog {
public:
    // extension (".adi") and filter ("ADIF (*.adi)") are the file chooser's.
    QsoImportDialog(const QString& appTitle, const QString& workDir, const QString& title, const QString& extension,
                    const QString& filter, QWidget* parent = nullptr);

    QString path() const;
    QString operatorCall() const;        // upper case, without blanks around it
    QString locator() const;
    bool dupCheck() const;
    QString oprDef() const { return m_oprDef; }   // the book's default operator
    // What the dialog holds, into the options every QSO import shares.
    void fill(QsoImportOptions* o) const;

private:
    QString m_oprDef;
    QLineEdit* m_operator = nullptr;
    QLineEdit* m_locator = nullptr;
    QLineEdit* m_path = nullptr;
    QCheckBox* m_dup = nullptr;
};

} // namespace interchange
