// The table of menu entries against what the features claim: an entry meant
// for a feature that the feature forgot, a claim on an id the table does not
// have or that another feature took, a claim on an entry whose view is not
// there yet, each would leave an entry dead or running the wrong thing.
#include "app/command_registry.h"
#include "app/commands.h"
#include "app/feature_menus.h"
#include "app/window_names.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

using namespace app;

namespace {

std::string describe(CommandId id)
{
    const Command* c = command(id);
    return "id " + std::to_string(int(id)) + (c ? " \"" + std::string(c->caption) + "\"" : std::string(" (not in the table)"));
}

const char* featureName(Feature f)
{
    switch (f) {
    case Feature::None: return "none";
    case Feature::Shell: return "Shell";
    case Feature::Adif: return "Adif";
    case Feature::Cabrillo: return "Cabrillo";
    case Feature::Lotw: return "Lotw";
    case Feature::Refdata: return "Refdata";
    case Feature::Geo: return "Geo";
    case Feature::Logbook: return "Logbook";
    case Feature::Online: return "Online";
    case Feature::Cluster: return "Cluster";
    case Feature::Awards: return "Awards";
    case Feature::Reports: return "Reports";
    case Feature::Maps: return "Maps";
    case Feature::Qsl: return "Qsl";
    case Feature::Backup: return "Backup";
    }
    return "?";
}

bool claimable(const Command& c) { return c.kind == CommandKind::Item || (c.kind == CommandKind::Button && c.runs == CommandId::None); }

TEST(Commands, EveryEntryIsClaimedByTheFeatureThatEnablesIt)
{
    CommandRegistry registry;
    registerFeatureCommands(registry);

    std::map<CommandId, std::vector<Feature>> claimedBy;
    for (const CommandRegistry::Claim& claim : registry.claims()) {
        const Command* c = command(claim.id);
        EXPECT_TRUE(c && claimable(*c)) << "feature " << featureName(claim.feature) << " claims " << describe(claim.id)
                                        << ", which is no menu entry or button of its own";
        EXPECT_TRUE(claim.open) << describe(claim.id) << " is claimed without an opener";
        claimedBy[claim.id].push_back(claim.feature);
    }
    for (const auto& [id, features] : claimedBy)
        EXPECT_EQ(features.size(), 1u) << describe(id) << " is claimed " << features.size() << " times";

    for (const Command& c : commands()) {
        if (!claimable(c))
            continue;
        const auto it = claimedBy.find(c.id);
        if (c.enabledBy == Feature::None)
            EXPECT_TRUE(it == claimedBy.end()) << describe(c.id) << " has no feature yet, but feature "
                                               << featureName(it->second.front()) << " claims it";
        else
            EXPECT_TRUE(it != claimedBy.end() && it->second.front() == c.enabledBy)
                << describe(c.id) << " belongs to feature " << featureName(c.enabledBy) << ", which does not claim it";
    }
}

// Each id has one place, under a bar or menu listed before it; a button that
// runs a menu entry names one that exists.
TEST(Commands, TheTableIsOneTreeWithOneEntryPerId)
{
    std::map<CommandId, int> rows;
    std::map<CommandId, CommandKind> kinds;
    for (const Command& c : commands()) {
        if (c.kind == CommandKind::Separator) {
            EXPECT_TRUE(c.id == CommandId::None) << "a separator with " << describe(c.id);
        } else {
            ++rows[c.id];
            kinds[c.id] = c.kind;
            EXPECT_TRUE(c.kind == CommandKind::Bar || *c.caption) << describe(c.id) << " has no caption";
        }
        if (c.kind == CommandKind::Bar) {
            EXPECT_TRUE(c.parent == CommandId::None) << describe(c.id) << " is a bar inside something";
            continue;
        }
        const auto parent = kinds.find(c.parent);
        EXPECT_TRUE(parent != kinds.end() && (parent->second == CommandKind::Bar || parent->second == CommandKind::Menu))
            << describe(c.id) << " goes into " << describe(c.parent) << ", no bar or menu listed before it";
        if (c.kind == CommandKind::Button) {
            EXPECT_TRUE(c.parent == CommandId::ToolBar) << describe(c.id) << " is a button off the tool bar";
            if (c.runs != CommandId::None) {
                const Command* target = command(c.runs);
                EXPECT_TRUE(target && target->kind == CommandKind::Item) << describe(c.id) << " runs " << describe(c.runs);
            }
        } else if (c.kind != CommandKind::Separator) {
            EXPECT_TRUE(c.parent != CommandId::ToolBar) << describe(c.id) << " is no button but sits on the tool bar";
        }
    }
    for (int i = 0; i < int(CommandId::Count); ++i)
        EXPECT_EQ(rows[CommandId(i)], 1) << describe(CommandId(i)) << " has " << rows[CommandId(i)] << " entries";
}

TEST(Commands, EveryWindowHasOneNameOfItsOwn)
{
    std::map<WindowId, int> ids;
    std::set<std::string> names;
    for (const WindowName& w : windowNames()) {
        ++ids[w.id];
        EXPECT_TRUE(names.insert(w.name).second) << w.name << " names two windows";
    }
    for (int i = 0; i < int(WindowId::Count); ++i)
        EXPECT_EQ(ids[WindowId(i)], 1) << "window id " << i;
    // the six views reopened at start, in the order a tie keeps
    QStringList reopening;
    for (const WindowName& w : windowNames())
        if (w.reopens)
            reopening << w.name;
    EXPECT_EQ(reopening, QStringList({"ManLib", "ManEnt", "ManLog", "QsoAnt", "Telnet", "Spots"}));
}

} // namespace
