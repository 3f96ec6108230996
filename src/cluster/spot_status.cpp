#include "spot_status.h"

#include "store/aliases.h"
#include "store/workspace.h"

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

} // namespace

SpotStatus SPOTACTSTS(const QString& codEnt, const QString& band, const QString& mode)
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
    KeepPlace keep(*log);
    log->setOrder(0);
    const int fIota = log->fieldPos(QStringLiteral("IOTA"));
    if (fIota < 0)
        return QStringLiteral("N");
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
