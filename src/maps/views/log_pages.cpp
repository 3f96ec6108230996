#include "log_pages.h"

#include "web_pane.h"

#include "maps/map_assets.h"
#include "maps/map_pages.h"
#include "online/reachability.h"

#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

namespace maps {

QUrl callbookPageUrl(const QString& prefix, const QString& call)
{
    const QString p = prefix.trimmed();
    const bool schemed = p.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
                         p.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
    return QUrl((schemed ? QString() : QStringLiteral("https://")) + p + call.trimmed());
}

PageWithNotice::PageWithNotice(QWidget* parent) : QWidget(parent)
{
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(0);
    m_notice = new QLabel(QStringLiteral("Recuperando informacion de internet"), this);
    m_notice->setObjectName(QStringLiteral("notice"));
    m_notice->setAlignment(Qt::AlignCenter);
    m_notice->setStyleSheet(QStringLiteral("QLabel { background: #FFFFE1; color: black; padding: 4px; border-bottom: 1px solid #A0A0A0; }"));
    m_notice->hide();
    m_pane = new WebPane(this);
    lay->addWidget(m_notice);
    lay->addWidget(m_pane, 1);
}

void PageWithNotice::announce(int milliseconds)
{
    m_notice->setText(QStringLiteral("Recuperando informacion de internet"));
    m_notice->show();
    QTimer::singleShot(milliseconds, m_notice, &QWidget::hide);
}

CallbookPage::CallbookPage(std::function<QString()> prefix, std::function<QString()> call, QWidget* parent)
    : PageWithNotice(parent), m_prefix(std::move(prefix)), m_call(std::move(call))
{
    setObjectName(QStringLiteral("callbookPage"));
}

void CallbookPage::shown()
{
    const QString call = m_call ? m_call().trimmed() : QString();
    pane()->stop();
    if (call.isEmpty())
        return;
    announce(1000);
    pane()->showUrl(callbookPageUrl(m_prefix ? m_prefix() : QString(), call));
}

QsoMapPage::QsoMapPage(std::function<QsoPoints()> current, QWidget* parent) : PageWithNotice(parent), m_current(std::move(current))
{
    setObjectName(QStringLiteral("qsoMapPage"));
}

void QsoMapPage::shown()
{
    const QsoPoints q = m_current ? m_current() : QsoPoints{};
    if (m_any && q.call == m_call)
        return;
    m_any = true;
    m_call = q.call;
    if (q.from.trimmed().isEmpty() || q.to.trimmed().isEmpty()) {
        notice()->setText(QStringLiteral("El QSO no tiene locator con el que situarlo en el mapa"));
        notice()->show();
        return;
    }
    PageOptions options;
    if (online::internetConnected() && !online::offlineForced())
        options.tiles = tileServiceSetting();
    const QString path = writePage(QStringLiteral("mihtml.htm"), HTMLMAP(QString(), q.from, q.to, q.call, options, 3));
    ++m_built;
    if (path.isEmpty())
        return;
    pane()->showFile(path);
    announce(500);
}

} // namespace maps
