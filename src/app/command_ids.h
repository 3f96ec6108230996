#pragma once

namespace app {

// The symbols by which the program names its menu entries, tool-bar buttons and
// named windows. What each one shows and who runs it is in commands.cpp and
// window_names.cpp; code refers to them only through these ids.

enum class CommandId : int {
    None = -1,   // a separator; a button with a command of its own
    MenuBar,
    ToolBar,
    // Ficheros
    FilesMenu, LogBooks, Entities, Iota, Modes, Bands, KnownStations, Quit,
    // Ver
    ViewMenu, LogWindow, PreviousQsos, SpotsWindow, ClusterWindow,
    // Diplomas
    AwardsMenu, ConfigureAwards, AwardViewsMenu,
    // QSL
    QslMenu, QslFormats,
    // &Informes
    ReportsMenu, WorkedUnconfirmed, NotWorked,
    // &Gráficos
    ChartsMenu, ChartContinents, ChartModes, ChartBands, ChartEntities, ChartHours,
    // &Utilidades
    ToolsMenu, Reorganize,
    ImportMenu, ImportAdif, ImportCabrillo, ImportRadioges, ImportLotw, DownloadReferenceData, ImportCty,
    ExportMenu, ExportAdif, ExportCabrillo,
    CtyVersion, Transfer,
    BackupMenu, Backup, Restore,
    UtilitiesMenu, LatLonLocator, DistanceBearing, ElevationProfile,
    Settings, SupportForum, About,
    // &+Plus: one entry per script module, made at run time
    PlusMenu,
    // the tool bar
    ToolLogBooks, ToolCluster, ToolAwards, ToolReorganize, ToolSettings, ToolExit,
    Count
};

// The features that claim entries: each registers the openers of its own.
enum class Feature : int {
    None,       // its view is not there yet: the entry stays disabled
    Shell,      // the frame itself (reorganise, settings, about, quit)
    Adif,       // ADIF import and export
    Cabrillo,   // Cabrillo import and export
    Lotw,       // LoTW confirmations
    Refdata,    // reference data: the entity window, the reference tables' windows, CTY.DAT and its version
    Geo,        // the locator tools
    Logbook,    // the log books and the transfer between them
    Online,     // downloads from the reference-data service
    Cluster,    // the DX-cluster windows
    Awards,     // the award windows, the previous-QSO window and the entity panel
    Reports,    // the entity reports and the statistics charts
    Maps,       // the map windows and the elevation window
    Qsl,        // the QSL format window, the QSL pages of the log window
    Backup,     // the backup and its restore
};

// The named child windows; their names key the INI sections and the list of
// windows reopened at start.
enum class WindowId : int {
    LogBooks,          // "ManLib"
    Entities,          // "ManEnt"
    Log,               // "ManLog"
    PreviousQsos,      // "QsoAnt"
    Cluster,           // "Telnet"
    Spots,             // "Spots"
    QslLog,            // "LogQsl"
    EntityInfo,        // "DxccInfo"
    Awards,            // "DplCfg"
    AwardWorked,       // "DxccWrkd"
    AwardStatistics,   // "EstDpl"
    QslFormats,        // "WrkRptQsl"
    Iota,              // "ManIota"
    BandsModes,        // "ManModo"
    KnownStations,     // "know"
    Chart,             // "GrfVis"
    Map,               // "gMap"
    EntryMap,          // "gMapEdtLog"
    GridMap,           // "gMapGrid"
    Earth,             // "gEarth"
    Elevation,         // "DspElevacion"
    Count
};

} // namespace app
