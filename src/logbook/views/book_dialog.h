#pragma once
// The form of a log book (CRTLIB): name, description and default operator.

#include "logbook/books.h"

#include <QDialog>

#include <memory>

class QLineEdit;
class QPushButton;

namespace store {
class RecordBuffer;
class WorkArea;
}

namespace logbook {

class BookDialog : public QDialog {
    Q_OBJECT
public:
    // A new book starts empty and its name must pass CHKNOM when the field is
    // left before "&Ok" is enabled; an existing one (the record under the
    // cursor of books) keeps its name.
    BookDialog(store::WorkArea* books, bool isNew, QWidget* parent = nullptr);
    ~BookDialog() override;

    BookFields fields() const;

private:
    std::unique_ptr<store::RecordBuffer> m_buffer;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_description = nullptr;
    QLineEdit* m_operator = nullptr;
    QPushButton* m_ok = nullptr;
};

// EDTLIB: the form over the book under the LibBrw cursor (isNew: a new book,
// the cursor first past the last one), then the catalogue written (saveBook).
// Cancelling a new book puts the cursor back on the first book. True when
// something was saved.
bool EDTLIB(bool isNew, QWidget* parent = nullptr, NewBook after = NewBook::MakeCurrent);

} // namespace logbook
