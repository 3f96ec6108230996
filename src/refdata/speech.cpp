#include "speech.h"

#include "qt_speech.h"

#include "store/aliases.h"
#include "store/work_area.h"
#include "store/workspace.h"

#include <memory>

namespace refdata {

namespace {

Speech* g_installed = nullptr;

struct Voice {
    int rate = 0;
    int pitch = 0;
};

// Rate and pitch from the settings record: the session's "cfg" work area
// when it is open, else the table read on its own.
Voice stationVoice()
{
    Voice v;
    const auto read = [&v](store::WorkArea* cfg) {
        if (cfg->recNo() == 0 || cfg->eof())
            cfg->goTop();
        if (!cfg->eof()) {
            v.rate = int(cfg->num(QStringLiteral("VOICERATE")));
            v.pitch = int(cfg->num(QStringLiteral("VOICEPITCH")));
        }
    };
    store::Workspace& ws = store::Workspace::instance();
    if (store::WorkArea* cfg = ws.area(store::alias::kCfg)) {
        read(cfg);
        return v;
    }
    store::Workspace own;
    own.setDataDir(ws.dataDir());
    store::WorkArea* cfg = nullptr;
    if (own.exists(QStringLiteral("cfg"))
        && own.use(QStringLiteral("cfg"), {.alias = QStringLiteral("cfg"), .readOnly = true}, &cfg))
        read(cfg);
    return v;
}

} // namespace

Speech& speech()
{
    if (g_installed)
        return *g_installed;
    static std::unique_ptr<QtSpeech> desktop;
    if (!desktop)
        desktop = std::make_unique<QtSpeech>();
    return *desktop;
}

void setSpeech(Speech* s) { g_installed = s; }

void PROVASAPI(const QString& text)
{
    const Voice v = stationVoice();
    speech().speak(text, v.rate, v.pitch);
}

} // namespace refdata
