#pragma once
// The stand-alone spot window "Spots" ("Anuncios DX Cluster"): every spot
// filed this session, newest last, coloured as in the cluster window; a
// double click takes the spot into a new QSO.

namespace ui {
class GridPanel;
}

namespace cluster {

// The window's body over a work area of its own on the spots table; null
// when the table cannot be opened.
ui::GridPanel* openSpotsPanel();

} // namespace cluster
