// SetHostCallback_Interface and Cancel_Interface, and the translation of the
// operator interface's host events into the header's C structures.
#include <cstring>
#include <optional>
#include <string>

#include "boundary/export_forms.h"
#include "boundary/host_callback.h"
#include "platform/cancel.h"
#include "platform/library_state.h"
#include "ui/common_process.h"
#include "ui/failure_texts.h"
#include "ui/host_callback_ui.h"
#include "ui/ui_selection.h"
#include "zkdownload/zkdownload.h"

namespace {

using zk::ui::HostAnswer;
using zk::ui::HostButtons;
using zk::ui::HostEventType;

// The header's numbers are the interface's.
static_assert(ZK_EVENT_PROGRESS_OPEN == static_cast<int>(HostEventType::ProgressOpen));
static_assert(ZK_EVENT_ASK_OPEN_FILE == static_cast<int>(HostEventType::AskOpenFile));
static_assert(ZK_EVENT_ERROR_DIALOG == static_cast<int>(HostEventType::ErrorDialog));
static_assert(ZK_CONTROL_SECOND_ADDRESS == static_cast<int>(zk::ui::ProgressControl::SecondAddress));
static_assert(ZK_BUTTONS_OK_END == static_cast<int>(HostButtons::OkEnd));
static_assert(ZK_ANSWER_CLOSED == static_cast<int>(HostAnswer::Closed));
static_assert(ZK_CAUSE_CANCELLED == zk::ui::kCancelledCause);

// Written only while no operation runs (under the operation guard), read by
// the running operation.
ZKHostCallback g_callback = nullptr;
void* g_context = nullptr;

constexpr int kAnswerTextSize = 4096;

int Forward(const zk::ui::HostEvent& from, std::optional<std::string>* fileAnswer) {
  if (g_callback == nullptr) return ZK_ANSWER_DEFAULT;
  char answerText[kAnswerTextSize] = {};
  ZKHostEvent event{};
  event.size = sizeof event;
  event.type = static_cast<int>(from.type);
  event.portIndex = from.portIndex;
  event.operationKind = from.operationKind;
  event.control = from.control;
  event.low = from.low;
  event.high = from.high;
  event.position = from.position;
  event.on = from.on ? 1 : 0;
  event.buttons = static_cast<int>(from.buttons);
  event.defaultAnswer = static_cast<int>(from.defaultAnswer);
  event.code = from.code;
  event.title = from.title;
  event.text = from.text;
  event.detail = from.detail;
  if (fileAnswer != nullptr) {
    event.answerText = answerText;
    event.answerSize = kAnswerTextSize;
  }
  const int answer = g_callback(&event, g_context);
  if (fileAnswer != nullptr && answer == ZK_ANSWER_OK) {
    answerText[kAnswerTextSize - 1] = '\0';  // a host that wrote past its terminator gets a cut path
    if (answerText[0] != '\0') *fileAnswer = std::string(answerText);
  }
  return answer;
}

zk::ui::HostCallbackUi& HostUi() {
  static zk::ui::HostCallbackUi ui(Forward);
  return ui;
}

}  // namespace

namespace zk::boundary {

void InstallHostCallbackUi(CCommonProcess& process) {
  if (g_callback != nullptr) process.SetOperatorUi(&HostUi());
}

}  // namespace zk::boundary

extern "C" {

ZK_API int SetHostCallback_Interface(ZKHostCallback callback, void* context) {
  if (!zk::platform::TryBeginOperation()) return 0;
  g_callback = callback;
  g_context = callback != nullptr ? context : nullptr;
  try {
    if (callback == nullptr)
      g_uiSelection.Install(zk::platform::CurrentSettings(), g_commonProcess);
    else
      zk::boundary::InstallHostCallbackUi(g_commonProcess);
  } catch (...) {
    // Out of memory building an interface: the next export installs one.
  }
  zk::platform::EndOperation();
  return 1;
}

ZK_API int Cancel_Interface(void) {
  zk::platform::RequestCancel();
  return zk::platform::OperationRunning() ? 1 : 0;
}

}  // extern "C"
