#include "dialog_helpers.h"

#include "store/record_buffer.h"
#include "store/work_area.h"

#include <QBoxLayout>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QLineEdit>
#include <QTimer>

namespace ui {

PictureValidator::PictureValidator(QString picture, QObject* parent) : QValidator(parent), m_picture(std::move(picture)) {}

static bool fits(QChar c, QChar p)
{
    switch (p.unicode()) {
    case '9': return c.isDigit() || c == QLatin1Char('-') || c == QLatin1Char('+') || c == QLatin1Char(' ');
    case 'A': return c.isLetter() || c == QLatin1Char(' ');
    case '!':
    case 'X': return true;
    default: return c == p;
    }
}

QValidator::State PictureValidator::validate(QString& input, int& pos) const
{
    if (m_picture.isEmpty())
        return Acceptable;
    if (input.size() > m_picture.size())
        return Invalid;
    for (int i = 0; i < input.size(); ++i) {
        if (m_picture[i] == QLatin1Char('!'))
            input[i] = input[i].toUpper();
        if (!fits(input[i], m_picture[i]))
            return Invalid;
    }
    (void)pos;
    return input.size() == m_picture.size() ? Acceptable : Intermediate;
}

void PictureValidator::fixup(QString& input) const
{
    input = apply(input, m_picture);
}

QString PictureValidator::apply(const QString& text, const QString& picture)
{
    if (picture.isEmpty())
        return text;
    QString out;
    int t = 0;
    for (int i = 0; i < picture.size(); ++i) {
        const QChar p = picture[i];
        if (p != QLatin1Char('9') && p != QLatin1Char('A') && p != QLatin1Char('!') && p != QLatin1Char('X')) {
            out += p;   // literal: skip it in the text too when it stands there
            if (t < text.size() && text[t] == p)
                ++t;
            continue;
        }
        QChar c = t < text.size() ? text[t++] : QLatin1Char(' ');
        if (p == QLatin1Char('!'))
            c = c.toUpper();
        out += fits(c, p) ? c : QLatin1Char(' ');
    }
    return out;
}

QLineEdit* addField(QFormLayout* form, const QString& id, const QString& label, store::RecordBuffer* buffer,
                    const QString& field, const FieldOptions& options)
{
    auto* edit = new QLineEdit(form->parentWidget());
    edit->setObjectName(id);
    const store::Value v = buffer->get(field);
    edit->setText(v.isChar() ? v.toString().trimmed() : v.isNumber() ? QString::number(v.toNumber()) : QString());
    if (!options.picture.isEmpty()) {
        edit->setValidator(new PictureValidator(options.picture, edit));
        edit->setMaxLength(int(options.picture.size()));
    }
    if (options.upper)
        QObject::connect(edit, &QLineEdit::textEdited, edit, [edit](const QString& t) {
            const int pos = edit->cursorPosition();
            edit->setText(t.toUpper());
            edit->setCursorPosition(pos);
        });
    QObject::connect(edit, &QLineEdit::editingFinished, edit, [edit, buffer, field, options] {
        const QString text = options.upper ? edit->text().toUpper() : edit->text();
        if (options.valid && !options.valid(text)) {
            QTimer::singleShot(0, edit, [edit] { edit->setFocus(); });
            return;
        }
        const store::Value old = buffer->get(field);
        if (old.isNumber())
            buffer->set(field, store::Value::number(text.trimmed().toDouble()));
        else
            buffer->set(field, store::Value::text(text));
    });
    form->addRow(label, edit);
    return edit;
}

QLineEdit* addPathChooser(QBoxLayout* layout, const QString& title, const QString& editId,
                          const std::function<QString(const QString& current)>& choose)
{
    auto* box = new QGroupBox(title);
    auto* row = new QHBoxLayout(box);
    auto* edit = new QLineEdit(box);
    edit->setObjectName(editId);
    auto* chooser = new QPushButton(QStringLiteral("..."), box);
    chooser->setObjectName(QStringLiteral("4000"));
    row->addWidget(edit);
    row->addWidget(chooser);
    layout->addWidget(box);
    QObject::connect(chooser, &QPushButton::clicked, edit, [edit, choose] {
        const QString path = choose(edit->text().trimmed());
        if (!path.isEmpty())
            edit->setText(path);
    });
    return edit;
}

QPushButton* addOkCancel(QDialog* dialog, QBoxLayout* layout, QLineEdit* required)
{
    auto* buttons = new QDialogButtonBox(dialog);
    QPushButton* ok = buttons->addButton(QStringLiteral("&Ok"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("1"));
    buttons->addButton(QStringLiteral("&Cancelar"), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("2"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    layout->addWidget(buttons);
    if (required) {
        auto update = [ok, required] { ok->setEnabled(!required->text().trimmed().isEmpty()); };
        QObject::connect(required, &QLineEdit::textChanged, ok, update);
        update();
    }
    return ok;
}

void keepUpperCase(QLineEdit* edit)
{
    QObject::connect(edit, &QLineEdit::textEdited, edit, [edit](const QString& t) {
        const int c = edit->cursorPosition();
        edit->setText(t.toUpper());
        edit->setCursorPosition(c);
    });
}

} // namespace ui
