#include "access.h"

#include "record_buffer.h"

#include "aliases.h"

#include "catalogue.h"
#include "codepage.h"
#include "os_error.h"
#include "record_codec.h"
#include "workspace.h"

#include "core/messages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <map>
#include <cstdio>
#include <set>

namespace store {

namespace {

Workspace& ws() { return Workspace::instance(); }

QString rightAligned(int n) { return QStringLiteral("%1").arg(n, 10); }

// "No pudo abrirse la tabla X" and, on the next line, why: what the system
// said in words, or what is wrong with the file.
QString openFailure(const QString& table, const Status& s)
{
    QString why = s.message();
    if (s.osError())
        why = osErrorText(s.osError()) + QStringLiteral(" (error %1)").arg(s.osError());
    else if (s.code() == StatusCode::NotFound && why.isEmpty())
        why = osErrorText(ENOENT);
    return QStringLiteral("No pudo abrirse la tabla ") + table + QStringLiteral("\r\n") + why;
}

// The shared retry pattern of appends and locks: at once, then every half
// second; with no time given, without limit and without asking.
bool retrying(int seconds, const QString& question, const QString& title, const std::function<Status()>& attempt)
{
    for (;;) {
        Status s = attempt();
        if (s)
            return true;
        if (s.code() != StatusCode::Busy) {
            ui::messages().stop(s.text(), title);
            return false;
        }
        if (seconds > 0) {
            bool ok = false;
            for (int left = seconds * 2; left > 0 && !ok; --left) {
                ui::messages().pause(500);
                s = attempt();
                ok = s.isOk();
                if (!s && s.code() != StatusCode::Busy) {
                    ui::messages().stop(s.text(), title);
                    return false;
                }
            }
            if (ok)
                return true;
            if (!ui::messages().ask(question, title, QStringLiteral("SI"), QStringLiteral("NO")))
                return false;
        } else {
            do {
                ui::messages().pause(500);
                s = attempt();
            } while (s.code() == StatusCode::Busy);
            if (s)
                return true;
            ui::messages().stop(s.text(), title);
            return false;
        }
    }
}

QString lockTitle()
{
    WorkArea* a = ws().current();
    return a ? a->alias() : QString();
}

// Keys already used in each log book, by table path; grown by reading only the
// records appended since the last look.
struct KnownKeys {
    quint32 scanned = 0;
    std::set<quint32> keys;
};
std::map<QString, KnownKeys>& knownKeys()
{
    static std::map<QString, KnownKeys> m;
    return m;
}

quint32 keyNumber(const QByteArray& text)
{
    bool ok = false;
    const quint32 n = text.trimmed().toUInt(&ok);
    return ok ? n : 0;
}

QString keyText(quint32 n)
{
    return QStringLiteral("%1").arg(n, 7, 10, QLatin1Char('0'));
}

bool recordKeyInScope(WorkArea* a, const QByteArray& scope)
{
    if (a->eof())
        return false;
    const Value k = a->orderKeyValue();
    return k.isChar() && k.bytes().startsWith(scope);
}

QByteArray scopeBytes(const Value& v)
{
    if (v.isChar())
        return v.bytes();
    return v.toString().toLatin1();
}

} // namespace

SessionHooks& hooks()
{
    static SessionHooks h;
    return h;
}

// ---------------------------------------------------------------- opening and locks

namespace {

bool g_readingOnly = false;
bool g_besideOthers = false;
QString g_lastOpenFailure;

// A table this process may only read: the file or its folder is not writable.
bool unwritable(const QString& file)
{
    const QString path = ws().tablePath(file);
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return !info.isWritable() || !QFileInfo(info.absolutePath()).isWritable();
}

} // namespace

void setReadingOnly(bool on) { g_readingOnly = on; }
void setOpeningBesideOthers(bool on) { g_besideOthers = on; }
bool readingOnly() { return g_readingOnly; }
const QString& lastOpenFailure() { return g_lastOpenFailure; }

bool NETUSE(const QString& file, bool shared, int seconds, const QString& alias, const QString& driver, bool readOnly)
{
    (void)driver;   // one driver: DBF with CDX and FPT
    const QString title = QStringLiteral("Tabla:") + file;
    if (g_readingOnly && !readOnly && unwritable(file))
        readOnly = true;
    for (;;) {
        int left = seconds;
        for (;;) {
            Status s = ws().use(file, {.alias = alias, .shared = shared, .readOnly = readOnly});
            if (s)
                return true;
            if (s.code() != StatusCode::Busy) {
                g_lastOpenFailure = openFailure(file, s).replace(QStringLiteral("\r\n"), QStringLiteral(": "));
                ui::messages().stop(openFailure(file, s));
                return false;
            }
            if (seconds > 0 && left <= 0)
                break;
            ui::messages().pause(1000);
            --left;
        }
        if (!ui::messages().yesNo(QStringLiteral("No pudo bloquearse \r¿Reintentar?"), title)) {
            g_lastOpenFailure = QStringLiteral("la tabla %1 está bloqueada por otro usuario").arg(file);
            return false;
        }
    }
}

namespace {
// One of the lock operations on the current work area, retried as the user decides.
bool onCurrentArea(int seconds, const QString& question, Status (WorkArea::*op)())
{
    WorkArea* a = ws().current();
    if (!a)
        return false;
    return retrying(seconds, question, lockTitle(), [a, op] { return (a->*op)(); });
}
} // namespace

bool ADDREC(int seconds)
{
    return onCurrentArea(seconds, QStringLiteral("No se pudo añadir el registro.;Fichero Bloqueado;¿Reintentar?"),
                         static_cast<Status (WorkArea::*)()>(&WorkArea::append));
}

bool RECLOCK(int seconds)
{
    return onCurrentArea(seconds, QStringLiteral("No se pudo bloquear el registro. ; ¿Reintentar?"),
                         static_cast<Status (WorkArea::*)()>(&WorkArea::lockRecord));
}

bool FILLOCK(int seconds)
{
    return onCurrentArea(seconds, QStringLiteral("No se pudo bloquear el registro.;¿Reintentar?"), &WorkArea::lockTable);
}

bool saveBuffer(RecordBuffer& buffer, bool append)
{
    if (append)
        return retrying(0, QStringLiteral("No se pudo añadir el registro.;Fichero Bloqueado;¿Reintentar?"), lockTitle(),
                        [&] { return buffer.save(true); });
    const Status s = buffer.save(false);
    if (s.code() == StatusCode::Busy)
        ui::messages().alert(QStringLiteral("Record in use"), QStringLiteral("Please, retry"));
    else if (!s)
        ui::messages().stop(s.text(), lockTitle());
    return s.isOk();
}

bool ADDQSO(QString* key, int seconds, const std::function<Status(WorkArea&)>& fill)
{
    WorkArea* a = ws().area(alias::kLog);
    if (!a)
        return false;
    ws().select(QStringLiteral("Log"));
    const int keyField = a->fieldPos(QStringLiteral("KEY"));
    if (keyField < 0)
        return retrying(seconds, QStringLiteral("No se pudo añadir el registro.;Fichero Bloqueado;¿Reintentar?"), lockTitle(),
                        [&] { return fill ? a->append(fill) : a->append(); });
    const DbfField field = a->field(keyField);
    const QString path = a->table().path();
    return retrying(seconds, QStringLiteral("No se pudo añadir el registro.;Fichero Bloqueado;¿Reintentar?"), lockTitle(),
                    [&] {
                        return a->append([&](WorkArea& w) -> Status {
                            // Under the append lock: learn the keys of the records added since the last look.
                            KnownKeys& known = knownKeys()[path];
                            TableFile& t = w.table();
                            const quint32 last = w.recNo() - 1;
                            if (known.scanned > last)
                                known = KnownKeys();
                            QByteArray rec(t.header().recordLen, ' ');
                            for (quint32 r = known.scanned + 1; r <= last; ++r) {
                                if (Status s = t.readRecord(r, rec.data()); !s)
                                    return s;
                                if (const quint32 k = keyNumber(QByteArray(rec.constData() + field.offset, field.len)))
                                    known.keys.insert(k);
                            }
                            known.scanned = last;
                            quint32 k = keyNumber(key->toLatin1());
                            if (k == 0)
                                k = 1;
                            while (known.keys.count(k))
                                ++k;
                            known.keys.insert(k);
                            known.scanned = w.recNo();     // this record holds k
                            *key = keyText(k);
                            if (Status s = w.put(keyField, Value::text(key->toLatin1())); !s)
                                return s;
                            return fill ? fill(w) : Status();
                        });
                    });
}

// ---------------------------------------------------------------- the session's tables

namespace {

// A table the session opens, with the table's file name as its alias.
struct SessionTable {
    const char* label;      // the progress box's text while it opens; null: the one before
    const QString& alias;
    bool optional = false;  // opened only when its file exists
    bool emptied = false;   // every session starts it empty
    bool step = true;       // the meter advances after it
    bool natural = false;   // read in record order
};

// The reference tables, before the log book.
const SessionTable kReferenceTables[] = {
    {"Bandas", alias::kBand},
    {"Modos", alias::kModo},
    {"Propagación", alias::kPropa},
    {"IOTA", alias::kIota},
    {"Provincias", alias::kPrv},
    {"Sub.Div provinciales", alias::kSubPrv},
    {"Entidades", alias::kEnt},
    {"Prefijos", alias::kPfx},
    {"Spots", alias::kSpots, false, true, true, true},
    {"Cluster", alias::kCluster},
};

// The rest, after the log book and its attachments.
const SessionTable kOtherTables[] = {
    {nullptr, alias::kDplCfg, false, false, false},
    {"Plan de Banda", alias::kBandMap},
    {"Formatos QSL", alias::kFrmQsl},
    {"VHF CallSing", alias::kVhfDb},
    {"Configuración Cluster", alias::kCfgSpot, true},
    {"Diplomas", alias::kDplCab, true, false, false},
    {nullptr, alias::kDplDet, true},
    {nullptr, alias::kKnow, true, false, false},
    {"WWV", alias::kWwv, true, false, false},
    {"WCY", alias::kWcy, true},
    {"Anuncios Cluster", alias::kAnn, true, true},
};

} // namespace

bool ABREDBF(ui::Meter* meter, QString* bookOut)
{
    int step = 0;
    int steps = 2;   // the log book, the attachments
    for (const SessionTable& t : kReferenceTables)
        steps += t.step ? 1 : 0;
    for (const SessionTable& t : kOtherTables)
        steps += t.step ? 1 : 0;
    auto show = [&](const QString& text) {
        if (!meter)
            return;
        meter->setTotal(steps);
        meter->setText(text);
    };
    auto advance = [&]() {
        if (meter)
            meter->setPosition(++step);
    };
    auto open = [&](const QString& file, const QString& alias, const QString& order = QString()) {
        if (!NETUSE(file, true, 1, alias))
            return false;
        if (!order.isEmpty())
            ws().area(alias)->setOrder(order);
        ws().area(alias)->goTop();
        return true;
    };
    auto emptied = [&](const QString& file, const QString& alias) {
        // A session that only reads leaves the tables as they are; beside
        // other programs, a table one of them has open keeps its records.
        auto alone = [&] {
            return g_besideOthers ? ws().use(file, {.alias = QStringLiteral("_empty"), .shared = false}).isOk()
                                  : NETUSE(file, false, 1, QStringLiteral("_empty"));
        };
        if (!g_readingOnly && alone()) {
            ws().area(QStringLiteral("_empty"))->zap();
            ws().close(QStringLiteral("_empty"));
        }
        return open(file, alias);
    };
    auto openAll = [&](const auto& tables) {
        for (const SessionTable& t : tables) {
            if (t.optional && !ws().exists(t.alias)) {
                if (t.step)
                    advance();
                continue;
            }
            if (t.label)
                show(QString::fromUtf8(t.label));
            const bool opened = t.emptied ? emptied(t.alias, t.alias) : open(t.alias, t.alias);
            if (opened && t.natural)
                ws().area(t.alias)->setOrder(0);
            if (t.step)
                advance();
        }
    };

    // 1. The log books. A table that cannot be opened (locked, unreadable,
    // damaged) has been reported: it is not the absence of a book.
    g_lastOpenFailure.clear();
    if (!open(QStringLiteral("Libros"), alias::kLibBrw) && ws().exists(QStringLiteral("Libros")))
        return false;
    WorkArea* books = ws().area(alias::kLibBrw);
    if (!books || books->recCount() == 0 || (books->goTop(), books->eof())) {
        ui::messages().stop(QStringLiteral("Debe definir un libro de guardia"));
        if (hooks().askForFirstBook)
            hooks().askForFirstBook();
        books = ws().area(alias::kLibBrw);
        if (!books || (books->goTop(), books->eof()))
            return false;
    }
    // 2. The active book: the first one marked, or else the first one, marked now.
    for (books->goTop(); !books->eof(); books->skip())
        if (books->logical(QStringLiteral("ACTIVO")))
            break;
    if (books->eof()) {
        books->goTop();
        ws().select(alias::kLibBrw);
        if (!books->readOnly() && RECLOCK()) {
            books->put(QStringLiteral("ACTIVO"), true);
            books->unlock();
        }
    }
    const QString book = books->str(QStringLiteral("NOMBRE")).trimmed();
    if (bookOut)
        *bookOut = book;

    // 3. Reference tables.
    openAll(kReferenceTables);

    // 4. The log book, four times.
    show(QStringLiteral("Libro de guardia"));
    if (!ws().area(alias::kLog)) {
        QString logBook = book;
        if (!open(QStringLiteral("Log") + logBook, alias::kLog)) {
            books->goTop();
            logBook = books->str(QStringLiteral("NOMBRE")).trimmed();
            open(QStringLiteral("Log") + logBook, alias::kLog);
        }
        if (WorkArea* log = ws().area(alias::kLog)) {
            // The custom tag starts every session empty.
            if (!log->readOnly() && log->setOrder(QStringLiteral("custom"))) {
                for (log->goTop(); !log->eof(); log->skip())
                    log->keyDel();
            }
            log->setOrder(1);
            log->goTop();
            open(QStringLiteral("Log") + logBook, alias::kLog2, QStringLiteral("call"));
            open(QStringLiteral("Log") + logBook, alias::kLogQsl, QStringLiteral("call"));
            open(QStringLiteral("Log") + logBook, alias::kLogSpool, QStringLiteral("PrnQsl"));
        }
    }
    advance();
    // 5. Attachments and award references.
    show(QStringLiteral("Ficheros adjuntos"));
    if (!ws().area(alias::kAttach)) {
        open(QStringLiteral("Attach") + book, alias::kAttach);
        open(QStringLiteral("Dpl") + book, alias::kDplLog);
    }
    advance();
    // 6. The rest.
    openAll(kOtherTables);
    return true;
}

// ---------------------------------------------------------------- scoped navigation

void TOPFIL(const QString& alias, const Value& scope)
{
    if (WorkArea* a = ws().area(alias))
        a->seek(Value::text(scopeBytes(scope)), true);
}

void BOTFIL(const QString& alias, const Value& scope)
{
    WorkArea* a = ws().area(alias);
    if (!a)
        return;
    a->seek(ULTIMA(Value::text(scopeBytes(scope))), true);
    a->skip(-1);
}

int SKIPFIL(const QString& alias, const Value& scope, int n)
{
    WorkArea* a = ws().area(alias);
    if (!a)
        return 0;
    const QByteArray s = scopeBytes(scope);
    if (n == 0 || a->recCount() == 0 || !recordKeyInScope(a, s)) {
        a->skip(0);
        return 0;
    }
    int moved = 0;
    if (n > 0) {
        if (a->eof())
            return 0;
        while (moved < n + 1 && !a->eof() && recordKeyInScope(a, s)) {
            a->skip(1);
            ++moved;
        }
        a->skip(-1);
        --moved;
        return moved;
    }
    while (moved >= n && !a->bof() && recordKeyInScope(a, s)) {
        a->skip(-1);
        --moved;
    }
    if (!a->bof())
        a->skip(1);
    ++moved;
    return moved;
}

Value ULTIMA(const Value& v)
{
    switch (v.type()) {
    case Value::Type::Char: {
        QByteArray b = v.bytes();
        if (!b.isEmpty())
            b.back() = char(uchar(b.back()) + 1);
        return Value::text(b);
    }
    case Value::Type::Number: return Value::number(v.toNumber() + 1);
    case Value::Type::Date: return Value::dateJd(v.julianDay() + 1);
    default: return v;
    }
}

bool VACIO(const Value& v)
{
    if (v.isChar()) {
        for (char c : v.bytes())
            if (c != ' ' && c != '0')
                return false;
        return true;
    }
    if (v.isNumber())
        return v.toNumber() == 0;
    return true;
}

bool NOVACIO(const Value& v, const QString& message)
{
    if (!v.isEmpty())
        return true;
    ui::messages().stop(message);
    return false;
}

QString KEYGEN()
{
    WorkArea* a = ws().area(alias::kLog);
    if (!a)
        return keyText(1);
    const quint32 rec = a->recNo();
    const bool eof = a->eof();
    const int order = a->order();
    a->setOrder(0);
    a->goBottom();
    const quint32 last = a->eof() ? 0 : keyNumber(a->value(QStringLiteral("KEY")).bytes());
    a->setOrder(order);
    if (eof)
        a->goTo(0);
    else
        a->goTo(rec);
    return keyText(last + 1);
}

// ---------------------------------------------------------------- whole tables

void DBDROP(const QString& path)
{
    ws().drop(path);
}

void DLTLOG(const QString& book, bool reopen)
{
    if (WorkArea* lib = ws().area(alias::kLibBrw)) {
        lib->deleteRecord();
        lib->unlock();
    }
    if (reopen) {
        if (hooks().closeWindowsForReopening)
            hooks().closeWindowsForReopening();
        ws().closeAll();
    }
    const QString dir = ws().dataDir();
    DBDROP(dir + QStringLiteral("log") + book);
    DBDROP(dir + QStringLiteral("Attach") + book);
    DBDROP(dir + QStringLiteral("dpl") + book);
    if (reopen && hooks().reopenSession)
        hooks().reopenSession();
}

bool CRTLOG(const QString& book, bool onlyTable)
{
    const QString dir = ws().dataDir();
    auto report = [](const Status& s) {
        ui::messages().stop(s.text());
        return false;
    };
    ws().close(QStringLiteral("Log"));
    const catalogue::TableDef log = catalogue::logTable(book);
    const QString logPath = dir + log.name + QStringLiteral(".dbf");
    if (Status s = TableFile::create(logPath, log.fields); !s)
        return report(s);
    if (onlyTable)
        return true;
    {
        // one blank record before the tags; the reorganisation removes it later
        Workspace w;
        WorkArea* a = nullptr;
        if (Status s = w.use(logPath, {.alias = QStringLiteral("Log"), .shared = false}, &a); !s)
            return report(s);
        if (Status s = a->append(); !s)
            return report(s);
        a->unlock();
        for (const auto& t : log.tags)
            if (Status s = a->createTag(t.tagSpec(false)); !s)
                return report(s);
    }
    ws().close(QStringLiteral("Attach"));
    ws().close(QStringLiteral("DplLog"));
    for (const catalogue::TableDef& t : {catalogue::attachTable(book), catalogue::dplLogTable(book)})
        if (Status s = catalogue::create(t, dir + t.name + QStringLiteral(".dbf")); !s)
            return report(s);
    return true;
}

Status carryRecords(const QString& fromFile, const QString& toFile)
{
    Workspace w;
    WorkArea* to = nullptr;
    WorkArea* from = nullptr;
    Status s = w.use(toFile, {.alias = QStringLiteral("_new"), .shared = false}, &to);
    if (s)
        s = w.use(fromFile, {.alias = QStringLiteral("_old"), .shared = false, .readOnly = true}, &from);
    if (!s)
        return s;
    std::vector<std::pair<int, int>> pairs;
    for (int i = 0; i < to->fieldCount(); ++i) {
        const int j = from->fieldPos(QString::fromLatin1(to->field(i).name));
        if (j >= 0)
            pairs.emplace_back(i, j);
    }
    from->setOrder(0);
    for (s = from->goTop(); s && !from->eof(); s = from->skip()) {
        if (!(s = to->append()))
            break;
        for (auto [i, j] : pairs) {
            const DbfField& tf = to->field(i);
            const DbfField& ff = from->field(j);
            if (tf.type == 'M' && ff.type == 'M') {
                bool binary = false;
                QByteArray data;
                if (!(s = from->readMemo(QString::fromLatin1(ff.name), &data, &binary)))
                    break;
                if (!(s = to->putMemo(QString::fromLatin1(tf.name), data, binary)))
                    break;
            } else if (tf.type == ff.type || (tf.type == 'M' && ff.type == 'C')) {
                // a number that no longer fits stays blank; anything else is an error
                const Status put = to->put(i, from->value(j));
                if (!put && !(tf.type == 'N' && ff.type == 'N')) {
                    s = put;
                    break;
                }
            }
        }
        const Status written = to->unlock();
        if (s)
            s = written;
        if (!s)
            break;
    }
    w.closeAll();
    return s;
}

bool CHGDBF(const QString& table)
{
    const QString dataDir = ws().dataDir();
    const QString progDir = ws().programDir();
    const QString fresh = findFileNoCase(progDir + table + QStringLiteral(".dbf"));
    if (fresh.isEmpty()) {
        ui::messages().stop(openFailure(table, Status(StatusCode::NotFound, QString(), ENOENT)));
        return false;
    }
    const QString old = findFileNoCase(dataDir + table + QStringLiteral(".dbf"));
    if (!old.isEmpty()) {
        // Carry the old records over, matching fields by name. The old table
        // stays as it was until the new one holds every record.
        if (const Status s = carryRecords(old, fresh); !s) {
            ui::messages().stop(openFailure(table, s));
            DBDROP(progDir + QFileInfo(fresh).completeBaseName());
            return false;
        }
    }
    const QString target = dataDir + QFileInfo(fresh).fileName();
    // rename() replaces the target in one step, so the table is never missing
    if (::rename(QFile::encodeName(fresh).constData(), QFile::encodeName(target).constData()) != 0) {
        ui::messages().stop(QStringLiteral("No se pudo mover ") + fresh);
        return false;
    }
    if (!old.isEmpty() && old != target)
        QFile::remove(old);
    for (const char* ext : {".fpt", ".cdx"}) {
        const QString comp = findFileNoCase(progDir + table + QString::fromLatin1(ext));
        if (comp.isEmpty())
            continue;
        const QString oldComp = findFileNoCase(dataDir + table + QString::fromLatin1(ext));
        const QString compTarget = dataDir + QFileInfo(comp).fileName();
        ::rename(QFile::encodeName(comp).constData(), QFile::encodeName(compTarget).constData());
        if (!oldComp.isEmpty() && oldComp != compTarget)
            QFile::remove(oldComp);
    }
    return true;
}

QString CRYPT()
{
    QString collected;
    const QDir dir(ws().dataDir());
    const QStringList files = dir.entryList({QStringLiteral("*.dbf"), QStringLiteral("*.DBF"), QStringLiteral("*.Dbf")},
                                            QDir::Files, QDir::Name);
    for (const QString& name : files) {
        QFile f(dir.filePath(name));
        if (!f.open(QIODevice::ReadWrite))
            continue;
        char b = 0;
        if (f.read(&b, 1) == 1) {
            const uchar v = uchar(b);
            uchar repaired = v;
            if (v == 255)
                repaired = 3;
            else if (v == 254)
                repaired = 131;
            else if (v == 253)
                repaired = 245;
            if (repaired != v) {
                f.seek(0);
                f.write(reinterpret_cast<const char*>(&repaired), 1);
            }
            collected += name + rightAligned(v) + QStringLiteral("\r\n");
        }
        f.close();
    }
    return collected;
}

} // namespace store
