#pragma once
// Replacing the running program by a newer one: the start-up check against
// the update server (CHKACT), and the three ways the application object
// offers (a shared folder with an updater of its own, a copy from a folder,
// a download with progress).
//
// Safety: a new program is fetched over HTTPS only and installed only when
// the SHA-256 checksum published beside it matches. The new program is
// written beside the old one and checked before the old one is moved aside
// (to cDirLocal + "bck.exe", removed at the next start); when anything fails
// after that, the old program is put back under its own name.

#include <QString>
#include <QStringList>

#include <functional>

namespace online {

enum class UpdateOutcome {
    NotChecked,        // no connection, no address, or the server is not HTTPS
    NoAnswer,          // the version could not be read
    Current,           // nothing newer
    Declined,          // the user said no
    NotWritable,       // the program's folder cannot be written
    Failed,            // download, checksum or install failed: the old program stays
    Restarting,        // the new program was started: end this one now
};

struct UpdateContext {
    QString server;            // scheme + host of the update server
    QString version;           // the running version (cVer)
    QString title;             // cName + " " + cVer
    QString waitTitle;         // cName + cVer, the download box's title
    QString executable;        // the running program
    QString backup;            // cDirLocal + "bck.exe"
    QString updateFolder;      // cUpdate
    QString localDir;          // cDirLocal
    // Starts program with arguments, detached; false when it could not start.
    std::function<bool(const QString& program, const QStringList& arguments)> start;
};

// The context of this process: endpoints, names and paths of the
// application object, QProcess to start the new program.
UpdateContext currentUpdateContext();

// GET "/winorlanlog/ver.txt"; any difference from the running version
// (extra characters included) is a new version. Asks, downloads
// "/winorlanlog/Orlanlog.zip" and its ".sha256" beside it, unpacks the
// archive into the program's folder and starts the new program with "ACT".
UpdateOutcome CHKACT(const UpdateContext& ctx);

// Shared folder: when the program in updateFolder differs in size, date or
// hh:mm from the running one and the updater cDirLocal + "update" exists,
// starts it with the remote file's path.
UpdateOutcome ChkUpdIntra(const UpdateContext& ctx);
// Copy: when the program in updateFolder was written later than the running
// one, copies it in (checked against its ".sha256" when one lies beside it)
// and starts it.
UpdateOutcome ChkUpdInt(const UpdateContext& ctx);
// Download: the program updateFolder + name on the HTTPS server, newer by
// its Last-Modified date, fetched with a progress box that can be cancelled
// and installed when its size and its ".sha256" match.
UpdateOutcome ChkUpdFTP(const UpdateContext& ctx, const QString& server, const QString& user = QString(),
                        const QString& password = QString());

// Lower-case hexadecimal SHA-256 of bytes.
QString sha256Hex(const QByteArray& bytes);
// The checksum of a ".sha256" text (the first word, as sha256sum writes it);
// empty when the text holds none.
QString checksumOf(const QByteArray& text);

} // namespace online
