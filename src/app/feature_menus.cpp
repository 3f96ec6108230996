#include "feature_menus.h"

#include "command_registry.h"

namespace app {

// Each feature's entries live in a file of their own.
void registerShellCommands(CommandRegistry& r);
void registerAdifCommands(CommandRegistry& r);
void registerCabrilloCommands(CommandRegistry& r);
void registerLotwCommands(CommandRegistry& r);
void registerRefdataCommands(CommandRegistry& r);
void registerGeoCommands(CommandRegistry& r);
void registerLogbookCommands(CommandRegistry& r);
void registerReferenceTableCommands(CommandRegistry& r);
void registerOnlineCommands(CommandRegistry& r);
void registerClusterCommands(CommandRegistry& r);
void registerAwardCommands(CommandRegistry& r);
void registerReportCommands(CommandRegistry& r);
void registerMapCommands(CommandRegistry& r);
void registerQslCommands(CommandRegistry& r);
void registerBackupCommands(CommandRegistry& r);

void registerFeatureCommands(CommandRegistry& registry)
{
    const struct {
        Feature feature;
        void (*claim)(CommandRegistry&);
    } features[] = {
        {Feature::Shell, registerShellCommands},     {Feature::Adif, registerAdifCommands},
        {Feature::Cabrillo, registerCabrilloCommands}, {Feature::Lotw, registerLotwCommands},
        {Feature::Refdata, registerRefdataCommands}, {Feature::Refdata, registerReferenceTableCommands},
        {Feature::Geo, registerGeoCommands},        {Feature::Logbook, registerLogbookCommands},
        {Feature::Online, registerOnlineCommands},
        {Feature::Cluster, registerClusterCommands},
        {Feature::Awards, registerAwardCommands},
        {Feature::Reports, registerReportCommands},
        {Feature::Maps, registerMapCommands},
        {Feature::Qsl, registerQslCommands},
        {Feature::Backup, registerBackupCommands},
    };
    for (const auto& f : features) {
        registry.setFeature(f.feature);
        f.claim(registry);
    }
    registry.setFeature(Feature::None);
}

const CommandRegistry& featureCommands()
{
    static const CommandRegistry registry = [] {
        CommandRegistry r;
        registerFeatureCommands(r);
        return r;
    }();
    return registry;
}

} // namespace app
