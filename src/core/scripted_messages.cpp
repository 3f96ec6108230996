#include "scripted_messages.h"

#include <QThread>

#include <cstdio>

namespace ui {

namespace {

class QuietMessages : public ScriptedMessages {
public:
    QuietMessages() { echo(true); }
};

Messages* g_messages = nullptr;

class ScriptedMeter : public Meter {
public:
    ScriptedMeter(ScriptedMessages& m, int cancelAfter) : m_m(m), m_cancelAfter(cancelAfter) {}
    void setTotal(qint64 total) override { m_m.meterTotal = total; }
    void setPosition(qint64 pos) override { m_m.meterMaxPosition = qMax(m_m.meterMaxPosition, pos); }
    void setText(const QString& text) override
    {
        if (m_m.meterTexts.isEmpty() || m_m.meterTexts.back() != text)
            m_m.meterTexts << text;
    }
    void setTitle(const QString& title) override
    {
        if (m_m.meterTitles.isEmpty() || m_m.meterTitles.back() != title)
            m_m.meterTitles << title;
    }
    bool cancelled() override
    {
        if (m_cancelAfter >= 0 && m_checks++ >= m_cancelAfter)
            m_cancelled = true;
        return m_cancelled;
    }
    bool wasCancelled() const { return m_cancelled; }

private:
    ScriptedMessages& m_m;
    int m_cancelAfter;
    int m_checks = 0;
    bool m_cancelled = false;
};

} // namespace

Messages& messages()
{
    static QuietMessages quiet;
    return g_messages ? *g_messages : quiet;
}

void setMessages(Messages* m) { g_messages = m; }

QStringList ScriptedMessages::take()
{
    QStringList l;
    l.swap(m_log);
    return l;
}

void ScriptedMessages::record(const QString& line)
{
    m_log << line;
    if (m_echo)
        std::fprintf(stderr, "%s\n", qPrintable(line));
}

QVariant ScriptedMessages::next(const QString& what)
{
    if (m_answers.empty()) {
        m_unexpected = true;
        record(QStringLiteral("(sin respuesta preparada para: %1)").arg(what));
        return {};
    }
    QVariant a = m_answers.front();
    m_answers.pop_front();
    return a;
}

void ScriptedMessages::stop(const QString& text, const QString& title) { record(QStringLiteral("stop: ") + text); (void)title; }
void ScriptedMessages::alert(const QString& text, const QString& title) { record(QStringLiteral("alert: ") + text); (void)title; }
void ScriptedMessages::info(const QString& text, const QString& title) { record(QStringLiteral("info: ") + text); (void)title; }

bool ScriptedMessages::yesNo(const QString& text, const QString& title)
{
    const bool a = next(text).toBool();
    record(QStringLiteral("yesNo: %1 -> %2").arg(text, a ? "yes" : "no"));
    (void)title;
    return a;
}

bool ScriptedMessages::noYes(const QString& text, const QString& title)
{
    const bool a = next(text).toBool();
    record(QStringLiteral("noYes: %1 -> %2").arg(text, a ? "yes" : "no"));
    (void)title;
    return a;
}

bool ScriptedMessages::ask(const QString& text, const QString& title, const QString& yes, const QString& no)
{
    const bool a = next(text).toBool();
    record(QStringLiteral("ask: %1 -> %2").arg(text, a ? yes : no));
    (void)title;
    return a;
}

void ScriptedMessages::wait(const QString& text, const QString& title, const std::function<void()>& action)
{
    record(QStringLiteral("wait: ") + text);
    (void)title;
    if (action)
        action();
}

bool ScriptedMessages::meter(const std::function<void(Meter&)>& action, const QString& text, const QString& title)
{
    record(QStringLiteral("meter: ") + text);
    ScriptedMeter m(*this, m_cancelAfter);
    m.setTitle(title);
    m.setText(text);
    if (action)
        action(m);
    return m.wasCancelled();
}

int ScriptedMessages::list(const QStringList& items, const QString& title, int preselected)
{
    if (items.isEmpty()) {
        record(QStringLiteral("stop: Incorrect parameter passed to function MsgList"));
        return -1;
    }
    const QVariant a = next(title);
    const int i = a.isValid() ? a.toInt() : preselected;
    record(QStringLiteral("list: %1 -> %2").arg(title).arg(i));
    return i;
}

bool ScriptedMessages::input(const QString& prompt, const QString& title, QString* value, InputFormat format)
{
    QVariant a = next(prompt);
    if (a.isValid() && format == InputFormat::UpperCase)
        a = a.toString().toUpper();   // as the field would have shown it
    record(QStringLiteral("input: %1 -> %2").arg(prompt, a.isValid() ? a.toString() : QStringLiteral("(cancelado)")));
    (void)title;
    if (!a.isValid())
        return false;
    *value = a.toString();
    return true;
}

bool ScriptedMessages::login(const QString& title, QString* user, QString* password)
{
    const QVariant a = next(title);
    record(QStringLiteral("login: ") + title);
    const QStringList l = a.toStringList();
    if (l.size() != 2)
        return false;
    *user = l[0];
    *password = l[1];
    return true;
}

void ScriptedMessages::pause(int ms)
{
    // Real but short: retry loops in tests wait for another process without dragging.
    ++m_pauses;
    QThread::msleep(qMin(ms, 10));
}

} // namespace ui
