#include "spot_post.h"

#include "telnet.h"

#include "core/messages.h"

namespace cluster {

QString spotCommand(const SpotPost& p)
{
    QString text = QStringLiteral("DX ") + QString::number(p.kHz, 'f', 1) + QLatin1Char(' ') + p.dxCall.trimmed();
    if (!p.propagation.trimmed().isEmpty() && !p.ownLocator.trimmed().isEmpty() && !p.dxLocator.trimmed().isEmpty())
        text += QLatin1Char(' ') + p.ownLocator.trimmed() + QLatin1Char('<') + p.propagation.trimmed() + QLatin1Char('>')
            + p.dxLocator.trimmed();
    return text + QLatin1Char(' ') + p.comment;
}

bool sendSpot(const SpotPost& p, TTelnet* connection)
{
    if (!connection) {
        ui::messages().info(QStringLiteral("Quizas no este conectado al cluster.\r\nNo pudo enviarse el anuncio"));
        return false;
    }
    if (!connection->lConnect)
        return false;
    connection->SendData(spotCommand(p));
    return true;
}

} // namespace cluster
