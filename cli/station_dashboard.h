// The station's view of its ports. On a terminal: a table with one line per
// port, redrawn in place, with the finished handsets printed above it. Into
// a file or a pipe: one timestamped line per change worth reading later (a
// stage, a new status line, a finished handset), never a redrawn line.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "station_port.h"

namespace zk::cli {

// The table's heading and one port's line, cut to `columns` characters.
std::string DashboardHeading(int columns);
std::string DashboardLine(const StationPort& port, int columns);

class StationDashboard {
 public:
  StationDashboard(std::FILE* out, bool live);

  // Live: draws the table anew. Log: nothing.
  void Redraw(const std::vector<StationPort>& ports);
  // A line that stays: above the table when live, timestamped in a log.
  void Note(const std::string& text, const std::vector<StationPort>& ports);
  // Live: leaves the last table on the screen and the cursor below it.
  void Finish(const std::vector<StationPort>& ports);

 private:
  void EraseTable();
  int Columns() const;

  std::FILE* m_out;
  bool m_live;
  int m_drawnLines = 0;
};

}  // namespace zk::cli
