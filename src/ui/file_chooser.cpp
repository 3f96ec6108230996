#include "file_chooser.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHash>

namespace ui {

namespace {

FolderStore& folderStore()
{
    static FolderStore s;
    return s;
}

QHash<QString, QString>& sessionFolders()
{
    static QHash<QString, QString> folders;
    return folders;
}

} // namespace

void setFolderStore(FolderStore store)
{
    folderStore() = std::move(store);
}

QString lastFolder(const QString& kind, const QString& fallback)
{
    const QString folder = folderStore().get ? folderStore().get(kind) : sessionFolders().value(kind);
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : fallback;
}

void rememberFolder(const QString& kind, const QString& fileOrFolder)
{
    const QFileInfo fi(fileOrFolder);
    const QString folder = QDir::toNativeSeparators(fi.isDir() ? fi.absoluteFilePath() : fi.absolutePath());
    if (folderStore().set)
        folderStore().set(kind, folder);
    else
        sessionFolders().insert(kind, folder);
}

QString chooseFile(QWidget* parent, ChooseMode mode, const QString& kind, const QString& title, const QString& current,
                   const QString& proposedName, const QString& filter, const QString& fallback)
{
    const QFileInfo cur(current.trimmed());
    const bool currentFolder = !current.trimmed().isEmpty() && cur.absoluteDir().exists() && current.contains(QLatin1Char('/'));
    const QString start = currentFolder ? cur.absolutePath() : lastFolder(kind, fallback);
    const QString name = !current.trimmed().isEmpty() && !cur.fileName().isEmpty() ? cur.fileName() : proposedName;
    const QString proposed = name.isEmpty() ? start : QDir(start).filePath(name);
    const QString chosen = mode == ChooseMode::Open ? QFileDialog::getOpenFileName(parent, title, proposed, filter)
                                                    : QFileDialog::getSaveFileName(parent, title, proposed, filter);
    if (!chosen.isEmpty())
        rememberFolder(kind, chosen);
    return chosen;
}

} // namespace ui
