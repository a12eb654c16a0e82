#include "ui/pipe_ui.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/clock.h"
#include "ui/event_line.h"

namespace zk::ui {

PipeUi::PipeUi(AnswerQueue& answers, int fd) : NoneUi(answers), m_fd(fd) {
  // Programs the operation starts (the error-sending tool) must not keep
  // the station's pipe open after this process ended.
  ::fcntl(fd, F_SETFD, FD_CLOEXEC);
}

PipeUi::~PipeUi() { SendHeld(); }

void PipeUi::Send(const std::vector<std::string>& fields) {
  SendHeld();
  Write(fields);
}

void PipeUi::SendFrequent(Frequent kind, std::vector<std::string> fields, bool atOnce) {
  Held& held = m_held[kind];
  const int64_t now = zk::platform::NowMs();
  held.fields = std::move(fields);
  if (!atOnce && held.sentMs && now - *held.sentMs < kFrequentUpdateMs) return;
  held.sentMs = now;
  Write(held.fields);
  held.fields.clear();
}

void PipeUi::SendHeld() {
  for (Held& held : m_held) {
    if (held.fields.empty()) continue;
    held.sentMs = zk::platform::NowMs();
    Write(held.fields);
    held.fields.clear();
  }
}

void PipeUi::Write(const std::vector<std::string>& fields) {
  if (m_readerGone) return;
  const std::string line = EncodeEventLine(fields);
  std::size_t sent = 0;
  while (sent < line.size()) {
    const ssize_t n = ::write(m_fd, line.data() + sent, line.size() - sent);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      m_readerGone = true;  // EPIPE, or no descriptor: the station is gone
      return;
    }
    sent += static_cast<std::size_t>(n);
  }
}

void PipeUi::OpenProgress(const ProgressWindowView& view) {
  Send({"open", std::to_string(view.portIndex), std::to_string(view.kind), view.caption});
}

void PipeUi::CloseProgress() { Send({"close"}); }

void PipeUi::SetProgressText(ProgressControl control, const std::string& text) {
  std::vector<std::string> fields{"text", ProgressControlName(control), text};
  if (control == ProgressControl::FirstAddress) return SendFrequent(kFirstAddress, std::move(fields), false);
  if (control == ProgressControl::SecondAddress) return SendFrequent(kSecondAddress, std::move(fields), false);
  Send(fields);
}

void PipeUi::EnterStage(const std::string& name) { Send({"stage", name}); }

void PipeUi::SetProgressBar(int low, int high, int position, const std::string& percent) {
  const bool end = position <= low || position >= high;
  SendFrequent(kBar, {"bar", std::to_string(low), std::to_string(high), std::to_string(position), percent}, end);
}

void PipeUi::SetAddressMode(bool on) { Send({"address", on ? "on" : "off"}); }

MessageAnswer PipeUi::ShowMessage(const std::string& text, MessageButtons buttons) {
  Send({"message", text});
  return NoneUi::ShowMessage(text, buttons);
}

DialogAnswer PipeUi::ShowErrorDialog(const ErrorDialogView& view) {
  Send({"error", std::to_string(view.code), view.message});
  return NoneUi::ShowErrorDialog(view);
}

DialogAnswer PipeUi::ShowEndDialog(const EndDialogView& view) {
  Send({"end", view.elapsed});
  return NoneUi::ShowEndDialog(view);
}

int PipeUiDescriptor(const std::string& setting) {
  constexpr std::string_view kPrefix = "pipe:";
  if (setting.compare(0, kPrefix.size(), kPrefix) != 0 || setting.size() == kPrefix.size()) return -1;
  char* end = nullptr;
  const long fd = std::strtol(setting.c_str() + kPrefix.size(), &end, 10);
  if (*end != '\0' || fd < 0 || fd > 1024) return -1;
  return static_cast<int>(fd);
}

}  // namespace zk::ui
