#include "spot_feed.h"

#include "cluster_lines.h"
#include "spot_rules.h"
#include "telnet.h"

#include "geo/distance.h"
#include "refdata/bands.h"
#include "refdata/formatting.h"
#include "refdata/resolve.h"
#include "refdata/speech.h"
#include "store/aliases.h"
#include "store/workspace.h"
#include "core/messages.h"

#include <QDateTime>
#include <QFile>
#include <QHash>
#include <QTime>

#include <memory>

namespace cluster {

namespace {

store::Workspace& ws()
{
    return store::Workspace::instance();
}

// Opens a table shared in a new work area without changing the current one.
store::WorkArea* openKeepingCurrent(const QString& file, const QString& alias)
{
    store::WorkArea* was = ws().current();
    const QString wasAlias = was ? was->alias() : QString();
    store::WorkArea* a = nullptr;
    const bool ok = ws().use(file, {.alias = alias}, &a).isOk();
    if (!wasAlias.isEmpty())
        ws().select(wasAlias);
    return ok ? a : nullptr;
}

// The session's work area of a table, opened shared when it is not open yet
// and its file exists; null otherwise.
store::WorkArea* table(const QString& alias)
{
    if (store::WorkArea* a = ws().area(alias))
        return a;
    if (!ws().exists(alias))
        return nullptr;
    return openKeepingCurrent(alias, alias);
}

bool cfgFlag(const char* field)
{
    store::WorkArea* cfg = table(store::alias::kCfg);
    return cfg && !cfg->eof() && cfg->fieldPos(QLatin1String(field)) >= 0 && cfg->logical(QLatin1String(field));
}

QString cfgText(const char* field)
{
    store::WorkArea* cfg = table(store::alias::kCfg);
    return cfg && !cfg->eof() && cfg->fieldPos(QLatin1String(field)) >= 0 ? cfg->str(QLatin1String(field)).trimmed()
                                                                          : QString();
}

struct Filters {
    bool built = false;
    QHash<QString, bool> bands;         // upper-cased trimmed CODBAN -> CLUSIN
    QHash<QString, bool> modes;         // trimmed CODMOD -> CLUSIN
    QHash<QString, QString> modeWords;  // a word of a comment that names a mode -> its code
};

Filters& filters()
{
    static Filters f;
    return f;
}

// Walks a reference table from the top, keeping its position.
void walk(const QString& alias, const std::function<void(store::WorkArea&)>& each)
{
    store::WorkArea* a = table(alias);
    if (!a)
        return;
    const quint32 rec = a->recNo();
    const bool eof = a->eof();
    for (a->goTop(); !a->eof(); a->skip())
        each(*a);
    if (!eof && rec)
        a->goTo(rec);
}

// The traffic log of this run.
QFile& trafficLog()
{
    static QFile f;
    const QString path = ws().programDir() + QStringLiteral("logcluster.txt");
    if (f.fileName() != path || !f.isOpen()) {
        f.close();
        f.setFileName(path);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    }
    return f;
}

QString utcHourMinute()
{
    return QDateTime::currentDateTimeUtc().time().toString(QStringLiteral("HH:mm"));
}

// Appends a record to a table, writing it whole under the append lock.
bool addRecord(store::WorkArea* a, const std::function<void(store::WorkArea&)>& fill)
{
    if (!a)
        return false;
    const store::Status s = a->append([&](store::WorkArea& w) {
        fill(w);
        return store::Status();
    });
    a->unlock();
    return s.isOk();
}

// Position after the first line end (CR, or LF from servers that send no CR)
// at or after from; the end when there is none.
qsizetype afterLine(const QByteArray& b, qsizetype from)
{
    for (qsizetype i = from; i < b.size(); ++i)
        if (b[i] == '\r' || b[i] == '\n')
            return i + 1;
    return b.size();
}

// The spots table as the feed files into it: a work area of its own, in the
// duplicate order, so the lists over "spots" keep their order, scope and row.
store::WorkArea* filingArea()
{
    const QString alias = QStringLiteral("SpotsFeed");
    if (store::WorkArea* a = ws().area(alias))
        return a;
    if (!ws().exists(QStringLiteral("spots")))
        return nullptr;
    store::WorkArea* a = openKeepingCurrent(QStringLiteral("spots"), alias);
    if (!a)
        return nullptr;
    a->setOrder(QStringLiteral("TimCalOri"));
    return a;
}

} // namespace

void INIFILCLUS()
{
    Filters& f = filters();
    f = Filters();
    walk(store::alias::kBand, [&](store::WorkArea& a) {
        f.bands.insert(a.str(QStringLiteral("CODBAN")).trimmed().toUpper(), a.logical(QStringLiteral("CLUSIN")));
    });
    walk(store::alias::kModo, [&](store::WorkArea& a) {
        const QString code = a.str(QStringLiteral("CODMOD")).trimmed();
        const QString name = a.str(QStringLiteral("MODO")).trimmed();
        f.modes.insert(code, a.logical(QStringLiteral("CLUSIN")));
        // a comment's words are compared upper-cased: codes, and names written in capitals
        if (!code.isEmpty() && !f.modeWords.contains(code.toUpper()))
            f.modeWords.insert(code.toUpper(), code);
        if (!name.isEmpty() && name == name.toUpper() && !f.modeWords.contains(name))
            f.modeWords.insert(name, code);
    });
    f.built = true;
}

Refresh refreshAfter(const ChunkResult& r)
{
    return r.lastSpotAccepted ? Refresh::Spots
           : r.announcements  ? Refresh::Announcements
           : r.wwv            ? Refresh::Wwv
           : r.wcy            ? Refresh::Wcy
                              : Refresh::None;
}

void SPOTFIL(const QString& band)
{
    store::WorkArea* spots = table(store::alias::kSpots);
    if (!spots)
        return;
    if (band.trimmed().compare(QLatin1String("ALL"), Qt::CaseInsensitive) == 0) {
        spots->clearScope();
        spots->setOrder(0);
    } else {
        spots->setOrder(QStringLiteral("Band"));
        const store::Value key = store::Value::text(band.trimmed().leftJustified(6, u' ', true));
        spots->setScope(key, key);
    }
    spots->goBottom();
}

SpotFeed::SpotFeed(QObject* parent) : QObject(parent) {}

void SpotFeed::attach(TTelnet* t)
{
    // A line cut between two reads is kept until its end arrives, so a spot
    // split by the network is filed whole; the piece kept is bounded like a
    // terminal row.
    auto carry = std::make_shared<QByteArray>();
    t->bRead = [this, carry](TTelnet& c, const QByteArray& chunk) {
        QByteArray b = *carry + chunk;
        qsizetype end = b.size();
        while (end > 0 && b[end - 1] != '\r' && b[end - 1] != '\n')
            --end;
        if (b.size() - end >= TTelnet::kMaxRow)
            end = b.size();
        *carry = b.mid(end);
        if (end > 0)
            CRTSPOT(b.left(end), c.cUserName);
    };
}

ChunkResult SpotFeed::CRTSPOT(const QByteArray& chunk, const QString& stationCall)
{
    ChunkResult r;
    QFile& log = trafficLog();
    if (!filters().built)
        INIFILCLUS();
    QByteArray b = chunk;
    if (b.size() > 1 && !b.contains("DX de") && log.isOpen()) {
        log.write(b + '\r');
        log.flush();
    }
    const QByteArray station = stationCall.trimmed().toLatin1();
    while (b.size() > 1) {
        if (const qsizetype p = b.indexOf("DX de"); p >= 0) {
            const qsizetype e = afterLine(b, p);
            QByteArray s = b.mid(p, e - p);
            while (s.endsWith('\r') || s.endsWith('\n'))
                s.chop(1);
            spot(s, &r);
            b = b.mid(e);
        } else if (!station.isEmpty() && b.contains(station + " de")) {
            const qsizetype at = b.indexOf(station + " de");
            Announcement a;
            if (parseTalk(b, station, &a)) {
                emit talkReceived(QStringLiteral("talk recibido") + a.call + u':' + a.text);
                ui::messages().info(QStringLiteral("talk recibido") + a.call + u':' + a.text);
                if (addRecord(table(store::alias::kAnn), [&](store::WorkArea& w) {
                        w.put(QStringLiteral("CALL"), a.call);
                        w.put(QStringLiteral("ANN"), a.text);
                        w.put(QStringLiteral("TIME"), QTime::currentTime().toString(QStringLiteral("HH:mm")));
                        w.put(QStringLiteral("TALK"), true);
                    })) {
                    ++r.announcements;
                    ++r.talks;
                    emit announcementFiled(a.call, a.text, true);
                }
            }
            b = b.mid(afterLine(b, at));
        } else if (b.contains("To ALL de")) {
            const qsizetype at = b.indexOf("To ALL de");
            Announcement a;
            if (parseAnnouncement(b, &a) && addRecord(table(store::alias::kAnn), [&](store::WorkArea& w) {
                    w.put(QStringLiteral("CALL"), a.call);
                    w.put(QStringLiteral("ANN"), a.text);
                    w.put(QStringLiteral("TIME"), utcHourMinute());
                    w.put(QStringLiteral("TALK"), false);
                })) {
                ++r.announcements;
                emit announcementFiled(a.call, a.text, false);
            }
            b = b.mid(afterLine(b, at));
        } else if (b.contains("WWV")) {
            WwvBulletin w;
            if (parseWwv(b, &w) && addRecord(table(store::alias::kWwv), [&](store::WorkArea& a) {
                    a.put(QStringLiteral("TIME"), utcHourMinute());
                    a.put(QStringLiteral("DATE"), QDateTime::currentDateTimeUtc().date());
                    a.put(QStringLiteral("CALL"), w.call);
                    a.put(QStringLiteral("SFI"), w.sfi);
                    a.put(QStringLiteral("A"), w.a);
                    a.put(QStringLiteral("K"), w.k);
                    a.put(QStringLiteral("FORECAST"), w.forecast);
                })) {
                ++r.wwv;
                emit wwvFiled();
            }
            b.clear();
        } else if (b.contains("WCY")) {
            WcyBulletin w;
            if (parseWcy(b, &w) && addRecord(table(store::alias::kWcy), [&](store::WorkArea& a) {
                    a.put(QStringLiteral("CALL"), w.call);
                    a.put(QStringLiteral("DATE"), QDateTime::currentDateTimeUtc().date());
                    a.put(QStringLiteral("TIME"), utcHourMinute());
                    a.put(QStringLiteral("SFI"), w.sfi);
                    a.put(QStringLiteral("A"), w.a);
                    a.put(QStringLiteral("K"), w.k);
                    a.put(QStringLiteral("EK"), w.ek);
                    a.put(QStringLiteral("R"), w.r);
                    a.put(QStringLiteral("SA"), w.sa);
                    a.put(QStringLiteral("GMF"), w.gmf);
                    a.put(QStringLiteral("AURORA"), w.aurora);
                })) {
                ++r.wcy;
                emit wcyFiled();
            }
            b.clear();
        } else {
            b.clear();
        }
    }
    return r;
}

bool SpotFeed::spot(const QByteArray& line, ChunkResult* r)
{
    SpotLine sl;
    if (!parseSpotLine(line, &sl)) {
        r->lastSpotAccepted = false;
        return false;
    }
    store::WorkArea* spots = filingArea();
    if (!spots)
        return false;
    spots->setOrder(QStringLiteral("TimCalOri"));
    const QString key = sl.time + sl.call.leftJustified(12, u' ', true) + sl.spotter.leftJustified(12, u' ', true);
    spots->seek(store::Value::text(key));
    if (spots->found())
        return false;   // a duplicate leaves the chunk's flag as it was

    const Filters& f = filters();
    const double mhz = sl.kHz / 1000.0;
    QString mode;
    for (const QString& word : sl.comment.toUpper().split(u' ', Qt::SkipEmptyParts)) {
        if (const auto m = f.modeWords.constFind(word); m != f.modeWords.constEnd()) {
            mode = *m;
            break;
        }
    }
    QString band;
    if (!mode.isEmpty()) {
        band = refdata::BAND(mhz);
    } else if (refdata::BANDMODE(mhz)) {
        store::WorkArea* bm = ws().area(store::alias::kBandMap);
        mode = bm->str(QStringLiteral("MODE")).trimmed();
        band = bm->str(QStringLiteral("BAND")).trimmed();
    } else {
        mode = QStringLiteral("???");
        band = refdata::BAND(mhz);
    }
    const bool accepted = f.bands.value(band.trimmed().toUpper(), false) && f.modes.value(mode.trimmed(), true);
    r->lastSpotAccepted = accepted;
    if (!accepted)
        return false;
    if (cfgFlag("CLSVOICE"))
        refdata::PROVASAPI(ALPHA(sl.call));

    FiledSpot fs;
    fs.call = sl.call;
    fs.band = band;
    fs.mode = mode;
    fs.comment = sl.comment;
    fs.time = sl.time;
    fs.spotter = sl.spotter;
    fs.locator = sl.locator;
    fs.kHz = sl.kHz;
    fs.codEnt = refdata::DXCC(sl.call, QDateTime::currentDateTimeUtc().date());
    if (!fs.codEnt.isEmpty() && fs.codEnt != QLatin1String("  0"))
        if (store::WorkArea* ent = ws().area(store::alias::kEnt); ent && !ent->eof())
            fs.entityLocator = ent->str(QStringLiteral("QRA")).trimmed();
    // bearing and distance need both ends: a zero would read as a real bearing
    const QString home = cfgText("QRA");
    if (!home.isEmpty() && !fs.entityLocator.isEmpty()) {
        fs.qtf = QString::number(geo::RUMBO(home, fs.entityLocator)).rightJustified(3);
        fs.qrb = refdata::COMAS(geo::DIST(home, fs.entityLocator), 6, 0);
    }
    fs.status = SPOTACTSTS(fs.codEnt, band, mode);
    if (cfgFlag("CIOTAACT")) {
        const QString iota = CHKIOTA(sl.comment.toUpper());
        fs.status.iota = iota.isEmpty() ? QStringLiteral(" ") : iota;
    }
    const bool filed = addRecord(spots, [&](store::WorkArea& a) {
        a.put(QStringLiteral("ORIGEN"), fs.spotter);
        a.put(QStringLiteral("FREQ"), fs.kHz / 1000.0);
        a.put(QStringLiteral("FREQ2"), fs.kHz);
        a.put(QStringLiteral("MODE"), fs.mode);
        a.put(QStringLiteral("BAND"), fs.band);
        a.put(QStringLiteral("CALL"), fs.call);
        a.put(QStringLiteral("COMENT"), fs.comment);
        a.put(QStringLiteral("TIME"), fs.time);
        a.put(QStringLiteral("CODENT"), fs.codEnt);
        a.put(QStringLiteral("SQR1"), fs.entityLocator);
        a.put(QStringLiteral("SQR2"), fs.locator);
        a.put(QStringLiteral("QTF"), fs.qtf);
        a.put(QStringLiteral("QRB"), fs.qrb);
        a.put(QStringLiteral("STSENT"), fs.status.ent);
        a.put(QStringLiteral("STSBAND"), fs.status.band);
        a.put(QStringLiteral("STSMODE"), fs.status.mode);
        a.put(QStringLiteral("STSBANDMOD"), fs.status.bandMode);
        a.put(QStringLiteral("STSIOTA"), fs.status.iota);
        fs.recNo = a.recNo();
    });
    if (!filed)
        return false;
    r->spots.append(fs);
    emit spotFiled(fs);
    return true;
}

} // namespace cluster
