#include "entry_services.h"

#include "map_windows.h"
#include "tappl.h"

#include "core/messages.h"
#include "logbook/qso_entry.h"
#include "logbook/views/entry_form.h"
#include "maps/map_assets.h"
#include "maps/map_pages.h"
#include "online/callbook.h"
#include "online/reachability.h"
#include "refdata/names.h"
#include "store/aliases.h"
#include "store/record_buffer.h"
#include "store/workspace.h"

#include <QDesktopServices>
#include <QDir>
#include <QPlainTextEdit>
#include <QSaveFile>
#include <QUrl>
#include <QWidget>

namespace app {

namespace {

QString cfgText(const char* field)
{
    store::WorkArea* cfg = store::Workspace::instance().area(store::alias::kCfg);
    if (!cfg)
        return {};
    cfg->goTop();
    return cfg->eof() ? QString() : cfg->str(QString::fromLatin1(field)).trimmed();
}

online::CallbookAccount account()
{
    online::CallbookAccount a;
    if (store::WorkArea* cfg = store::Workspace::instance().area(store::alias::kCfg)) {
        cfg->goTop();
        if (!cfg->eof())
            a.qrzXml = cfg->logical(QStringLiteral("QRZXML"));
    }
    a.qrzUser = cfgText("QRZUSR");
    a.qrzPassword = cfgText("QRZPSW");
    a.qthUser = cfgText("QTHUSR");
    a.qthPassword = cfgText("QTHPSW");
    return a;
}

QString field(store::RecordBuffer& b, const char* name) { return b.get(QString::fromLatin1(name)).toString().trimmed(); }

// QRZFILL over the form's buffer: the fields go in, the filled ones come back.
void fill(logbook::EntryForm& form, bool hamQth, bool typed = false)
{
    store::RecordBuffer& buffer = form.entry()->buffer();
    online::CallbookQso qso;
    for (const char* f : {"CALL", "CODENT", "CQZ", "ITUZ", "IOTA", "COMMENT", "NAME", "GRIDSQUARE", "CODPRV", "CNTY",
                          "QSLVIA", "QTH", "DXCC", "ADDRES"})
        qso.set(QString::fromLatin1(f), field(buffer, f));
    online::CallbookSession& session = online::callbookSession();
    if (oAppl) {
        session.program = oAppl->cAppl;
        session.version = oAppl->cVer;
    }
    session.provinceCode = [](const QString& codent, const QString& name) {
        store::WorkArea* prv = store::Workspace::instance().area(store::alias::kPrv);
        if (!prv)
            return QString();
        for (prv->goTop(); !prv->eof(); prv->skip())
            if (prv->str(QStringLiteral("CODENT")) == codent &&
                prv->str(QStringLiteral("NOMBRE")).trimmed().toUpper() == name)
                return prv->str(QStringLiteral("CODPRV")).trimmed();
        return QString();
    };
    bool filled = false;
    ui::messages().wait(typed ? QStringLiteral("Recuperando información de internet") : QStringLiteral("Recuperando datos de internet"), QString(), [&] {
        filled = online::QRZFILL(qso, account(), session, {}, hamQth);
    });
    if (!filled)
        return;
    for (auto it = qso.fields().cbegin(); it != qso.fields().cend(); ++it)
        if (it.key() != QLatin1String("CALL"))
            buffer.set(it.key(), store::Value::text(it.value()));
    form.refresh();
}

void pathMap(logbook::EntryForm& form)
{
    store::RecordBuffer& buffer = form.entry()->buffer();
    QString to = field(buffer, "GRIDSQUARE");
    if (to.isEmpty())
        to = refdata::ENTQRA(buffer.get(QStringLiteral("CODENT")).toString()).trimmed();
    QString from = field(buffer, "QRA");
    if (from.isEmpty())
        from = cfgText("QRA");
    if (to.isEmpty() || from.isEmpty()) {
        ui::messages().alert(QStringLiteral("Parametros erroneos o incompletos"));
        return;
    }
    entryPathMap(from, to, field(buffer, "CALL"));
}

} // namespace

void installEntryServices(logbook::EntryFormHost& host, QWidget* frame)
{
    online::setBrowserOpener([frame](const QString& url) {
        showInBrowserWindow(url);
        (void)frame;
    });
    host.callTyped = [](logbook::EntryForm& form) {
        store::WorkArea* cfg = store::Workspace::instance().area(store::alias::kCfg);
        if (!cfg)
            return;
        cfg->goTop();
        if (!cfg->eof() && cfg->logical(QStringLiteral("QRZFILL")))
            fill(form, false, true);
    };
    host.service = [](logbook::EntryForm& form, const QString& button) {
        const QString call = field(form.entry()->buffer(), "CALL");
        if (button == QLatin1String("4001")) {
            online::RUNEXPL(online::qrzPageAddress(cfgText("QRZPFX"), call));
        } else if (button == QLatin1String("4006")) {
            online::RUNEXPL(online::hamQthPageAddress(call));
        } else if (button == QLatin1String("4002") || button == QLatin1String("4007")) {
            fill(form, button == QLatin1String("4007"));
        } else if (button == QLatin1String("4005")) {
            pathMap(form);
        } else if (button == QLatin1String("3")) {
            if (!online::internetConnected()) {
                ui::messages().alert(QStringLiteral("Se requiere conexión a internet"));
                return;
            }
            QString label;
            ui::messages().wait(QStringLiteral("Recuperando datos de internet"), QString(),
                                [&] { label = online::WEBQRZ(call, online::callbookSession()); });
            if (!label.isEmpty()) {
                form.entry()->buffer().set(QStringLiteral("ADDRES"), store::Value::text(label));
                form.refresh();
            }
        }
    };
}

} // namespace app
