#include "spot_status.h"

#include "store/aliases.h"
#include "store/workspace.h"

#include <QDateTime>
#include <QFile>
#include <QHash>
#include <QVector>

#include <sys/stat.h>

namespace cluster {

namespace {

store::WorkArea* area(const QString& alias)
{
    store::Workspace& ws = store::Workspace::instance();
    if (store::WorkArea* a = ws.area(alias))
        return a;
    return nullptr;
}

// Puts a work area back on its order and record when it goes out of scope.
class KeepPlace {
public:
    explicit KeepPlace(store::WorkArea& a) : m_a(a), m_order(a.order()), m_rec(a.recNo()), m_eof(a.eof()) {}
    ~KeepPlace()
    {
        m_a.setOrder(m_order);
        if (m_eof || m_rec == 0)
            m_a.goBottom(), m_a.skip();
        else
            m_a.goTo(m_rec);
    }
private:
    store::WorkArea& m_a;
    int m_order;
    quint32 m_rec;
    bool m_eof;
};

QString letter(bool worked, bool unconfirmed)
{
    return !worked ? QStringLiteral("N") : unconfirmed ? QStringLiteral("T") : QStringLiteral("C");
}

// A file written less than this long ago may be written again within the
// same tick of the file system's clock.
constexpr qint64 kStillNs = 1000000000;

} // namespace

SpotStatus spotStatusByWalk(const QString& codEnt, const QString& band, const QString& mode)
{
    SpotStatus s;
    store::WorkArea* log = area(store::alias::kLog);
    if (!log) {
        s.ent = QStringLiteral("N");
        return s;
    }
    KeepPlace keep(*log);
    const QString e = codEnt.leftJustified(3, u' ', true);
    log->setOrder(QStringLiteral("CodEnt"));
    log->seek(store::Value::text(e), true);
    if (log->eof() || log->str(QStringLiteral("CODENT")) != e) {
        s.ent = QStringLiteral("N");
        return s;
    }
    store::ReadWalk walk(*log);
    const QString b = band.leftJustified(6, u' ', true), m = mode.leftJustified(6, u' ', true);
    bool unEnt = true, unBand = true, unMode = true, unBm = true;
    bool wBand = false, wMode = false, wBm = false;
    const int fBand = log->fieldPos(QStringLiteral("BAND")), fMode = log->fieldPos(QStringLiteral("MODE"));
    while (!log->eof() && log->str(QStringLiteral("CODENT")) == e && (unEnt || unBand || unMode || unBm)) {
        const bool sameBand = log->value(fBand).toString().leftJustified(6, u' ', true) == b;
        const bool sameMode = log->value(fMode).toString().leftJustified(6, u' ', true) == m;
        if (log->str(QStringLiteral("QSLRCVD")).startsWith(u'Y')) {
            unEnt = false;
            unBand = unBand && !sameBand;
            unMode = unMode && !sameMode;
            unBm = unBm && !(sameBand && sameMode);
        }
        wBand = wBand || sameBand;
        wMode = wMode || sameMode;
        wBm = wBm || (sameBand && sameMode);
        log->skip();
    }
    s.ent = unEnt ? QStringLiteral("T") : QStringLiteral("C");
    s.band = letter(wBand, unBand);
    s.mode = letter(wMode, unMode);
    s.bandMode = letter(wBm, unBm);
    return s;
}

QString iotaReference(const QString& comment)
{
    if (comment.isEmpty())
        return {};
    for (const char* cont : {"EU", "AS", "NA", "AF", "OC", "SA"}) {
        const qsizetype at = comment.indexOf(QLatin1String(cont));
        if (at < 0)
            continue;
        QString piece = comment.mid(at, 7);
        piece.remove(u'-');
        piece.remove(u' ');
        return piece.left(2) + u'-' + piece.mid(2, 5);
    }
    return {};
}

namespace {

// What a summary of the log answers with: for each entity the band, mode and
// confirmation of its QSOs (each combination once), for each IOTA reference
// whether a QSO of it is confirmed.
struct Combo {
    QString band, mode;     // as stored, six characters
    bool confirmed = false;
};

struct LogSummary {
    QString path;
    qint64 mtime = -1, size = -1;
    QHash<QString, QVector<Combo>> byEntity;   // entities asked for so far
    bool iotaRead = false;
    QHash<QString, bool> iotaConfirmed;
};

LogSummary& summary()
{
    static LogSummary s;
    return s;
}

// Modification time (ns) and size of a file; false when it cannot be read.
bool fileStamp(const QString& path, qint64* mtime, qint64* size)
{
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return false;
    *mtime = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    *size = qint64(st.st_size);
    return true;
}

// The summary of the log open as "Log" when it can stand for the log: its
// file had been still for a second (so any later write, from this program or
// another, gives the file a new time) and is unchanged since the summary
// began; a changed file empties it. Null when the file changed a moment ago:
// then the caller reads the log itself.
LogSummary* logSummary(store::WorkArea* log)
{
    const QString path = log->table().path();
    qint64 mtime = 0, size = 0;
    if (!fileStamp(path, &mtime, &size))
        return nullptr;
    LogSummary& s = summary();
    if (s.path == path && s.mtime == mtime && s.size == size)
        return &s;
    s = LogSummary();
    const qint64 now = QDateTime::currentMSecsSinceEpoch() * 1000000;
    if (now - mtime < kStillNs)
        return nullptr;
    s.path = path;
    s.mtime = mtime;
    s.size = size;
    return &s;
}

// Whether the summary still stands after a read of the log.
bool stillStands(const LogSummary& s)
{
    qint64 mtime = 0, size = 0;
    return fileStamp(s.path, &mtime, &size) && mtime == s.mtime && size == s.size;
}

// The band, mode and confirmation of the QSOs of one entity, each once, read
// through the "CodEnt" order; null when the log changed meanwhile.
const QVector<Combo>* entityCombos(LogSummary& s, store::WorkArea* log, const QString& e)
{
    if (const auto found = s.byEntity.constFind(e); found != s.byEntity.constEnd())
        return &*found;
    QVector<Combo> combos;
    {
        KeepPlace keep(*log);
        if (!log->setOrder(QStringLiteral("CodEnt")).isOk())
            return nullptr;
        const int fEnt = log->fieldPos(QStringLiteral("CODENT")), fBand = log->fieldPos(QStringLiteral("BAND")),
                  fMode = log->fieldPos(QStringLiteral("MODE")), fQsl = log->fieldPos(QStringLiteral("QSLRCVD"));
        store::ReadWalk walk(*log);
        for (log->seek(store::Value::text(e), true); !log->eof() && log->value(fEnt).toString().leftJustified(3, u' ', true) == e;
             log->skip()) {
            const bool confirmed = log->value(fQsl).toString().startsWith(u'Y');
            const QString band = log->value(fBand).toString().leftJustified(6, u' ', true);
            const QString mode = log->value(fMode).toString().leftJustified(6, u' ', true);
            bool seen = false;
            for (Combo& c : combos)
                if (c.band == band && c.mode == mode) {
                    c.confirmed = c.confirmed || confirmed;
                    seen = true;
                    break;
                }
            if (!seen)
                combos.append({band, mode, confirmed});
        }
    }
    if (!stillStands(s))
        return nullptr;
    return &*s.byEntity.insert(e, combos);
}

// Every IOTA reference of the log and whether a QSO of it is confirmed;
// null when the log changed meanwhile.
const QHash<QString, bool>* iotaRefs(LogSummary& s, store::WorkArea* log, int fIota)
{
    if (s.iotaRead)
        return &s.iotaConfirmed;
    {
        KeepPlace keep(*log);
        log->setOrder(0);
        const int fQsl = log->fieldPos(QStringLiteral("QSLRCVD"));
        store::ReadWalk walk(*log);
        for (log->goTop(); !log->eof(); log->skip()) {
            const QString iota = log->value(fIota).toString().trimmed();
            if (!iota.isEmpty())
                s.iotaConfirmed[iota] = s.iotaConfirmed.value(iota) || log->value(fQsl).toString().startsWith(u'Y');
        }
    }
    if (!stillStands(s)) {
        s.iotaConfirmed.clear();
        return nullptr;
    }
    s.iotaRead = true;
    return &s.iotaConfirmed;
}

} // namespace

SpotStatus SPOTACTSTS(const QString& codEnt, const QString& band, const QString& mode)
{
    store::WorkArea* log = area(store::alias::kLog);
    LogSummary* sum = log ? logSummary(log) : nullptr;
    const QVector<Combo>* found = sum ? entityCombos(*sum, log, codEnt.leftJustified(3, u' ', true)) : nullptr;
    if (!found)
        return spotStatusByWalk(codEnt, band, mode);
    SpotStatus s;
    if (found->isEmpty()) {
        s.ent = QStringLiteral("N");
        return s;
    }
    const QString b = band.leftJustified(6, u' ', true), m = mode.leftJustified(6, u' ', true);
    bool confirmed = false, wBand = false, wMode = false, wBm = false, cBand = false, cMode = false, cBm = false;
    for (const Combo& c : *found) {
        const bool sameBand = c.band == b, sameMode = c.mode == m;
        confirmed = confirmed || c.confirmed;
        wBand = wBand || sameBand;
        wMode = wMode || sameMode;
        wBm = wBm || (sameBand && sameMode);
        cBand = cBand || (sameBand && c.confirmed);
        cMode = cMode || (sameMode && c.confirmed);
        cBm = cBm || (sameBand && sameMode && c.confirmed);
    }
    s.ent = confirmed ? QStringLiteral("C") : QStringLiteral("T");
    s.band = letter(wBand, !cBand);
    s.mode = letter(wMode, !cMode);
    s.bandMode = letter(wBm, !cBm);
    return s;
}

QString CHKIOTA(const QString& comment)
{
    const QString ref = iotaReference(comment);
    if (ref.isEmpty())
        return {};
    store::WorkArea* iota = area(store::alias::kIota);
    if (!iota)
        return {};
    {
        KeepPlace keep(*iota);
        iota->setOrder(1);
        iota->seek(store::Value::text(ref));
        if (!iota->found() || iota->str(QStringLiteral("IOTA")).trimmed() != ref)
            return {};
    }
    store::WorkArea* log = area(store::alias::kLog);
    if (!log)
        return QStringLiteral("N");
    const int fIota = log->fieldPos(QStringLiteral("IOTA"));
    if (fIota < 0)
        return QStringLiteral("N");
    LogSummary* sum = logSummary(log);
    if (const QHash<QString, bool>* refs = sum ? iotaRefs(*sum, log, fIota) : nullptr) {
        const auto found = refs->constFind(ref);
        return found == refs->constEnd() ? QStringLiteral("N") : *found ? QStringLiteral("C") : QStringLiteral("T");
    }
    KeepPlace keep(*log);
    log->setOrder(0);
    QString result = QStringLiteral("N");
    store::ReadWalk walk(*log);
    for (log->goTop(); !log->eof(); log->skip()) {
        if (log->value(fIota).toString().trimmed() != ref)
            continue;
        if (log->str(QStringLiteral("QSLRCVD")).startsWith(u'Y'))
            return QStringLiteral("C");
        result = QStringLiteral("T");
    }
    return result;
}

} // namespace cluster
