#pragma once
// Messages shown with Qt dialogs: message boxes titled as the program says,
// the wait box, the progress box (MSGMETER), the list box (MSGLIST), the
// input box and the login box.

#include "core/messages.h"

class QWidget;

namespace ui {

class GuiMessages : public Messages {
public:
    // parent: the frame; defaultTitle: cName + " " + cVer for boxes without a title
    GuiMessages(QWidget* parent, QString defaultTitle);

    void setParent(QWidget* parent) { m_parent = parent; }

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

private:
    QString titleOr(const QString& t) const { return t.isEmpty() ? m_defaultTitle : t; }
    QWidget* m_parent;
    QString m_defaultTitle;
};

} // namespace ui
