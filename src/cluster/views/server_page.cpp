#include "server_page.h"

#include "cluster/telnet.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolBar>
#include <QVBoxLayout>

namespace cluster {

ServerPage::ServerPage(const QString& name, QWidget* parent)
    : QWidget(parent), m_name(name), m_telnet(new TTelnet(23, this))
{
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(2, 2, 2, 2);
    auto* bar = new QToolBar(this);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    QAction* bye = bar->addAction(QIcon::fromTheme(QStringLiteral("network-disconnect")), QStringLiteral("Desconecta"));
    bye->setObjectName(QStringLiteral("Desconecta"));
    bye->setToolTip(QStringLiteral("Cierra la conexión con este servidor"));
    connect(bye, &QAction::triggered, this, [this] { emit disconnectRequested(this); });
    lay->addWidget(bar);

    m_terminal = new QListWidget(this);
    m_terminal->setObjectName(QStringLiteral("terminal"));
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    m_terminal->setFont(mono);
    m_terminal->setUniformItemSizes(true);
    m_terminal->setSelectionMode(QAbstractItemView::SingleSelection);
    m_terminal->addItem(QString());
    lay->addWidget(m_terminal, 1);

    auto* bottom = new QHBoxLayout;
    m_command = new QLineEdit(this);
    m_command->setObjectName(QStringLiteral("comando"));
    m_command->setMaxLength(240);
    m_command->setPlaceholderText(QStringLiteral("Orden para el servidor (Intro la envía)"));
    m_command->setMinimumWidth(m_command->fontMetrics().horizontalAdvance(QLatin1Char('W')) * 40);
    bottom->addWidget(m_command);
    bottom->addStretch();
    lay->addLayout(bottom);
    connect(m_command, &QLineEdit::returnPressed, this, [this] {
        m_telnet->SendData(m_command->text());
        m_command->clear();
        m_command->setFocus();
    });

    // the terminal shows the connection's rows: at most nBuffLines + 1
    connect(m_telnet, &TTelnet::lineAdded, this, [this](const QString& row) {
        while (m_terminal->count() > m_telnet->nBuffLines)
            delete m_terminal->takeItem(0);
        m_terminal->addItem(row);
        m_terminal->scrollToBottom();
    });
}

ServerPage::~ServerPage()
{
    // the bye and the server's ON mark go out while the page still exists
    m_telnet->End();
}

} // namespace cluster
