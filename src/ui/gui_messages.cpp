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

#include <utility>

namespace ui {

namespace {

// Shows a box and paints it before the caller goes on with work that keeps
// the event loop away: the window manager maps a new window a while after
// show(), and until then nothing of it can be painted. Waits one second at most.
void showPainted(QWidget& w)
{
    w.show();
    QElapsedTimer t;
    t.start();
    while (!w.testAttribute(Qt::WA_Mapped) && t.elapsed() < 1000) {
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
        QThread::msleep(2);
    }
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    w.repaint();
}

// Boxes the user waits in have a title and nothing to close them with.
constexpr Qt::WindowFlags kBusyBoxFlags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;

// The progress box: a text line, a meter whose total starts at 10, "&Cancelar".
// Cancel sets the end flag; the box closes only when the action returns.
class MeterDialog : public QDialog, public Meter {
public:
    MeterDialog(QWidget* parent, const QString& text, const QString& title) : QDialog(parent)
    {
        setObjectName(QStringLiteral("MSGMETER"));
        setWindowTitle(title);
        setModal(true);
        setWindowFlags(kBusyBoxFlags);
        auto* lay = new QVBoxLayout(this);
        m_text = new QLabel(text, this);
        m_bar = new QProgressBar(this);
        m_bar->setRange(0, 1000);   // in thousandths of the total, which starts at 10
        m_bar->setValue(0);
        auto* cancel = new QPushButton(QStringLiteral("&Cancelar"), this);
        lay->addWidget(m_text);
        lay->addWidget(m_bar);
        lay->addWidget(cancel, 0, Qt::AlignHCenter);
        connect(cancel, &QPushButton::clicked, this, [this] { m_cancelled = true; });
        resize(420, sizeHint().height());
    }
    void setTotal(qint64 total) override
    {
        m_total = qMax<qint64>(total, 1);
        showPosition();
    }
    void setPosition(qint64 pos) override
    {
        m_pos = pos;
        if (m_timer.isValid() && m_timer.elapsed() < 50)
            return;   // repaint at most twenty times a second
        m_timer.start();
        showPosition();
        QApplication::processEvents();
    }
    // Brings the meter up to the last position given (a message is about to cover the box).
    void flush()
    {
        showPosition();
        m_bar->repaint();
    }
    // The work is done: the meter shows it full for a moment before the box closes.
    void finish()
    {
        m_bar->setValue(m_bar->maximum());
        m_bar->repaint();
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 120) {
            QApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
            QThread::msleep(5);
        }
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
    void showPosition() { m_bar->setValue(int(qBound<qint64>(qint64(0), m_pos * 1000 / m_total, qint64(1000)))); }

    QLabel* m_text;
    QProgressBar* m_bar;
    qint64 m_total = 10;
    qint64 m_pos = 0;
    bool m_cancelled = false;
    QElapsedTimer m_timer;
};

MeterDialog* g_meter = nullptr;   // the progress box whose action is running

// A message shown while a progress box runs covers it: the meter behind it
// shows how far the work got, not where it stood at its last repaint.
void flushMeter()
{
    if (g_meter)
        g_meter->flush();
}

int box(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text, QMessageBox::StandardButtons buttons,
        QMessageBox::StandardButton def)
{
    flushMeter();
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
    flushMeter();
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
    d.setWindowFlags(kBusyBoxFlags);
    auto* lay = new QVBoxLayout(&d);
    auto* label = new QLabel(text, &d);
    label->setAlignment(Qt::AlignCenter);
    lay->addWidget(label);
    d.setMinimumWidth(320);   // room for the title as well
    d.setModal(true);
    showPainted(d);
    if (action)
        action();
    d.hide();
}

bool GuiMessages::meter(const std::function<void(Meter&)>& action, const QString& text, const QString& title)
{
    MeterDialog d(m_parent, text, title);
    showPainted(d);
    {
        struct Running {   // the box is the running one while its action runs
            MeterDialog* outer;
            explicit Running(MeterDialog* d) : outer(std::exchange(g_meter, d)) {}
            ~Running() { g_meter = outer; }
        } running(&d);
        if (action)
            action(d);
    }
    if (!d.wasCancelled())
        d.finish();
    d.hide();
    return d.wasCancelled();
}

int GuiMessages::list(const QStringList& items, const QString& title, int preselected)
{
    if (items.isEmpty()) {
        stop(QStringLiteral("Incorrect parameter passed to function MsgList"));
        return -1;
    }
    flushMeter();
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
    flushMeter();
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
