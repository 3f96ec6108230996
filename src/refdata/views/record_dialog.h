#pragma once
// The edit dialogs of the reference tables: labelled controls over "OK" and
// "Cancelar". OK runs the dialog's save and closes the dialog only when the
// record was written; a save that was refused (another user holds the record)
// leaves the dialog open with what was typed, to try again or cancel.

#include <QDialog>

#include <functional>

class QFormLayout;
class QLineEdit;
class QPushButton;

namespace refdata {

class RecordDialog : public QDialog {
public:
    // name: the dialog's object name (its resource name); ids name the controls.
    RecordDialog(const QString& name, const QString& title, QWidget* parent);

    QFormLayout* form() const { return m_form; }
    // A labelled line edit named id holding text, for at most maxLength characters.
    QLineEdit* addLine(const QString& id, const QString& label, const QString& text, int maxLength, bool upper = false);
    // OK is enabled only while ready() holds; it is asked again whenever the edit changes.
    void enableOkWhile(QLineEdit* edit, std::function<bool()> ready);

    // Shows the dialog; true when OK was pressed and save wrote the record.
    bool run(std::function<bool()> save);

private:
    QFormLayout* m_form;
    QPushButton* m_ok;
    std::function<bool()> m_save;
};

} // namespace refdata
