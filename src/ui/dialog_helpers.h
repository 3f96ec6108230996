#pragma once
// Helpers for dialogs built in code: a labelled line edit for a control id,
// with an xBase picture ("!!99!!", "99:99", "9999.999"), upper case and a
// validation clause, bound to a field of a record buffer. The control's
// objectName is its id, so tests find it.

#include <QDate>
#include <QString>
#include <QValidator>

#include <functional>
#include <initializer_list>
#include <vector>

class QBoxLayout;
class QComboBox;
class QObject;
class QDialog;
class QFormLayout;
class QLineEdit;
class QPushButton;
class QWidget;

namespace store {
class RecordBuffer;
}

namespace ui {

// Picture characters: 9 digit (also sign and blank), A letter, ! any character
// in upper case, X any character; anything else stands for itself.
class PictureValidator : public QValidator {
public:
    explicit PictureValidator(QString picture, QObject* parent = nullptr);
    State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;
    static QString apply(const QString& text, const QString& picture);

private:
    QString m_picture;
};

struct FieldOptions {
    QString picture;
    bool upper = false;
    std::function<bool(const QString&)> valid;   // false keeps the focus in the field
    std::function<QString(const QString&)> leave;   // what the text becomes when the field is left
};

// Adds "label" + a line edit named id to the form; the edit shows the buffer's
// field and writes back to it when left.
QLineEdit* addField(QFormLayout* form, const QString& id, const QString& label, store::RecordBuffer* buffer,
                    const QString& field, const FieldOptions& options = {});

// A group box titled `title` with a line edit named editId and a "..." button
// (id 4000) that asks `choose` for a path, given the text in the edit; a path it
// returns replaces the text. Returns the edit.
QLineEdit* addPathChooser(QBoxLayout* layout, const QString& title, const QString& editId,
                          const std::function<QString(const QString& current)>& choose);

// "&Ok" (id 1) and "&Cancelar" (id 2) closing the dialog. With `required`, Ok
// is enabled only while that edit holds more than blanks. Returns Ok.
QPushButton* addOkCancel(QDialog* dialog, QBoxLayout* layout, QLineEdit* required = nullptr);

// A line edit named id: with a picture when given (its length the picture's),
// upper case when asked, wide enough for chars average characters (0: as it comes).
QLineEdit* lineEdit(QWidget* parent, const QString& id, const QString& picture = QString(), bool upper = false, int chars = 0);

// What is typed into the edit comes out in upper case, the cursor where it was.
void keepUpperCase(QLineEdit* edit);

// Every dialog of the application is shown at least as wide as its title
// needs, so no title is cut short by the window manager.
void keepDialogTitlesVisible(QObject* application);

// The codes of the session's table open as alias with the names they are
// shown by, for a list control: codes keep their leading blanks (entity " 89")
// and lose the trailing ones; read in orderTag when given. The table keeps its
// order and record.
struct CodeName {
    QString code, name;
};
std::vector<CodeName> tableCodes(const QString& alias, const char* codeField, const char* nameField,
                                 const QString& orderTag = QString());
// Fills a list control with them (the code as item data), an empty item first.
void fillCodes(QComboBox* box, const std::vector<CodeName>& codes);

// Makes the edit wide enough for `chars` average characters (a path: 44).
void fitChars(QLineEdit* edit, int chars);

// A date as a user types it in a dialog: dd-mm-aaaa, dd/mm/aaaa, ddmmaaaa,
// dd-mm-aa or dd/mm/aa (two-digit years with epoch 1919; day and month may have
// one digit where there are separators), or aaaammdd. Invalid for anything
// else, an empty text included.
QDate dialogDate(const QString& text);

// A date field named id with the placeholder "dd-mm-aaaa".
QLineEdit* dateEdit(QWidget* parent, const QString& id);

// True when every given date field is empty or holds a date; otherwise says
// "Fecha no válida" and puts the focus on the first field that holds none.
bool datesReadable(std::initializer_list<QLineEdit*> edits);

} // namespace ui
