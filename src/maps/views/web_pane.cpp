#include "web_pane.h"

#include "app/tappl.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QStackedLayout>
#include <QVBoxLayout>

#include <unistd.h>

#ifdef ORLANLOG_WEBENGINE
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>
#endif

namespace maps {

namespace {

std::function<bool(const QUrl&)>& externalOpener()
{
    static std::function<bool(const QUrl&)> open = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    return open;
}

// The render process cannot run once it failed: later panes go to the browser at once.
bool& engineBroken()
{
    static bool broken = false;
    return broken;
}

#ifdef ORLANLOG_WEBENGINE
// A page that keeps the scripts' messages and errors to itself.
class QuietPage : public QWebEnginePage {
public:
    using QWebEnginePage::QWebEnginePage;

protected:
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int, const QString&) override {}
};
#endif

} // namespace

void prepareWebEngine()
{
#ifdef ORLANLOG_WEBENGINE
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    const bool virtualDisplay = platform == "offscreen" || platform == "minimal" ||
                                (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") && qEnvironmentVariableIsEmpty("DISPLAY"));
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (virtualDisplay || qEnvironmentVariableIsSet("ORLANLOG_SOFTWARE_GL")) {
        // a test or virtual display: no GPU, software drawing
        if (!flags.contains("--disable-gpu"))
            flags += " --disable-gpu";
        qputenv("QT_QUICK_BACKEND", "software");
    }
    if (!qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX") && (virtualDisplay || ::geteuid() == 0))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags.trimmed());
#endif
}

bool webEngineBuilt()
{
#ifdef ORLANLOG_WEBENGINE
    return true;
#else
    return false;
#endif
}

QString pageFolder()
{
    if (app::oAppl && !app::oAppl->cDirLocal.isEmpty())
        return app::oAppl->cDirLocal;
    return QDir::tempPath() + QLatin1Char('/');
}

QString writePage(const QString& name, const QString& html)
{
    const QString path = pageFolder() + name;
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(html.toUtf8()) < 0 || !out.commit())
        return {};
    return path;
}

void WebPane::setExternalOpener(std::function<bool(const QUrl&)> opener) { externalOpener() = std::move(opener); }

WebPane::WebPane(QWidget* parent) : QWidget(parent)
{
    m_stack = new QStackedLayout(this);
    m_stack->setContentsMargins(0, 0, 0, 0);
    m_notePage = new QWidget(this);
    auto* lay = new QVBoxLayout(m_notePage);
    m_note = new QLabel(m_notePage);
    m_note->setObjectName(QStringLiteral("note"));
    m_note->setWordWrap(true);
    m_note->setAlignment(Qt::AlignCenter);
    m_note->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* again = new QPushButton(QStringLiteral("Abrir en el navegador"), m_notePage);
    again->setObjectName(QStringLiteral("openOutside"));
    connect(again, &QPushButton::clicked, this, [this] { openOutside(); });
    lay->addStretch(1);
    lay->addWidget(m_note);
    lay->addWidget(again, 0, Qt::AlignCenter);
    lay->addStretch(1);
    m_stack->addWidget(m_notePage);
#ifdef ORLANLOG_WEBENGINE
    if (!engineBroken() && qEnvironmentVariable("ORLANLOG_NO_WEBENGINE") != QLatin1String("1")) {
        auto* view = new QWebEngineView(this);
        auto* page = new QuietPage(view);
        QWebEngineSettings* s = page->settings();
        s->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
        s->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, true);   // the tiles, when online
        s->setAttribute(QWebEngineSettings::ErrorPageEnabled, true);
        view->setPage(page);
        connect(view, &QWebEngineView::loadFinished, this, &WebPane::loaded);
        connect(page, &QWebEnginePage::renderProcessTerminated, this,
                [this](QWebEnginePage::RenderProcessTerminationStatus status, int) {
                    if (status == QWebEnginePage::NormalTerminationStatus)
                        return;
                    engineBroken() = true;
                    fallBack(QStringLiteral("El visor de páginas del programa no pudo funcionar."));
                });
        m_view = view;
        m_stack->addWidget(view);
        m_stack->setCurrentWidget(view);
        return;
    }
#endif
    m_note->setText(QStringLiteral("Este programa se construyó sin visor de páginas."));
}

QString WebPane::note() const { return m_view ? QString() : m_note->text(); }

void WebPane::showFile(const QString& path) { showUrl(QUrl::fromLocalFile(path)); }

void WebPane::showUrl(const QUrl& url)
{
    m_url = url;
#ifdef ORLANLOG_WEBENGINE
    if (auto* view = qobject_cast<QWebEngineView*>(m_view)) {
        view->stop();
        view->load(url);
        return;
    }
#endif
    fallBack(webEngineBuilt() ? QStringLiteral("El visor de páginas del programa no está disponible.")
                              : QStringLiteral("Este programa se construyó sin visor de páginas."));
}

void WebPane::stop()
{
#ifdef ORLANLOG_WEBENGINE
    if (auto* view = qobject_cast<QWebEngineView*>(m_view))
        view->stop();
#endif
}

void WebPane::fallBack(const QString& why)
{
    if (m_view) {
        m_view->hide();
        m_view->deleteLater();
        m_view = nullptr;
    }
    m_stack->setCurrentWidget(m_notePage);
    const QString shown = m_url.isLocalFile() ? QDir::toNativeSeparators(m_url.toLocalFile()) : m_url.toString();
    m_note->setText(why + QStringLiteral("\nLa página se ha abierto en el navegador del escritorio:\n") + shown);
    if (!m_url.isEmpty())
        openOutside();
}

void WebPane::openOutside()
{
    if (!m_url.isEmpty() && !externalOpener()(m_url))
        m_note->setText(QStringLiteral("No se pudo abrir el navegador para ") + m_url.toString());
}

} // namespace maps
