#include "gui_messages.h"

#include "dialog_helpers.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFormLayout>
#include <QGroupBox>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

namespace ui {

namespace {

// The progress box: a text line, a meter whose total starts at 10, "&Cancel".
// Cancel sets the end flag; the box closes only when the action returns.
class MeterDialog : public QDialog, public Meter {
public:
    MeterDialog(QWidget* parent, const QString& text, const QString& title) : QDialog(parent)
    {
        setObjectName(QStringLiteral("MSGMETER"));
        setWindowTitle(title);
        setModal(true);
        setWindowFlag(Qt::WindowCloseButtonHint, false);
        auto* lay = new QVBoxLayout(this);
        m_text = new QLabel(text, this);
        m_bar = new QProgressBar(this);
        m_bar->setRange(0, 10);
        m_bar->setValue(0);
        auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
        lay->addWidget(m_text);
        lay->addWidget(m_bar);
        lay->addWidget(cancel, 0, Qt::AlignHCenter);
        connect(cancel, &QPushButton::clicked, this, [this] { m_cancelled = true; });
        resize(420, sizeHint().height());
    }
    void setTotal(qint64 total) override
    {
        m_total = qMax<qint64>(total, 1);
        m_bar->setRange(0, 1000);
        update();
    }
    void setPosition(qint64 pos) override
    {
        m_pos = pos;
        if (m_timer.isValid() && m_timer.elapsed() < 50)
            return;   // repaint at most twenty times a second
        m_timer.start();
        m_bar->setValue(int(qBound<qint64>(qint64(0), m_pos * 1000 / m_total, qint64(1000))));
        QApplication::processEvents();
    }
    void setText(const QString& text) override
    {
        m_text->setText(text);
        QApplication::processEvents();
    }
    void setTitle(const QString& title) override
    {
        setWindowTitle(title);
        QApplication::processEvents();
    }
    bool cancelled() override
    {
        if (!m_timer.isValid() || m_timer.elapsed() >= 50) {
            m_timer.start();
            QApplication::processEvents();
        }
        return m_cancelled;
    }
    bool wasCancelled() const { return m_cancelled; }

protected:
    void reject() override {}   // Esc does not close it either

private:
    QLabel* m_text;
    QProgressBar* m_bar;
    qint64 m_total = 10;
    qint64 m_pos = 0;
    bool m_cancelled = false;
    QElapsedTimer m_timer;
};

int box(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text, QMessageBox::StandardButtons buttons,
        QMessageBox::StandardButton def)
{
    QMessageBox m(icon, title, text, buttons, parent);
    m.setTextInteractionFlags(Qt::TextSelectableByMouse);   // an address or a path can be copied
    m.setDefaultButton(def);
    return m.exec();
}

} // namespace

GuiMessages::GuiMessages(QWidget* parent, QString defaultTitle) : m_parent(parent), m_defaultTitle(std::move(defaultTitle)) {}

void GuiMessages::stop(const QString& text, const QString& title)
{
    box(m_parent, QMessageBox::Critical, titleOr(title), text, QMessageBox::Ok, QMessageBox::Ok);
}

void GuiMessages::alert(const QString& text, const QString& title)
{
    box(m_parent, QMessageBox::Warning, titleOr(title), text, QMessageBox::Ok, QMessageBox::Ok);
}

void GuiMessages::info(const QString& text, const QString& title)
{
    box(m_parent, QMessageBox::Information, titleOr(title), text, QMessageBox::Ok, QMessageBox::Ok);
}

bool GuiMessages::yesNo(const QString& text, const QString& title)
{
    return box(m_parent, QMessageBox::Question, titleOr(title), text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes)
           == QMessageBox::Yes;
}

bool GuiMessages::noYes(const QString& text, const QString& title)
{
    return box(m_parent, QMessageBox::Question, titleOr(title), text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
           == QMessageBox::Yes;
}

bool GuiMessages::ask(const QString& text, const QString& title, const QString& yes, const QString& no)
{
    QMessageBox m(QMessageBox::Question, titleOr(title), text, QMessageBox::NoButton, m_parent);
    QPushButton* y = m.addButton(yes, QMessageBox::YesRole);
    m.addButton(no, QMessageBox::NoRole);
    m.setDefaultButton(y);
    m.exec();
    return m.clickedButton() == y;
}

void GuiMessages::wait(const QString& text, const QString& title, const std::function<void()>& action)
{
    QDialog d(m_parent);
    d.setObjectName(QStringLiteral("WAIT"));
    d.setWindowTitle(title);
    auto* lay = new QVBoxLayout(&d);
    lay->addWidget(new QLabel(text, &d));
    d.setModal(true);
    d.show();
    QApplication::processEvents();
    if (action)
        action();
    d.hide();
}

bool GuiMessages::meter(const std::function<void(Meter&)>& action, const QString& text, const QString& title)
{
    MeterDialog d(m_parent, text, title);
    d.show();
    QApplication::processEvents();
    if (action)
        action(d);
    d.hide();
    return d.wasCancelled();
}

int GuiMessages::list(const QStringList& items, const QString& title, int preselected)
{
    if (items.isEmpty()) {
        stop(QStringLiteral("Incorrect parameter passed to function MsgList"));
        return -1;
    }
    QDialog d(m_parent);
    d.setObjectName(QStringLiteral("MSGLIST"));
    d.setWindowTitle(title);
    d.setSizeGripEnabled(true);
    auto* lay = new QVBoxLayout(&d);
    auto* lw = new QListWidget(&d);
    lw->addItems(items);
    lw->setCurrentRow(qBound(0, preselected, int(items.size()) - 1));
    auto* ok = new QPushButton(QStringLiteral("&OK"), &d);
    lay->addWidget(lw, 1);
    lay->addWidget(ok, 0, Qt::AlignHCenter);
    QObject::connect(ok, &QPushButton::clicked, &d, &QDialog::accept);
    QObject::connect(lw, &QListWidget::itemDoubleClicked, &d, &QDialog::accept);
    d.exec();
    return lw->currentRow();
}

bool GuiMessages::input(const QString& prompt, const QString& title, QString* value, InputFormat format)
{
    QInputDialog d(m_parent);
    d.setObjectName(QStringLiteral("INPUT"));
    d.setWindowTitle(titleOr(title));
    d.setLabelText(prompt);
    d.setTextValue(*value);
    if (format == InputFormat::UpperCase)
        if (auto* edit = d.findChild<QLineEdit*>())
            keepUpperCase(edit);
    if (d.exec() != QDialog::Accepted)
        return false;
    *value = format == InputFormat::UpperCase ? d.textValue().toUpper() : d.textValue();
    return true;
}

bool GuiMessages::login(const QString& title, QString* user, QString* password)
{
    QDialog d(m_parent);
    d.setObjectName(QStringLiteral("LOGIN"));
    d.setWindowTitle(title);
    auto* lay = new QVBoxLayout(&d);
    auto* group = new QGroupBox(&d);
    auto* form = new QFormLayout(group);
    auto* u = new QLineEdit(*user, group);
    u->selectAll();   // the first key replaces the old text
    auto* p = new QLineEdit(*password, group);
    p->setEchoMode(QLineEdit::Password);
    form->addRow(QStringLiteral("Usuario:"), u);
    form->addRow(QStringLiteral("Contraseña:"), p);
    lay->addWidget(group);
    auto* buttons = new QDialogButtonBox(&d);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("Cancelar"), QDialogButtonBox::RejectRole);
    lay->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &d, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &d, &QDialog::reject);
    if (d.exec() != QDialog::Accepted)
        return false;
    *user = u->text();
    *password = p->text();
    return true;
}

void GuiMessages::pause(int ms)
{
    // Keeps the window alive; a key press ends the wait early.
    struct KeyWatch : QObject {
        bool pressed = false;
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::KeyPress)
                pressed = true;
            return false;
        }
    } watch;
    qApp->installEventFilter(&watch);
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms && !watch.pressed) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
    qApp->removeEventFilter(&watch);
}

} // namespace ui
