#pragma once
// The log window's pages of the current QSO: the call-book page (page 2) and
// the map of the QSO (page 3). The program tells each page, when it gets the
// focus, what the current QSO is.

#include <QUrl>
#include <QWidget>

#include <functional>

class QLabel;

namespace maps {

class WebPane;

// The address of a call's call-book page: the prefix (QRZPFX) trimmed and the
// call trimmed, over HTTPS unless the prefix names its own scheme.
QUrl callbookPageUrl(const QString& prefix, const QString& call);

// A line over a page's view saying that the page is coming ("Recuperando
// informacion de internet") for a moment.
class PageWithNotice : public QWidget {
    Q_OBJECT
public:
    explicit PageWithNotice(QWidget* parent = nullptr);
    WebPane* pane() const { return m_pane; }
    QLabel* notice() const { return m_notice; }

protected:
    void announce(int milliseconds);

private:
    WebPane* m_pane;
    QLabel* m_notice;
};

class CallbookPage : public PageWithNotice {
    Q_OBJECT
public:
    // prefix: CFG->QRZPFX; call: the current QSO's.
    CallbookPage(std::function<QString()> prefix, std::function<QString()> call, QWidget* parent = nullptr);
    // The page got the focus: stops what was loading and goes to the call's page.
    void shown();

private:
    std::function<QString()> m_prefix, m_call;
};

struct QsoPoints {
    QString call;
    QString from;   // the QSO's QRA, else the station's
    QString to;     // its GRIDSQUARE, else its entity's reference locator
};

class QsoMapPage : public PageWithNotice {
    Q_OBJECT
public:
    explicit QsoMapPage(std::function<QsoPoints()> current, QWidget* parent = nullptr);
    // The page got the focus: a new map ("mihtml.htm", zoom 3) only when the call changed.
    void shown();
    int built() const { return m_built; }
    QString shownCall() const { return m_call; }

private:
    std::function<QsoPoints()> m_current;
    QString m_call;
    bool m_any = false;
    int m_built = 0;
};

} // namespace maps
