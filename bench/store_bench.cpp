// Timings of the table engine against SQLite on a log-book table.
//
//     store_bench [records] [work-dir]
//
// Both engines get the same rows (fixed seed, generated before any timing) and
// the same work: appends one record at a time on a shared table, random seeks
// by call sign, a full scan in date/time order and a pack that rebuilds every
// index. The figures are printed; nothing here passes or fails on time.

#include "store/cdx_file.h"
#include "store/dbf_header.h"
#include "store/status.h"
#include "store/value.h"
#include "store/work_area.h"
#include "store/catalogue.h"
#include "store/workspace.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point t0)
{
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

[[noreturn]] void fail(const char* what, const QString& why)
{
    std::fprintf(stderr, "store_bench: %s: %s\n", what, qPrintable(why));
    std::exit(1);
}

void must(const store::Status& s, const char* what)
{
    if (!s)
        fail(what, s.text());
}

// ---------------------------------------------------------------- the table

// The log-book structure and the tags the reorganisation gives it.
const std::vector<store::FieldSpec>& logFields()
{
    static const std::vector<store::FieldSpec> f = store::catalogue::logTable(QStringLiteral("BENCH")).fields;
    return f;
}

const std::vector<store::TagSpec>& logTags()
{
    static const std::vector<store::TagSpec> t = [] {
        std::vector<store::TagSpec> out;
        for (const auto& tag : store::catalogue::logTable(QStringLiteral("BENCH")).tags)
            out.push_back(tag.tagSpec(true));
        return out;
    }();
    return t;
}

// ---------------------------------------------------------------- the rows

struct Row {
    QString call;
    QDate date;
    QString dtos;          // yyyyMMdd, the form SQLite stores
    QString timeOn, timeOff;
    QString band, mode;
    double freq = 0;
    QString rstSent, rstRcvd;
    QString codEnt;
    QString name, qth;
    QString dxcc, cqz, ituz, cont;
    QString qslSent, qslRcvd;
    int txPwr = 0;
    bool prnQsl = false;
    QString comment;
    QString notes;         // memo, on a few rows
    QString key;
};

class Rng {
public:
    explicit Rng(quint32 seed) : m_gen(seed) {}
    int below(int n) { return int(m_gen() % quint32(n)); }
    bool chance(int percent) { return below(100) < percent; }
    template <typename T, size_t N> const T& pick(const T (&a)[N]) { return a[below(int(N))]; }
private:
    std::mt19937 m_gen;
};

QString randomCall(Rng& rng)
{
    static const char* const prefixes[] = {"EA", "EA", "EA", "EB", "EC", "ED", "K", "W", "N", "AA",
                                           "DL", "DK", "F", "G", "M", "I", "IZ", "JA", "VK", "PY",
                                           "LU", "OH", "SM", "ON", "PA", "OE", "SP", "UA", "YO", "CT"};
    static const char* const areaPrefixes[] = {"DL", "F", "G", "EA8", "EA6", "CT3", "I", "ON"};
    QString base = QString::fromLatin1(rng.pick(prefixes));
    base += QChar(u'0' + rng.below(10));
    const int letters = 1 + rng.below(3);
    for (int i = 0; i < letters; ++i)
        base += QChar(u'A' + rng.below(26));
    const int form = rng.below(100);
    if (form < 4)
        return QString::fromLatin1(rng.pick(areaPrefixes)) + u'/' + base + u"/P"_s;
    if (form < 6)
        return QString::fromLatin1(rng.pick(areaPrefixes)) + u'/' + base;
    if (form < 8)
        return base + u"/M"_s;
    if (form < 9)
        return base + u"/QRP"_s;
    return base;
}

std::vector<Row> makeRows(int n, Rng& rng)
{
    struct BandInfo { const char* band; double lo, hi; };
    static const BandInfo bands[] = {
        {"160M", 1.810, 1.850}, {"80M", 3.500, 3.800}, {"40M", 7.000, 7.200}, {"30M", 10.100, 10.150},
        {"20M", 14.000, 14.350}, {"17M", 18.068, 18.168}, {"15M", 21.000, 21.450}, {"12M", 24.890, 24.990},
        {"10M", 28.000, 29.700}, {"6M", 50.000, 50.500}, {"2M", 144.000, 146.000}, {"70CM", 430.000, 440.000},
    };
    static const char* const modes[] = {"SSB", "SSB", "SSB", "CW", "CW", "FT8", "FT8", "FT4", "RTTY", "PSK31", "FM", "AM"};
    static const char* const names[] = {"Jose", "Manuel", "Antonio", "Carmen", "Pedro", "John", "Hans", "Pierre",
                                        "Giovanni", "Takeshi", "Ana", "Luis", "Maria", "Mike", "Peter", ""};
    static const char* const qths[] = {"Madrid", "Sevilla", "Valencia", "Bilbao", "Lugo", "Berlin", "Paris",
                                       "London", "Roma", "Tokyo", "Ohio", "Texas", "Lisboa", ""};
    static const char* const comments[] = {"", "", "", "", "Concurso", "Diploma DME", "QSL via bureau", "Buena senal",
                                           "QRM fuerte", "Expedicion"};
    static const char* const conts[] = {"EU", "EU", "EU", "NA", "SA", "AS", "OC", "AF"};

    const QDate first(2004, 1, 1);
    std::vector<Row> rows(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        Row& r = rows[size_t(i)];
        r.call = randomCall(rng);
        r.date = first.addDays(rng.below(20 * 365));
        r.dtos = r.date.toString(u"yyyyMMdd"_s);
        const int on = rng.below(24 * 60);
        const int off = (on + rng.below(6)) % (24 * 60);
        r.timeOn = QString::asprintf("%02d:%02d", on / 60, on % 60);
        r.timeOff = QString::asprintf("%02d:%02d", off / 60, off % 60);
        const BandInfo& b = rng.pick(bands);
        r.band = QString::fromLatin1(b.band);
        r.freq = b.lo + (b.hi - b.lo) * rng.below(1000) / 1000.0;
        r.freq = std::round(r.freq * 1000) / 1000;
        r.mode = QString::fromLatin1(rng.pick(modes));
        const bool phone = r.mode == u"SSB"_s || r.mode == u"FM"_s || r.mode == u"AM"_s;
        r.rstSent = phone ? u"59"_s : u"599"_s;
        r.rstRcvd = phone ? (rng.chance(80) ? u"59"_s : u"57"_s) : (rng.chance(80) ? u"599"_s : u"579"_s);
        r.codEnt = QString::asprintf("%03d", 1 + rng.below(500));
        r.name = QString::fromLatin1(rng.pick(names));
        r.qth = QString::fromLatin1(rng.pick(qths));
        r.dxcc = QString::asprintf("%03d", 1 + rng.below(340));
        r.cqz = QString::number(1 + rng.below(40));
        r.ituz = QString::number(1 + rng.below(75));
        r.cont = QString::fromLatin1(rng.pick(conts));
        r.qslSent = rng.chance(60) ? u"Y"_s : u"N"_s;
        r.qslRcvd = rng.chance(35) ? u"Y"_s : u"N"_s;
        r.txPwr = rng.chance(70) ? 100 : 5 + rng.below(400);
        r.prnQsl = rng.chance(5);
        r.comment = QString::fromLatin1(rng.pick(comments));
        if (rng.chance(2))
            r.notes = u"Contacto de prueba con "_s + r.call + u", operador muy amable; envia QSL directa."_s;
        r.key = QString::asprintf("%07d", i + 1);
    }
    return rows;
}

// ---------------------------------------------------------------- results

struct Figures {
    double appendsPerSec = 0;
    double seeksPerSec = 0;
    double scanPerSec = 0;
    double scanMs = 0;
    double deleteMs = 0;
    double packMs = 0;
    qint64 bytes = 0;
    qint64 checksum = 0;   // dates and call lengths read back: the same rows give the same sum
};

void line(const char* engine, const char* figure, double value, const char* unit)
{
    std::printf("%-7s %-34s %14.1f %s\n", engine, figure, value, unit);
    std::fflush(stdout);
}

qint64 fileSize(const QString& path)
{
    const QFileInfo fi(path);
    return fi.exists() ? fi.size() : 0;
}

// Picks the record numbers (1-based) to delete before packing.
std::vector<int> pickDeletions(int n, Rng& rng)
{
    std::vector<int> all(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        all[size_t(i)] = i + 1;
    const int count = std::max(1, n / 100);
    for (int i = 0; i < count; ++i)
        std::swap(all[size_t(i)], all[size_t(i + rng.below(n - i))]);
    all.resize(size_t(count));
    std::sort(all.begin(), all.end());
    return all;
}

// ---------------------------------------------------------------- the engine

// Untimed: every tag must hold exactly the keys its records give.
void verifyTags(store::WorkArea* a, const char* after)
{
    std::vector<QString> problems;
    must(a->table().verify(&problems), after);
    if (!problems.empty())
        fail(after, problems.front());
}

Figures runEngine(const QString& dir, const std::vector<Row>& rows, const std::vector<int>& seeks,
                  const std::vector<int>& deletions)
{
    using store::Value;
    Figures fig;
    const int n = int(rows.size());
    const char* E = "engine";

    store::Workspace ws;
    ws.setDataDir(dir);
    const QString table = u"LogBench"_s;
    must(ws.create(table, logFields()), "crear la tabla");
    {
        store::WorkArea* a = nullptr;
        must(ws.use(table, {.alias = u"Log"_s, .shared = false}, &a), "abrir en exclusiva");
        for (const store::TagSpec& t : logTags())
            must(a->createTag(t), t.name.constData());
        must(ws.close(u"Log"_s), "cerrar");
    }

    // ---- appends on the shared table
    store::WorkArea* a = nullptr;
    must(ws.use(table, {.alias = u"Log"_s, .shared = true}, &a), "abrir compartida");
    auto t0 = Clock::now();
    for (const Row& r : rows) {
        must(a->append(), "append");
        must(a->put(u"CALL"_s, r.call), "CALL");
        must(a->put(u"QSODATE"_s, r.date), "QSODATE");
        must(a->put(u"TIMEON"_s, r.timeOn), "TIMEON");
        must(a->put(u"TIMEOFF"_s, r.timeOff), "TIMEOFF");
        must(a->put(u"BAND"_s, r.band), "BAND");
        must(a->put(u"MODE"_s, r.mode), "MODE");
        must(a->put(u"FREQ"_s, r.freq), "FREQ");
        must(a->put(u"RSTSENT"_s, r.rstSent), "RSTSENT");
        must(a->put(u"RSTRCVD"_s, r.rstRcvd), "RSTRCVD");
        must(a->put(u"CODENT"_s, r.codEnt), "CODENT");
        must(a->put(u"NAME"_s, r.name), "NAME");
        must(a->put(u"QTH"_s, r.qth), "QTH");
        must(a->put(u"DXCC"_s, r.dxcc), "DXCC");
        must(a->put(u"CQZ"_s, r.cqz), "CQZ");
        must(a->put(u"ITUZ"_s, r.ituz), "ITUZ");
        must(a->put(u"CONT"_s, r.cont), "CONT");
        must(a->put(u"OPERATOR"_s, u"EA1XX"_s), "OPERATOR");
        must(a->put(u"QSLSENT"_s, r.qslSent), "QSLSENT");
        must(a->put(u"QSLRCVD"_s, r.qslRcvd), "QSLRCVD");
        must(a->put(u"TXPWR"_s, r.txPwr), "TXPWR");
        must(a->put(u"PRNQSL"_s, r.prnQsl), "PRNQSL");
        must(a->put(u"COMMENT"_s, r.comment), "COMMENT");
        if (!r.notes.isEmpty())
            must(a->put(u"NOTES"_s, r.notes), "NOTES");
        must(a->put(u"KEY"_s, r.key), "KEY");
        must(a->unlock(), "unlock");
    }
    double secs = secondsSince(t0);
    fig.appendsPerSec = n / secs;
    line(E, "append (shared, 1 record/lock)", secs * 1000, "ms");
    line(E, "append rate", fig.appendsPerSec, "appends/s");
    if (a->recCount() != quint32(n))
        fail("append", QStringLiteral("la tabla tiene %1 registros, se esperaban %2").arg(a->recCount()).arg(n));
    verifyTags(a, "append");
    fig.bytes = fileSize(dir + u"/LogBench.dbf"_s) + fileSize(dir + u"/LogBench.cdx"_s)
              + fileSize(dir + u"/LogBench.fpt"_s);

    // ---- seeks by call sign
    // Text keys match by prefix: the call padded to the field width finds that
    // call and not a longer one starting with it ("EA4AB" vs "EA4ABC").
    std::vector<QString> seekKeys;
    seekKeys.reserve(seeks.size());
    for (int i : seeks)
        seekKeys.push_back(rows[size_t(i)].call.toUpper().leftJustified(12));
    must(a->setOrder(u"Call"_s), "setOrder Call");
    qint64 check = 0;
    int misses = 0;
    t0 = Clock::now();
    for (const QString& k : seekKeys) {
        must(a->seek(Value::text(k), false), "seek");
        if (!a->found()) {
            ++misses;
            continue;
        }
        check += a->date(u"QSODATE"_s).toJulianDay();
    }
    secs = secondsSince(t0);
    fig.seeksPerSec = double(seekKeys.size()) / secs;
    line(E, "seek by call", secs * 1000, "ms");
    line(E, "seek rate", fig.seeksPerSec, "seeks/s");
    if (misses)
        fail("seek", QStringLiteral("%1 indicativos no encontrados").arg(misses));

    // ---- full scan in date/time order
    must(a->setOrder(u"QsoDateTimeOn"_s), "setOrder QsoDateTimeOn");
    int seen = 0;
    t0 = Clock::now();
    {
        store::ReadWalk walk(*a);   // a read-only walk, as reports and tallies make
        for (must(a->goTop(), "goTop"); !a->eof(); must(a->skip(), "skip")) {
            check += a->str(u"CALL"_s).trimmed().size();
            check += a->date(u"QSODATE"_s).toJulianDay();
            ++seen;
        }
    }
    secs = secondsSince(t0);
    fig.scanMs = secs * 1000;
    fig.scanPerSec = seen / secs;
    line(E, "scan in QsoDateTimeOn order", fig.scanMs, "ms");
    line(E, "scan rate", fig.scanPerSec, "records/s");
    if (seen != n)
        fail("scan", QStringLiteral("%1 registros recorridos, se esperaban %2").arg(seen).arg(n));

    // ---- delete 1 %, then pack and rebuild every tag
    must(ws.close(u"Log"_s), "cerrar");
    must(ws.use(table, {.alias = u"Log"_s, .shared = false}, &a), "abrir en exclusiva");
    t0 = Clock::now();
    for (int rec : deletions) {
        must(a->goTo(quint32(rec)), "goTo");
        must(a->deleteRecord(), "delete");
    }
    secs = secondsSince(t0);
    fig.deleteMs = secs * 1000;
    line(E, "delete 1% (not part of pack)", fig.deleteMs, "ms");
    t0 = Clock::now();
    must(a->pack(), "pack");
    secs = secondsSince(t0);
    fig.packMs = secs * 1000;
    line(E, "pack + rebuild 7 tags", fig.packMs, "ms");
    const int left = n - int(deletions.size());
    if (a->recCount() != quint32(left))
        fail("pack", QStringLiteral("quedan %1 registros, se esperaban %2").arg(a->recCount()).arg(left));
    must(a->setOrder(u"QsoDateTimeOn"_s), "setOrder QsoDateTimeOn");
    seen = 0;
    for (must(a->goTop(), "goTop"); !a->eof(); must(a->skip(), "skip"))
        ++seen;
    if (seen != left)
        fail("pack", QStringLiteral("el orden QsoDateTimeOn tiene %1 registros, se esperaban %2").arg(seen).arg(left));
    verifyTags(a, "pack");
    must(ws.close(u"Log"_s), "cerrar");
    fig.checksum = check;
    return fig;
}

// ---------------------------------------------------------------- SQLite

class Db {
public:
    explicit Db(const QString& path)
    {
        if (sqlite3_open(path.toUtf8().constData(), &m_db) != SQLITE_OK)
            fail("sqlite3_open", QString::fromUtf8(sqlite3_errmsg(m_db)));
    }
    ~Db() { sqlite3_close(m_db); }
    sqlite3* handle() const { return m_db; }

    void exec(const std::string& sql)
    {
        char* err = nullptr;
        if (sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
            const QString msg = QString::fromUtf8(err ? err : "?");
            sqlite3_free(err);
            fail(sql.c_str(), msg);
        }
    }
    sqlite3_stmt* prepare(const std::string& sql)
    {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v3(m_db, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &st, nullptr) != SQLITE_OK)
            fail(sql.c_str(), QString::fromUtf8(sqlite3_errmsg(m_db)));
        return st;
    }
    void done(sqlite3_stmt* st, int rc, const char* what)
    {
        if (rc != SQLITE_DONE && rc != SQLITE_ROW)
            fail(what, QString::fromUtf8(sqlite3_errmsg(m_db)));
        sqlite3_reset(st);
    }

private:
    sqlite3* m_db = nullptr;
};

struct StmtDeleter { void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); } };
using Stmt = std::unique_ptr<sqlite3_stmt, StmtDeleter>;

void bindText(sqlite3_stmt* st, int i, const QString& s)
{
    sqlite3_bind_text16(st, i, s.utf16(), int(s.size() * 2), SQLITE_STATIC);
}

QDate dateFromText(const unsigned char* p)
{
    if (!p)
        return {};
    int v[8];
    for (int i = 0; i < 8; ++i) {
        if (p[i] < '0' || p[i] > '9')
            return {};
        v[i] = p[i] - '0';
    }
    return QDate(v[0] * 1000 + v[1] * 100 + v[2] * 10 + v[3], v[4] * 10 + v[5], v[6] * 10 + v[7]);
}

std::string createTableSql()
{
    std::string sql = "CREATE TABLE log (";
    bool firstCol = true;
    for (const store::FieldSpec& f : logFields()) {
        if (!firstCol)
            sql += ", ";
        firstCol = false;
        sql += QByteArray(f.name).toLower().toStdString();
        switch (f.type) {
        case 'N': sql += f.dec > 0 ? " REAL NOT NULL DEFAULT 0" : " INTEGER NOT NULL DEFAULT 0"; break;
        case 'L': sql += " INTEGER NOT NULL DEFAULT 0"; break;
        default: sql += " TEXT NOT NULL DEFAULT ''"; break;     // C, M, and D as yyyymmdd
        }
    }
    return sql + ")";
}

Figures runSqlite(const QString& dir, const std::vector<Row>& rows, const std::vector<int>& seeks,
                  const std::vector<int>& deletions)
{
    Figures fig;
    const int n = int(rows.size());
    const char* S = "sqlite";
    const QString path = dir + u"/bench.sqlite"_s;
    for (const char* ext : {"", "-wal", "-shm"})
        QFile::remove(path + QString::fromLatin1(ext));

    Db db(path);
    db.exec("PRAGMA journal_mode=WAL");
    db.exec("PRAGMA synchronous=NORMAL");
    db.exec(createTableSql());
    db.exec("CREATE INDEX ix_qsodatetimeon ON log(qsodate, timeon)");
    db.exec("CREATE INDEX ix_call ON log(upper(call), qsodate)");
    db.exec("CREATE INDEX ix_codent ON log(codent, qsodate)");
    db.exec("CREATE INDEX ix_band ON log(band, qsodate)");
    db.exec("CREATE INDEX ix_mode ON log(mode, qsodate)");
    db.exec("CREATE INDEX ix_custom ON log(qsodate, timeon)");
    db.exec("CREATE INDEX ix_prnqsl ON log(codent, upper(call), qsodate, timeon) WHERE prnqsl = 1");

    // ---- appends, one transaction each
    Stmt begin(db.prepare("BEGIN"));
    Stmt commit(db.prepare("COMMIT"));
    Stmt insert(db.prepare(
        "INSERT INTO log (call, qsodate, timeon, timeoff, band, mode, freq, rstsent, rstrcvd, codent, name, qth,"
        " dxcc, cqz, ituz, cont, operator, qslsent, qslrcvd, txpwr, prnqsl, comment, notes, key)"
        " VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17, ?18, ?19, ?20,"
        " ?21, ?22, ?23, ?24)"));
    const QString op = u"EA1XX"_s;
    auto t0 = Clock::now();
    for (const Row& r : rows) {
        db.done(begin.get(), sqlite3_step(begin.get()), "BEGIN");
        sqlite3_stmt* st = insert.get();
        bindText(st, 1, r.call);
        bindText(st, 2, r.dtos);
        bindText(st, 3, r.timeOn);
        bindText(st, 4, r.timeOff);
        bindText(st, 5, r.band);
        bindText(st, 6, r.mode);
        sqlite3_bind_double(st, 7, r.freq);
        bindText(st, 8, r.rstSent);
        bindText(st, 9, r.rstRcvd);
        bindText(st, 10, r.codEnt);
        bindText(st, 11, r.name);
        bindText(st, 12, r.qth);
        bindText(st, 13, r.dxcc);
        bindText(st, 14, r.cqz);
        bindText(st, 15, r.ituz);
        bindText(st, 16, r.cont);
        bindText(st, 17, op);
        bindText(st, 18, r.qslSent);
        bindText(st, 19, r.qslRcvd);
        sqlite3_bind_int(st, 20, r.txPwr);
        sqlite3_bind_int(st, 21, r.prnQsl ? 1 : 0);
        bindText(st, 22, r.comment);
        bindText(st, 23, r.notes);
        bindText(st, 24, r.key);
        db.done(st, sqlite3_step(st), "INSERT");
        db.done(commit.get(), sqlite3_step(commit.get()), "COMMIT");
    }
    double secs = secondsSince(t0);
    fig.appendsPerSec = n / secs;
    line(S, "append (1 row/transaction)", secs * 1000, "ms");
    line(S, "append rate", fig.appendsPerSec, "appends/s");
    fig.bytes = fileSize(path) + fileSize(path + u"-wal"_s);

    // ---- seeks by call sign
    std::vector<QString> seekKeys;
    seekKeys.reserve(seeks.size());
    for (int i : seeks)
        seekKeys.push_back(rows[size_t(i)].call.toUpper());
    Stmt seek(db.prepare("SELECT qsodate FROM log WHERE upper(call) = ?1 ORDER BY qsodate LIMIT 1"));
    qint64 check = 0;
    int misses = 0;
    t0 = Clock::now();
    for (const QString& k : seekKeys) {
        sqlite3_stmt* st = seek.get();
        bindText(st, 1, k);
        const int rc = sqlite3_step(st);
        if (rc == SQLITE_ROW)
            check += dateFromText(sqlite3_column_text(st, 0)).toJulianDay();
        else
            ++misses;
        db.done(st, rc, "SELECT");
    }
    secs = secondsSince(t0);
    fig.seeksPerSec = double(seekKeys.size()) / secs;
    line(S, "seek by call", secs * 1000, "ms");
    line(S, "seek rate", fig.seeksPerSec, "seeks/s");
    if (misses)
        fail("sqlite seek", QStringLiteral("%1 indicativos no encontrados").arg(misses));

    // ---- full scan in date/time order
    Stmt scan(db.prepare("SELECT call, qsodate FROM log ORDER BY qsodate, timeon"));
    int seen = 0;
    t0 = Clock::now();
    {
        sqlite3_stmt* st = scan.get();
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            const auto* call = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
            check += QString::fromUtf8(call, sqlite3_column_bytes(st, 0)).size();
            check += dateFromText(sqlite3_column_text(st, 1)).toJulianDay();
            ++seen;
        }
        db.done(st, rc, "SELECT scan");
    }
    secs = secondsSince(t0);
    fig.scanMs = secs * 1000;
    fig.scanPerSec = seen / secs;
    line(S, "scan ORDER BY qsodate, timeon", fig.scanMs, "ms");
    line(S, "scan rate", fig.scanPerSec, "records/s");
    if (seen != n)
        fail("sqlite scan", QStringLiteral("%1 filas recorridas, se esperaban %2").arg(seen).arg(n));

    // ---- delete the same 1 %, then VACUUM + REINDEX
    Stmt del(db.prepare("DELETE FROM log WHERE rowid = ?1"));
    t0 = Clock::now();
    db.exec("BEGIN");
    for (int rec : deletions) {
        sqlite3_bind_int(del.get(), 1, rec);
        db.done(del.get(), sqlite3_step(del.get()), "DELETE");
        if (sqlite3_changes(db.handle()) != 1)
            fail("sqlite delete", QStringLiteral("no existe la fila %1").arg(rec));
    }
    db.exec("COMMIT");
    secs = secondsSince(t0);
    fig.deleteMs = secs * 1000;
    line(S, "delete 1% (not part of pack)", fig.deleteMs, "ms");
    // statements must be finished for VACUUM
    begin.reset();
    commit.reset();
    insert.reset();
    seek.reset();
    scan.reset();
    del.reset();
    t0 = Clock::now();
    db.exec("VACUUM");
    db.exec("REINDEX");
    secs = secondsSince(t0);
    fig.packMs = secs * 1000;
    line(S, "VACUUM + REINDEX", fig.packMs, "ms");
    {
        Stmt count(db.prepare("SELECT count(*) FROM log"));
        sqlite3_step(count.get());
        const int left = sqlite3_column_int(count.get(), 0);
        if (left != n - int(deletions.size()))
            fail("sqlite vacuum", QStringLiteral("quedan %1 filas").arg(left));
    }
    fig.checksum = check;
    return fig;
}

void tableRow(const char* figure, double engine, double sqlite, bool higherIsBetter, const char* unit)
{
    const double ratio = higherIsBetter ? engine / sqlite : sqlite / engine;
    std::printf("%-22s %14.1f %14.1f %8.2f   %s\n", figure, engine, sqlite, ratio, unit);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    int n = 100000;
    if (argc > 1) {
        n = std::atoi(argv[1]);
        if (n < 100) {
            std::fprintf(stderr, "usage: store_bench [records >= 100] [work-dir]\n");
            return 2;
        }
    }
    QTemporaryDir tmp;
    QString dir;
    if (argc > 2) {
        dir = QDir(QString::fromLocal8Bit(argv[2])).absolutePath();
        if (!QDir().mkpath(dir))
            fail("work dir", dir);
    } else {
        if (!tmp.isValid())
            fail("QTemporaryDir", tmp.errorString());
        dir = tmp.path();
    }

    std::printf("store_bench: %d records, 57 fields, 7 tags/indexes; work dir %s; SQLite %s\n", n,
                qPrintable(QDir::toNativeSeparators(dir)), sqlite3_libversion());

    Rng rng(20240521);
    const std::vector<Row> rows = makeRows(n, rng);
    std::vector<int> seeks(static_cast<size_t>(n));
    for (int& s : seeks)
        s = rng.below(n);
    const std::vector<int> deletions = pickDeletions(n, rng);

    const Figures e = runEngine(dir, rows, seeks, deletions);
    const Figures s = runSqlite(dir, rows, seeks, deletions);

    std::printf("\n%-22s %14s %14s %8s\n", "figure", "engine", "sqlite", "ratio");
    tableRow("append", e.appendsPerSec, s.appendsPerSec, true, "appends/s");
    tableRow("seek by call", e.seeksPerSec, s.seeksPerSec, true, "seeks/s");
    tableRow("ordered scan", e.scanPerSec, s.scanPerSec, true, "records/s");
    tableRow("ordered scan time", e.scanMs, s.scanMs, false, "ms");
    tableRow("delete 1%", e.deleteMs, s.deleteMs, false, "ms");
    tableRow("pack + rebuild", e.packMs, s.packMs, false, "ms");
    std::printf("%-22s %14.1f %14.1f %8.2f   MiB after appends\n", "size on disk", e.bytes / 1048576.0,
                s.bytes / 1048576.0, double(s.bytes) / double(e.bytes));
    std::printf("(ratio > 1: the engine is faster, or smaller)\n");
    std::printf("values read back: %s\n", e.checksum == s.checksum ? "identical" : "DIFFERENT");
    return 0;
}
