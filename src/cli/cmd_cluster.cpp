// The DX cluster without windows: spots read from recorded traffic or from a
// live connection, filed and classified as the program does, one line each.
#include "commands.h"

#include "cluster/spot_feed.h"
#include "cluster/telnet.h"
#include "refdata/names.h"
#include "store/aliases.h"
#include "store/workspace.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

namespace {

using app::TAppl;
using cli::out;

// time, spotter, kHz, call, band, mode, entity code and name, the status
// letters (entity, band, mode, band+mode, IOTA) and the comment
void printSpot(const cluster::FiledSpot& s)
{
    const QChar tab(u'\t');
    const cluster::SpotStatus& st = s.status;
    out() << s.time << tab << s.spotter << tab << QString::number(s.kHz, 'f', 1) << tab << s.call << tab << s.band << tab
          << s.mode << tab << s.codEnt.trimmed() << tab << refdata::NOMENT(s.codEnt).trimmed() << tab
          << st.ent + st.band + st.mode + st.bandMode + st.iota << tab << s.comment << '\n';
    out().flush();
}

QString stationCall()
{
    store::WorkArea* cfg = store::Workspace::instance().area(store::alias::kCfg);
    return cfg && !cfg->eof() ? cfg->str(QStringLiteral("CALL")).trimmed() : QString();
}

int spots(const QStringList& args, TAppl&)
{
    if (args.size() != 1) {
        out() << "Uso: orlanlog-cli spots FICHERO|-  (tráfico del cluster tal como lo envía el servidor)\n";
        return 2;
    }
    QFile in;
    if (args[0] == QLatin1String("-")) {
        if (!in.open(stdin, QIODevice::ReadOnly)) {
            out() << "No se puede leer la entrada estándar\n";
            return 1;
        }
    } else {
        in.setFileName(args[0]);
        if (!in.open(QIODevice::ReadOnly)) {
            out() << "No se puede leer el fichero " << args[0] << '\n';
            return 2;
        }
    }
    if (!cli::openBookSession())
        return 1;
    cluster::SpotFeed feed;
    QObject::connect(&feed, &cluster::SpotFeed::spotFiled, &printSpot);
    const QString call = stationCall();
    // one line at a time, as a server sends them
    for (;;) {
        const QByteArray line = in.readLine();
        if (line.isEmpty())
            break;
        feed.CRTSPOT(line, call);
    }
    return 0;
}

int clusterCommand(const QStringList& args, TAppl&)
{
    const QString login = cli::optionValue(args, "--login");
    const QString secondsText = cli::optionValue(args, "--seconds");
    QStringList plain;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--login") || args[i] == QLatin1String("--seconds"))
            ++i;
        else
            plain << args[i];
    }
    bool portOk = false, secondsOk = true;
    const int port = plain.size() == 2 ? plain[1].toInt(&portOk) : 0;
    const int seconds = secondsText.isEmpty() ? 0 : secondsText.toInt(&secondsOk);
    if (plain.size() != 2 || login.trimmed().isEmpty()) {
        out() << "Uso: orlanlog-cli cluster SERVIDOR PUERTO --login INDICATIVO [--seconds N]\n";
        return 2;
    }
    if (!portOk || port < 1 || port > 65535) {
        out() << "Puerto erróneo: \"" << plain[1] << "\" (de 1 a 65535)\n";
        return 2;
    }
    if (!secondsOk || seconds < 0) {
        out() << "Segundos erróneos: \"" << secondsText << "\" (un número entero positivo)\n";
        return 2;
    }
    if (!cli::openBookSession())
        return 1;
    cluster::SpotFeed feed;
    QObject::connect(&feed, &cluster::SpotFeed::spotFiled, &printSpot);
    cluster::TTelnet telnet(port);
    telnet.lBell = false;
    telnet.bClose = [](cluster::TTelnet& t) { t.SendData(QStringLiteral("b\r\n")); };
    feed.attach(&telnet);
    telnet.Connect(plain[0], login.trimmed().toUpper());
    if (!telnet.lConnect) {
        out() << "No se pudo establecer conexion con el cluster " << plain[0] << '\n';
        return 1;
    }
    QEventLoop loop;
    QObject::connect(&telnet, &cluster::TTelnet::closed, &loop, &QEventLoop::quit);
    if (seconds > 0)
        QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    if (telnet.lConnect)
        loop.exec();
    const bool serverClosed = !telnet.lConnect;
    telnet.End();
    if (serverClosed)
        out() << "El cluster cerró la conexión\n";
    return 0;
}

const cli::CommandRegistration r1({"spots", "spots FICHERO|-",
                                   "archiva los spots de un tráfico de cluster grabado y los muestra con su estado", spots});
const cli::CommandRegistration r2({"cluster", "cluster SERVIDOR PUERTO --login INDICATIVO [--seconds N]",
                                   "se conecta a un DX cluster y muestra los spots según llegan", clusterCommand});

} // namespace
