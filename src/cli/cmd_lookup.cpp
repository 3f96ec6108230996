// Call-book look-ups from the command line: the fields a look-up in the
// entry form would fill, through the same code.
#include "commands.h"

#include "app/tappl.h"
#include "online/callbook.h"
#include "online/reachability.h"
#include "store/access.h"
#include "store/aliases.h"
#include "store/workspace.h"

#include <QDir>

namespace {

using app::TAppl;
using cli::out;

// The accounts of the settings record; false when the home has none.
bool accountFromSettings(TAppl& appl, online::CallbookAccount* account)
{
    store::WorkArea* cfg = store::Workspace::instance().area(store::alias::kCfg);
    if (!cfg) {
        const QStringList found = QDir(appl.cDirDat).entryList({QStringLiteral("cfg.dbf")}, QDir::Files);
        if (found.isEmpty() || !store::NETUSE(QStringLiteral("cfg"), true, 1, QStringLiteral("cfg")))
            return false;
        cfg = store::Workspace::instance().area(store::alias::kCfg);
    }
    if (!cfg)
        return false;
    cfg->goTop();
    if (cfg->eof())
        return false;
    account->qrzXml = cfg->logical(QStringLiteral("QRZXML"));
    account->qrzUser = cfg->str(QStringLiteral("QRZUSR")).trimmed();
    account->qrzPassword = cfg->str(QStringLiteral("QRZPSW")).trimmed();
    account->qthUser = cfg->str(QStringLiteral("QTHUSR")).trimmed();
    account->qthPassword = cfg->str(QStringLiteral("QTHPSW")).trimmed();
    return true;
}

int lookup(const QStringList& args, TAppl& appl)
{
    const QString service = cli::optionValue(args, "--service").toLower();
    const int expected = args.contains(QLatin1String("--service")) ? 3 : 1;
    if (args.size() != expected || (expected == 3 && service != QLatin1String("hamqth") && service != QLatin1String("qrz"))) {
        out() << "Uso: orlanlog-cli lookup INDICATIVO [--service hamqth|qrz]\n";
        return 2;
    }
    const QString call = args.first().trimmed().toUpper();
    if (call.size() < 3) {
        out() << "Indicativo demasiado corto: \"" << call << "\"\n";
        return 2;
    }
    if (online::offlineForced()) {
        out() << "Sin conexión: ORLANLOG_OFFLINE=1 impide las consultas\n";
        return 1;
    }
    online::CallbookAccount account;
    if (!accountFromSettings(appl, &account)) {
        out() << "No se encuentra la configuración de la estación en " << QDir::toNativeSeparators(appl.cDirDat) << '\n';
        return 1;
    }
    const bool hamQth = service == QLatin1String("hamqth");
    online::CallbookSession& session = online::callbookSession();
    session.program = appl.cAppl;
    session.version = appl.cVer;
    online::CallbookQso qso;
    qso.set(QStringLiteral("CALL"), call);
    if (!online::QRZFILL(qso, account, session, {}, hamQth)) {
        out() << "No se ha obtenido información de " << call << '\n';
        return 1;
    }
    for (const QString& f : online::callbookFields()) {
        QString v = qso.value(f);
        v.replace(QStringLiteral("\r\n"), QStringLiteral(" | "));
        out() << f << ": " << v << '\n';
    }
    return 0;
}

const cli::CommandRegistration r({"lookup", "lookup INDICATIVO [--service hamqth|qrz]",
                                  "consulta el indicativo en HamQTH o QRZ y muestra los campos que se rellenarían",
                                  lookup});

} // namespace
