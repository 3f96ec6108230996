#include "book_dialog.h"

#include "logbook/book_name.h"

#include "store/aliases.h"
#include "store/record_buffer.h"
#include "store/work_area.h"
#include "store/workspace.h"
#include "ui/dialog_helpers.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace logbook {

BookDialog::BookDialog(store::WorkArea* books, bool isNew, QWidget* parent)
    : QDialog(parent), m_buffer(std::make_unique<store::RecordBuffer>(books))
{
    setObjectName(QStringLiteral("CRTLIB"));
    setWindowTitle(isNew ? QStringLiteral("Alta libro de guardia") : QStringLiteral("Editar libro de guardia"));
    if (!isNew)
        m_buffer->load();
    store::RecordBuffer* buf = m_buffer.get();

    auto* lay = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    lay->addLayout(form);
    ui::FieldOptions nameOptions{.upper = true};
    if (isNew)
        nameOptions.valid = [this](const QString& text) {
            const bool ok = CHKNOM(text);
            m_ok->setEnabled(ok);
            return ok;
        };
    m_name = ui::addField(form, QStringLiteral("601"), QStringLiteral("Nombre:"), buf, QStringLiteral("NOMBRE"), nameOptions);
    m_name->setMaxLength(kNameWidth);
    m_name->setReadOnly(!isNew);
    m_name->setEnabled(isNew);   // shown greyed: a book keeps its name
    ui::fitChars(m_name, kNameWidth + 2);
    m_description = ui::addField(form, QStringLiteral("602"), QStringLiteral("Descripción:"), buf, QStringLiteral("DESCRI"));
    m_description->setMaxLength(40);
    ui::fitChars(m_description, 40);
    m_operator = ui::addField(form, QStringLiteral("603"), QStringLiteral("Operador x defecto"), buf, QStringLiteral("OPRDEF"),
                              {.upper = true});
    m_operator->setMaxLength(12);
    ui::fitChars(m_operator, 14);

    m_ok = ui::addOkCancel(this, lay);
    if (auto* cancel = findChild<QPushButton*>(QStringLiteral("2")))
        cancel->setFocusPolicy(Qt::NoFocus);   // reaching for Cancel does not check the name
    if (isNew) {
        // a name changed after its check is checked again when left
        m_ok->setEnabled(false);
        connect(m_name, &QLineEdit::textEdited, m_ok, [this] { m_ok->setEnabled(false); });
    } else {
        m_description->setFocus();
    }
}

BookDialog::~BookDialog() = default;

BookFields BookDialog::fields() const { return {m_name->text(), m_description->text(), m_operator->text()}; }

bool EDTLIB(bool isNew, QWidget* parent, NewBook after)
{
    store::WorkArea* books = store::Workspace::instance().area(store::alias::kLibBrw);
    if (!books || (!isNew && books->eof()))
        return false;
    if (isNew) {
        books->goBottom();
        books->skip();
    }
    BookDialog d(books, isNew, parent);
    if (d.exec() != QDialog::Accepted) {
        if (isNew)
            books->goTop();
        return false;
    }
    const bool saved = saveBook(d.fields(), isNew, after);
    if (isNew && !saved)
        books->goTop();
    return saved;
}

} // namespace logbook
