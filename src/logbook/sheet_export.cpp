#include "sheet_export.h"

#include "core/messages.h"
#include "store/qso_record.h"
#include "store/work_area.h"

#include <QDate>
#include <QFile>

#include <xlsxwriter.h>

#include <vector>

namespace logbook {

namespace {

QString failure(lxw_error e)
{
    return QStringLiteral("No se pudo escribir la hoja de cálculo: %1").arg(QString::fromUtf8(lxw_strerror(e)));
}

} // namespace

SheetResult exportSheet(const QString& path, store::WorkArea& area, const std::vector<LogColumn>& columns,
                        ui::Meter* meter)
{
    SheetResult result;
    std::vector<quint32> recs;
    if (store::Status s = area.visibleRecords(&recs); !s) {
        result.error = s.text();
        return result;
    }
    const quint32 current = area.eof() ? 0 : area.recNo();

    // the file is made beside the one asked for and takes its place once complete
    const QString partial = path + QStringLiteral(".part");
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;   // rows go straight to disk: a whole book fits
    const QByteArray file = QFile::encodeName(partial);
    lxw_workbook* book = workbook_new_opt(file.constData(), &options);
    if (!book) {
        result.error = QStringLiteral("No se pudo crear el fichero %1").arg(path);
        return result;
    }
    lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);
    lxw_format* bold = workbook_add_format(book);
    format_set_bold(bold);
    lxw_format* dateFormat = workbook_add_format(book);
    format_set_num_format(dateFormat, "dd/mm/yyyy");

    lxw_error e = LXW_NO_ERROR;
    for (size_t c = 0; c < columns.size() && !e; ++c) {
        const QByteArray heading = singleLine(columns[c].heading).toUtf8();
        e = worksheet_write_string(sheet, 0, lxw_col_t(c), heading.constData(), bold);
    }
    worksheet_freeze_panes(sheet, 1, 0);

    const qint64 total = qint64(recs.size());
    if (meter)
        meter->setTotal(total);
    lxw_row_t row = 1;
    for (quint32 rec : recs) {
        if (e)
            break;
        if (meter && (row % 100 == 1 || qint64(row) == total)) {
            meter->setPosition(row);
            meter->setText(QStringLiteral("Enviando registro : %1/%2").arg(row).arg(total));
            if (meter->cancelled()) {
                result.cancelled = true;
                break;
            }
        }
        area.goTo(rec);
        if (area.eof() || !store::isQso(area))
            continue;
        for (size_t c = 0; c < columns.size() && !e; ++c) {
            const QVariant v = columns[c].value(area);
            const lxw_col_t col = lxw_col_t(c);
            switch (columns[c].kind) {
            case CellKind::Number:
                e = worksheet_write_number(sheet, row, col, v.toDouble(), nullptr);
                break;
            case CellKind::Date: {
                const QDate d = v.toDate();
                if (d.isValid()) {
                    lxw_datetime dt{d.year(), d.month(), d.day(), 0, 0, 0.0};
                    e = worksheet_write_datetime(sheet, row, col, &dt, dateFormat);
                }
                break;
            }
            case CellKind::Text: {
                const QByteArray text = v.toString().toUtf8();
                if (!text.isEmpty())
                    e = worksheet_write_string(sheet, row, col, text.constData(), nullptr);
                break;
            }
            }
        }
        ++row;
        ++result.rows;
    }
    if (meter && !result.cancelled && !e) {
        meter->setPosition(total);
        meter->setText(QStringLiteral("Enviando registro : %1/%2").arg(total).arg(total));
    }
    const lxw_error closed = workbook_close(book);
    if (current)
        area.goTo(current);
    if (!e)
        e = closed;
    if (e)
        result.error = failure(e);
    if (e || result.cancelled) {
        QFile::remove(partial);
        return result;
    }
    QFile::remove(path);
    if (!QFile::rename(partial, path)) {
        QFile::remove(partial);
        result.error = QStringLiteral("No se pudo escribir el fichero %1").arg(path);
        return result;
    }
    result.written = true;
    return result;
}

} // namespace logbook
