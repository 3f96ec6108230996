// Menu entries of the locator tools under "Utiles...".
#include "command_registry.h"
#include "main_frame.h"

#include "geo/views/coordinate_converter_dialog.h"
#include "geo/views/distance_dialog.h"

namespace app {

void registerGeoCommands(CommandRegistry& r)
{
    r.registerCommand(CommandId::LatLonLocator, [](MainFrame* frame) {
        geo::CoordinateConverterDialog d(frame);
        d.exec();
    });
    r.registerCommand(CommandId::DistanceBearing, [](MainFrame* frame) {
        geo::DistanceDialog d(frame);
        d.exec();
    });
}

} // namespace app
