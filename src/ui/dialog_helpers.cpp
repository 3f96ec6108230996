#include "dialog_helpers.h"
#include <QComboBox>
#include "store/workspace.h"

#include "store/record_buffer.h"
#include "store/work_area.h"
#include "core/messages.h"

#include <QBoxLayout>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QMessageBox>
#include <QSpacerItem>
#include <QPushButton>
#include <QLineEdit>
#include <QTimer>
#include <QEvent>
#include <QFontMetrics>

#include <algorithm>

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
    edit->setCursorPosition(0);   // a long value shows its start
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
        QString text = options.upper ? edit->text().toUpper() : edit->text();
        if (options.leave) {
            text = options.leave(text);
            edit->setText(text);
        }
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
    fitChars(edit, 44);
    auto* chooser = new QPushButton(QStringLiteral("..."), box);
    chooser->setObjectName(QStringLiteral("4000"));
    row->addWidget(edit, 1);
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

QLineEdit* lineEdit(QWidget* parent, const QString& id, const QString& picture, bool upper, int chars)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(id);
    if (!picture.isEmpty()) {
        e->setValidator(new PictureValidator(picture, e));
        e->setMaxLength(int(picture.size()));
    }
    if (upper)
        keepUpperCase(e);
    if (chars > 0)
        fitChars(e, chars);
    return e;
}

void keepUpperCase(QLineEdit* edit)
{
    QObject::connect(edit, &QLineEdit::textEdited, edit, [edit](const QString& t) {
        const int c = edit->cursorPosition();
        edit->setText(t.toUpper());
        edit->setCursorPosition(c);
    });
}

namespace {

class TitleWidthGuard : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::Show)
            if (auto* d = qobject_cast<QDialog*>(o); d && d->isWindow() && !d->windowTitle().isEmpty()) {
                if (auto* box = qobject_cast<QMessageBox*>(d)) {
                    // a message box fixes its own size from its layout as it shows
                    if (auto* grid = qobject_cast<QGridLayout*>(box->layout()); grid && !box->property("titleWidth").isValid()) {
                        box->setProperty("titleWidth", true);
                        grid->addItem(new QSpacerItem(titleWidth(box), 0, QSizePolicy::Minimum, QSizePolicy::Minimum), grid->rowCount(),
                                      0, 1, grid->columnCount());
                    }
                } else if (d->width() < titleWidth(d)) {
                    d->resize(titleWidth(d), d->height());
                }
            }
        return false;
    }

private:
    // the title bar's text is bold on most desktops; icon and three buttons beside it
    static int titleWidth(QWidget* d)
    {
        QFont bold = d->font();
        bold.setBold(true);
        return QFontMetrics(bold).horizontalAdvance(d->windowTitle()) + 140;
    }
};

} // namespace

void keepDialogTitlesVisible(QObject* application)
{
    application->installEventFilter(new TitleWidthGuard(application));
}

void fitChars(QLineEdit* edit, int chars)
{
    const QFontMetrics fm = edit->fontMetrics();
    edit->setMinimumWidth(fm.horizontalAdvance(QLatin1Char('n')) * chars + 2 * fm.horizontalAdvance(QLatin1Char(' ')) + 8);
}

QDate dialogDate(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return {};
    auto twoDigitYear = [](QDate d) { return d.isValid() && d.year() < 1919 ? d.addYears(100) : d; };
    if (t.size() == 8 && std::all_of(t.begin(), t.end(), [](QChar c) { return c.isDigit(); })) {
        const QDate d = QDate::fromString(t, QStringLiteral("ddMMyyyy"));
        return d.isValid() ? d : QDate::fromString(t, QStringLiteral("yyyyMMdd"));
    }
    if (t.size() == 6 && std::all_of(t.begin(), t.end(), [](QChar c) { return c.isDigit(); }))
        return twoDigitYear(QDate::fromString(t, QStringLiteral("ddMMyy")));
    for (const QChar sep : {QLatin1Char('-'), QLatin1Char('/'), QLatin1Char('.')}) {
        const QStringList p = t.split(sep);
        if (p.size() != 3)
            continue;
        bool okD = false, okM = false, okY = false;
        const int d = p[0].toInt(&okD), m = p[1].toInt(&okM), y = p[2].toInt(&okY);
        if (!okD || !okM || !okY || p[0].size() > 2 || p[1].size() > 2 || (p[2].size() != 2 && p[2].size() != 4))
            return {};
        const QDate date(p[2].size() == 2 ? 1900 + y : y, m, d);
        return p[2].size() == 2 ? twoDigitYear(date) : date;
    }
    return {};
}

QLineEdit* dateEdit(QWidget* parent, const QString& id)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(id);
    e->setMaxLength(10);
    e->setPlaceholderText(QStringLiteral("dd-mm-aaaa"));
    fitChars(e, 11);
    return e;
}

bool datesReadable(std::initializer_list<QLineEdit*> edits)
{
    for (QLineEdit* e : edits) {
        if (!e->text().trimmed().isEmpty() && !dialogDate(e->text()).isValid()) {
            messages().stop(QStringLiteral("Fecha no válida: \"%1\". Escríbala como dd-mm-aaaa.").arg(e->text().trimmed()));
            e->setFocus();
            e->selectAll();
            return false;
        }
    }
    return true;
}

std::vector<CodeName> tableCodes(const QString& alias, const char* codeField, const char* nameField, const QString& orderTag)
{
    std::vector<CodeName> out;
    store::WorkArea* a = store::Workspace::instance().area(alias);
    if (!a)
        return out;
    const quint32 rec = a->recNo();
    const bool eof = a->eof();
    const QString order = QString::fromLatin1(a->orderName());
    if (!orderTag.isEmpty())
        a->setOrder(orderTag);
    for (a->goTop(); !a->eof(); a->skip()) {
        QString code = a->str(QString::fromLatin1(codeField));
        while (code.endsWith(QLatin1Char(' ')))
            code.chop(1);
        out.push_back({code, a->str(QString::fromLatin1(nameField)).trimmed()});
    }
    if (!orderTag.isEmpty())
        a->setOrder(order);
    if (!eof)
        a->goTo(rec);
    return out;
}

void fillCodes(QComboBox* box, const std::vector<CodeName>& codes)
{
    box->addItem(QString(), QString());
    for (const CodeName& c : codes)
        box->addItem(c.name, c.code);
}

} // namespace ui
