#include "upgrade/migration.h"

#include "app/tappl.h"
#include "core/messages.h"
#include "online/download.h"
#include "online/endpoints.h"
#include "online/reachability.h"
#include "online/zip_archive.h"
#include "qsl/format_file.h"
#include "qsl/shipped_designs.h"
#include "refdata/cty_download.h"
#include "refdata/cty_import.h"
#include "store/access.h"
#include "store/catalogue.h"
#include "store/home.h"
#include "store/reorga.h"
#include "store/work_area.h"
#include "store/workspace.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <functional>

namespace upgrade {

namespace cat = store::catalogue;

namespace {

const QString kQslTitle = QStringLiteral("ACTUALIZAR FORMATOS DE QSL");

const QString kQslQuestion = QStringLiteral(
    "Existe un nuevo fichero de formatos de QSL, este fichero sustituye y amplia el anterior.\r\n\r\n"
    "Si no tienes formatos propios ni has realizado personalizaciones en los existentes, simplemente contesta SI\r\n\r\n"
    "Si tienes algún formato propio, o adaptaciones de los ya existentes, se perderan.\r\n"
    "para poder conservarlos, contesta NO ha este mensje, entra en el propgrama, y exporta\r\n"
    "los formatos que te interesan.\r\n"
    "Sal del programa y vuelve a entrar en el programa, y contesta afirmativamente esta ventana,\r\n"
    "despues importa los formatos que habias exportado\r\n\r\n"
    "¿Desea actualizar el fichero?");

const QString kAwardsQuestion = QStringLiteral(
    "Existe un nuevo fichero de DIPLOMAS, este fichero sustituye y amplia el anterior.\r\n\r\n"
    "Si no tienes diplomas propios ni has realizado personalizaciones en los existentes, simplemente contesta SI\r\n\r\n"
    "Si tienes algún diploma propio, o adaptaciones de los ya existentes, se perderan.\r\n"
    "¿Desea actualizar el fichero?");

// The label format the download service offers under this name.
const QString kLabelFormatFile = QStringLiteral("etiquetas%20apliref(%2001273)70%20x%2037mm%203%20qso.q7q");

class Migration {
public:
    Migration()
        : m_prog(store::Workspace::instance().programDir()), m_data(store::Workspace::instance().dataDir())
    {
    }

    MigrationReport run();

private:
    using Step = std::function<bool()>;

    // --- helpers ---------------------------------------------------------
    bool online() const { return online::internetConnected(); }
    QString existingOr(const QString& dir, const QString& name) const
    {
        const QString found = store::findFileNoCase(dir + name);
        return found.isEmpty() ? dir + name : found;
    }
    // GET "/media/" + remote into target; a failure is told and gives false.
    bool fetch(const QString& remote, const QString& target) const
    {
        if (!online())
            return false;
        const QString url = online::joinUrl(online::endpoint(online::Endpoint::DownloadService),
                                            QStringLiteral("/media/") + remote);
        const online::DownloadResult r = online::downloadToFile(url, target);
        if (r.ok)
            return true;
        ui::messages().info(r.status > 0 ? QStringLiteral("Error en el objeto httprequest ") + QString::number(r.status)
                                         : r.error);
        return false;
    }
    bool fetchData(const QString& remote, const QString& local) const { return fetch(remote, existingOr(m_data, local)); }
    // A ZIP of tables into the data directory, unpacked and deleted.
    bool fetchZip(const QString& remote) const
    {
        const QString archive = m_data + remote;
        if (!fetch(remote, archive))
            return false;
        const online::UnpackResult r = online::unpackZip(archive, m_data);
        QFile::remove(archive);
        if (!r.ok)
            ui::messages().stop(r.error);
        return r.ok;
    }
    bool fetchScripts() const
    {
        QDir().mkpath(m_prog + QStringLiteral("obj"));
        bool ok = true;
        for (const char* name : {"Esporadicas VHF.js", "Activaciones.js"}) {
            const QString file = QString::fromUtf8(name);
            ok = fetch(QString(file).replace(QLatin1Char(' '), QStringLiteral("%20")), m_prog + QStringLiteral("obj/") + file)
                 && ok;
        }
        return ok;
    }
    // The table in the catalogue's current structure, records carried over.
    bool restructure(const cat::TableDef& def) const
    {
        if (def.dir != cat::Dir::Data)
            return false;
        const QString fresh = m_prog + def.name + QStringLiteral(".dbf");
        if (const store::Status s = cat::create(def, fresh); !s) {
            ui::messages().stop(s.text());
            return false;
        }
        return store::CHGDBF(def.name);
    }
    // Opens a data table exclusively in its own workspace.
    store::WorkArea* open(store::Workspace& w, const QString& name) const
    {
        store::WorkArea* a = nullptr;
        const QString path = store::findFileNoCase(m_data + name + QStringLiteral(".dbf"));
        if (path.isEmpty())
            return nullptr;
        if (const store::Status s = w.use(path, {.alias = name, .shared = false}, &a); !s) {
            ui::messages().stop(s.text());
            return nullptr;
        }
        return a;
    }
    bool hasField(const cat::TableDef& def, const char* field) const
    {
        store::Workspace w;
        const QString path = store::findFileNoCase(cat::directoryOf(def, m_prog, m_data) + def.name + QStringLiteral(".dbf"));
        store::WorkArea* a = nullptr;
        if (path.isEmpty() || !w.use(path, {.alias = QStringLiteral("_t"), .readOnly = true}, &a))
            return false;
        return a->fieldPos(QString::fromLatin1(field)) >= 0;
    }
    // The reports table LogLbl again, empty, in its current structure.
    bool recreate(const cat::TableDef& def) const
    {
        const QString base = cat::directoryOf(def, m_prog, m_data) + def.name;
        store::DBDROP(base);
        return bool(cat::create(def, base + QStringLiteral(".dbf")));
    }
    void setFirst(const QString& table, const std::function<void(store::WorkArea&)>& fill) const
    {
        store::Workspace w;
        store::WorkArea* a = open(w, table);
        if (!a)
            return;
        a->setOrder(0);
        a->goTop();
        if (a->eof()) {
            if (!a->append())
                return;
        } else if (!a->lockRecord()) {
            return;
        }
        fill(*a);
        a->unlock();
    }
    void appendTo(const QString& table, const std::function<void(store::WorkArea&)>& fill) const
    {
        store::Workspace w;
        if (store::WorkArea* a = open(w, table); a && a->append()) {
            fill(*a);
            a->unlock();
        }
    }
    QString ini(const QString& section, const QString& key) const
    {
        return app::oAppl ? app::oAppl->ini().getString(section, key) : QString();
    }
    void setIni(const QString& section, const QString& key, const QString& value) const
    {
        if (app::oAppl)
            app::oAppl->ini().Set(section, key, value);
    }
    QStringList books() const
    {
        QStringList names;
        store::Workspace w;
        if (store::WorkArea* b = open(w, QStringLiteral("libros"))) {
            b->setOrder(0);
            for (b->goTop(); !b->eof(); b->skip())
                if (const QString n = b->str(QStringLiteral("NOMBRE")).trimmed(); !n.isEmpty())
                    names << n;
        }
        return names;
    }
    bool rebuildBook(const QString& book) const;
    void reorganise() const
    {
        store::Workspace::instance().closeAll();
        ui::messages().meter([](ui::Meter& m) { store::REORGA(m); }, QStringLiteral("Procesando, espere por favor ... "));
        store::Workspace::instance().closeAll();
    }
    void setQrzPrefix() const
    {
        setFirst(QStringLiteral("cfg"), [](store::WorkArea& c) { c.put(QStringLiteral("QRZPFX"), callbookPagePrefix()); });
    }

    // --- steps -----------------------------------------------------------
    bool step088();
    bool step089() { return online() && fetchScripts(); }
    bool step090();
    bool step091();
    bool step092();
    bool step094();
    bool step096();
    bool step097();
    bool step098();
    bool step099();
    bool step110();
    bool step140();
    bool step160();
    bool step170();
    bool step190();

    QString m_prog;
    QString m_data;
};

bool Migration::rebuildBook(const QString& book) const
{
    const QString old = store::findFileNoCase(m_data + QStringLiteral("log") + book + QStringLiteral(".dbf"));
    if (old.isEmpty())
        return true;
    const cat::TableDef def = cat::logTable(QStringLiteral("NEW") + book);   // "LogNEW" + book
    const QString fresh = m_data + def.name + QStringLiteral(".dbf");
    auto dropNew = [this] {
        for (const QString& f : QDir(m_data).entryList({QStringLiteral("lognew*.*")}, QDir::Files))
            QFile::remove(m_data + f);
    };
    store::Status s = cat::create(def, fresh);
    if (s)
        s = store::carryRecords(old, fresh);
    if (!s) {
        // the book stays as it was
        dropNew();
        ui::messages().stop(QStringLiteral("No puede actualizarse el libro ") + book + QStringLiteral("\r\n") + s.text());
        return false;
    }
    const QString target = m_data + QStringLiteral("Log") + book;
    const QString oldMemo = store::findFileNoCase(m_data + QStringLiteral("log") + book + QStringLiteral(".fpt"));
    QFile::remove(old);
    if (!oldMemo.isEmpty())
        QFile::remove(oldMemo);
    QFile::rename(fresh, target + QStringLiteral(".dbf"));
    const QString memo = m_data + def.name + QStringLiteral(".fpt");
    if (QFileInfo::exists(memo))
        QFile::rename(memo, target + QStringLiteral(".fpt"));
    dropNew();
    return true;
}

bool Migration::step088()
{
    if (!online() || !ui::messages().noYes(kQslQuestion, kQslTitle) || !fetchZip(QStringLiteral("FrmQsl.zip")))
        return false;
    restructure(cat::cfg());
    restructure(cat::cfgSpot());
    restructure(cat::spots());
    appendTo(QStringLiteral("CfgSpot"), [](store::WorkArea& a) {
        a.put(QStringLiteral("STSIOTA"), "N");
        a.put(QStringLiteral("COLFOR"), 255);
        a.put(QStringLiteral("COLBCK"), 16777215);
        a.put(QStringLiteral("DESC"), "IOTA nuevo");
    });
    {
        store::Workspace w;
        if (store::WorkArea* c = open(w, QStringLiteral("Cluster"))) {
            c->setOrder(0);
            for (c->goTop(); !c->eof(); c->skip())
                if (c->str(QStringLiteral("NOMBRE")).startsWith(QLatin1String("RC.Henares"))) {
                    if (c->lockRecord()) {
                        c->put(QStringLiteral("SITE"), publicClusterHost());
                        c->unlock();
                    }
                    break;
                }
        }
    }
    ui::messages().meter(
        [](ui::Meter& m) {
            refdata::CtyImportResult result;
            QString problem;
            if (!refdata::downloadAndImportCty(m, QString(), &result, &problem))
                ui::messages().alert(problem);
        },
        QString(), QStringLiteral("Importando prefijos y coordenadas ..."));
    store::Workspace::instance().closeAll();
    recreate(cat::logLbl());
    return true;
}

bool Migration::step090()
{
    if (!(online() && fetchZip(QStringLiteral("Prv.zip"))))
        restructure(cat::prv());
    if (!hasField(cat::logLbl(), "GRID1"))
        recreate(cat::logLbl());
    return true;
}

bool Migration::step091()
{
    const QString file = m_prog + QStringLiteral("eti.q7q");
    // the format comes with the program when the service cannot give it
    if (!(online() && fetch(kLabelFormatFile, file))) {
        QString error;
        if (!writeShippedLabelFormat(file, &error)) {
            ui::messages().stop(error);
            return false;
        }
    }
    store::Workspace w;
    store::WorkArea* frm = open(w, QStringLiteral("FrmQsl"));
    QString error;
    if (!frm || !qsl::importFormat(*frm, file, &error)) {
        if (!error.isEmpty())
            ui::messages().stop(error);
        return false;
    }
    return true;
}

bool Migration::step092()
{
    // once: a table that has the mode already keeps it as it is
    bool known = false;
    {
        store::Workspace w;
        if (store::WorkArea* m = open(w, QStringLiteral("Modo"))) {
            m->setOrder(0);
            for (m->goTop(); !m->eof() && !known; m->skip())
                known = m->str(QStringLiteral("CODMOD")).trimmed() == QLatin1String("ROS");
        }
    }
    if (!known)
        appendTo(QStringLiteral("Modo"), [](store::WorkArea& a) {
            a.put(QStringLiteral("CODMOD"), "ROS");
            a.put(QStringLiteral("MODO"), "ROS");
            a.put(QStringLiteral("CLUSIN"), true);
        });
    if (!online())
        return true;
    fetchData(QStringLiteral("bandmap.dbf"), QStringLiteral("bandmap.dbf"));
    fetchData(QStringLiteral("bandmap.cdx"), QStringLiteral("bandmap.cdx"));
    fetchData(QStringLiteral("subprv.dbf"), QStringLiteral("subprv.dbf"));
    fetchData(QStringLiteral("subprv.cdx"), QStringLiteral("subprv.cdx"));
    fetchData(QStringLiteral("MODO.DBF"), QStringLiteral("Modo.dbf"));
    if (ui::messages().noYes(kAwardsQuestion, kQslTitle)) {
        fetchData(QStringLiteral("dplcfg.dbf"), QStringLiteral("DplCfg.dbf"));
        fetchData(QStringLiteral("dplcfg.cdx"), QStringLiteral("DplCfg.cdx"));
    } else {
        restructure(cat::dplCfg());
    }
    fetchScripts();
    return true;
}

bool Migration::step094()
{
    if (!hasField(cat::logLbl(), "MIGRID1"))
        recreate(cat::logLbl());
    return true;
}

bool Migration::step096()
{
    setIni(QStringLiteral("ManLog"), QStringLiteral("BrwState"),
           ini(QStringLiteral("ManLog"), QStringLiteral("BrwState")) + QStringLiteral(";29:90:S:Operador"));
    fetchData(QStringLiteral("ENT.DBF"), QStringLiteral("ent.dbf"));
    fetchData(QStringLiteral("Ent.cdx"), QStringLiteral("ent.cdx"));
    store::Workspace w;
    if (store::WorkArea* p = open(w, QStringLiteral("PFX"))) {
        p->setOrder(QStringLiteral("Pfx"));
        const std::pair<const char*, const char*> moves[] = {
            {"PJ2", "402"}, {"PJ7", "403"}, {"PJ5", "404"}, {"PJ6", "404"}, {"PJ4", "405"}};
        for (auto [prefix, entity] : moves) {
            p->seek(store::Value::text(QString::fromLatin1(prefix)), true);
            if (!p->eof() && p->lockRecord()) {
                p->put(QStringLiteral("CODENT"), entity);
                p->unlock();
            }
        }
    }
    return true;
}

bool Migration::step097()
{
    restructure(cat::spots());
    restructure(cat::cfg());
    setFirst(QStringLiteral("cfg"), [](store::WorkArea& c) {
        c.put(QStringLiteral("CLSVOICE"), false);
        c.put(QStringLiteral("VOICERATE"), 2);
        c.put(QStringLiteral("VOICEPITCH"), -2);
    });
    fetchData(QStringLiteral("ENT.DBF"), QStringLiteral("ent.dbf"));
    fetchData(QStringLiteral("Ent.cdx"), QStringLiteral("ent.cdx"));
    if (online()) {
        QDir().mkpath(m_prog + QStringLiteral("obj"));
        fetch(QStringLiteral("Esporadicas%20VHF.js"), m_prog + QStringLiteral("obj/Esporadicas VHF.js"));
    }
    return true;
}

bool Migration::step098()
{
    restructure(cat::cfg());
    const QStringList names = books();
    if (!names.isEmpty()) {
        const QString first = store::findFileNoCase(m_data + QStringLiteral("log") + names.first() + QStringLiteral(".dbf"));
        if (!first.isEmpty() && !hasField(cat::logTable(names.first()), "LOTWRDATE")) {
            for (const QString& n : names) {
                rebuildBook(n);
                const cat::TableDef dpl = cat::dplLogTable(n);
                if (store::findFileNoCase(m_data + dpl.name + QStringLiteral(".dbf")).isEmpty())
                    cat::create(dpl, m_data + dpl.name + QStringLiteral(".dbf"));
            }
        }
    }
    restructure(cat::dplCfg());
    if (online())
        fetchZip(QStringLiteral("dpl.zip"));
    // the award definitions a downloaded list brings
    if (const QString text = store::findFileNoCase(m_data + QStringLiteral("dplcfg.txt")); !text.isEmpty()) {
        QFile f(text);
        store::Workspace w;
        if (store::WorkArea* d = open(w, QStringLiteral("DplCfg")); d && f.open(QIODevice::ReadOnly)) {
            for (const QByteArray& raw : f.readAll().split('\n')) {
                const QByteArray line = raw.trimmed();
                if (line.isEmpty() || !d->append())
                    continue;
                qsl::putDelimitedRecord(*d, line);
                d->unlock();
            }
        }
        f.close();
        QFile::remove(text);
    }
    {
        store::Workspace w;
        if (store::WorkArea* e = open(w, QStringLiteral("ent"))) {
            e->setOrder(QStringLiteral("CodEnt"));
            if (e->seek(store::Value::text(QStringLiteral("103"))) && e->found() && e->lockRecord()) {
                e->put(QStringLiteral("CQZ"), " 7");
                e->unlock();
            }
            e->seek(store::Value::text(QStringLiteral("406")));
            if (!e->found() && e->append()) {
                e->put(QStringLiteral("CODENT"), "406");
                e->put(QStringLiteral("PFX"), "ST0");
                e->put(QStringLiteral("NOMBRE"), "SUDAN DEL SUR");
                e->put(QStringLiteral("CQZ"), "34");
                e->put(QStringLiteral("CONT"), "AF");
                e->put(QStringLiteral("SIT"), "A");
                e->put(QStringLiteral("DHORA"), "+2");
                e->put(QStringLiteral("FALTA"), QDate(2011, 7, 9));
                e->put(QStringLiteral("DXCC"), "521");
                e->put(QStringLiteral("LEADX"), true);
                e->put(QStringLiteral("LDXCC"), true);
                e->put(QStringLiteral("ITUZ"), "48");
                e->put(QStringLiteral("QRA"), "KJ54TU");
                e->unlock();
            }
        }
        if (store::WorkArea* p = open(w, QStringLiteral("PFX"))) {
            p->setOrder(QStringLiteral("Pfx"));
            p->seek(store::Value::text(QStringLiteral("ST0R")));
            if (!p->found() && p->append()) {
                p->put(QStringLiteral("PFX"), "ST0R");
                p->put(QStringLiteral("CODENT"), "406");
                p->unlock();
            }
        }
    }
    reorganise();
    return true;
}

bool Migration::step099()
{
    restructure(cat::cfg());
    setQrzPrefix();
    return true;
}

bool Migration::step110()
{
    restructure(cat::cfg());
    setQrzPrefix();
    // the known stations of an installation that has them are kept
    if (store::findFileNoCase(m_data + QStringLiteral("know.dbf")).isEmpty()) {
        const cat::TableDef know = cat::know();
        if (cat::create(know, m_data + know.name + QStringLiteral(".dbf")))
            appendTo(know.name, [](store::WorkArea& k) { cat::fillKnowSeed(&k); });
    }
    return true;
}

bool Migration::step140()
{
    // the map pages carry their scripts inside them: no script archive to unpack
    restructure(cat::cfg());
    return true;
}

bool Migration::step160()
{
    const QString browse = ini(QStringLiteral("ManLog"), QStringLiteral("BrwState"));
    if (!browse.contains(QLatin1String("Key")))
        setIni(QStringLiteral("ManLog"), QStringLiteral("BrwState"), browse + QStringLiteral(";30:55:S:Key"));
    for (const cat::TableDef& t : {cat::ann(), cat::wcy(), cat::wwv()}) {
        store::DBDROP(m_data + t.name);
        cat::create(t, m_data + t.name + QStringLiteral(".dbf"));
    }
    restructure(cat::cfg());
    reorganise();
    return true;
}

bool Migration::step170()
{
    for (const QString& n : books())
        rebuildBook(n);
    return true;
}

bool Migration::step190()
{
    restructure(cat::modo());
    store::Workspace w;
    if (store::WorkArea* m = open(w, QStringLiteral("Modo"))) {
        m->setOrder(0);
        m->goTop();
        for (const char* rst : {"59", "599", "599"}) {
            if (m->eof())
                break;
            if (m->lockRecord()) {
                m->put(QStringLiteral("RSTDEF"), rst);
                m->unlock();
            }
            m->skip();
        }
    }
    return true;
}

MigrationReport Migration::run()
{
    MigrationReport report;
    const QStringList missing = missingSteps(m_prog);
    if (missing.isEmpty())
        return report;
    store::Workspace::instance().closeAll();
    const std::pair<const char*, Step> steps[] = {
        {"088", [this] { return step088(); }}, {"089", [this] { return step089(); }},
        {"090", [this] { return step090(); }}, {"091", [this] { return step091(); }},
        {"092", [this] { return step092(); }}, {"094", [this] { return step094(); }},
        {"096", [this] { return step096(); }}, {"097", [this] { return step097(); }},
        {"098", [this] { return step098(); }}, {"099", [this] { return step099(); }},
        {"100", [] { return true; }},          {"110", [this] { return step110(); }},
        {"120", [] { return true; }},          {"130", [] { return true; }},
        {"140", [this] { return step140(); }}, {"150", [] { return true; }},
        {"160", [this] { return step160(); }}, {"170", [this] { return step170(); }},
        {"180", [] { return true; }},          {"190", [this] { return step190(); }},
        {"191", [] { return true; }},
    };
    // these write their marker before their actions, as they always have
    const QStringList markedFirst = {QStringLiteral("140"), QStringLiteral("150"), QStringLiteral("160"),
                                     QStringLiteral("170"), QStringLiteral("190")};
    auto mark = [this](const QString& step) {
        QFile f(store::versionMarker(m_prog, step));
        f.open(QIODevice::WriteOnly);
    };
    for (const auto& [id, action] : steps) {
        const QString step = QString::fromLatin1(id);
        if (!missing.contains(step))
            continue;
        const bool first = markedFirst.contains(step);
        if (first)
            mark(step);
        const bool done = action();
        store::Workspace::instance().closeAll();
        if (done && !first)
            mark(step);
        (done || first ? report.done : report.postponed) << step;
    }
    store::Workspace::instance().closeAll();
    return report;
}

} // namespace

QStringList missingSteps(const QString& programDir)
{
    QStringList missing;
    for (const QString& step : store::versionSteps())
        if (!QFileInfo::exists(store::versionMarker(programDir, step)))
            missing << step;
    return missing;
}

MigrationReport ACTVER()
{
    return Migration().run();
}

QString publicClusterHost()
{
    return QStringLiteral("dxc.ea4ure.es");
}

QString callbookPagePrefix()
{
    // a web address: forward slashes, as the settings' own default has it
    return QStringLiteral("www.qrz.com/db/");
}

bool writeShippedLabelFormat(const QString& path, QString* error)
{
    QTemporaryDir dir;
    const cat::TableDef def = cat::frmQsl();
    const QString table = dir.filePath(def.name + QStringLiteral(".dbf"));
    store::Workspace w;
    store::WorkArea* frm = nullptr;
    if (!dir.isValid() || !cat::create(def, table) || !w.use(table, {.alias = QStringLiteral("_frm"), .shared = false}, &frm)
        || !frm->append()) {
        if (error)
            *error = QStringLiteral("No puede crearse el fichero ") + path;
        return false;
    }
    frm->put(QStringLiteral("DESC"), "Etiquetas 70 x 37 mm 3 QSO");
    frm->put(QStringLiteral("LBL"), true);
    frm->put(QStringLiteral("DEFAULT"), false);
    frm->put(QStringLiteral("ETIXPAG"), 24);
    frm->put(QStringLiteral("QSOXLBL"), 3);
    frm->putMemo(QStringLiteral("FORMATO"), qsl::shippedLabelDesign().toLatin1());
    frm->unlock();
    return qsl::exportFormat(*frm, path, error);
}

} // namespace upgrade
