#include "window_names.h"

namespace app {

namespace {

using W = WindowId;

constexpr WindowName kWindows[] = {
    {W::LogBooks, "ManLib", true},
    {W::Entities, "ManEnt", true},
    {W::Log, "ManLog", true},
    {W::PreviousQsos, "QsoAnt", true},
    {W::Cluster, "Telnet", true},
    {W::Spots, "Spots", true},
    {W::QslLog, "LogQsl", false},
    {W::EntityInfo, "DxccInfo", false},
    {W::Awards, "DplCfg", false},
    {W::AwardWorked, "DxccWrkd", false},
    {W::AwardStatistics, "EstDpl", false},
    {W::QslFormats, "WrkRptQsl", false},
    {W::Iota, "ManIota", false},
    {W::BandsModes, "ManModo", false},   // bands and modes share it
    {W::KnownStations, "know", false},
    {W::Chart, "GrfVis", false},
    {W::Map, "gMap", false},
    {W::EntryMap, "gMapEdtLog", false},
    {W::GridMap, "gMapGrid", false},
    {W::Earth, "gEarth", false},
    {W::Elevation, "DspElevacion", false},
};

} // namespace

std::span<const WindowName> windowNames() { return kWindows; }

QString windowName(WindowId id)
{
    for (const WindowName& w : kWindows)
        if (w.id == id)
            return QString::fromLatin1(w.name);
    return {};
}

} // namespace app
