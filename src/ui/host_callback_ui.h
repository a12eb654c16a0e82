// The operator interface of a host program: every progress change and every
// dialog goes to the host as one structured event, and the host's answer
// (a number) answers the dialog. The boundary turns these events into the
// C structures of the public header; the numbers below are the header's.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "ui/operator_ui.h"

namespace zk::ui {

enum class HostEventType : int {
  ProgressOpen = 1,
  ProgressClose = 2,
  ProgressText = 3,   // control and text
  ProgressBar = 4,    // low, high, position; text is the percentage
  AddressMode = 5,    // on
  Message = 6,        // text, buttons, default answer
  ErrorDialog = 7,    // title, code, text (message), detail (solution)
  EndDialog = 8,      // title, text (elapsed time)
  AskSaveFile = 9,    // title, detail (suggested name); the path goes to answerText
  AskOpenFile = 10,   // title, detail (filter); the path goes to answerText
};

// Control numbers of ProgressText events, in ProgressControl order.
int HostControlNumber(ProgressControl control);

enum class HostButtons : int { Ok = 0, OkCancel = 1, YesNo = 2, OkClose = 3, OkEnd = 4 };

// What a host answers. Default (0), or any answer that the dialog's buttons
// do not offer, takes the dialog's default answer.
enum class HostAnswer : int { Default = 0, Ok = 1, Cancel = 2, Yes = 3, No = 4, End = 5, Closed = 6 };

struct HostEvent {
  HostEventType type = HostEventType::ProgressOpen;
  int portIndex = 0;
  int operationKind = 0;
  int control = 0;
  int low = 0, high = 0, position = 0;
  bool on = false;
  HostButtons buttons = HostButtons::Ok;
  HostAnswer defaultAnswer = HostAnswer::Default;
  int code = 0;
  const char* title = "";
  const char* text = "";
  const char* detail = "";
};

// Sends one event; returns the host's answer number and, for the file
// dialogs, the path the host chose (nullopt: none).
using HostEventSink = std::function<int(const HostEvent& event, std::optional<std::string>* fileAnswer)>;

class HostCallbackUi : public OperatorUi {
 public:
  explicit HostCallbackUi(HostEventSink sink) : m_sink(std::move(sink)) {}

  void OpenProgress(const ProgressWindowView& view) override;
  void CloseProgress() override;
  void SetProgressText(ProgressControl control, const std::string& text) override;
  void SetProgressBar(int low, int high, int position, const std::string& percent) override;
  void SetAddressMode(bool on) override;
  MessageAnswer ShowMessage(const std::string& text, MessageButtons buttons) override;
  DialogAnswer ShowErrorDialog(const ErrorDialogView& view) override;
  DialogAnswer ShowEndDialog(const EndDialogView& view) override;
  std::optional<std::string> AskSaveFile(const std::string& title, const std::string& suggestion) override;
  std::optional<std::string> AskOpenFile(const std::string& title, const std::string& filter) override;
  bool FollowsSilentOperations() const override { return true; }

 private:
  HostAnswer Send(const HostEvent& event, std::optional<std::string>* fileAnswer = nullptr);

  HostEventSink m_sink;
  int m_portIndex = 0;
  int m_kind = 0;
};

}  // namespace zk::ui
