// Where the progress window and the dialogs of one port go on the screen.
//
// Operation kinds 0 and 1 serve many handsets side by side, one port each,
// so their windows are tiled by port number; the other kinds centre theirs.
#pragma once

#include "ui/operator_ui.h"

namespace zk::ui {

inline constexpr int kTileWidth = 243;
inline constexpr int kTileHeight = 172;
// Slots of the base grid: four columns by four rows and two more below.
inline constexpr int kTileSlots = 18;
// Port indices repeat their tiles every 40 ports (COM41 sits where COM1 does).
inline constexpr int kTilePortCycle = 40;
// Slots 18 to 39 have no place of their own in the grid: they reuse the grid
// from its first slot again, shifted right and down by this much per round
// (18 to 35 by one step, 36 to 39 by two), so that the caption of the window
// underneath stays visible and the window stays on a 1024-pixel-wide screen.
inline constexpr int kTileCascadeStep = 24;

// True for the operation kinds whose windows are tiled by port.
bool TiledKind(int kind);

// Tile number of a port: the port index modulo 40 (0..39).
int TileSlot(int portIndex);

// Top-left corner and size of the tile of a port.
WindowPlacement TilePlacement(int portIndex);

// The progress window and the error dialog: tiled for kinds 0 and 1,
// otherwise centred.
WindowPlacement ProgressPlacement(int portIndex, int kind);
WindowPlacement ErrorDialogPlacement(int portIndex, int kind);

// The end dialog: tiled for kinds 0 and 1, otherwise where it is.
WindowPlacement EndDialogPlacement(int portIndex, int kind);

}  // namespace zk::ui
