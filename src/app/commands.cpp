#include "commands.h"

namespace app {

namespace {

using enum CommandKind;
using C = CommandId;
using F = Feature;

constexpr Command bar(C id, const char* caption) { return {Bar, id, C::None, caption, "", "", F::Shell, C::None}; }
constexpr Command menu(C id, C parent, const char* caption, const char* icon = "", F by = F::Shell)
{
    return {Menu, id, parent, caption, icon, "", by, C::None};
}
constexpr Command item(C id, C parent, const char* caption, F by, const char* icon = "")
{
    return {Item, id, parent, caption, icon, "", by, C::None};
}
constexpr Command separator(C parent) { return {Separator, C::None, parent, "", "", "", F::None, C::None}; }
// A button that runs a menu entry: enabled when that entry is.
constexpr Command button(C id, const char* icon, const char* caption, const char* tip, C runs)
{
    return {Button, id, C::ToolBar, caption, icon, tip, F::None, runs};
}
constexpr Command button(C id, const char* icon, const char* caption, const char* tip, F by)
{
    return {Button, id, C::ToolBar, caption, icon, tip, by, C::None};
}

constexpr Command kCommands[] = {
    bar(C::MenuBar, ""),

    menu(C::FilesMenu, C::MenuBar, "Ficheros"),
    item(C::LogBooks, C::FilesMenu, "&Libros de Guardia...", F::Logbook),
    item(C::Entities, C::FilesMenu, "&Entidades...", F::Refdata),
    item(C::Iota, C::FilesMenu, "IOTA...", F::Refdata),
    item(C::Modes, C::FilesMenu, "&Modos...", F::Refdata),
    item(C::Bands, C::FilesMenu, "&Bandas...", F::Refdata),
    item(C::KnownStations, C::FilesMenu, "&Conocidos...", F::Refdata),
    separator(C::FilesMenu),
    item(C::Quit, C::FilesMenu, "&Terminar", F::Shell, "QUIT16"),

    menu(C::ViewMenu, C::MenuBar, "Ver"),
    item(C::LogWindow, C::ViewMenu, "Log", F::Logbook),
    item(C::PreviousQsos, C::ViewMenu, "QSO anteriores", F::Awards),
    item(C::SpotsWindow, C::ViewMenu, "DX cluster", F::Cluster),
    item(C::ClusterWindow, C::ViewMenu, "Telnet", F::Cluster),

    menu(C::AwardsMenu, C::MenuBar, "Diplomas"),
    item(C::ConfigureAwards, C::AwardsMenu, "Configurar diplomas ...", F::Awards),
    separator(C::AwardsMenu),
    menu(C::AwardViewsMenu, C::AwardsMenu, "Ver e imprimir", "", F::Awards),

    menu(C::QslMenu, C::MenuBar, "QSL"),
    item(C::QslFormats, C::QslMenu, "Formatos de QSL...", F::Qsl),

    menu(C::ReportsMenu, C::MenuBar, "&Informes"),
    item(C::WorkedUnconfirmed, C::ReportsMenu, "Entidades trabajadas pendientes de confirmar...", F::Reports),
    item(C::NotWorked, C::ReportsMenu, "Entidades no trabajadas...", F::Reports),

    menu(C::ChartsMenu, C::MenuBar, "&Gráficos"),
    item(C::ChartContinents, C::ChartsMenu, "Por continentes...", F::Reports),
    item(C::ChartModes, C::ChartsMenu, "Por modos...", F::Reports),
    item(C::ChartBands, C::ChartsMenu, "Por bandas...", F::Reports),
    item(C::ChartEntities, C::ChartsMenu, "Por entidades...", F::Reports),
    item(C::ChartHours, C::ChartsMenu, "Por Horas...", F::Reports),

    menu(C::ToolsMenu, C::MenuBar, "&Utilidades"),
    item(C::Reorganize, C::ToolsMenu, "Reorganizar ...", F::Shell, "reindex16"),
    menu(C::ImportMenu, C::ToolsMenu, "&Importar", "import16"),
    item(C::ImportAdif, C::ImportMenu, "Importar ADIF ...", F::Adif),
    item(C::ImportCabrillo, C::ImportMenu, "Importar Cabrillo...", F::Cabrillo),
    item(C::ImportRadioges, C::ImportMenu, "Importar Radioges...", F::Adif),
    separator(C::ImportMenu),
    item(C::ImportLotw, C::ImportMenu, "Importar confirmaciones LOTW...", F::Lotw),
    separator(C::ImportMenu),
    item(C::DownloadReferenceData, C::ImportMenu, "Descargar última version de Entidades y prefijos", F::Online),
    separator(C::ImportMenu),
    item(C::ImportCty, C::ImportMenu, "Importar CTY ..", F::Refdata),
    menu(C::ExportMenu, C::ToolsMenu, "Exportar", "export16"),
    item(C::ExportAdif, C::ExportMenu, "Adif ...", F::Adif),
    item(C::ExportCabrillo, C::ExportMenu, "Cabrillo...", F::Cabrillo),
    item(C::CtyVersion, C::ToolsMenu, "Versión actual de CTY.DAT", F::Refdata),
    item(C::Transfer, C::ToolsMenu, "Traspasar ...", F::Logbook),
    menu(C::BackupMenu, C::ToolsMenu, "Copia/restaruarción"),
    item(C::Backup, C::BackupMenu, "Copia de seguridad...", F::Backup),
    item(C::Restore, C::BackupMenu, "Restaurar copia...", F::Backup),
    separator(C::ToolsMenu),
    menu(C::UtilitiesMenu, C::ToolsMenu, "Utiles..."),
    item(C::LatLonLocator, C::UtilitiesMenu, "Lat,Lon y locator...", F::Geo),
    item(C::DistanceBearing, C::UtilitiesMenu, "Cálculo distancias y rumbos...", F::Geo),
    item(C::ElevationProfile, C::UtilitiesMenu, "Perfil elevación ...", F::Maps),
    separator(C::ToolsMenu),
    item(C::Settings, C::ToolsMenu, "Configurar aplicación...", F::Shell),
    item(C::SupportForum, C::ToolsMenu, "Foros de soporte ", F::Shell),
    item(C::About, C::ToolsMenu, "&Sobre...", F::Shell),

    menu(C::PlusMenu, C::MenuBar, "&+Plus"),

    bar(C::ToolBar, "Herramientas"),
    button(C::ToolLogBooks, "EXCHANGE", "&Log", "Seleccionar libro de guardia", C::LogBooks),
    button(C::ToolCluster, "TELNET", "DX &Cluster", "Telnet Dx Cluster", C::ClusterWindow),
    button(C::ToolAwards, "SCROLL", "Diplomas", "Gestión de diplomas", C::ConfigureAwards),
    separator(C::ToolBar),
    button(C::ToolReorganize, "REINDEX", "Reorganizar", "Reorganizar base de datos", C::Reorganize),
    button(C::ToolSettings, "TOOLBOX", "Configuración", "Configurar aplicación", C::Settings),
    separator(C::ToolBar),
    button(C::ToolExit, "QUIT", "Salir", "Cerrar programa", F::Shell),
};

} // namespace

std::span<const Command> commands() { return kCommands; }

const Command* command(CommandId id)
{
    if (id == CommandId::None)
        return nullptr;
    for (const Command& c : kCommands)
        if (c.id == id)
            return &c;
    return nullptr;
}

} // namespace app
