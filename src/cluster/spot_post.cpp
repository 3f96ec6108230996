#include "spot_post.h"

#include "telnet.h"

#include "core/messages.h"

namespace cluster {

QString spotCommand(const SpotPost& p)
{
    QString cmd = QStringLiteral("DX ") + QString::number(p.kHz, 'f', 1) + u' ' + p.dxCall.trimmed();
    if (!p.propagation.trimmed().isEmpty() && !p.ownLocator.trimmed().isEmpty() && !p.dxLocator.trimmed().isEmpty())
        cmd += u' ' + p.ownLocator.trimmed() + u'<' + p.propagation.trimmed() + u'>' + p.dxLocator.trimmed();
    return cmd + u' ' + p.comment;
}

bool spotComplete(const SpotPost& p)
{
    return !p.ownCall.trimmed().isEmpty() && !p.dxCall.trimmed().isEmpty() && p.kHz > 0;
}

bool postSpot(const SpotPost& p)
{
    if (!spotComplete(p)) {
        ui::messages().stop(QStringLiteral("Faltan datos, no puede enviarse el anuncio al Dx-Cluster"));
        return false;
    }
    TTelnet* t = currentCluster();
    if (!t) {
        ui::messages().info(QStringLiteral("Quizas no este conectado al cluster.\nNo pudo enviarse el anuncio"));
        return false;
    }
    if (!t->lConnect)
        return false;
    t->SendData(spotCommand(p));
    return true;
}

} // namespace cluster
