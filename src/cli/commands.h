#pragma once
// The commands of orlanlog-cli. Each cmd_*.cpp file registers its own with a
// static CommandRegistration; main() finds them by name.

#include <QString>
#include <QStringList>
#include <QTextStream>

#include <functional>
#include <vector>

class TAppl;

namespace cli {

struct Command {
    QString name;
    QString usage;       // "resolve CALL... [YYYYMMDD]"
    QString help;        // one line, Spanish
    // args: what follows the command name; returns the exit status
    std::function<int(const QStringList& args, TAppl& appl)> run;
};

std::vector<Command>& commands();

struct CommandRegistration {
    explicit CommandRegistration(Command c) { commands().push_back(std::move(c)); }
};

// Standard output, UTF-8.
QTextStream& out();

} // namespace cli
