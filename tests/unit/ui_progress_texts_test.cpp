// Elapsed-time and percentage texts, the bar's fill and window placement.
#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <utility>

#include "ui/progress_texts.h"
#include "ui/window_placement.h"

namespace {

using namespace zk::ui;

TEST(ElapsedText, MinutesAndTenths) {
  EXPECT_EQ(ElapsedText(0), "00:00.0 Sec");
  EXPECT_EQ(ElapsedText(59900), "00:59.9 Sec");
  EXPECT_EQ(ElapsedText(125400), "02:05.4 Sec");
  EXPECT_EQ(ElapsedText(65300), "01:05.3 Sec");
  EXPECT_EQ(ElapsedText(6000000), "100:00.0 Sec");
  EXPECT_EQ(ElapsedText(-20), "00:00.0 Sec");
}

TEST(ElapsedText, SecondsNeverReadSixty) {
  EXPECT_EQ(ElapsedText(60000), "01:00.0 Sec");
  EXPECT_EQ(ElapsedText(59960), "01:00.0 Sec");   // rounds up into the next minute
  EXPECT_EQ(ElapsedText(119950), "02:00.0 Sec");
  EXPECT_EQ(ElapsedText(59949), "00:59.9 Sec");
}

TEST(Percent, TruncatedAndCappedWithBlanksAround) {
  EXPECT_EQ(ProgressPercent(0, 0, 514), 0);
  EXPECT_EQ(ProgressPercent(513, 0, 514), 99);
  EXPECT_EQ(ProgressPercent(514, 0, 514), 100);
  EXPECT_EQ(ProgressPercent(600, 0, 514), 100);
  EXPECT_EQ(ProgressPercent(29, 0, 100), 29);
  EXPECT_EQ(ProgressPercent(-3, 0, 100), 0);
  EXPECT_EQ(PercentText(100), "  100%  ");
  EXPECT_EQ(PercentText(7), "  7%  ");
}

TEST(Percent, EmptyAndHugeRangesAreSafe) {
  EXPECT_EQ(ProgressPercent(0, 0, 0), 0);
  EXPECT_EQ(ProgressPercent(5, 10, 3), 0);
  EXPECT_EQ(FillWidth(5, 0, 0, kBarFillUnits), 0);
  EXPECT_EQ(ProgressPercent(INT_MAX / 2, 0, INT_MAX), 49);
  EXPECT_EQ(FillWidth(INT_MAX, INT_MIN, INT_MAX, kBarFillUnits), kBarFillUnits);
}

TEST(Captions, PortNumbersCountFromOne) {
  EXPECT_EQ(PortText(0), "COM1");
  EXPECT_EQ(PortText(44), "COM45");
  EXPECT_EQ(ProgressCaption(9), "COM10 : Download ...");
}

std::pair<int, int> Corner(int port) {
  const WindowPlacement placement = TilePlacement(port);
  return {placement.x, placement.y};
}

TEST(Tiling, BaseGrid) {
  EXPECT_EQ(Corner(0), std::make_pair(1, 1));
  EXPECT_EQ(Corner(3), std::make_pair(730, 1));
  EXPECT_EQ(Corner(4), std::make_pair(1, 172));
  EXPECT_EQ(Corner(10), std::make_pair(487, 344));
  EXPECT_EQ(Corner(15), std::make_pair(730, 516));
  EXPECT_EQ(Corner(16), std::make_pair(1, 688));
  EXPECT_EQ(Corner(17), std::make_pair(244, 688));
  EXPECT_EQ(TilePlacement(5).width, 243);
  EXPECT_EQ(TilePlacement(5).height, 172);
}

TEST(Tiling, PortsAbove39RepeatTheirTiles) {
  EXPECT_EQ(Corner(44), Corner(4));
  EXPECT_EQ(Corner(44), std::make_pair(1, 172));
  EXPECT_EQ(Corner(41), Corner(1));
  EXPECT_EQ(Corner(79), Corner(39));
  EXPECT_EQ(Corner(85), Corner(5));  // beyond one reduction too
  EXPECT_EQ(Corner(255), Corner(15));
}

TEST(Tiling, Slots18To39CascadeOverTheGridAndStayVisible) {
  EXPECT_EQ(Corner(18), std::make_pair(25, 25));
  EXPECT_EQ(Corner(35), std::make_pair(268, 712));
  EXPECT_EQ(Corner(36), std::make_pair(49, 49));
  EXPECT_EQ(Corner(39), std::make_pair(778, 49));
  std::set<std::pair<int, int>> corners;
  for (int port = 0; port < 40; ++port) {
    const WindowPlacement placement = TilePlacement(port);
    corners.insert({placement.x, placement.y});
    // The whole width and the caption stay on a 1024 x 768 screen.
    EXPECT_LE(placement.x + placement.width, 1024) << port;
    EXPECT_GE(placement.x, 0) << port;
    EXPECT_LT(placement.y + 20, 768) << port;
  }
  EXPECT_EQ(corners.size(), 40u);  // no two ports hide each other
}

TEST(Tiling, OnlyKindsZeroAndOneAreTiled) {
  EXPECT_EQ(ProgressPlacement(4, 0).mode, WindowPlacement::Mode::Tiled);
  EXPECT_EQ(ErrorDialogPlacement(4, 1).mode, WindowPlacement::Mode::Tiled);
  EXPECT_EQ(ProgressPlacement(4, 2).mode, WindowPlacement::Mode::Centred);
  EXPECT_EQ(ErrorDialogPlacement(4, 3).mode, WindowPlacement::Mode::Centred);
  EXPECT_EQ(EndDialogPlacement(4, 1).mode, WindowPlacement::Mode::Tiled);
  EXPECT_EQ(EndDialogPlacement(4, 3).mode, WindowPlacement::Mode::Kept);
  EXPECT_EQ(ProgressPlacement(4, -1).mode, WindowPlacement::Mode::Centred);
}

}  // namespace
