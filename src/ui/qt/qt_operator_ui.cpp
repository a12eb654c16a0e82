#include "ui/qt/qt_operator_ui.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QThread>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>

#include "ui/qt/end_dialog.h"
#include "ui/qt/error_dialog.h"
#include "ui/qt/nv_editor_dialog.h"
#include "ui/qt/window_setup.h"

namespace zk::ui::qt {
namespace {

// Pending events are handled for at most this long per call.
constexpr int kPumpBudgetMs = 10;

// QApplication keeps references to these for its whole life.
int g_argc = 1;
char g_programName[] = "zkdownload";
char g_platformOption[] = "-platform";
std::string g_platform;
char* g_argv[] = {g_programName, nullptr, nullptr, nullptr};

QString PortName(int portIndex) { return QStringLiteral("COM%1").arg(portIndex + 1); }

QString NameFilter(const std::string& filter) {
  if (filter.empty()) return {};
  const QString text = QString::fromStdString(filter);
  return text.contains('(') ? text : text + " (" + text + ")";
}

}  // namespace

QtOperatorUi::QtOperatorUi(QtPluginHost host, const std::string& platform) : m_host(std::move(host)) {
  if (QApplication::instance() != nullptr) return;
  if (!platform.empty()) {
    g_platform = platform;
    g_argv[1] = g_platformOption;
    g_argv[2] = g_platform.data();
    g_argc = 3;
  }
  m_ownApplication = std::make_unique<QApplication>(g_argc, g_argv);
}

QtOperatorUi::~QtOperatorUi() { m_progress.reset(); }

bool QtOperatorUi::OnGuiThread() {
  if (QThread::currentThread() == QCoreApplication::instance()->thread()) return true;
  // Qt's windows live on the thread of the application object; a call from
  // another thread gets the headless answers instead.
  if (!m_offThreadNoted.exchange(true))
    std::fprintf(stderr, "zkdownload: the Qt interface was called off the application's thread; "
                         "its windows are not shown for such calls\n");
  return false;
}

void QtOperatorUi::OpenProgress(const ProgressWindowView& view) {
  if (!OnGuiThread()) return;
  m_progress = std::make_unique<ProgressWindow>(view);
  m_progress->show();
  PlaceWindow(*m_progress, view.placement);
  // The window is drawn before the operation goes on.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, kPumpBudgetMs);
}

void QtOperatorUi::CloseProgress() {
  if (!OnGuiThread()) return;
  if (m_progress == nullptr) return;
  SaveScreenshot(*m_progress, "progress-" + PortName(m_progress->PortIndex()));
  m_progress.reset();
}

void QtOperatorUi::SetProgressText(ProgressControl control, const std::string& text) {
  if (!OnGuiThread()) return;
  if (m_progress != nullptr) m_progress->SetText(control, QString::fromStdString(text));
}

void QtOperatorUi::SetProgressBar(int low, int high, int position, const std::string& percent) {
  if (!OnGuiThread()) return;
  if (m_progress != nullptr) m_progress->SetBar(low, high, position, QString::fromStdString(percent));
}

void QtOperatorUi::SetAddressMode(bool on) {
  if (!OnGuiThread()) return;
  if (m_progress != nullptr) m_progress->SetAddressMode(on);
}

int QtOperatorUi::RunModal(QDialog& dialog, std::optional<int> scripted, const QString& shot) {
  QTimer::singleShot(0, &dialog, [&dialog, shot] { SaveScreenshot(dialog, shot); });
  if (scripted) QTimer::singleShot(kScriptedAnswerMs, &dialog, [&dialog, scripted] { dialog.done(*scripted); });
  return dialog.exec();
}

MessageAnswer QtOperatorUi::ShowMessage(const std::string& text, MessageButtons buttons) {
  if (!OnGuiThread()) return OperatorUi::ShowMessage(text, buttons);
  QMessageBox box(QMessageBox::NoIcon, QStringLiteral("zkdownload"), QString::fromStdString(text).replace("\r\n", "\n"));
  MakeTopmost(box);
  switch (buttons) {
    case MessageButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case MessageButtons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case MessageButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
  }
  const std::optional<MessageAnswer> scripted = m_host.messageAnswer ? m_host.messageAnswer(buttons) : std::nullopt;
  const int result = RunModal(box, scripted ? std::optional<int>(QMessageBox::Ok) : std::nullopt, "message");
  if (scripted) return *scripted;
  switch (result) {
    case QMessageBox::Ok: return MessageAnswer::Ok;
    case QMessageBox::Yes: return MessageAnswer::Yes;
    case QMessageBox::No: return MessageAnswer::No;
    default: return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Cancel;
  }
}

DialogAnswer QtOperatorUi::ShowErrorDialog(const ErrorDialogView& view) {
  if (!OnGuiThread()) return OperatorUi::ShowErrorDialog(view);
  ErrorDialog dialog(view);
  dialog.setWindowModality(Qt::ApplicationModal);  // before show(): a shown window keeps its modality
  dialog.show();
  PlaceWindow(dialog, view.placement);
  const std::optional<DialogAnswer> scripted = m_host.errorDialogAnswer ? m_host.errorDialogAnswer() : std::nullopt;
  std::optional<int> code;
  if (scripted) code = *scripted == DialogAnswer::Ok ? QDialog::Accepted : QDialog::Rejected;
  const int result = RunModal(dialog, code, "error-" + PortName(view.portIndex));
  return result == QDialog::Accepted ? DialogAnswer::Ok : DialogAnswer::Closed;
}

DialogAnswer QtOperatorUi::ShowEndDialog(const EndDialogView& view) {
  if (!OnGuiThread()) return OperatorUi::ShowEndDialog(view);
  EndDialog dialog(view);
  dialog.setWindowModality(Qt::ApplicationModal);  // before show(): a shown window keeps its modality
  dialog.show();
  PlaceWindow(dialog, view.placement);
  const std::optional<DialogAnswer> scripted = m_host.endDialogAnswer ? m_host.endDialogAnswer() : std::nullopt;
  std::optional<int> code;
  if (scripted) code = *scripted == DialogAnswer::Ok ? QDialog::Accepted : EndDialog::kEndResult;
  const int result = RunModal(dialog, code, "end-" + PortName(view.portIndex));
  if (result == QDialog::Accepted) return DialogAnswer::Ok;
  return result == EndDialog::kEndResult ? DialogAnswer::End : DialogAnswer::Closed;
}

std::optional<std::string> QtOperatorUi::AskSaveFile(const std::string& title, const std::string& suggestion) {
  if (!OnGuiThread()) return std::nullopt;
  if (m_host.fileAnswer)
    if (auto scripted = m_host.fileAnswer()) return *scripted;
  const QString chosen =
      QFileDialog::getSaveFileName(nullptr, QString::fromStdString(title), QString::fromStdString(suggestion));
  if (chosen.isEmpty()) return std::nullopt;
  return chosen.toStdString();
}

std::optional<std::string> QtOperatorUi::AskOpenFile(const std::string& title, const std::string& filter) {
  if (!OnGuiThread()) return std::nullopt;
  if (m_host.fileAnswer)
    if (auto scripted = m_host.fileAnswer()) return *scripted;
  const QString chosen = QFileDialog::getOpenFileName(nullptr, QString::fromStdString(title), QString(), NameFilter(filter));
  if (chosen.isEmpty()) return std::nullopt;
  return chosen.toStdString();
}

NvEditorEnd QtOperatorUi::RunNvEditor(NvEditorModel& model) {
  if (!OnGuiThread()) return NvEditorEnd::Failed;
  NvEditorDialog dialog(model);
  if (!qEnvironmentVariableIsEmpty("ZKDOWNLOAD_QT_SCREENSHOTS"))
    QTimer::singleShot(0, &dialog, [&dialog] {
      // Every page, as the operator would see it on its tab.
      QTabWidget& pages = dialog.Pages();
      for (int page = 0; page < pages.count(); ++page) {
        pages.setCurrentIndex(page);
        SaveScreenshot(dialog, "nv-editor-page" + QString::number(page + 1));
      }
      pages.setCurrentIndex(0);
    });
  const int result = RunModal(dialog, std::nullopt, "nv-editor");
  return result == NvEditorDialog::kClosedResult ? NvEditorEnd::Closed : NvEditorEnd::Exit;
}

bool QtOperatorUi::Beep(int, int) {
  if (!OnGuiThread()) return false;
  // The window system's bell has no pitch or length of its own; without a
  // screen (the offscreen platform) there is nothing to sound at all.
  if (QGuiApplication::platformName() == QLatin1String("offscreen")) return false;
  QApplication::beep();
  return true;
}

void QtOperatorUi::ProcessPendingEvents(int maxEvents) {
  if (!OnGuiThread()) return;
  if (maxEvents <= 0) return;
  QCoreApplication::processEvents(QEventLoop::AllEvents, kPumpBudgetMs);
}

}  // namespace zk::ui::qt
