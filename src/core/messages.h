#pragma once
// How core code talks to the user: message boxes, questions, waits, the
// progress box, list and input boxes. The GUI implements it with Qt dialogs;
// tests use ScriptedMessages, which records every message and answers from a
// script. Core code never opens a widget itself.

#include <QString>
#include <QStringList>

#include <functional>

namespace ui {

// What the action of a progress box (MSGMETER) sees of it.
class Meter {
public:
    virtual ~Meter() = default;
    virtual void setTotal(qint64 total) = 0;
    virtual void setPosition(qint64 pos) = 0;
    virtual void setText(const QString& text) = 0;     // the text line
    virtual void setTitle(const QString& title) = 0;   // the dialog's title
    // True once "&Cancel" was pressed (the end flag). Also lets pending events run.
    virtual bool cancelled() = 0;
};

// A meter nobody sees (command line, benchmarks): it never cancels.
class SilentMeter : public Meter {
public:
    void setTotal(qint64) override {}
    void setPosition(qint64) override {}
    void setText(const QString&) override {}
    void setTitle(const QString&) override {}
    bool cancelled() override { return false; }
};

// How an input box treats what is typed.
enum class InputFormat {
    Text,
    UpperCase,   // a code: shown in upper case as it is typed
};

class Messages {
public:
    virtual ~Messages() = default;

    virtual void stop(const QString& text, const QString& title = QString()) = 0;
    virtual void alert(const QString& text, const QString& title = QString()) = 0;
    virtual void info(const QString& text, const QString& title = QString()) = 0;
    virtual bool yesNo(const QString& text, const QString& title = QString()) = 0;   // Yes preselected
    virtual bool noYes(const QString& text, const QString& title = QString()) = 0;   // No preselected
    // A question with two buttons of the caller's wording ("SI"/"NO"); true for the first.
    virtual bool ask(const QString& text, const QString& title, const QString& yes, const QString& no) = 0;

    // A wait box showing text while action runs.
    virtual void wait(const QString& text, const QString& title, const std::function<void()>& action) = 0;
    // The progress box: runs action with a meter; returns true when the user cancelled.
    virtual bool meter(const std::function<void(Meter&)>& action,
                       const QString& text = QStringLiteral("Procesando..."),
                       const QString& title = QStringLiteral("Espere por favor ...")) = 0;
    // Chooses one item; -1 when nothing was chosen.
    virtual int list(const QStringList& items, const QString& title = QStringLiteral("Array list"), int preselected = 0) = 0;
    // Asks for a text; false when cancelled.
    virtual bool input(const QString& prompt, const QString& title, QString* value, InputFormat format = InputFormat::Text) = 0;
    // User name and password; false unless accepted.
    virtual bool login(const QString& title, QString* user, QString* password) = 0;

    // Waits up to ms milliseconds, processing events; a key press ends it early.
    virtual void pause(int ms) = 0;
};

// The program's messages: the GUI installs its own; until then a quiet
// implementation that writes to stderr and answers "no".
Messages& messages();
void setMessages(Messages* m);

} // namespace ui
