#pragma once
// The application object: names and version of the program, its directories,
// the user of the session, the activity log and the settings file. There is
// one per process; start-up creates it with TAppl::New() and publishes it in
// the global oAppl.

#include "ini_file.h"
#include "core/version.h"

#include <QString>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>

class QObject;

namespace app {


class TAppl {
public:
    TAppl();
    ~TAppl();
    TAppl(const TAppl&) = delete;
    TAppl& operator=(const TAppl&) = delete;

    // Creates the application object and makes it the global oAppl. The
    // arguments are accepted for the callers' sake and not used.
    static TAppl* New(const QString& = QString(), const QString& = QString(), const QString& = QString());

    QString cName = QStringLiteral(ORLANLOG_NAME);
    QString cAppl = QStringLiteral(ORLANLOG_APPL);
    QString cVer = QStringLiteral(ORLANLOG_VERSION);
    QString cDirLocal;              // program home, with a trailing "/"
    QString cDirDat;                // tables: cDirLocal + "datos/"
    QString cDirRpt;                // report definitions: cDirLocal + "reports/"
    QString cUpdate;                // where a newer executable is looked for; nothing sets it
    QString cCpyRght = QStringLiteral(u"\u00A9 2026 Orlan Win Log");
    // User and password of the session: a null QString until Login() gives
    // them a value (an empty but non-null text is a value).
    QString cUsr;
    QString cPsw;
    QObject* oWnd = nullptr;        // the main window
    bool lCerrar = false;
    QString cFileLog;               // cDirLocal + "log.txt"
    int hFileLog = 0;               // descriptor of the open log file; <= 0 when not open
    bool lLog = false;              // write the activity log
    QString cLng = QStringLiteral("ES");   // language of the report engine's texts

    // Set up at start-up; each is filled by the part of the program it names.
    QString cLibro;                 // the open log book
    bool lSndOn = false;            // cluster announcements on
    int nSnd = 0;                   // cluster announcement in progress
    bool lAdd = false;              // the entry form holds a new QSO
    QObject* oDlgDxcc = nullptr;    // the entity panel, while open
    QObject* oCat = nullptr;        // rig control
    QObject* oRig = nullptr;
    QObject* oCatTmr = nullptr;     // the two rig polling timers
    QObject* oCatTmr2 = nullptr;
    QObject* oTelnet = nullptr;     // the cluster connection
    QString cFreq = QStringLiteral("");   // the rig's frequency as last read
    QVariant oFontPri;              // main-window font
    QVariant oFontEnt;              // entry-form font

    // Installed by the GUI: asks the main window to close.
    std::function<void()> closeMainWindow;

    // The settings file, configDir() + cName + ".ini".
    IniFile& ini() { return *m_ini; }

    // Where the settings file lives: $ORLANLOG_CONFIG, else ~/.config/orlanlog/.
    static QString configDir();
    // The program home: $ORLANLOG_HOME; else exeDir when it is writable and
    // holds a "datos" folder (a portable install); else ~/.local/share/orlanlog/.
    static QString localDir(const QString& exeDir);
    static QString executableDir();

    // Process-wide flag of the entry fields: confirm with Enter (off by default).
    static bool confirm();
    static void setConfirm(bool on);

    // Whether Esc may close dialogs (default true); sets it when a value is given.
    static bool SetDialogEsc(std::optional<bool> on = std::nullopt);

    // Moves the data directory; bare table names are looked up there.
    void SetDirDat(const QString& dir);

    // Appends "date hh:mm:ss:text" to the log file when lLog is on.
    void WrLog(const QString& text);

    // Asks for user and password unless a password is already known.
    bool Login(const QString& title = QString());

    // Ends the session: removes the "borra.me" marker and closes the main window.
    void End(bool lClose = false);

    // The session marker in cDirLocal: the file that is there, whatever the
    // case of its name (a home copied from another system may hold "Borra.me"),
    // else the name a new marker gets.
    QString sessionMarker() const;
    // Removes every spelling of the session marker.
    void removeSessionMarker() const;

private:
    std::unique_ptr<IniFile> m_ini;
};

extern TAppl* oAppl;

// Seconds since midnight, local time, to the hundredth.
double TIMETOSEC();
// Seconds of a time text "hh", "hh:mm", "hh:mm:ss" or "hh:mm:ss:cc"; 0 for
// anything else (bad digits, separators or ranges, or a value that is not text).
double TIMETOSEC(const QVariant& time);

// Copies a file, replacing the target unless failIfExists. True on success.
bool COPYFILE(const QString& source, const QString& target, bool failIfExists);

} // namespace app
