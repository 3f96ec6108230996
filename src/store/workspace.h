#pragma once
// The set of open work areas under their aliases, the current one, the data
// directory where bare table names are found, and the process-wide settings
// of the table layer.

#include "dbf_header.h"
#include "status.h"
#include "work_area.h"

#include <QString>

#include <map>
#include <memory>
#include <vector>

namespace store {

struct UseOptions {
    QString alias;            // default: the file's base name
    bool shared = true;
    bool readOnly = false;
};

class Workspace {
public:
    Workspace();
    ~Workspace();

    // The program's own workspace.
    static Workspace& instance();

    // Deleted records invisible to navigation, searches and counts (on by default).
    static bool deletedHidden();
    static void setDeletedHidden(bool on);

    void setDataDir(const QString& dir);
    const QString& dataDir() const { return m_dataDir; }
    // The program directory (new table structures arrive there before they move to the data directory).
    void setProgramDir(const QString& dir);
    const QString& programDir() const { return m_programDir; }

    // Path of a table given by bare name (looked up in the data directory) or
    // by path; the extension ".dbf" is added when missing; an existing file is
    // found whatever the case of its name. Empty when no such file exists and
    // mustExist; otherwise the path to create.
    QString tablePath(const QString& name, bool mustExist = true) const;
    bool exists(const QString& name) const { return !tablePath(name).isEmpty(); }

    Status create(const QString& name, const std::vector<FieldSpec>& fields);
    // Deletes the table with its memo and index files; missing files are ignored.
    Status drop(const QString& name);

    // Opens a table in a new work area, which becomes the current one.
    Status use(const QString& name, const UseOptions& opt = {}, WorkArea** out = nullptr);
    WorkArea* area(const QString& alias) const;     // case-insensitive, null when not open
    WorkArea* current() const { return m_current; }
    bool select(const QString& alias);
    Status close(const QString& alias);
    void closeAll();
    std::vector<QString> aliases() const;

private:
    QString m_dataDir;
    QString m_programDir;
    std::map<QString, std::unique_ptr<WorkArea>> m_areas;   // by upper-case alias
    WorkArea* m_current = nullptr;
};

} // namespace store
