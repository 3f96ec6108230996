#pragma once
// The columns and colours of a spot list: the "Anuncios DX" tab of the
// cluster window and the stand-alone "Spots" window.

namespace ui {
class tQ7Browse;
}

namespace cluster {

enum class SpotGridKind {
    Tab,          // frequency in kHz, bearing, distance
    Standalone,   // frequency in MHz, shorter
};

// Adds the columns, freezes the first three, and colours rows and the
// frequency, mode and comment cells by the colour rules.
void setUpSpotGrid(ui::tQ7Browse* grid, SpotGridKind kind);

} // namespace cluster
