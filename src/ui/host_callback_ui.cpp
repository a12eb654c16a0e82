#include "ui/host_callback_ui.h"

#include "ui/answer_queue.h"

namespace zk::ui {
namespace {

HostAnswer ToHost(MessageAnswer answer) {
  switch (answer) {
    case MessageAnswer::Ok: return HostAnswer::Ok;
    case MessageAnswer::Cancel: return HostAnswer::Cancel;
    case MessageAnswer::Yes: return HostAnswer::Yes;
    case MessageAnswer::No: return HostAnswer::No;
  }
  return HostAnswer::Default;
}

HostButtons ToHost(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::Ok: return HostButtons::Ok;
    case MessageButtons::OkCancel: return HostButtons::OkCancel;
    case MessageButtons::YesNo: return HostButtons::YesNo;
  }
  return HostButtons::Ok;
}

// The message answer a host's number stands for, when the buttons offer it.
std::optional<MessageAnswer> Offered(HostAnswer answer, MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::Ok:
      if (answer == HostAnswer::Ok) return MessageAnswer::Ok;
      break;
    case MessageButtons::OkCancel:
      if (answer == HostAnswer::Ok) return MessageAnswer::Ok;
      if (answer == HostAnswer::Cancel) return MessageAnswer::Cancel;
      break;
    case MessageButtons::YesNo:
      if (answer == HostAnswer::Yes) return MessageAnswer::Yes;
      if (answer == HostAnswer::No) return MessageAnswer::No;
      break;
  }
  return std::nullopt;
}

}  // namespace

int HostControlNumber(ProgressControl control) { return static_cast<int>(control); }

HostAnswer HostCallbackUi::Send(const HostEvent& event, std::optional<std::string>* fileAnswer) {
  if (!m_sink) return HostAnswer::Default;
  return static_cast<HostAnswer>(m_sink(event, fileAnswer));
}

void HostCallbackUi::OpenProgress(const ProgressWindowView& view) {
  m_portIndex = view.portIndex;
  m_kind = view.kind;
  HostEvent event{.type = HostEventType::ProgressOpen, .portIndex = m_portIndex, .operationKind = m_kind};
  event.title = view.caption.c_str();
  Send(event);
}

void HostCallbackUi::CloseProgress() {
  Send({.type = HostEventType::ProgressClose, .portIndex = m_portIndex, .operationKind = m_kind});
}

void HostCallbackUi::SetProgressText(ProgressControl control, const std::string& text) {
  HostEvent event{.type = HostEventType::ProgressText, .portIndex = m_portIndex, .operationKind = m_kind};
  event.control = HostControlNumber(control);
  event.text = text.c_str();
  Send(event);
}

void HostCallbackUi::SetProgressBar(int low, int high, int position, const std::string& percent) {
  HostEvent event{.type = HostEventType::ProgressBar, .portIndex = m_portIndex, .operationKind = m_kind};
  event.low = low;
  event.high = high;
  event.position = position;
  event.text = percent.c_str();
  Send(event);
}

void HostCallbackUi::SetAddressMode(bool on) {
  HostEvent event{.type = HostEventType::AddressMode, .portIndex = m_portIndex, .operationKind = m_kind};
  event.on = on;
  Send(event);
}

MessageAnswer HostCallbackUi::ShowMessage(const std::string& text, MessageButtons buttons) {
  const MessageAnswer fallback = DefaultMessageAnswer(buttons);
  HostEvent event{.type = HostEventType::Message, .portIndex = m_portIndex, .operationKind = m_kind};
  event.buttons = ToHost(buttons);
  event.defaultAnswer = ToHost(fallback);
  event.text = text.c_str();
  return Offered(Send(event), buttons).value_or(fallback);
}

DialogAnswer HostCallbackUi::ShowErrorDialog(const ErrorDialogView& view) {
  HostEvent event{.type = HostEventType::ErrorDialog, .portIndex = view.portIndex, .operationKind = view.kind};
  event.buttons = HostButtons::OkClose;
  event.defaultAnswer = HostAnswer::Ok;
  event.code = view.code;
  event.title = view.caption.c_str();
  event.text = view.message.c_str();
  event.detail = view.solution.c_str();
  return Send(event) == HostAnswer::Closed ? DialogAnswer::Closed : DialogAnswer::Ok;
}

DialogAnswer HostCallbackUi::ShowEndDialog(const EndDialogView& view) {
  HostEvent event{.type = HostEventType::EndDialog, .portIndex = view.portIndex, .operationKind = view.kind};
  event.buttons = HostButtons::OkEnd;
  event.defaultAnswer = HostAnswer::End;
  event.title = view.caption.c_str();
  event.text = view.elapsed.c_str();
  return Send(event) == HostAnswer::Ok ? DialogAnswer::Ok : DialogAnswer::End;
}

std::optional<std::string> HostCallbackUi::AskSaveFile(const std::string& title, const std::string& suggestion) {
  HostEvent event{.type = HostEventType::AskSaveFile, .portIndex = m_portIndex, .operationKind = m_kind};
  event.buttons = HostButtons::OkCancel;
  event.defaultAnswer = HostAnswer::Cancel;
  event.title = title.c_str();
  event.detail = suggestion.c_str();
  std::optional<std::string> path;
  if (Send(event, &path) != HostAnswer::Ok) return std::nullopt;
  return path;
}

std::optional<std::string> HostCallbackUi::AskOpenFile(const std::string& title, const std::string& filter) {
  HostEvent event{.type = HostEventType::AskOpenFile, .portIndex = m_portIndex, .operationKind = m_kind};
  event.buttons = HostButtons::OkCancel;
  event.defaultAnswer = HostAnswer::Cancel;
  event.title = title.c_str();
  event.detail = filter.c_str();
  std::optional<std::string> path;
  if (Send(event, &path) != HostAnswer::Ok) return std::nullopt;
  return path;
}

}  // namespace zk::ui
