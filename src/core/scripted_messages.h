#pragma once
// Messages for tests and batch work: every message is recorded as one line
// ("stop: <text>", "yesNo: <text> -> yes"), and questions are answered from a
// script in order. A question with no answer left is answered "no" and marked
// as unexpected, so a test can fail on it.

#include "messages.h"

#include <QStringList>
#include <QVariant>

#include <deque>

namespace ui {

class ScriptedMessages : public Messages {
public:
    // Answers are bool (questions), int (list), QString (input), or a
    // QStringList {user, password} (login); a meter answer of true cancels
    // the progress box when the action first looks at the cancel flag.
    void answer(const QVariant& a) { m_answers.push_back(a); }
    void cancelMeterAfter(int checks) { m_cancelAfter = checks; }

    const QStringList& log() const { return m_log; }
    QStringList take();                       // the log so far, cleared
    bool unexpected() const { return m_unexpected; }
    void echo(bool on) { m_echo = on; }       // also print every line (batch use)
    int pauses() const { return m_pauses; }

    void stop(const QString& text, const QString& title = QString()) override;
    void alert(const QString& text, const QString& title = QString()) override;
    void info(const QString& text, const QString& title = QString()) override;
    bool yesNo(const QString& text, const QString& title = QString()) override;
    bool noYes(const QString& text, const QString& title = QString()) override;
    bool ask(const QString& text, const QString& title, const QString& yes, const QString& no) override;
    void wait(const QString& text, const QString& title, const std::function<void()>& action) override;
    bool meter(const std::function<void(Meter&)>& action, const QString& text = QStringLiteral("Procesando..."),
               const QString& title = QStringLiteral("Espere por favor ...")) override;
    int list(const QStringList& items, const QString& title = QStringLiteral("Array list"), int preselected = 0) override;
    bool input(const QString& prompt, const QString& title, QString* value, InputFormat format) override;
    bool login(const QString& title, QString* user, QString* password) override;
    void pause(int ms) override;

    // What the meter showed, for tests of long operations.
    QStringList meterTitles;
    QStringList meterTexts;
    qint64 meterTotal = 0;
    qint64 meterMaxPosition = 0;

private:
    void record(const QString& line);
    QVariant next(const QString& what);
    QStringList m_log;
    std::deque<QVariant> m_answers;
    bool m_unexpected = false;
    bool m_echo = false;
    int m_cancelAfter = -1;
    int m_pauses = 0;
};

} // namespace ui
