// Import of LoTW confirmation reports.
#include "lotw_import.h"

#include "adif_scanner.h"
#include "date_time.h"
#include "import_summary.h"
#include "qso_lookup.h"
#include "store/access.h"
#include "store/aliases.h"
#include "store/codepage.h"
#include "store/workspace.h"
#include "core/messages.h"
#include "text_search.h"

#include <QFile>
#include <QFileInfo>

namespace interchange {

using store::WorkArea;

QString JUSZ(const QString& zone)
{
    return zone.size() == 1 ? QLatin1Char(' ') + zone : zone;
}

void ADIREAD(const QByteArray& text, AdiRec* rec)
{
    *rec = AdiRec();
    const int length = int(text.size());
    int pos = 1;
    while (pos <= length) {
        // ADIF field names are not case-sensitive: "<call:5>" is the same tag as "<CALL:5>".
        const QByteArray name = ADINOMFLD(text, &pos, length).toUpper();
        const int n = ADILONFLD(text, &pos, length);
        const QByteArray raw = n > 0 ? text.mid(pos - 1, n) : QByteArray();
        const QString value = store::cp1252::toUnicode(raw);
        pos += n;
        if (n <= 0 || value.trimmed().isEmpty())
            continue;
        if (name == "CALL")
            rec->Call = value.trimmed().toUpper();
        else if (name == "BAND")
            rec->Band = value.trimmed().toUpper();
        else if (name == "MODE")
            rec->Mode = value.trimmed().toUpper();
        else if (name == "QSO_DATE") {
            rec->QSo_Date = adifDate(raw);
            rec->lBadDateTime = rec->lBadDateTime || !rec->QSo_Date.isValid();
        } else if (name == "TIME_ON") {
            rec->Time_on = QString::fromLatin1(adifTime(raw));
            rec->lBadDateTime = rec->lBadDateTime || rec->Time_on.isEmpty();
        }
        else if (name == "QSL_RCVD")
            rec->Qsl_Rcvd = value.trimmed().toUpper();
        else if (name == "QSLRDATE")
            rec->QslRDate = adifDate(raw);
        else if (name == "CQZ")
            rec->Cqz = JUSZ(value.trimmed());
        else if (name == "ITUZ")
            rec->ItuZ = JUSZ(value.trimmed());
        else if (name == "GRIDSQUARE")
            rec->GridSquare = value.trimmed();
        else if (name == "STATE")
            rec->State = value.trimmed();
    }
}

bool FINDREC(const AdiRec& rec)
{
    return findQso(store::cp1252::fromUnicode(rec.Call), rec.QSo_Date, rec.Time_on.toLatin1());
}

QString lotwCountsMessage(int found, int notFound, int badDateTime, bool interrupted)
{
    QString m = QStringLiteral("Se han grabado la información de QSL de ") + QString::number(found) +
                QStringLiteral(" registros\r\n") + QString::number(notFound) + QStringLiteral(" indicativos no encontrados");
    if (badDateTime)
        m += QStringLiteral("\r\n") + badDateTimeLine(badDateTime);
    if (interrupted)
        m += QStringLiteral("\r\n") + interruptedLine(found, "actualizados");
    return m;
}

LotwResult LOTWIMP(const QString& path, ui::Meter& meter)
{
    LotwResult r;
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        ui::messages().stop(path + QStringLiteral("\r\nFichero no existe"));
        return r;
    }
    QFile file(path);
    // The report is only read: a write-protected report imports as well as any other.
    if (!file.open(QIODevice::ReadOnly)) {
        ui::messages().stop(QStringLiteral("Error de aperturar"));
        return r;
    }
    const QByteArray data = file.readAll();
    file.close();
    qsizetype pos = data.indexOf("<EOH>");
    if (pos < 0)
        pos = data.indexOf("<eoh>");
    if (pos < 0) {
        ui::messages().stop(QStringLiteral("Falta registro de cabecera <EOH>"));
        return r;
    }
    WorkArea* q = store::Workspace::instance().area(store::alias::kLogQsl);
    if (!q) {
        ui::messages().stop(QStringLiteral("No hay ningún libro de guardia abierto"));
        return r;
    }
    r.ran = true;
    meter.setTotal(data.size());
    pos = data.indexOf('<', pos + 5);
    if (pos < 0)
        pos = data.size();
    while (pos < data.size() && !meter.cancelled()) {
        meter.setPosition(pos);
        const qsizetype start = pos;
        // Without another end-of-record marker, what is left is no record.
        const qsizetype end = nearestOf(data, "<EOR>", "<eor>", start);
        if (end < 0) {
            pos = data.size();
            break;
        }
        const QByteArray text = data.mid(start, end - start);
        pos = end + 5;
        if (text.isEmpty())
            continue;
        AdiRec rec;
        ADIREAD(text, &rec);
        meter.setText(rec.Call);
        if (rec.lBadDateTime) {
            ++r.badDateTime;
            continue;
        }
        if (!FINDREC(rec)) {
            ++r.notFound;
            continue;
        }
        store::Workspace::instance().select(QStringLiteral("LogQsl"));
        if (!store::RECLOCK(1)) {
            r.interrupted = true;    // the user gave up on a locked QSO (or the lock failed: told already)
            break;
        }
        // Only what the report says: an absent value never clears what the QSO holds.
        // A confirmation once recorded stays: a record that confirms nothing (the
        // same QSO uploaded again under another mode, say) leaves its flag and date.
        const bool confirmed = q->str(QStringLiteral("LOTWRCVD")).startsWith(QLatin1Char('Y'), Qt::CaseInsensitive);
        if (!confirmed || rec.Qsl_Rcvd.startsWith(QLatin1Char('Y'))) {
            if (!rec.Qsl_Rcvd.isEmpty())
                q->put(QStringLiteral("LOTWRCVD"), rec.Qsl_Rcvd.left(1));
            if (rec.QslRDate.isValid())
                q->put(QStringLiteral("LOTWRDATE"), rec.QslRDate);
        }
        if (!rec.ItuZ.isEmpty())
            q->put(QStringLiteral("ITUZ"), rec.ItuZ);
        if (!rec.Cqz.isEmpty())
            q->put(QStringLiteral("CQZ"), rec.Cqz);
        if (!rec.GridSquare.isEmpty())
            q->put(QStringLiteral("GRIDSQUARE"), rec.GridSquare);
        if (!rec.State.isEmpty())
            q->put(QStringLiteral("CODPRV"), rec.State);
        if (store::Status s = q->unlock(); !s) {
            ui::messages().stop(s.text());
            r.interrupted = true;
            break;
        }
        ++r.found;
    }
    r.complete = !r.interrupted && !meter.cancelled();
    meter.setPosition(qMin(pos, data.size()));   // a whole file shows a full meter behind the counts
    ui::messages().info(lotwCountsMessage(r.found, r.notFound, r.badDateTime, r.interrupted));
    if (WorkArea* log = store::Workspace::instance().area(store::alias::kLog))
        log->goBottom();
    return r;
}

} // namespace interchange
