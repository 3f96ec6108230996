#include "qsl/views/qsl_print.h"

#include "app/tappl.h"
#include "core/messages.h"
#include "ui/grid_print.h"
#include "qsl/labels.h"
#include "store/aliases.h"
#include "store/work_area.h"
#include "store/workspace.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QVBoxLayout>

#include <set>

namespace qsl {

namespace {

namespace alias = store::alias;

PrintSeams& seams()
{
    static PrintSeams s;
    return s;
}

store::WorkArea* area(const QString& name) { return store::Workspace::instance().area(name); }

QString appTitle() { return app::oAppl ? app::oAppl->cName : QStringLiteral("Orlan Win Log"); }

std::optional<Format> printingFormat()
{
    store::WorkArea* frm = area(alias::kFrmQsl);
    if (!frm) {
        ui::messages().stop(QStringLiteral("No está abierta la tabla de formatos de QSL"));
        return std::nullopt;
    }
    QString error;
    auto f = defaultFormat(*frm, &error);
    if (!f)
        ui::messages().stop(error);
    return f;
}

// Prints with the preview window; true when the user printed (or the seam says so).
bool previewAndPrint(const Format& format, const RowSet& qsos, int start, QWidget* parent)
{
    if (seams().preview)
        return seams().preview(format, qsos, start);
    QString error;
    const bool printed = ui::previewPrint(
        format.description, appTitle(),
        [&](QPrinter* p) {
            PrintResult r;
            printQsos(format, qsos, start, QString(), &r, &error, p);
        },
        parent, true);
    if (!error.isEmpty())
        ui::messages().stop(error);
    return printed;
}

// Keeps ULTETI after labels were printed.
void keepSheetPosition(const Format& format, const RowSet& qsos, int start)
{
    if (!format.label || format.perSheet <= 0)
        return;
    const RowSet labels = fillLabels(qsos, format.qsosPerLabel);
    if (store::WorkArea* frm = area(alias::kFrmQsl))
        storeLabelsUsed(*frm, format.rec, labelsUsedAfter(start, int(labels.rows.size()), format.perSheet));
}

void fillCombo(QComboBox* box, const QString& table, const char* value, const char* shown)
{
    box->addItem(QString(), QString());
    store::WorkArea* a = area(table);
    if (!a)
        return;
    const quint32 back = a->recNo();
    for (a->goTop(); !a->eof(); a->skip())
        box->addItem(a->str(QString::fromLatin1(shown)).trimmed(), a->str(QString::fromLatin1(value)));
    a->goTo(back);
}

} // namespace

void setPrintSeams(PrintSeams s) { seams() = std::move(s); }

int askStartLabel(const Format& format)
{
    QString value = QString::number(format.used + 1);
    if (!ui::messages().input(QStringLiteral("Empezar a imprimir en etiqueta"), appTitle(), &value))
        return 0;
    bool ok = false;
    const int n = value.trimmed().toInt(&ok);
    return ok && n >= 1 ? n : 1;
}

bool PRNQSL(store::WorkArea& log, const std::vector<quint32>& records, QWidget* parent)
{
    if (log.eof() && records.size() < 2)
        return false;
    const auto format = printingFormat();
    if (!format)
        return false;
    std::vector<quint32> recs = records;
    if (recs.size() < 2)
        recs = {log.recNo()};
    const quint32 back = log.recNo();
    RowSet qsos;
    if (recs.size() == 1 && recs[0] == log.recNo()) {
        // the current QSO as it is, without moving (it may be locked while its card is received)
        qsos.fields = fieldsOf(log);
        qsos.rows.push_back(recordOf(log, qsos.fields));
    } else {
        const std::set<quint32> wanted(recs.begin(), recs.end());
        qsos = collectQsos(log, [&](store::WorkArea& a) { return wanted.count(a.recNo()) > 0; }, recs.size() > 1);
    }
    if (log.recNo() != back)
        log.goTo(back);
    if (qsos.rows.empty())
        return false;
    const int start = format->label ? askStartLabel(*format) : 1;
    if (start == 0)
        return false;
    bool printed = false;
    if (seams().direct) {
        printed = seams().direct(*format, qsos, start);
    } else {
        const QPrinterInfo info = QPrinterInfo::defaultPrinter();
        if (info.isNull() && QPrinterInfo::availablePrinterNames().isEmpty()) {
            ui::messages().stop(QStringLiteral("No hay ninguna impresora instalada: no se puede imprimir la QSL."),
                                appTitle());
            return false;
        }
        QPrinter printer(info.isNull() ? QPrinterInfo::printerInfo(QPrinterInfo::availablePrinterNames().first()) : info,
                         QPrinter::HighResolution);
        printer.setFullPage(true);
        PrintResult r;
        QString error;
        printed = printQsos(*format, qsos, start, QString(), &r, &error, &printer);
        if (!printed)
            ui::messages().stop(error.isEmpty() ? QStringLiteral("No se pudo imprimir") : error, appTitle());
    }
    Q_UNUSED(parent);
    if (printed)
        keepSheetPosition(*format, qsos, start);
    return printed;
}

void PRNQSLFIL(store::WorkArea& log, QWidget* parent)
{
    const auto format = printingFormat();
    if (!format)
        return;
    const quint32 back = log.recNo();
    const RowSet qsos = collectQsos(log, {}, true);
    log.goTo(back);
    if (qsos.rows.empty()) {
        ui::messages().info(QStringLiteral("No hay QSO que imprimir"), appTitle());
        return;
    }
    const int start = format->label ? askStartLabel(*format) : 1;
    if (start == 0)
        return;
    if (previewAndPrint(*format, qsos, start, parent))
        keepSheetPosition(*format, qsos, start);
    if (ui::messages().yesNo(QStringLiteral("Marcar QSLs como enviadas"), appTitle()))
        markViewSent(log, QDate::currentDate());
}

void PRNQSLPEN(store::WorkArea& spool, QWidget* parent)
{
    const auto format = printingFormat();
    if (!format)
        return;
    SpoolSelectionDialog dialog(parent);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const SpoolSelection sel = dialog.selection();
    const QString order = QString::fromLatin1(spool.orderName());
    const quint32 back = spool.recNo();
    spool.setOrder(QStringLiteral("PrnQsl"));
    const RowSet qsos = collectQsos(spool, [&](store::WorkArea& a) { return sel.passes(a); }, !format->label);
    if (qsos.rows.empty()) {
        ui::messages().info(QStringLiteral("No hay QSO que imprimir"), appTitle());
    } else if (const int start = format->label ? askStartLabel(*format) : 1; start > 0) {
        if (previewAndPrint(*format, qsos, start, parent))
            keepSheetPosition(*format, qsos, start);
        if (ui::messages().yesNo(QStringLiteral("Marcar QSLs como enviadas"), appTitle())) {
            const int via = ui::messages().list({QStringLiteral("Buro"), QStringLiteral("Directa"), QStringLiteral("Electronica")},
                                                QStringLiteral("Enviadas via"), 0);
            if (via >= 0 && via <= 2)
                markSpoolSent(spool, sel, QDate::currentDate(), QChar("BDE"[via]));
        }
    }
    spool.setOrder(order);
    spool.goTo(back);
}

SpoolSelectionDialog::SpoolSelectionDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("PRNSPOOL"));
    setWindowTitle(QStringLiteral("Impresión QSL en cola"));
    auto* lay = new QVBoxLayout(this);
    auto* group = new QGroupBox(QStringLiteral("Selección de registros"), this);
    auto* form = new QFormLayout(group);
    auto makeCombo = [&](int id) {
        auto* c = new QComboBox(group);
        c->setObjectName(QString::number(id));
        return c;
    };
    m_band = makeCombo(604);
    fillCombo(m_band, alias::kBand, "CODBAN", "BANDA");
    m_mode = makeCombo(603);
    fillCombo(m_mode, alias::kModo, "CODMOD", "MODO");
    m_oper = new QLineEdit(group);
    m_oper->setObjectName(QStringLiteral("614"));
    m_prop = makeCombo(617);
    fillCombo(m_prop, alias::kPropa, "CODPRO", "PROPA");
    m_entity = makeCombo(613);
    fillCombo(m_entity, alias::kEnt, "CODENT", "NOMBRE");
    m_via = new QLineEdit(group);
    m_via->setObjectName(QStringLiteral("616"));
    for (QLineEdit* e : {m_oper, m_via})
        connect(e, &QLineEdit::textEdited, e, [e](const QString& t) {
            const int at = e->cursorPosition();
            e->setText(t.toUpper());
            e->setCursorPosition(at);
        });
    form->addRow(QStringLiteral("Banda      "), m_band);
    form->addRow(QStringLiteral("Modo       "), m_mode);
    form->addRow(QStringLiteral("Operador   "), m_oper);
    form->addRow(QStringLiteral("Propagación"), m_prop);
    form->addRow(QStringLiteral("Entidad"), m_entity);
    form->addRow(QStringLiteral("QSL via"), m_via);
    lay->addWidget(group);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("&Ok"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("&Cancelar"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    lay->addWidget(buttons);
}

QComboBox* SpoolSelectionDialog::combo(int id) const
{
    return findChild<QComboBox*>(QString::number(id));
}

QLineEdit* SpoolSelectionDialog::edit(int id) const { return findChild<QLineEdit*>(QString::number(id)); }

SpoolSelection SpoolSelectionDialog::selection() const
{
    SpoolSelection s;
    s.band = m_band->currentData().toString();
    s.mode = m_mode->currentData().toString();
    s.operatorCall = m_oper->text().trimmed();
    s.propagation = m_prop->currentData().toString();
    s.entity = m_entity->currentData().toString();
    s.qslVia = m_via->text().trimmed();
    return s;
}

} // namespace qsl
