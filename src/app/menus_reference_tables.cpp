// Menu entries and windows of the known stations, IOTA, bands and modes.
#include "command_registry.h"
#include "panel_windows.h"
#include "reference_windows.h"
#include "windows.h"

#include "refdata/views/reference_tables.h"

namespace app {

void MANKNOW() { openPanelWindow(WindowId::KnownStations, refdata::kKnownStationsTitle, refdata::knownStationsPanel); }
void MANIOTA() { openPanelWindow(WindowId::Iota, refdata::kIotaTitle, refdata::iotaPanel); }
void MANBAN() { openPanelWindow(WindowId::BandsModes, refdata::kBandsTitle, refdata::bandsPanel); }
void MANMODO() { openPanelWindow(WindowId::BandsModes, refdata::kModesTitle, refdata::modesPanel); }

void registerReferenceTableCommands(CommandRegistry& r)
{
    r.registerCommand(CommandId::KnownStations, [](MainFrame*) { MANKNOW(); });
    r.registerCommand(CommandId::Iota, [](MainFrame*) { MANIOTA(); });
    r.registerCommand(CommandId::Bands, [](MainFrame*) { MANBAN(); });
    r.registerCommand(CommandId::Modes, [](MainFrame*) { MANMODO(); });
    registerView(WindowId::KnownStations, MANKNOW);
    registerView(WindowId::Iota, MANIOTA);
    // one name for two windows: by that name the modes window, whose name it is, comes back
    registerView(WindowId::BandsModes, MANMODO);
}

} // namespace app
