#include "station_dashboard.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include "platform/local_time.h"

namespace zk::cli {
namespace {

std::string Cut(std::string text, std::size_t width) {
  if (text.size() > width) text.resize(width);
  return text;
}

std::string Fit(const std::string& text, std::size_t width) {
  std::string fitted = Cut(text, width);
  fitted.resize(width, ' ');
  return fitted;
}

std::string TimeOfDay() { return platform::LocalTimeText("%H:%M:%S"); }

}  // namespace

std::string DashboardHeading(int columns) {
  const std::string heading = Fit("PORT", 7) + Fit("STAGE", 14) + Fit("STATUS", 24) + Fit("FILE", 20) +
                              Fit("%", 6) + Fit("ELAPSED", 13) + Fit("LAST RESULT", 24) + "SERVED FAILED";
  return Cut(heading, static_cast<std::size_t>(columns));
}

std::string DashboardLine(const StationPort& port, int columns) {
  const std::string status = port.busy ? port.status : "waiting";
  char counts[32];
  std::snprintf(counts, sizeof(counts), "%6d %6d", port.served, port.failed);
  const std::string line = Fit(port.name, 7) + Fit(port.busy ? port.stage : "", 14) + Fit(status, 24) +
                           Fit(port.busy ? port.detail : "", 20) + Fit(port.busy ? port.percent : "", 6) +
                           Fit(port.elapsed, 13) + Fit(port.lastResult.empty() ? "-" : port.lastResult, 24) +
                           counts;
  return Cut(line, static_cast<std::size_t>(columns));
}

StationDashboard::StationDashboard(std::FILE* out, bool live) : m_out(out), m_live(live) {}

int StationDashboard::Columns() const {
  winsize size{};
  if (::ioctl(::fileno(m_out), TIOCGWINSZ, &size) == 0 && size.ws_col > 20) return size.ws_col - 1;
  return 160;
}

void StationDashboard::EraseTable() {
  if (m_drawnLines > 0) std::fprintf(m_out, "\x1b[%dA\r\x1b[J", m_drawnLines);
  m_drawnLines = 0;
}

void StationDashboard::Redraw(const std::vector<StationPort>& ports) {
  if (!m_live) return;
  const int columns = Columns();
  EraseTable();
  std::fprintf(m_out, "%s\n", DashboardHeading(columns).c_str());
  for (const auto& port : ports) std::fprintf(m_out, "%s\n", DashboardLine(port, columns).c_str());
  m_drawnLines = static_cast<int>(ports.size()) + 1;
  std::fflush(m_out);
}

void StationDashboard::Note(const std::string& text, const std::vector<StationPort>& ports) {
  if (m_live) {
    EraseTable();
    std::fprintf(m_out, "%s %s\n", TimeOfDay().c_str(), text.c_str());
    Redraw(ports);
    return;
  }
  std::fprintf(m_out, "%s %s\n", TimeOfDay().c_str(), text.c_str());
  std::fflush(m_out);
}

void StationDashboard::Finish(const std::vector<StationPort>& ports) {
  if (m_live) Redraw(ports);
  m_drawnLines = 0;
}

}  // namespace zk::cli
