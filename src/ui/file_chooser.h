#pragma once
// File choosers that start where the user last chose a file of the same kind
// ("adif", "cabrillo", "lotw", "cty" ...). The folders are kept by whoever
// installs a store for them (the program keeps them in its INI file); without
// one they are remembered for the session only.

#include <QString>

#include <functional>

class QWidget;

namespace ui {

struct FolderStore {
    std::function<QString(const QString& kind)> get;
    std::function<void(const QString& kind, const QString& folder)> set;
};
void setFolderStore(FolderStore store);

// The folder where a file of this kind was last chosen, when it still exists;
// else `fallback`.
QString lastFolder(const QString& kind, const QString& fallback);
void rememberFolder(const QString& kind, const QString& fileOrFolder);

enum class ChooseMode { Open, Save };

// The file chooser. It starts in the folder of `current` when that names a
// folder that exists, else in the kind's last folder, else in `fallback`;
// it proposes the file name of `current`, else `proposedName`. The folder of a
// chosen file is remembered for the kind. Empty when nothing was chosen.
QString chooseFile(QWidget* parent, ChooseMode mode, const QString& kind, const QString& title, const QString& current,
                   const QString& proposedName, const QString& filter, const QString& fallback);

} // namespace ui
