#include "ui/progress_log.h"

#include "platform/local_time.h"
#include "ui/progress_texts.h"

namespace zk::ui {
namespace {

// Control characters would break the one-line-per-event form.
std::string Clean(const std::string& text) {
  std::string out;
  for (const char c : text) out += (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) ? ' ' : c;
  const auto first = out.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return out.substr(first, out.find_last_not_of(' ') - first + 1);
}

}  // namespace

ProgressLog::ProgressLog(std::FILE* out, std::function<std::string()> clock) : m_out(out), m_clock(std::move(clock)) {}

std::string ProgressLog::WallClockStamp() { return zk::platform::LocalTimeText("%Y-%m-%d %H:%M:%S"); }

void ProgressLog::Line(const std::string& text) {
  const std::string line = m_clock() + " " + m_port + "  " + text + "\n";
  std::fwrite(line.data(), 1, line.size(), m_out);
  std::fflush(m_out);
}

void ProgressLog::Open(const ProgressWindowView& view) {
  m_port = PortText(view.portIndex);
  m_status.clear(), m_detail.clear(), m_elapsed.clear();
  m_quarter = 0;
  m_open = true;
  Line("started");
}

void ProgressLog::Close() {
  if (!m_open) return;
  m_open = false;
  Line(m_elapsed.empty() ? "finished" : "finished after " + m_elapsed);
}

void ProgressLog::SetText(ProgressControl control, const std::string& text) {
  if (!m_open) return;
  const std::string clean = Clean(text);
  switch (control) {
    case ProgressControl::Status:
      if (clean == m_status) return;
      m_status = clean;
      if (!clean.empty()) Line(clean);
      return;
    case ProgressControl::Detail:
      if (clean == m_detail) return;
      m_detail = clean;
      if (!clean.empty()) Line(m_status + (m_status.empty() ? "" : ": ") + clean);
      return;
    case ProgressControl::Elapsed:
      m_elapsed = clean;
      return;
    case ProgressControl::FirstAddress:
    case ProgressControl::SecondAddress:
      return;  // a burn's addresses change every block: the quarters say enough
  }
}

void ProgressLog::Stage(const std::string& name) { Line("stage: " + Clean(name)); }

void ProgressLog::SetBar(int low, int high, int position) {
  if (!m_open) return;
  const int percent = ProgressPercent(position, low, high);
  const int quarter = percent / 25;
  if (quarter < m_quarter) m_quarter = 0;  // a new range started over
  if (quarter <= m_quarter) return;
  m_quarter = quarter;
  Line(std::to_string(percent) + "%" + (m_status.empty() ? "" : " " + m_status));
}

}  // namespace zk::ui
