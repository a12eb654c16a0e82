#include "ui/window_placement.h"

namespace zk::ui {
namespace {

constexpr int kColumnX[] = {1, 244, 487, 730};
constexpr int kRowY[] = {1, 172, 344, 516, 688};

WindowPlacement Untiled(WindowPlacement::Mode mode) {
  WindowPlacement placement;
  placement.mode = mode;
  return placement;
}

}  // namespace

bool TiledKind(int kind) { return kind == 0 || kind == 1; }

int TileSlot(int portIndex) {
  // Reduced once for COM41..COM80 as the tiling asks; the modulo also keeps
  // ports 80 and above (and a negative index) on the screen.
  return ((portIndex % kTilePortCycle) + kTilePortCycle) % kTilePortCycle;
}

WindowPlacement TilePlacement(int portIndex) {
  const int slot = TileSlot(portIndex);
  const int cell = slot % kTileSlots;
  const int round = slot / kTileSlots;
  WindowPlacement placement;
  placement.mode = WindowPlacement::Mode::Tiled;
  placement.x = kColumnX[cell % 4] + round * kTileCascadeStep;
  placement.y = kRowY[cell / 4] + round * kTileCascadeStep;
  placement.width = kTileWidth;
  placement.height = kTileHeight;
  return placement;
}

WindowPlacement ProgressPlacement(int portIndex, int kind) {
  if (TiledKind(kind)) return TilePlacement(portIndex);
  return Untiled(WindowPlacement::Mode::Centred);
}

WindowPlacement ErrorDialogPlacement(int portIndex, int kind) { return ProgressPlacement(portIndex, kind); }

WindowPlacement EndDialogPlacement(int portIndex, int kind) {
  if (TiledKind(kind)) return TilePlacement(portIndex);
  return Untiled(WindowPlacement::Mode::Kept);
}

}  // namespace zk::ui
