#include "reorga.h"

#include "access.h"
#include "catalogue.h"
#include "qso_record.h"
#include "workspace.h"

#include "ui/messages.h"

#include <QFile>
#include <QStringList>

namespace store {

namespace {

Workspace& ws() { return Workspace::instance(); }

class Reorganisation {
public:
    explicit Reorganisation(ui::Meter& m) : m_meter(m) {}

    bool run();

private:
    // Between steps: true when the user asked to stop (remembering what is left).
    bool stopHere(const QString& remaining)
    {
        if (!m_cancelled && m_meter.cancelled())
            m_cancelled = true;
        if (m_cancelled)
            m_left << remaining;
        return m_cancelled;
    }

    void removeIndexFile(const QString& name)
    {
        const QString f = findFileNoCase(ws().dataDir() + name + QStringLiteral(".cdx"));
        if (!f.isEmpty())
            QFile::remove(f);
    }

    WorkArea* openExclusive(const QString& file, const QString& alias)
    {
        ws().close(alias);
        if (!NETUSE(file, false, 1, alias))
            return nullptr;
        return ws().area(alias);
    }

    void buildTags(WorkArea* a, const std::vector<catalogue::TagDef>& tags)
    {
        const quint32 total = a->recCount();
        m_meter.setTotal(total);
        for (const catalogue::TagDef& t : tags) {
            m_meter.setPosition(0);
            const TagSpec def = t.tagSpec(true);
            Status s = a->createTag(def, def.custom ? TableFile::Progress() : [this](quint32 rec, quint32) {
                m_meter.setPosition(rec);
                m_meter.cancelled();   // keeps the window alive; a cancel waits for the step's end
            });
            if (!s)
                ui::messages().stop(s.text());
        }
        m_meter.setPosition(0);
    }

    void packAndIndex(WorkArea* a, const std::vector<catalogue::TagDef>& tags)
    {
        if (Status s = a->pack(); !s)
            ui::messages().stop(s.text());
        buildTags(a, tags);
    }

    // The common shape of a step: index file removed, table packed, tags built.
    void simpleStep(const QString& title, const catalogue::TableDef& def, bool onlyIfExists, bool removeIndex = true)
    {
        if (onlyIfExists && !ws().exists(def.name))
            return;
        if (!title.isEmpty())
            m_meter.setTitle(title);
        if (removeIndex)
            removeIndexFile(def.name);
        WorkArea* a = openExclusive(def.name, def.name);
        if (!a)
            return;
        if (removeIndex)
            a->dropIndex();   // an index file that could not be deleted is rebuilt anyway
        packAndIndex(a, def.tags);
        ws().close(def.name);
    }

    void logBooks();

    ui::Meter& m_meter;
    bool m_cancelled = false;
    QStringList m_left;
};

void Reorganisation::logBooks()
{
    if (WorkArea* b = openExclusive(QStringLiteral("libros"), QStringLiteral("libros"))) {
        b->pack();
        ws().close(QStringLiteral("libros"));
    }
    if (!NETUSE(QStringLiteral("libros"), true, 1, QStringLiteral("libros")))
        return;
    WorkArea* books = ws().area(QStringLiteral("libros"));
    QStringList names;
    for (books->goTop(); !books->eof(); books->skip())
        names << books->str(QStringLiteral("NOMBRE")).trimmed();
    for (const QString& name : names) {
        if (stopHere(QStringLiteral("Log ") + name))
            continue;
        ws().close(QStringLiteral("LOG"));
        m_meter.setTitle(QStringLiteral("Reorganizando Log ") + name);
        removeIndexFile(QStringLiteral("log") + name);
        WorkArea* log = openExclusive(QStringLiteral("LOG") + name, QStringLiteral("LOG"));
        if (!log)
            continue;
        log->dropIndex();
        log->setOrder(0);
        log->goTop();
        // the blank record a new book starts with
        if (!log->eof() && !isQso(*log))
            log->deleteRecord();
        packAndIndex(log, catalogue::logTable(name).tags);

        m_meter.setTitle(QStringLiteral("Reorganizando adjuntos ") + name);
        removeIndexFile(QStringLiteral("Attach") + name);
        if (WorkArea* a = openExclusive(QStringLiteral("Attach") + name, QStringLiteral("Attach"))) {
            a->dropIndex();
            packAndIndex(a, catalogue::attachTable(name).tags);
            ws().close(QStringLiteral("Attach"));
        }
        if (ws().exists(QStringLiteral("Dpl") + name)) {
            m_meter.setTitle(QStringLiteral("Reorganizando diplomas ") + name);
            removeIndexFile(QStringLiteral("Dpl") + name);
            if (WorkArea* d = openExclusive(QStringLiteral("Dpl") + name, QStringLiteral("DplLog"))) {
                d->dropIndex();
                packAndIndex(d, catalogue::dplLogTable(name).tags);
                ws().close(QStringLiteral("DplLog"));
            }
        }
    }
    ws().close(QStringLiteral("libros"));
}

bool Reorganisation::run()
{
    // 1. Everything closed.
    if (hooks().closeEntryForm)
        hooks().closeEntryForm();
    ws().closeAll();
    if (hooks().closeDxccDialog)
        hooks().closeDxccDialog();

    struct Step {
        QString title;
        catalogue::TableDef def;
    };
    const Step first[] = {
        {QStringLiteral("Reorganizando Entidades"), catalogue::ent()},
        {QStringLiteral("Reorganizando Prefijos"), catalogue::pfx()},
        {QStringLiteral("IOTA"), catalogue::iota()},
        {QStringLiteral("Provincias"), catalogue::prv()},
        {QStringLiteral("Subdivisiones Provinciales"), catalogue::subprv()},
        {QStringLiteral("Cluster Spots"), catalogue::spots()},
    };
    for (const Step& s : first) {                                    // 2-7
        if (stopHere(s.def.name))
            continue;
        simpleStep(s.title, s.def, false);
    }
    if (!stopHere(QStringLiteral("Cluster"))) {                      // 8
        m_meter.setTitle(QStringLiteral("Servidores Cluster"));
        if (WorkArea* c = openExclusive(QStringLiteral("Cluster"), QStringLiteral("Cluster"))) {
            c->pack();
            m_meter.setTotal(c->recCount());
            for (c->goTop(); !c->eof(); c->skip()) {
                m_meter.setPosition(c->recNo());
                c->put(QStringLiteral("ON"), false);
            }
            c->commit();
            ws().close(QStringLiteral("Cluster"));
        }
    }
    if (!stopHere(QStringLiteral("DplCfg")))                         // 9 (title unchanged)
        simpleStep(QString(), catalogue::dplCfg(), false);
    logBooks();                                                      // 10
    if (!stopHere(QStringLiteral("BandMap")))                        // 11
        simpleStep(QStringLiteral("Reorganizando Band Map"), catalogue::bandMap(), false, false);
    if (!stopHere(QStringLiteral("FrmQsl")))                         // 12
        simpleStep(QStringLiteral("Reorganizando Formatos QSL"), catalogue::frmQsl(), false, false);
    if (!stopHere(QStringLiteral("vhfdb")))                          // 13
        simpleStep(QStringLiteral("Reorganizando VHF callsing"), catalogue::vhfdb(), true);
    if (!stopHere(QStringLiteral("CfgSpot")) && ws().exists(QStringLiteral("CfgSpot"))) {   // 14
        bool withIota = true;
        if (WorkArea* c = openExclusive(QStringLiteral("CfgSpot"), QStringLiteral("CfgSpot"))) {
            withIota = c->fieldPos(QStringLiteral("STSIOTA")) >= 0;
            ws().close(QStringLiteral("CfgSpot"));
        }
        simpleStep(QStringLiteral("Reorganizando Cfg. cluster"), catalogue::cfgSpot(withIota), true);
    }
    if (!stopHere(QStringLiteral("DplCab")))                         // 15
        simpleStep(QStringLiteral("Reorganizando cab. diplomas"), catalogue::dplCab(), true);
    if (!stopHere(QStringLiteral("DplDet")))                         // 16
        simpleStep(QStringLiteral("Reorganizando diplomas"), catalogue::dplDet(), true);
    if (!stopHere(QStringLiteral("WCY")))                            // 17
        simpleStep(QStringLiteral("Reorganizando Wcy"), catalogue::wcy(), true);
    if (!stopHere(QStringLiteral("WWV")))
        simpleStep(QStringLiteral("Reorganizando WWV"), catalogue::wwv(), true);
    ws().closeAll();                                                 // 18

    if (m_cancelled) {
        m_left.removeDuplicates();
        ui::messages().alert(QStringLiteral("Reorganización interrumpida. Las tablas reorganizadas tienen sus índices "
                                            "completos; estas conservan los anteriores y se reorganizarán la próxima vez: ")
                             + m_left.join(QStringLiteral(", ")));
        return false;
    }
    return true;
}

} // namespace

bool REORGA(ui::Meter& meter)
{
    return Reorganisation(meter).run();
}

} // namespace store
