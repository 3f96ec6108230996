#include "reorga.h"

#include "access.h"
#include "catalogue.h"
#include "qso_record.h"
#include "record_codec.h"
#include "workspace.h"

#include "core/messages.h"

#include <QStringList>

#include <algorithm>

namespace store {

namespace {

Workspace& ws() { return Workspace::instance(); }

// One table to reorganise.
struct Step {
    enum Kind { Plain, Books, Cluster, Log, CfgSpot };
    QString title;          // meter title (empty: the one before stays)
    QString file;           // table in the data directory
    QString alias;
    std::vector<catalogue::TagDef> tags;   // rebuilt as the catalogue gives them
    bool keepOtherTags = false;            // tags the catalogue does not give stay too
    bool optional = false;                 // nothing to do when the file is missing
    Kind kind = Plain;
    QString name;           // as named when a cancel leaves it
};

class Reorganisation {
public:
    explicit Reorganisation(ui::Meter& m) : m_meter(m) {}

    bool run();

private:
    std::vector<Step> steps();
    bool everyTableFree(std::vector<Step>* steps);
    void runStep(const Step& st);
    std::vector<TagSpec> tagsFor(const Step& st, WorkArea* a) const;

    // Between steps: true when the user asked to stop (remembering what is left).
    bool stopHere(const QString& remaining)
    {
        if (!m_cancelled && m_meter.cancelled())
            m_cancelled = true;
        if (m_cancelled)
            m_left << remaining;
        return m_cancelled;
    }

    ui::Meter& m_meter;
    bool m_cancelled = false;
    QStringList m_left;
    QStringList m_failed;   // "table: why"
    QStringList m_notes;
};

std::vector<Step> Reorganisation::steps()
{
    auto plain = [](const QString& title, const catalogue::TableDef& def, bool optional, bool keepOther = false) {
        Step s;
        s.title = title;
        s.file = s.alias = s.name = def.name;
        s.tags = def.tags;
        s.optional = optional;
        s.keepOtherTags = keepOther;
        return s;
    };
    std::vector<Step> out = {
        plain(QStringLiteral("Reorganizando Entidades"), catalogue::ent(), false),
        plain(QStringLiteral("Reorganizando Prefijos"), catalogue::pfx(), false),
        plain(QStringLiteral("IOTA"), catalogue::iota(), false),
        plain(QStringLiteral("Provincias"), catalogue::prv(), false),
        plain(QStringLiteral("Subdivisiones Provinciales"), catalogue::subprv(), false),
        plain(QStringLiteral("Cluster Spots"), catalogue::spots(), false),
    };
    Step cluster = plain(QStringLiteral("Servidores Cluster"), catalogue::cluster(), false, true);
    cluster.tags.clear();
    cluster.kind = Step::Cluster;
    out.push_back(cluster);
    out.push_back(plain(QString(), catalogue::dplCfg(), false));
    Step books = plain(QString(), catalogue::libros(), false, true);
    books.tags.clear();
    books.kind = Step::Books;
    out.push_back(books);

    // the books as the catalogue lists them now (deleted ones are gone after its packing too)
    QStringList names;
    {
        Workspace w;
        w.setDataDir(ws().dataDir());
        WorkArea* b = nullptr;
        if (w.use(QStringLiteral("libros"), {.alias = QStringLiteral("libros"), .readOnly = true}, &b))
            for (b->goTop(); !b->eof(); b->skip())
                names << b->str(QStringLiteral("NOMBRE")).trimmed();
    }
    for (const QString& name : names) {
        Step log = plain(QStringLiteral("Reorganizando Log ") + name, catalogue::logTable(name), false);
        log.file = QStringLiteral("Log") + name;
        log.alias = QStringLiteral("LOG");
        log.name = QStringLiteral("Log ") + name;
        log.kind = Step::Log;
        out.push_back(log);
        Step attach = plain(QStringLiteral("Reorganizando adjuntos ") + name, catalogue::attachTable(name), false);
        attach.file = QStringLiteral("Attach") + name;
        attach.alias = QStringLiteral("Attach");
        attach.name = log.name;
        out.push_back(attach);
        Step dpl = plain(QStringLiteral("Reorganizando diplomas ") + name, catalogue::dplLogTable(name), true);
        dpl.file = QStringLiteral("Dpl") + name;
        dpl.alias = QStringLiteral("DplLog");
        dpl.name = log.name;
        out.push_back(dpl);
    }
    out.push_back(plain(QStringLiteral("Reorganizando Band Map"), catalogue::bandMap(), false, true));
    out.push_back(plain(QStringLiteral("Reorganizando Formatos QSL"), catalogue::frmQsl(), false, true));
    out.push_back(plain(QStringLiteral("Reorganizando VHF callsing"), catalogue::vhfdb(), true));
    Step cfgSpot = plain(QStringLiteral("Reorganizando Cfg. cluster"), catalogue::cfgSpot(true), true);
    cfgSpot.kind = Step::CfgSpot;
    out.push_back(cfgSpot);
    out.push_back(plain(QStringLiteral("Reorganizando cab. diplomas"), catalogue::dplCab(), true));
    out.push_back(plain(QStringLiteral("Reorganizando diplomas"), catalogue::dplDet(), true));
    out.push_back(plain(QStringLiteral("Reorganizando Wcy"), catalogue::wcy(), true));
    out.push_back(plain(QStringLiteral("Reorganizando WWV"), catalogue::wwv(), true));
    return out;
}

// Every table is opened for this process alone before any is changed. A
// table another user has open stops everything; one that cannot be opened
// (damaged, unreadable) is left out and named at the end.
bool Reorganisation::everyTableFree(std::vector<Step>* list)
{
    QStringList busy;
    std::vector<Step> usable;
    Workspace w;
    w.setDataDir(ws().dataDir());
    for (const Step& st : *list) {
        if (!w.exists(st.file)) {
            if (!st.optional)
                m_failed << QStringLiteral("%1: falta la tabla").arg(st.file);
            continue;
        }
        WorkArea* a = nullptr;
        const Status s = w.use(st.file, {.alias = QStringLiteral("probe"), .shared = false}, &a);
        w.closeAll();
        if (s.code() == StatusCode::Busy)
            busy << st.file;
        else if (!s)
            m_failed << QStringLiteral("%1: %2").arg(st.file, s.text());
        else
            usable.push_back(st);
    }
    if (!busy.isEmpty()) {
        ui::messages().stop(QStringLiteral("No se puede reorganizar: otro usuario o programa tiene abiertas estas tablas: %1. "
                                           "No se ha cambiado nada; ciérrelas y vuelva a intentarlo.")
                                .arg(busy.join(QStringLiteral(", "))));
        return false;
    }
    *list = std::move(usable);
    return true;
}

std::vector<TagSpec> Reorganisation::tagsFor(const Step& st, WorkArea* a) const
{
    std::vector<catalogue::TagDef> defs = st.tags;
    if (st.kind == Step::CfgSpot)
        defs = catalogue::cfgSpot(a->fieldPos(QStringLiteral("STSIOTA")) >= 0).tags;
    std::vector<TagSpec> specs;
    if (st.keepOtherTags)
        specs = a->table().tagSpecs();
    for (const catalogue::TagDef& t : defs) {
        const TagSpec def = t.tagSpec(true);
        auto same = std::find_if(specs.begin(), specs.end(),
                                 [&](const TagSpec& s) { return s.name.toUpper() == def.name.toUpper(); });
        if (same != specs.end())
            *same = def;
        else
            specs.push_back(def);
    }
    return specs;
}

void Reorganisation::runStep(const Step& st)
{
    if (!st.title.isEmpty())
        m_meter.setTitle(st.title);
    WorkArea* a = nullptr;
    ws().close(st.alias);
    Status s = ws().use(st.file, {.alias = st.alias, .shared = false}, &a);
    if (!s) {
        m_failed << QStringLiteral("%1: %2").arg(st.file, s.text());
        return;
    }
    TableFile& t = a->table();
    TableFile::RebuildPlan plan;
    plan.tags = tagsFor(st, a);
    const DbfHeader& h = t.header();
    bool first = true;
    const DbfField* on = nullptr;
    if (st.kind == Step::Cluster)
        if (const int i = h.fieldIndex("ON"); i >= 0 && h.fields[size_t(i)].type == 'L')
            on = &h.fields[size_t(i)];
    plan.keep = [&](quint32, char* record) {
        if (record[0] == '*')
            return false;
        if (st.kind == Step::Log && first) {
            first = false;
            return !isBlankRecord(h, record);   // the blank record a new book starts with
        }
        if (on)
            encodeField(*on, Value::logical(false), record);   // every server disconnected
        return true;
    };
    m_meter.setTotal(t.recCount());
    plan.progress = [this](quint32 rec, quint32) {
        m_meter.setPosition(rec);
        m_meter.cancelled();   // keeps the window alive; a cancel waits for the step's end
    };
    const QString path = t.path();
    TableFile::RebuildReport report;
    s = t.rebuild(plan, &report);
    ws().close(st.alias);
    m_meter.setPosition(0);
    if (!s) {
        m_failed << QStringLiteral("%1: %2").arg(st.file, s.text());
        return;
    }
    if (report.recovered) {
        const QString note = QStringLiteral("%1: la cabecera contaba menos registros de los que hay; "
                                            "%2 registros recuperados")
                                 .arg(st.file)
                                 .arg(report.recovered);
        m_meter.setText(note);
        m_notes << note;
    }
}

bool Reorganisation::run()
{
    // 1. Everything closed.
    if (hooks().endEditing)
        hooks().endEditing();
    ws().closeAll();
    if (hooks().closeFloatingPanels)
        hooks().closeFloatingPanels();

    std::vector<Step> list = steps();
    if (!everyTableFree(&list))
        return false;
    for (const Step& st : list) {
        if (stopHere(st.name))
            continue;
        runStep(st);
    }
    ws().closeAll();

    if (!m_notes.isEmpty())
        ui::messages().info(m_notes.join(QStringLiteral("\r\n")));
    if (m_cancelled) {
        m_left.removeDuplicates();
        ui::messages().alert(QStringLiteral("Reorganización interrumpida. Las tablas reorganizadas tienen sus índices "
                                            "completos; estas conservan los anteriores y se reorganizarán la próxima vez: ")
                             + m_left.join(QStringLiteral(", ")));
    }
    if (!m_failed.isEmpty())
        ui::messages().stop(QStringLiteral("No se han podido reorganizar estas tablas, que quedan como estaban:\r\n")
                            + m_failed.join(QStringLiteral("\r\n")));
    return !m_cancelled && m_failed.isEmpty();
}

} // namespace

bool REORGA(ui::Meter& meter)
{
    return Reorganisation(meter).run();
}

} // namespace store
