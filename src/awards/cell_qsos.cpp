#include "cell_qsos.h"

#include "book_area.h"

#include "store/codepage.h"

#include <QHash>
#include <QSet>

namespace awards {

std::vector<quint32> DPLDETALLE(const AwardDef& def, const CellRequest& cell, const BookFiles& book)
{
    std::vector<quint32> records;
    detail::OpenTable table(book.log, QStringLiteral("DplDetalleWalk"));
    store::WorkArea* log = table.area();
    if (!log)
        return records;
    const Selection sel(def);
    const bool locator = !def.noStandard && def.field == QLatin1String("GRIDSQUARE");
    const int fp = def.noStandard ? -1 : log->fieldPos(def.field);
    if (!def.noStandard && fp < 0)
        return records;
    const QSet<QByteArray> entities = [&] {
        QSet<QByteArray> s;
        if (!locator)
            for (const QString& e : def.entities)
                s.insert(e.rightJustified(3, u' ').toLatin1());
        return s;
    }();
    // award over a reference list: the keys of the QSOs carrying the reference
    QSet<QByteArray> keys;
    if (def.noStandard) {
        detail::OpenTable refsTable(book.refs, QStringLiteral("DplDetalleRefs"));
        if (store::WorkArea* refs = refsTable.area()) {
            const QByteArray list = def.field.toLatin1();
            const QByteArray wanted = cell.ref.leftJustified(10, ' ', true);
            for (refs->goTop(); !refs->eof(); refs->skip())
                if (store::cp1252::upper(refs->str(QStringLiteral("DPL")).toLatin1().trimmed()) == list
                    && refs->value(QStringLiteral("COD")).bytes().leftJustified(10, ' ', true) == wanted)
                    keys.insert(refs->value(QStringLiteral("KEY")).bytes());
        }
        if (keys.isEmpty())
            return records;
    }
    const int pBand = log->fieldPos(QStringLiteral("BAND"));
    const int pMode = log->fieldPos(QStringLiteral("MODE"));
    const int pEnt = log->fieldPos(QStringLiteral("CODENT"));
    const int pKey = log->fieldPos(QStringLiteral("KEY"));
    const int width = fp >= 0 ? int(log->field(fp).len) : 10;
    const bool numeric = fp >= 0 && (log->field(fp).type == 'N' || log->field(fp).type == 'F');
    const int dec = fp >= 0 ? int(log->field(fp).dec) : 0;
    const QString band = cell.band.trimmed().toUpper();
    store::ReadWalk hold(*log);
    log->setOrder(QStringLiteral("QsoDateTimeOn"));
    for (log->goTop(); !log->eof(); log->skip()) {
        const QString b = QString::fromLatin1(store::cp1252::upper(log->value(pBand).bytes().trimmed()));
        if (band.isEmpty() ? !sel.bands.contains(b) : b != band)
            continue;
        const QString m = QString::fromLatin1(store::cp1252::upper(log->value(pMode).bytes().trimmed()));
        if (cell.mode == QLatin1String("DIG") ? !sel.digitalMode(m)
                                               : cell.mode != QLatin1String("MIXED") && m != cell.mode)
            continue;
        if (!entities.isEmpty() && !entities.contains(log->value(pEnt).bytes()))
            continue;
        if (def.noStandard) {
            if (!keys.contains(log->value(pKey).bytes()))
                continue;
        }
        else {
            QByteArray ref;
            if (numeric)
                ref = QByteArray::number(log->value(fp).toNumber(), 'f', dec).rightJustified(width, ' ');
            else if (locator)
                ref = store::cp1252::upper(log->value(fp).bytes().trimmed()).left(4).leftJustified(width, ' ');
            else
                ref = log->value(fp).bytes();
            if (ref != cell.ref)
                continue;
        }
        records.push_back(log->recNo());
    }
    return records;
}

} // namespace awards
