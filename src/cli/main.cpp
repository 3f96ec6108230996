// orlanlog-cli: batch work and measurement on a program home, usable while the
// program or another orlanlog-cli works on the same home.
#include "commands.h"
#include "manual.h"

#include "store/access.h"
#include "core/version.h"

#include "app/tappl.h"
#include "store/workspace.h"
#include "core/scripted_messages.h"

#include <QGuiApplication>
#include <QDir>

#include <algorithm>

namespace cli {

std::vector<Command>& commands()
{
    static std::vector<Command> c;
    return c;
}

QTextStream& out()
{
    static QTextStream s(stdout);
    return s;
}

} // namespace cli

namespace {

void usage()
{
    auto& cmds = cli::commands();
    std::sort(cmds.begin(), cmds.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
    cli::out() << "orlanlog-cli " << ORLANLOG_VERSION << " - libro de guardia para radioaficionados\n"
               << "Uso: orlanlog-cli [--home DIR] ORDEN [opciones]\n";
    for (const auto& c : cmds)
        cli::out() << "  " << c.usage.leftJustified(34) << ' ' << c.help << '\n';
    cli::out() << "Sin --home se usa ORLANLOG_HOME o ~/.local/share/orlanlog/.\n";
    cli::out().flush();
}

// Questions get "no" (nobody is there to answer); messages go to the terminal.
class BatchMessages : public ui::ScriptedMessages {
public:
    BatchMessages() { echo(true); }
};

} // namespace

int main(int argc, char** argv)
{
    // fonts and PDF writing need a GUI application; it never opens a window
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const int h = int(args.indexOf(QStringLiteral("--home")));
    if (h >= 0) {
        if (h + 1 >= args.size()) {
            usage();
            return 2;
        }
        qputenv("ORLANLOG_HOME", QDir(args[h + 1]).absolutePath().toLocal8Bit());
        args.remove(h, 2);
    }
    if (args.isEmpty() || args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h")) {
        usage();
        return 0;
    }
    // the manual page and the shell completion, written at build time; no home is touched
    if (args[0] == QLatin1String("--manpage") || args[0] == QLatin1String("--bash-completion")) {
        cli::out() << (args[0] == QLatin1String("--manpage") ? cli::manualPage() : cli::bashCompletion());
        cli::out().flush();
        return 0;
    }
    BatchMessages messages;
    ui::setMessages(&messages);
    store::setOpeningBesideOthers(true);
    app::TAppl* appl = app::TAppl::New();
    store::Workspace::instance().setProgramDir(appl->cDirLocal);
    for (const auto& c : cli::commands()) {
        if (c.name == args[0]) {
            const int rc = c.run(args.mid(1), *appl);
            cli::out().flush();
            return rc != 0 ? rc : (messages.unexpected() ? 1 : 0);
        }
    }
    cli::out() << "Orden desconocida: " << args[0] << '\n';
    usage();
    return 2;
}
