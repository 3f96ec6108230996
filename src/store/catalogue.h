#pragma once
// Every table the program creates or opens: file name, directory, fields in
// their order, and index tags with the key they get when a table is created
// and the key the reorganisation gives them. Field names, widths and tag keys
// are stored data that backups, downloads and interchange rely on.

#include "cdx_file.h"
#include "dbf_header.h"
#include "status.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace store {

class WorkArea;

namespace catalogue {

enum class Dir { Data, Program, Reports };

struct TagDef {
    QByteArray name;
    QByteArray createKey;
    QByteArray rebuildKey;      // empty: the same as createKey
    QByteArray createFor;       // condition at creation
    QByteArray rebuildFor;      // condition after a reorganisation
    bool custom = false;        // custom at creation (and at rebuild, see customRebuild)
    bool customRebuild = false;
    bool descending = false;

    TagSpec tagSpec(bool rebuild) const;
};

struct TableDef {
    QString name;               // file name without extension, as the program spells it
    Dir dir = Dir::Data;
    std::vector<FieldSpec> fields;
    std::vector<TagDef> tags;
    bool createdByProgram = true;
    bool optional = false;      // opened only when its file exists
};

// Condition every tag carries unless stated otherwise: the record is not deleted.
extern const QByteArray kNotDeleted;

// The log-book tables of book `name`.
TableDef logTable(const QString& book);
TableDef attachTable(const QString& book);
TableDef dplLogTable(const QString& book);

// Settings, log books and reference tables.
TableDef cfg();
TableDef libros();
TableDef ent();
TableDef pfx();
TableDef iota();
TableDef prv();
TableDef subprv();
TableDef band();
TableDef modo();
TableDef propa();
TableDef bandMap();
TableDef cluster();
TableDef frmQsl();
TableDef vhfdb();
TableDef know();
TableDef dplCfg();
TableDef dplCab();
TableDef dplDet();
// Cluster tables.
TableDef spots();
TableDef cfgSpot(bool withIota = true);
TableDef ann();
TableDef wcy();
TableDef wwv();
// Report and work tables.
TableDef reportLog();
TableDef logLbl();
TableDef infWrkNotConf();
TableDef infWrk();
TableDef tmpGrf();
TableDef dplTmp(const QString& name);                  // "DplTmp" or "DplTmp2": structure of DplCfg
TableDef dplStatus(const QStringList& bands);          // "Dpl": one C 3 column per band
TableDef estDxcc(const QStringList& bands);            // "EstDxcc": as Dpl plus logical columns per band

// Every table a fresh home needs, in the order a first start creates them.
std::vector<TableDef> homeTables();

// The definition of the table whose file is named base (no extension; any
// case): a table of a fresh home, a report table, or a log-book table
// ("Log", "Attach", "DplLog" + book). False for files the catalogue does not know.
bool findTable(const QString& base, TableDef* out);

// Directory of a table for the given program and data directories.
QString directoryOf(const TableDef& t, const QString& programDir, const QString& dataDir);

// Creates the table (replacing files of the same name) and its tags with the
// creation keys, then closes it. With rebuild, the tags get the keys of the
// reorganisation. The work is done in the given workspace, exclusively.
Status create(const TableDef& t, const QString& path, bool rebuildKeys = false);

// The values of the first record of cfg.
void fillCfgDefaults(WorkArea* cfgArea);
// The seed record of know.
void fillKnowSeed(WorkArea* knowArea);

} // namespace catalogue
} // namespace store
