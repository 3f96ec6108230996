#include "station_setup.h"

#include "main_frame.h"
#include "startup.h"
#include "tappl.h"
#include "windows.h"

#include "core/messages.h"
#include "logbook/qso_entry.h"
#include "refdata/speech.h"
#include "logbook/views/entry_form.h"
#include "settings/settings_dialog.h"
#include "station/cat.h"
#include "station/rig_config.h"
#include "station/rig_control.h"
#include "station/rig_link.h"
#include "station/views/freq_panel.h"
#include "station/views/rig_dialog.h"

#include <QPointer>
#include <QTimer>
#include <QToolBar>

namespace app {

namespace {

QToolBar* buttonBar() { return frame() ? frame()->findChild<QToolBar*>(QStringLiteral("ToolBar")) : nullptr; }

void switchRigControl(bool on, int rig)
{
    if (!on) {
        station::CATOFF();
        oAppl->oCat = oAppl->oRig = nullptr;
        if (auto* p = buttonBar() ? buttonBar()->findChild<station::FreqPanel*>() : nullptr)
            p->refresh();
        return;
    }
    const int chosen = rig == 2 ? 2 : 1;
    if (!station::catRig() || !(station::catRig()->config() == station::loadRigConfig(chosen)))
        ui::messages().wait(QStringLiteral(" Arrancando CAT "), oAppl->cAppl + QLatin1Char(' ') + oAppl->cVer,
                            [chosen] { station::CATON(chosen); });
    oAppl->oCat = oAppl->oRig = station::catRig();
    if (station::FreqPanel* p = station::CATCTRL(buttonBar()))
        oAppl->oCatTmr2 = p->findChild<QTimer*>(QStringLiteral("oCatTmr2"));
}

} // namespace

void installRigControl(logbook::EntryFormHost& host)
{
    station::setUpHamlib();
    station::setSettingsAccess({[](const QString& s, const QString& k, const QString& d) {
                                    return oAppl->ini().getString(s, k, d);
                                },
                                [](const QString& s, const QString& k, const QString& v) { oAppl->ini().Set(s, k, v); }});
    settings::setCatHooks({
        .switched = switchRigControl,
        .configure = [](int rig, QWidget* parent) { station::RIGCFG(rig, parent); },
        .rigType = [] { return station::catRig() ? station::catRig()->RigType() : QString(); },
        .status = [] { return station::CATSTATUS(); },
    });
    settings::setSettingsHooks({
        .refreshWindow = [](const QString& name) { REFWND(name); },
        .speak = [](const QString& text, int rate, int pitch) { refdata::speech().speak(text, rate, pitch); },
    });
    // While the form holds a new QSO its frequency, band and mode follow the rig.
    host.shown = [](logbook::EntryForm& form) {
        QPointer<logbook::EntryForm> f(&form);
        oAppl->oCatTmr = station::CATTIMER(
            &form, [f] { return f && f->isVisible() && f->entry() && f->entry()->isNew(); },
            [f]() -> store::RecordBuffer* { return f && f->entry() ? &f->entry()->buffer() : nullptr; },
            [f] { if (f) f->refresh(); });
    };
}

void startRigControl(bool check)
{
    const station::CatFlags flags = station::catFlags();
    if (!flags.on) {
        if (station::catRig())
            switchRigControl(false, flags.rig);
        return;
    }
    if (const QString problems = check ? station::CHKOMNIRIG() : QString(); !problems.isEmpty())
        ui::messages().alert(problems, oAppl->cName + QLatin1Char(' ') + oAppl->cVer);
    switchRigControl(true, flags.rig);
}

void stopRigControl()
{
    station::CATOFF();
    oAppl->oCat = oAppl->oRig = nullptr;
}

void endRigThreads() { station::waitForRigThreads(3000); }

} // namespace app
