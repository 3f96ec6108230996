#pragma once
// What runs each menu entry: the features claim their entries by id, and the
// frame enables exactly the entries that were claimed.

#include "command_ids.h"

#include <functional>
#include <vector>

namespace app {

class MainFrame;

using Opener = std::function<void(MainFrame*)>;

class CommandRegistry {
public:
    struct Claim {
        CommandId id;
        Feature feature;
        Opener open;
    };

    // Claims made from now on are the given feature's.
    void setFeature(Feature f) { m_feature = f; }
    void registerCommand(CommandId id, Opener open) { m_claims.push_back({id, m_feature, std::move(open)}); }

    // Every claim in the order made, a repeated one included.
    const std::vector<Claim>& claims() const { return m_claims; }
    // The opener of an id; nullptr when no feature claimed it.
    const Opener* opener(CommandId id) const
    {
        for (const Claim& c : m_claims)
            if (c.id == id)
                return &c.open;
        return nullptr;
    }

private:
    Feature m_feature = Feature::None;
    std::vector<Claim> m_claims;
};

} // namespace app
