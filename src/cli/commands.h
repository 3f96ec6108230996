#pragma once
// The commands of orlanlog-cli. Each cmd_*.cpp file registers its own with a
// static CommandRegistration; main() finds them by name.

#include "core/messages.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

#include <functional>
#include <vector>

namespace app {
class TAppl;
}

namespace cli {

using app::TAppl;

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

// Prints each step of a long operation as one line.
class LineMeter : public ui::Meter {
public:
    void setTotal(qint64) override {}
    void setPosition(qint64) override {}
    void setText(const QString&) override {}
    void setTitle(const QString& title) override
    {
        if (title != m_title && !title.isEmpty()) {
            m_title = title;
            out() << title << '\n';
            out().flush();
        }
    }
    bool cancelled() override { return false; }

private:
    QString m_title;
};

// The value after an option ("--from 20240101"), or empty.
QString optionValue(const QStringList& args, const char* name);
// The first argument that is neither an option nor the value of one of withValue.
QString fileArgument(const QStringList& args, const QStringList& withValue);
// True when the home has its entity and prefix tables; otherwise says how
// to prepare it.
bool referenceTablesPresent(TAppl& appl);
// Opens the session's tables (the active book's name to *book); false, with
// the message printed, when there is no log book to work on.
bool openBookSession(QString* book = nullptr);
// A code of a reference table (band, mode) as the session's work area of that
// alias has it, found without regard to case; empty when it has none.
QString tableCode(const QString& alias, const QString& field, const QString& code);

} // namespace cli
