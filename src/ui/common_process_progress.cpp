// The progress window operations of CCommonProcess.
#include "platform/clock.h"
#include "ui/common_process.h"
#include "ui/progress_texts.h"
#include "ui/silent_mode.h"
#include "ui/window_placement.h"

using zk::ui::ProgressControl;

namespace {

constexpr const char* kInitialStatus = "Connecting...";
constexpr const char* kInitialDetail = " ";
constexpr const char* kInitialAddress = "00000000";

}  // namespace

namespace {
// The headless interface and the portless link: stateless stand-ins until
// the library installs the real ones.
zk::ui::OperatorUi g_headlessUi;
zk::ui::LinkView g_noLink;
}  // namespace

zk::ui::OperatorUi& CCommonProcess::HeadlessUi() { return g_headlessUi; }
zk::ui::LinkView& CCommonProcess::NoLink() { return g_noLink; }

void CCommonProcess::SetOperatorUi(zk::ui::OperatorUi* ui) { m_ui = ui != nullptr ? ui : &g_headlessUi; }
void CCommonProcess::SetLink(zk::ui::LinkView* link) { m_link = link != nullptr ? link : &g_noLink; }

void CCommonProcess::ForgetRunState() {
  CloseProgressWindow();
  SetOperatorUi(nullptr);
  m_startTick = m_currentTick = 0;
  m_elapsedText.clear();
  m_addressMode = 0;
  m_failureCode = 0;
  m_nvBackupPending = 0;
  m_secondDownload = 0;
  m_handsetPath.clear();
}

void CCommonProcess::OpenProgressWindow() {
  if ((zk::ui::SilentMode() && !Ui().FollowsSilentOperations()) || m_windowOpen) return;
  const int port = m_link->PortIndex();
  const int kind = m_link->OperationKind();

  zk::ui::ProgressWindowView view;
  view.portIndex = port;
  view.kind = kind;
  view.caption = zk::ui::ProgressCaption(port);
  view.placement = zk::ui::ProgressPlacement(port, kind);
  Ui().OpenProgress(view);
  m_windowOpen = true;

  // A new window starts from its template: empty bar, address row off.
  m_shown = Shown{};
  m_lower = 0;
  m_upper = 100;
  m_position = 0;
  m_addressMode = 0;
  ShowText(ProgressControl::FirstAddress, m_shown.firstAddress, kInitialAddress);
  ShowText(ProgressControl::SecondAddress, m_shown.secondAddress, kInitialAddress);
  ShowText(ProgressControl::Detail, m_shown.detail, kInitialDetail);
  ShowText(ProgressControl::Status, m_shown.status, kInitialStatus);
  RedrawBar();
  m_startTick = zk::platform::NowMs();
}

void CCommonProcess::OpenConnectingWindow() {
  OpenProgressWindow();
  SetProgressRange(100);
  SetAddressMode(false);
  UpdateElapsedTime();
  SetStatusText("Connecting...");
  SetDetailText(" ");
}

void CCommonProcess::CloseProgressWindow() {
  m_link->ClosePort();
  if (!m_windowOpen) return;
  Ui().CloseProgress();
  m_windowOpen = false;
}

void CCommonProcess::SetText(int controlId, const std::string& text) {
  if (!m_windowOpen) return;  // never open in silent mode
  switch (controlId) {
    case kStatusLineId:
      return ShowText(ProgressControl::Status, m_shown.status, text);
    case kFileLineId:
      return ShowText(ProgressControl::Detail, m_shown.detail, text);
    case kFirstAddressId:
      return ShowText(ProgressControl::FirstAddress, m_shown.firstAddress, text);
    case kSecondAddressId:
      return ShowText(ProgressControl::SecondAddress, m_shown.secondAddress, text);
    case kElapsedId:
      return ShowText(ProgressControl::Elapsed, m_shown.elapsed, text);
    default:
      return;  // the bar and the "/" of the address row are not set as text
  }
}

void CCommonProcess::SetProgressRange(int upper) {
  if (!m_windowOpen) return;
  m_lower = 0;
  m_upper = upper;
  m_position = 0;
  RedrawBar();
}

void CCommonProcess::StepProgress() {
  if (!m_windowOpen) return;
  if (m_position < m_upper) ++m_position;  // further steps change nothing visible
  RedrawBar();
}

void CCommonProcess::SetProgressPosition(int position) {
  if (!m_windowOpen) return;
  m_position = position;
  RedrawBar();
}

void CCommonProcess::UpdateElapsedTime() {
  if (!m_windowOpen) return;
  m_currentTick = zk::platform::NowMs();
  m_elapsedText = zk::ui::ElapsedText(m_currentTick - m_startTick);
  ShowText(ProgressControl::Elapsed, m_shown.elapsed, m_elapsedText);
}

void CCommonProcess::EnterStage(const std::string& name) {
  if (zk::ui::SilentMode() && !Ui().FollowsSilentOperations()) return;
  Ui().EnterStage(name);
}

void CCommonProcess::SetAddressMode(bool on) {
  if (!m_windowOpen) return;
  const int mode = on ? 1 : 0;
  if (mode != m_addressMode) Ui().SetAddressMode(on);
  m_addressMode = mode;
  if (!on) {
    ShowText(ProgressControl::FirstAddress, m_shown.firstAddress, "");
    ShowText(ProgressControl::SecondAddress, m_shown.secondAddress, "");
  }
}

void CCommonProcess::ShowText(ProgressControl control, std::string& shown, const std::string& text) {
  if (text == shown) return;
  shown = text;
  Ui().SetProgressText(control, text);
}

void CCommonProcess::RedrawBar() {
  // The bar, with the percentage painted beside it, is redrawn only when
  // its filled part or the percentage moves.
  const int fill = zk::ui::FillWidth(m_position, m_lower, m_upper, zk::ui::kBarFillUnits);
  std::string percent = zk::ui::PercentText(zk::ui::ProgressPercent(m_position, m_lower, m_upper));
  if (fill == m_shown.fill && percent == m_shown.percent) return;
  m_shown.fill = fill;
  m_shown.percent = std::move(percent);
  Ui().SetProgressBar(m_lower, m_upper, m_position, m_shown.percent);
}
