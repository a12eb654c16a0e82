// The texts and measures of the progress window, computed here so that every
// operator interface shows the same thing.
#pragma once

#include <cstdint>
#include <string>

namespace zk::ui {

// Resolution of the progress bar's fill: the bar is redrawn only when the
// fill measured in these units (or the percentage) changes.
inline constexpr int kBarFillUnits = 200;

// "MM:SS.s Sec" for an elapsed time in milliseconds, rounded to a tenth of
// a second; minutes keep counting past 99. Negative times show as zero.
std::string ElapsedText(int64_t elapsedMs);

// Share of the bar's range covered by `position`, in whole percent,
// truncated and kept within 0..100. An empty range (upper <= lower) is 0.
int ProgressPercent(int position, int lower, int upper);

// The percentage as drawn beside the bar: two blanks on each side ("  37%  ").
std::string PercentText(int percent);

// The filled part of a bar `width` units wide, within 0..width.
int FillWidth(int position, int lower, int upper, int width);

// "COM%d" for a 0-based port index.
std::string PortText(int portIndex);

// Caption of the progress window: "COM%d : Download ...".
std::string ProgressCaption(int portIndex);

}  // namespace zk::ui
