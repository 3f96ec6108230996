#include "reports/entity_reports.h"

#include "store/aliases.h"
#include "store/catalogue.h"
#include "store/work_area.h"
#include "store/workspace.h"

#include <QDate>
#include <QDir>

#include <algorithm>

namespace reports {

namespace {

const QString kReportAlias = QStringLiteral("InfWrk");

// A second, read-only work area on the table the session has open under
// `alias`; closed when it goes out of scope.
class SideArea {
public:
    SideArea(const QString& alias, const QString& as)
        : m_as(as)
    {
        store::Workspace& ws = store::Workspace::instance();
        store::WorkArea* src = ws.area(alias);
        if (!src)
            return;
        ws.close(as);
        store::WorkArea* current = ws.current();
        if (!ws.use(src->table().path(), {.alias = as, .shared = true, .readOnly = true}, &m_area).isOk())
            m_area = nullptr;
        else
            m_area->setOrder(QString::fromLatin1(src->orderName()));
        if (current)
            ws.select(current->alias());
    }
    ~SideArea()
    {
        if (m_area)
            store::Workspace::instance().close(m_as);
    }
    store::WorkArea* get() const { return m_area; }

private:
    QString m_as;
    store::WorkArea* m_area = nullptr;
};

// Creates the report table at `path` and opens it exclusively as InfWrk.
store::Status openReportTable(store::catalogue::TableDef def, const QString& path, store::WorkArea** out)
{
    store::Workspace& ws = store::Workspace::instance();
    ws.close(kReportAlias);
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (store::Status s = store::catalogue::create(def, path); !s.isOk())
        return s;
    return ws.use(path, {.alias = kReportAlias, .shared = false}, out);
}

QString trimmedUpper(const store::Value& v)
{
    return QString::fromLatin1(v.bytes()).trimmed().toUpper();
}

} // namespace

QString reportTitle(EntityReport kind)
{
    return kind == EntityReport::WorkedNotConfirmed ? QStringLiteral("Informe Entidades trabajadas, no confirmadas")
                                                    : QStringLiteral("Informe Entidades no trabajadas");
}

store::Status CRTNOTCONF(store::WorkArea& ent, store::WorkArea& log, const BandModeChoice& choice, const QString& path)
{
    store::WorkArea* out = nullptr;
    if (store::Status s = openReportTable(store::catalogue::infWrkNotConf(), path, &out); !s.isOk())
        return s;
    const int pBand = log.fieldPos(QStringLiteral("BAND")), pMode = log.fieldPos(QStringLiteral("MODE"));
    const int pQsl = log.fieldPos(QStringLiteral("QSLRCVD"));
    store::ReadWalk hold(log);
    log.setOrder(QStringLiteral("CodEnt"));
    store::Status result;
    for (ent.goTop(); !ent.eof() && result.isOk(); ent.skip()) {
        const store::Value code = ent.value(QStringLiteral("CODENT"));
        log.setScope(code, code);
        std::vector<quint32> found;
        bool confirmed = false;
        for (log.goTop(); !log.eof(); log.skip()) {
            if (!choice.accepts(QString::fromLatin1(log.value(pBand).bytes()), QString::fromLatin1(log.value(pMode).bytes())))
                continue;
            if (log.value(pQsl).bytes().startsWith('Y')) {
                confirmed = true;
                break;
            }
            found.push_back(log.recNo());
        }
        if (confirmed || found.empty())
            continue;
        const store::Value name = ent.value(QStringLiteral("NOMBRE"));
        for (quint32 rec : found) {
            log.goTo(rec);
            if (result = out->append(); !result.isOk())
                break;
            out->put(QStringLiteral("CODENT"), code);
            out->put(QStringLiteral("ENTIDAD"), name);
            for (const char* f : {"QSODATE", "TIMEON", "CALL", "BAND", "MODE", "QSLSDATE", "NQSLTX", "QSLMODE"})
                out->put(QString::fromLatin1(f), log.value(QString::fromLatin1(f)));
            result = out->unlock();
        }
    }
    log.clearScope();
    store::Workspace::instance().close(kReportAlias);
    return result;
}

store::Status CRTNOTWRK(store::WorkArea& ent, store::WorkArea& log, const BandModeChoice& choice, bool includeDeleted,
                        const QString& path)
{
    struct Row {
        store::Value code, name;
        bool active;
    };
    std::vector<Row> rows;
    const int pBand = log.fieldPos(QStringLiteral("BAND")), pMode = log.fieldPos(QStringLiteral("MODE"));
    {
        store::ReadWalk hold(log);
        log.setOrder(QStringLiteral("CodEnt"));
        for (ent.goTop(); !ent.eof(); ent.skip()) {
            if (!ent.logical(QStringLiteral("LDXCC")))
                continue;
            const bool active = !ent.date(QStringLiteral("FBAJA")).isValid();
            if (!active && !includeDeleted)
                continue;
            const store::Value code = ent.value(QStringLiteral("CODENT"));
            log.setScope(code, code);
            bool worked = false;
            for (log.goTop(); !log.eof() && !worked; log.skip())
                worked = choice.accepts(QString::fromLatin1(log.value(pBand).bytes()),
                                        QString::fromLatin1(log.value(pMode).bytes()));
            if (!worked)
                rows.push_back({code, ent.value(QStringLiteral("NOMBRE")), active});
        }
        log.clearScope();
    }
    std::stable_sort(rows.begin(), rows.end(),
                     [](const Row& a, const Row& b) { return a.name.toString().trimmed() < b.name.toString().trimmed(); });

    store::WorkArea* out = nullptr;
    if (store::Status s = openReportTable(store::catalogue::infWrk(), path, &out); !s.isOk())
        return s;
    store::Status result;
    for (const Row& r : rows) {
        if (result = out->append(); !result.isOk())
            break;
        out->put(QStringLiteral("CODENT"), r.code);
        out->put(QStringLiteral("ENTIDAD"), r.name);
        out->put(QStringLiteral("LACTIVO"), r.active);
        if (result = out->unlock(); !result.isOk())
            break;
    }
    store::Workspace::instance().close(kReportAlias);
    return result;
}

std::optional<PreparedReport> prepareEntityReport(EntityReport kind, const BandModeChoice& choice, bool includeDeleted,
                                                  QString* error)
{
    auto fail = [&](const QString& why) -> std::optional<PreparedReport> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    store::Workspace& ws = store::Workspace::instance();
    SideArea log(store::alias::kLog, QStringLiteral("LogInf"));
    SideArea ent(store::alias::kEnt, QStringLiteral("EntInf"));
    if (!log.get())
        return fail(QStringLiteral("No hay ningún libro de guardia abierto."));
    if (!ent.get())
        return fail(QStringLiteral("No está abierta la tabla de entidades."));

    const store::catalogue::TableDef def = kind == EntityReport::WorkedNotConfirmed ? store::catalogue::infWrkNotConf()
                                                                                    : store::catalogue::infWrk();
    const QString path = store::catalogue::directoryOf(def, ws.programDir(), ws.dataDir()) + def.name + QStringLiteral(".dbf");
    const store::Status filled = kind == EntityReport::WorkedNotConfirmed
                                     ? CRTNOTCONF(*ent.get(), *log.get(), choice, path)
                                     : CRTNOTWRK(*ent.get(), *log.get(), choice, includeDeleted, path);
    PreparedReport r;
    r.title = reportTitle(kind);
    if (filled.isOk()) {
        store::WorkArea* table = nullptr;
        if (store::Status s = ws.use(path, {.alias = kReportAlias, .shared = false, .readOnly = true}, &table); s.isOk()) {
            r.rows.fields = qsl::fieldsOf(*table);
            for (table->goTop(); !table->eof(); table->skip())
                r.rows.rows.push_back(qsl::recordOf(*table, r.rows.fields));
            ws.close(kReportAlias);
        } else {
            ws.drop(path);
            return fail(s.message());
        }
    }
    ws.drop(path);
    if (!filled.isOk())
        return fail(QStringLiteral("No se pudo preparar el informe: %1").arg(filled.message()));

    const std::vector<store::FieldInfo> headingFields = {{"TITULO", 'C', 80, 0}, {"SELECCION", 'C', 120, 0}, {"FECHA", 'D', 8, 0}};
    r.heading = {store::Value::text(r.title), store::Value::text(choice.describe()), store::Value::date(QDate::currentDate())};
    QString why;
    const auto design = qsl::parseDesign(entityReportDesign(kind), &why);
    if (design)
        r.report = qsl::Report::compile(*design, r.rows.fields, headingFields, &why);
    if (!r.report)
        return fail(why);
    return r;
}

} // namespace reports
