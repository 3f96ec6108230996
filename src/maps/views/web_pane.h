#pragma once
// The view every generated page and call-book address is shown in: Qt
// WebEngine inside the window when the program was built with it and its
// render process runs; otherwise the page goes to the desktop browser and the
// window says so in Spanish. Pages are files of the program's working folder
// loaded from file URLs; script errors are not shown.

#include <QUrl>
#include <QWidget>

#include <functional>

class QLabel;
class QStackedLayout;

namespace maps {

// Before the QApplication is made: what Qt WebEngine needs (GL contexts
// shared between windows; without a real display, no sandbox and no GPU).
void prepareWebEngine();
// Whether the program was built with Qt WebEngine.
bool webEngineBuilt();

// The working folder pages are written to (the program's home, else the
// temporary folder), with a trailing "/".
QString pageFolder();
// Writes the page whole into pageFolder() + name; the path, or empty when it
// could not be written.
QString writePage(const QString& name, const QString& html);

class WebPane : public QWidget {
    Q_OBJECT
public:
    explicit WebPane(QWidget* parent = nullptr);

    void showFile(const QString& path);
    void showUrl(const QUrl& url);
    // Stops the navigation under way (the call-book page does before a new one).
    void stop();

    // True while the page shows inside the window (Qt WebEngine running).
    bool embedded() const { return m_view != nullptr; }
    QUrl url() const { return m_url; }
    // The note shown when the page went to the desktop browser ("" otherwise).
    QString note() const;
    QWidget* view() const { return m_view; }

    // What opens an address in the desktop browser (tests replace it); true
    // when it opened.
    static void setExternalOpener(std::function<bool(const QUrl&)> opener);

signals:
    // A page finished loading inside the window (ok false: it failed).
    void loaded(bool ok);

private:
    void fallBack(const QString& why);
    void openOutside();

    QWidget* m_view = nullptr;
    QWidget* m_notePage = nullptr;
    QLabel* m_note = nullptr;
    QStackedLayout* m_stack = nullptr;
    QUrl m_url;
};

} // namespace maps
