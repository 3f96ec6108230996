#pragma once
// The cluster window "Telnet": five fixed tabs ("Anuncios DX", "WCY", "WWV",
// "Announces", "Servidores Cluster") and one tab per server connection. The
// servers marked for automatic connection are connected two seconds after
// the window appears; closing the window saves the lists' layouts and ends
// every connection.

#include <QPointer>
#include <QWidget>

#include <functional>

class QTabWidget;
class QTimer;

namespace ui {
class GridPanel;
}

namespace cluster {

class ServerPage;
class SpotFeed;
struct FiledSpot;

// What the shell does for the cluster windows.
struct ClusterHost {
    // A spot was chosen (double click) in a list: the spots table (session
    // alias "spots") stands on it.
    std::function<void()> spotChosen;
    // Reads a layout saved under section / key "BrwState", and writes one.
    std::function<QString(const QString& section)> readLayout;
    std::function<void(const QString& section, const QString& state)> writeLayout;
};
void setClusterHost(ClusterHost host);
const ClusterHost& clusterHost();

// The feed every connection hands its traffic to; it files spots and plays
// the sound of a spot's rule.
SpotFeed& spotFeed();

class TelnetWindow : public QWidget {
    Q_OBJECT
public:
    explicit TelnetWindow(QWidget* parent = nullptr);
    ~TelnetWindow() override;

    QTabWidget* tabs() const { return m_tabs; }
    ui::GridPanel* spotsPanel() const { return m_spots; }
    ui::GridPanel* serversPanel() const { return m_servers; }

    // OPNCLUS: a tab for the server at record rec of CLUSTER and its connection.
    ServerPage* OPNCLUS(const QString& name, quint32 rec);
    // An empty tab of that name (a second "Conecta" on a server already on).
    void addServerTab(const QString& name);
    // CLSCLUSNAME: closes the server's tab and clears its ON mark.
    void CLSCLUSNAME(const QString& name);
    // CLSCLUSALL: every server tab closed, every ON mark cleared.
    void CLSCLUSALL();
    // SAVBRW: the layouts of the five fixed lists.
    void SAVBRW();
    // INIWINTELNET: connects the servers marked AUTO.
    void INIWINTELNET();
    // The server tabs, in tab order.
    QList<ServerPage*> serverPages() const;

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ui::GridPanel* makeSpotsTab();
    ui::GridPanel* makeListTab(const QString& alias, const QString& name,
                               const std::vector<std::pair<QString, QString>>& columns);
    void addFixedTab(QWidget* page, const QString& caption);
    // When the window closes, while the session's tables are still open:
    // the layouts saved, every connection ended, the ON marks cleared.
    void shutDown();
    bool tablesAlive() const;
    void closePage(ServerPage* page);
    void scheduleRefresh(ui::GridPanel* panel, bool toEnd);

    QTabWidget* m_tabs;
    ui::GridPanel* m_spots = nullptr;
    ui::GridPanel* m_wcy = nullptr;
    ui::GridPanel* m_wwv = nullptr;
    ui::GridPanel* m_ann = nullptr;
    ui::GridPanel* m_servers = nullptr;
    QTimer* m_autoConnect;
    bool m_autoStarted = false;
    bool m_shutDown = false;
    QPointer<QWidget> m_frame;   // the child window around it
};

} // namespace cluster
