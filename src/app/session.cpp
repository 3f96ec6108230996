#include "session.h"

#include "store/aliases.h"
#include "store/workspace.h"

#include <algorithm>

namespace app {

SessionLists& session()
{
    static SessionLists s;
    return s;
}

void SessionLists::build()
{
    store::Workspace& ws = store::Workspace::instance();
    auto fill = [&](const QString& alias, const QString& order, const QString& code, const QString& name, QStringList* codes,
                    QStringList* names, bool trimNames) {
        *codes = QStringList{QString()};
        *names = QStringList{QString()};
        store::WorkArea* a = ws.area(alias);
        if (!a)
            return;
        if (!order.isEmpty())
            a->setOrder(order);
        for (a->goTop(); !a->eof(); a->skip()) {
            *codes << a->str(code);
            *names << (trimNames ? a->str(name).trimmed() : a->str(name));
        }
    };
    fill(QStringLiteral("ENT"), QStringLiteral("Nombre"), QStringLiteral("CODENT"), QStringLiteral("NOMBRE"), &aCodEnt,
         &aNomEnt, false);
    if (store::WorkArea* ent = ws.area(store::alias::kEnt))
        ent->setOrder(QStringLiteral("CodEnt"));
    fill(QStringLiteral("Band"), QString(), QStringLiteral("CODBAN"), QStringLiteral("BANDA"), &aCodBan, &aNomBan, false);
    fill(QStringLiteral("Modo"), QString(), QStringLiteral("CODMOD"), QStringLiteral("MODO"), &aCodMod, &aNomMod, true);
    fill(QStringLiteral("DplCab"), QString(), QStringLiteral("DPLCOD"), QStringLiteral("DESC"), &aCodDpl, &aNomDpl, false);
    aSat = {QString(),
            QStringLiteral("DO-64 - Delfi-C3"), QStringLiteral("VO-52 HAMSAT"), QStringLiteral("AO-51 ECHO"),
            QStringLiteral("SO-50 SAUDISAT-1C"), QStringLiteral("FO-29 JAS-2"), QStringLiteral("AO-27"),
            QStringLiteral("AO-16"), QStringLiteral("AO-7 -OSCAR 7"), QStringLiteral("RS-30"), QStringLiteral("CAPE 1"),
            QStringLiteral("CP3"), QStringLiteral("PO-63 PEHUENSAT-1"), QStringLiteral("NO-62 FCAL"),
            QStringLiteral("GENESAT-1"), QStringLiteral("CO-58 CubeSat "), QStringLiteral("CO-57 CubeSat"),
            QStringLiteral("CO-56 CUTE-1.7 + APD"), QStringLiteral("CO-55 CUTE-1"), QStringLiteral("NO-44 PCSAT"),
            QStringLiteral("GO-32 Gurwin TechSat-1B"), QStringLiteral("UO-11 OSCAR-11"),
            QStringLiteral("RS-22 RADIO SPORT RS-22"), QStringLiteral("Can X-2"), QStringLiteral("AAUSAT-II"),
            QStringLiteral("CO-65 "), QStringLiteral("Compass 1"), QStringLiteral("CO-66 Seeds II"),
            QStringLiteral("AO-73"), QStringLiteral("LO-19")};
    std::sort(aSat.begin(), aSat.end());
}

} // namespace app
