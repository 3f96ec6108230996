#pragma once
// The tab of one cluster server: the terminal of what the server sends, a
// command field whose Enter sends the line, and "Desconecta". The page owns
// its connection; closing the page ends it (the bye goes out first).

#include <QWidget>

class QLineEdit;
class QListWidget;

namespace cluster {

class TTelnet;

class ServerPage : public QWidget {
    Q_OBJECT
public:
    ServerPage(const QString& name, QWidget* parent = nullptr);
    ~ServerPage() override;

    TTelnet* telnet() const { return m_telnet; }
    QString name() const { return m_name; }
    QLineEdit* commandField() const { return m_command; }
    QListWidget* terminal() const { return m_terminal; }

signals:
    // "Desconecta" was pressed: the window removes the tab.
    void disconnectRequested(cluster::ServerPage* page);

private:
    QString m_name;
    TTelnet* m_telnet;
    QListWidget* m_terminal;
    QLineEdit* m_command;
};

} // namespace cluster
