// Cabrillo import.
#include "cabrillo_import.h"

#include "date_time.h"
#include "import_summary.h"
#include "lotw_import.h"
#include "refdata/bands.h"
#include "refdata/resolve.h"
#include "store/access.h"
#include "store/codepage.h"
#include "store/workspace.h"
#include "core/messages.h"
#include "text_search.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace interchange {

namespace {

using store::WorkArea;

WorkArea* area(const char* alias)
{
    return store::Workspace::instance().area(QString::fromLatin1(alias));
}

// The numeric value of a text up to its first character that cannot continue a number.
double leadingNumber(const QString& s)
{
    int n = 0;
    bool point = false;
    while (n < s.size() && (s[n].isDigit() || (s[n] == QLatin1Char('.') && !point))) {
        point = point || s[n] == QLatin1Char('.');
        ++n;
    }
    return s.left(n).toDouble();
}

// The book's default operator (LibBrw stands on the active book).
QString bookOperator()
{
    for (const char* alias : {"LibBrw", "libros"})
        if (WorkArea* b = area(alias); b && !b->eof())
            return b->str(QStringLiteral("OPRDEF")).trimmed();
    return {};
}

// Whether a token can be a call sign: letters, digits and "/", with one part
// made of a prefix of one to three characters, a digit, and a suffix that ends
// in a letter (K1ABC, 4U1ITU, 2E0ABC, EA8/K1ABC/P). Reports ("59", "5NN"),
// zones, serial numbers, states and classes ("MA", "DX", "2A") are not.
bool plausibleCall(const QString& token)
{
    static const QRegularExpression part(QStringLiteral("^[A-Z0-9]{1,3}[0-9][A-Z0-9]*[A-Z]$"));
    const QString t = token.toUpper();
    if (t.isEmpty() || t.size() > 20)
        return false;
    bool any = false;
    for (const QString& p : t.split(QLatin1Char('/'))) {
        for (QChar c : p)
            if (!((c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || (c >= QLatin1Char('0') && c <= QLatin1Char('9'))))
                return false;
        any = any || part.match(p).hasMatch();
    }
    return any;
}

bool isDuplicate(const CabrilloQso& q)
{
    AdiRec r;
    r.Call = q.call.toUpper();
    r.QSo_Date = q.date;
    r.Time_on = q.timeOn;
    return FINDREC(r);
}

} // namespace

QString cabrilloMode(const QString& token)
{
    const QString m = token.trimmed().toUpper();
    if (m == QLatin1String("PH"))
        return QStringLiteral("SSB");
    // "RY" is what contest logs (this program's among them) write for RTTY.
    if (m == QLatin1String("RT") || m == QLatin1String("RY"))
        return QStringLiteral("RTTY");
    return m;
}

double cabrilloFreq(const QString& token)
{
    static const std::pair<const char*, double> designators[] = {
        {"50", 50.0},     {"70", 70.0},     {"144", 144.0},  {"222", 222.0},  {"432", 432.0},
        {"902", 902.0},   {"1.2G", 1240.0}, {"2.3G", 2300.0}, {"3.4G", 3400.0}, {"5.7G", 5650.0},
        {"10G", 10000.0}, {"24G", 24000.0}, {"47G", 47000.0}, {"75G", 75500.0},
    };
    const QString t = token.trimmed().toUpper();
    for (const auto& [text, mhz] : designators)
        if (t == QLatin1String(text))
            return mhz;
    const double khz = leadingNumber(t);
    // What does not fit the frequency field (99999.999 MHz) is no frequency.
    return khz > 0 && khz < 1e8 ? khz / 1000.0 : 0.0;
}

CabrilloQso parseCabrilloQso(const QByteArray& raw)
{
    CabrilloQso q;
    qsizetype eol = raw.size();
    for (char c : {'\r', '\n'})
        if (const qsizetype i = raw.indexOf(c); i >= 0 && i < eol)
            eol = i;
    const QString text = store::cp1252::toUnicode(raw.left(eol));
    const QStringList t = text.split(QRegularExpression(QStringLiteral("[ \\t\\f\\v]+")), Qt::SkipEmptyParts);
    q.tokens = int(t.size());
    if (t.size() < 2)
        return q;
    auto tok = [&](int i) { return i < t.size() ? t[i] : QString(); };
    q.freq = cabrilloFreq(tok(0));
    q.hasFreq = q.freq > 0;
    q.mode = cabrilloMode(tok(1));
    // Date YYYY-MM-DD and time HHMM: what is written must be a real day and time.
    if (t.size() > 2) {
        q.date = adifDate(store::cp1252::fromUnicode(tok(2).remove(QLatin1Char('-'))));
        q.badDateTime = !q.date.isValid();
    }
    if (t.size() > 3) {
        q.timeOn = QString::fromLatin1(adifTime(store::cp1252::fromUnicode(tok(3))));
        q.badDateTime = q.badDateTime || q.timeOn.isEmpty();
    }
    q.operatorCall = tok(4);
    // The worked call stands after the sent exchange, and the received exchange
    // has as many tokens as the sent one: two in most contests (RST and zone or
    // number), three in CQ-WW-RTTY (RST, zone, state or "DX"). The length of
    // the line tells how many when at most a transmitter number follows the
    // received exchange. When other tokens trail it, the column the length gives
    // holds no call, and the call is the first call-like token after a sent
    // exchange of two tokens, then of one, three, four ...
    const int exchange = t.size() >= 12 ? int(t.size() - 6) / 2 : 2;
    int k = exchange;
    if (!plausibleCall(tok(5 + k))) {
        QList<int> tries = {2, 1};
        for (int j = 3; 5 + j < t.size(); ++j)
            tries << j;
        for (int j : tries) {
            if (plausibleCall(tok(5 + j))) {
                k = j;
                break;
            }
        }
    }
    q.rstSent = tok(5);
    if (k > 1)
        q.stx = tok(6);
    q.call = tok(5 + k);
    q.rstRcvd = tok(6 + k);
    q.srx = tok(7 + k);
    if (k == 3 && tok(8 + k).compare(QLatin1String("DX"), Qt::CaseInsensitive) != 0)
        q.codPrv = tok(8 + k);
    return q;
}

void CBRADDREC(const QByteArray& text, const QString& defaultOperator)
{
    WorkArea* log = area("Log");
    if (!log)
        return;
    const CabrilloQso q = parseCabrilloQso(text);
    log->put(QStringLiteral("QSLSENT"), QStringLiteral("N"));
    log->put(QStringLiteral("QSLRCVD"), QStringLiteral("N"));
    log->put(QStringLiteral("OPERATOR"), defaultOperator);
    if (q.tokens < 2)
        return;
    auto putText = [&](const char* name, const QString& v) {
        if (!v.isEmpty())
            log->put(QString::fromLatin1(name), v);
    };
    if (q.hasFreq) {
        log->put(QStringLiteral("FREQ"), q.freq);
        log->put(QStringLiteral("BAND"), refdata::BAND(q.freq));
    }
    putText("MODE", q.mode);
    if (q.date.isValid())
        log->put(QStringLiteral("QSODATE"), q.date);
    putText("TIMEON", q.timeOn);
    putText("OPERATOR", q.operatorCall);
    putText("RSTSENT", q.rstSent);
    putText("STX", q.stx);
    putText("CALL", q.call);
    putText("RSTRCVD", q.rstRcvd);
    putText("SRX", q.srx);
    putText("CODPRV", q.codPrv);

    // Prefix, entity (at the QSO's date) and what the entity table knows of it.
    const QString call = log->str(QStringLiteral("CALL")).trimmed();
    if (log->str(QStringLiteral("PFX")).trimmed().isEmpty())
        log->put(QStringLiteral("PFX"), refdata::PFX(call));
    if (log->str(QStringLiteral("DXCC")).trimmed().isEmpty()) {
        const QDate d = log->date(QStringLiteral("QSODATE"));
        log->put(QStringLiteral("CODENT"), refdata::DXCC(call, d.isValid() ? d : QDate::currentDate()));
    }
    if (WorkArea* ent = area("ENT")) {
        ent->setOrder(QStringLiteral("CodEnt"));
        ent->seek(store::Value::text(store::cp1252::fromUnicode(log->str(QStringLiteral("CODENT")))));
        if (ent->found()) {
            for (const char* f : {"CONT", "ITUZ", "CQZ", "DXCC"}) {
                const QString name = QString::fromLatin1(f);
                if (log->str(name).trimmed().isEmpty())
                    log->put(name, ent->str(name));
            }
        }
    }
}

int CBRIMP(const CabrilloImportOptions& o, ui::Meter& meter, QString* message, bool* complete)
{
    if (complete)
        *complete = false;
    if (o.path.isEmpty() || !QFileInfo(o.path).isFile()) {
        ui::messages().stop(o.path + QStringLiteral("\r\nFichero no existe"));
        return -1;
    }
    QFile file(o.path);
    if (!file.open(QIODevice::ReadOnly)) {
        ui::messages().stop(QStringLiteral("Error de aperturar"));
        return -1;
    }
    const QByteArray data = file.readAll();
    file.close();
    qsizetype pos = nearestOf(data, "QSO:", "qso:", 0);
    if (pos < 0) {
        ui::messages().stop(QStringLiteral("No se ha encontrado ningún registro para importar"));
        return -1;
    }
    WorkArea* log = area("Log");
    if (!log) {
        ui::messages().stop(QStringLiteral("No hay ningún libro de guardia abierto"));
        return -1;
    }
    const QString defOperator = bookOperator();
    const QString opCall = o.operatorCall.trimmed().toUpper();
    const QString locator = o.locator.trimmed().toUpper();
    ImportSummary done;
    int& count = done.imported;
    meter.setTotal(data.size());
    pos += 4;
    log->beginBatch();
    while (pos < data.size() && !meter.cancelled()) {
        meter.setPosition(pos);
        // The QSO runs to the next "QSO:" or to the end of the log; the last
        // one of a file without "END-OF-LOG:" runs to the end of the file.
        // After the last QSO nothing is left to read.
        qsizetype next = nearestOf(data, "QSO:", "qso:", pos);
        const bool last = next < 0;
        if (last)
            next = nearestOf(data, "END-OF-LOG:", "end-of-log:", pos);
        if (next < 0)
            next = data.size();
        const QByteArray text = data.mid(pos, next - pos);
        pos = last ? data.size() : next + 4;
        const CabrilloQso q = parseCabrilloQso(text);
        meter.setText(q.call);
        // A line without call, or a QSO the book already holds, is not added at
        // all; one whose call or date or time cannot be is refused and counted.
        if (q.call.isEmpty())
            continue;
        if (!plausibleCall(q.call)) {
            ++done.badCall;
            continue;
        }
        if (q.badDateTime) {
            ++done.badDateTime;
            continue;
        }
        if (o.checkDuplicates && isDuplicate(q))
            continue;
        QString key = store::KEYGEN();
        // The QSO is filled before it is written: it reaches the book once, complete.
        const bool added = store::ADDQSO(&key, 0, [&](WorkArea& w) {
            CBRADDREC(text, defOperator);
            if (w.str(QStringLiteral("QRA")).trimmed().isEmpty())
                w.put(QStringLiteral("QRA"), locator);
            if (w.str(QStringLiteral("OPERATOR")).trimmed().isEmpty())
                w.put(QStringLiteral("OPERATOR"), opCall);
            return store::Status();
        });
        if (!added) {
            done.interrupted = true;     // a write error (told already), or the user gave up on a locked table
            break;
        }
        if (store::Status s = log->unlock(); !s) {
            ui::messages().stop(s.text());
            done.interrupted = true;
            break;
        }
        ++count;
        if (count % 1000 == 0) {
            // let other users at the book now and then
            if (store::Status s = log->renewBatch(); !s) {
                ui::messages().stop(s.text());
                done.indexUnwritten = done.interrupted = true;
                break;
            }
        }
    }
    if (store::Status s = log->endBatch(); !s) {
        ui::messages().stop(s.text());
        done.indexUnwritten = true;
    }
    if (complete)
        *complete = !done.interrupted && !done.indexUnwritten && !meter.cancelled();
    meter.setPosition(qMin(pos, data.size()));   // a whole file shows a full meter behind the count
    const QString text = importMessage(done);
    ui::messages().info(text);
    if (message)
        *message = text;
    log->goBottom();
    return count;
}

} // namespace interchange
