// The `pipe` operator interface: for a worker process of the service
// station. Everything the progress window and the dialogs would show goes
// to a file descriptor as event lines (see event_line.h), one per change;
// questions are answered as the headless interface answers them, from the
// scripted queue or with their defaults (the station serves the next
// handset itself, so the end dialog ends).
//
// What moves with every packet (the bar and the two address lines) goes out
// at most every kFrequentUpdateMs: the station redraws a few times a second,
// and a line per packet would cost the worker a write and the station a
// wake-up hundreds of times an upgrade. A held update goes out with the next
// event of any kind, and the bar's two ends go out at once.
//
// Events, first field the event's name:
//   open   PORT KIND CAPTION      the progress window opened
//   close                         it closed
//   text   CONTROL TEXT           status, detail, elapsed, first, second
//   bar    LOW HIGH POSITION PERCENT
//   address on|off
//   stage  NAME                   a stage of a main operation began
//   message TEXT                  a message box
//   error  CODE MESSAGE           the error dialog for a failure code
//   end    ELAPSED                the end dialog: the handset is done
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ui/none_ui.h"

namespace zk::ui {

class PipeUi : public NoneUi {
 public:
  // `fd` is not owned. A reader that went away makes later events vanish;
  // it does not stop the operation.
  PipeUi(AnswerQueue& answers, int fd);
  ~PipeUi() override;

  static constexpr int64_t kFrequentUpdateMs = 100;

  void OpenProgress(const ProgressWindowView& view) override;
  void CloseProgress() override;
  void SetProgressText(ProgressControl control, const std::string& text) override;
  void EnterStage(const std::string& name) override;
  void SetProgressBar(int low, int high, int position, const std::string& percent) override;
  void SetAddressMode(bool on) override;
  MessageAnswer ShowMessage(const std::string& text, MessageButtons buttons) override;
  DialogAnswer ShowErrorDialog(const ErrorDialogView& view) override;
  DialogAnswer ShowEndDialog(const EndDialogView& view) override;

 private:
  // The updates that are held rather than sent at once.
  enum Frequent { kBar, kFirstAddress, kSecondAddress, kFrequentKinds };
  struct Held {
    std::vector<std::string> fields;  // empty: nothing held
    std::optional<int64_t> sentMs;    // when this kind last went out
  };

  void Send(const std::vector<std::string>& fields);  // held updates first
  void SendFrequent(Frequent kind, std::vector<std::string> fields, bool atOnce);
  void SendHeld();
  void Write(const std::vector<std::string>& fields);

  int m_fd;
  bool m_readerGone = false;
  std::array<Held, kFrequentKinds> m_held;
};

// The descriptor of a "pipe:FD" setting, or -1 when the setting is not one.
int PipeUiDescriptor(const std::string& setting);

}  // namespace zk::ui
