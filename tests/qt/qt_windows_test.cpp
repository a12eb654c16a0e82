// The Qt interface's windows as the operator sees them, driven through
// CCommonProcess as the library drives them: texts, colours sampled from
// rendered images, placement, the bar and its percentage, the error and end
// dialogs and their answers, and the screenshots.
#include <gtest/gtest.h>

#include <QApplication>
#include <QEnterEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QScreen>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "qt/qt_test_support.h"
#include "support/temp_home.h"
#include "ui/common_process.h"
#include "ui/qt/end_dialog.h"
#include "ui/qt/error_dialog.h"
#include "ui/qt/qt_operator_ui.h"
#include "ui/silent_mode.h"

namespace {

using zk::test::HasColour;
using zk::test::WhenModal;
using zk::ui::DialogAnswer;
using zk::ui::ProgressControl;
using zk::ui::qt::EndDialog;
using zk::ui::qt::ErrorDialog;
using zk::ui::qt::PictureButton;
using zk::ui::qt::ProgressWindow;

// The colours the windows are drawn in, written out here so that a wrong
// entry in the interface's own table shows.
namespace colours {
const QColor kWindowBackground(220, 232, 228);
const QColor kFrameOrange(253, 215, 157);
const QColor kLabelBlue(4, 12, 178);
const QColor kPercentRed(164, 59, 80);
const QColor kErrorBackground(255, 240, 215);
const QColor kErrorFieldRed(255, 200, 200);
const QColor kMessageWhite(255, 255, 255);
const QColor kEndTextBackground(227, 240, 236);
}  // namespace colours

void PressEscape(QWidget& dialog) {
  QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(&dialog, &press);
}

class QtWindowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    zk::ui::SetSilentMode(false);
    process_.SetOperatorUi(&ui_);
    process_.SetLink(&link_);
  }
  void TearDown() override {
    process_.CloseProgressWindow();
    process_.SetOperatorUi(nullptr);
    process_.SetLink(nullptr);
  }

  ProgressWindow& Window() {
    EXPECT_NE(ui_.Progress(), nullptr);
    return *ui_.Progress();
  }

  zk::test::TempHome home_;
  zk::test::ReportingLink link_{home_.path()};
  zk::ui::qt::QtOperatorUi ui_{zk::ui::QtPluginHost{}};
  CCommonProcess process_;
};

TEST_F(QtWindowsTest, ProgressWindowTextsAndColours) {
  process_.OpenProgressWindow();
  process_.SetStatusText("NV Reading...");
  process_.SetDetailText("NV_BANNER_I");
  ProgressWindow& window = Window();
  EXPECT_EQ(window.windowTitle(), "COM5 : Download ...");
  EXPECT_TRUE(window.windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_EQ(window.Text(ProgressControl::Status), "NV Reading...");
  EXPECT_EQ(window.Text(ProgressControl::Detail), "NV_BANNER_I");
  EXPECT_EQ(window.Text(ProgressControl::FirstAddress), "00000000");

  QImage image = window.grab().toImage();
  const int w = image.width();
  const int h = image.height();
  for (const QPoint corner : {QPoint(0, 0), QPoint(3, h / 2), QPoint(w - 1, h - 1), QPoint(w / 2, h - 4)})
    EXPECT_EQ(image.pixelColor(corner).rgb(), colours::kFrameOrange.rgb()) << corner.x() << "," << corner.y();
  EXPECT_EQ(image.pixelColor(5, h / 2).rgb(), colours::kWindowBackground.rgb());
  EXPECT_TRUE(HasColour(image, ProgressWindow::StatusLabelRect(), colours::kLabelBlue));
  EXPECT_TRUE(HasColour(image, ProgressWindow::FileLabelRect(), colours::kLabelBlue));
  // "Address" is painted only while the address row is in use.
  EXPECT_FALSE(HasColour(image, ProgressWindow::AddressLabelRect(), colours::kLabelBlue));
  process_.SetAddressMode(true);
  process_.SetText(CCommonProcess::kFirstAddressId, "0x20000");
  image = window.grab().toImage();
  EXPECT_TRUE(HasColour(image, ProgressWindow::AddressLabelRect(), colours::kLabelBlue));
  EXPECT_EQ(window.Text(ProgressControl::FirstAddress), "0x20000");
  process_.SetAddressMode(false);
  EXPECT_FALSE(HasColour(window.grab().toImage(), ProgressWindow::AddressLabelRect(), colours::kLabelBlue));
  EXPECT_EQ(window.Text(ProgressControl::FirstAddress), "");
}

TEST_F(QtWindowsTest, BarAtTheEndOf514StepsShowsAHundredPercentAndRedrawsOnlyWhenItsFillMoves) {
  process_.OpenProgressWindow();
  ProgressWindow& window = Window();
  process_.SetProgressRange(514);
  for (int step = 0; step < 514; ++step) process_.StepProgress();
  EXPECT_EQ(window.PercentText(), "  100%  ");
  EXPECT_EQ(window.Bar().FillWidth(), window.Bar().width() - 3);
  process_.StepProgress();
  EXPECT_EQ(window.PercentText(), "  100%  ");

  const QImage image = window.grab().toImage();
  EXPECT_TRUE(HasColour(image, ProgressWindow::PercentRect().adjusted(-10, 0, 10, 0), colours::kPercentRed));
  // The filled part in the highlight colour, with lighter rows above it.
  const QImage bar = window.Bar().grab().toImage();
  const QColor base = window.Bar().palette().color(QPalette::Highlight);
  EXPECT_EQ(bar.pixelColor(bar.width() / 2, bar.height() / 2).rgb(), base.rgb());
  EXPECT_EQ(bar.pixelColor(bar.width() / 2, 2).rgb(), zk::ui::qt::ProgressBar::Lighter(base).rgb());

  // A position that moves the fill by less than a pixel paints nothing.
  process_.SetProgressRange(1000);
  process_.SetProgressPosition(500);
  const int paints = window.Bar().PaintCount();
  process_.SetProgressPosition(501);
  EXPECT_EQ(window.Bar().PaintCount(), paints);
  process_.SetProgressPosition(900);
  EXPECT_GT(window.Bar().PaintCount(), paints);
}

TEST_F(QtWindowsTest, TiledByPortForKindsZeroAndOneCentredOtherwise) {
  struct Case {
    int port;
    QPoint corner;
  };
  for (const Case& c : {Case{0, {1, 1}}, Case{5, {244, 172}}, Case{17, {244, 688}}, Case{44, {1, 172}}}) {
    link_.port = c.port;
    process_.OpenProgressWindow();
    EXPECT_EQ(Window().frameGeometry().topLeft(), c.corner) << "port index " << c.port;
    EXPECT_EQ(Window().frameGeometry().size(), QSize(243, 172)) << "port index " << c.port;
    process_.CloseProgressWindow();
  }
  link_.kind = 2;
  process_.OpenProgressWindow();
  const QPoint centre = QGuiApplication::primaryScreen()->availableGeometry().center();
  EXPECT_LE((Window().frameGeometry().center() - centre).manhattanLength(), 2);
  EXPECT_EQ(Window().size(), QSize(ProgressWindow::kWidth, ProgressWindow::kHeight));
}

TEST_F(QtWindowsTest, ErrorDialogEscapeWritesNoReportAndOkWritesOne) {
  const auto report = link_.ReportPath(link_.port);
  QString caption, port, number, shown;
  WhenModal([&](QWidget& dialog) {
    auto& error = dynamic_cast<ErrorDialog&>(dialog);
    caption = error.windowTitle();
    port = error.PortText();
    number = error.NumberText();
    shown = error.ShownText();
    PressEscape(dialog);
  });
  process_.ShowError(405020);
  EXPECT_EQ(caption, "Error Dialog - COM5");
  EXPECT_EQ(port, "COM5");
  EXPECT_EQ(number, "405020");
  EXPECT_TRUE(shown.startsWith("Location : 'PRLDownloadProc' Function in PRL Download\n\nContents : "));
  EXPECT_FALSE(std::filesystem::exists(report));

  WhenModal([](QWidget& dialog) { dynamic_cast<ErrorDialog&>(dialog).OkButton().click(); });
  process_.ShowError(405020);
  ASSERT_TRUE(std::filesystem::exists(report));
  std::stringstream written;
  written << std::ifstream(report).rdbuf();
  EXPECT_NE(written.str().find("Error Message Number : 405020"), std::string::npos);
}

TEST_F(QtWindowsTest, ErrorDialogColoursSolutionToggleAndHoverPictures) {
  zk::ui::ErrorDialogView view;
  view.caption = "Error Dialog - COM1";
  view.portText = "COM1";
  view.numberText = "102002";
  view.message = "Location : 'Read_NV' Function in Upgrade\r\n\r\nContents : Can't Change DM mode.";
  view.solution = "Reset Phone and Retry";
  ErrorDialog dialog(view);
  EXPECT_TRUE(dialog.SolutionButton().isHidden());
  dialog.show();
  QApplication::processEvents();
  ASSERT_TRUE(dialog.SolutionButton().isVisible());

  const QImage image = dialog.grab().toImage();
  EXPECT_EQ(image.pixelColor(71, 3).rgb(), colours::kErrorBackground.rgb());
  EXPECT_TRUE(HasColour(image, QRect(8, 6, 60, 20), colours::kErrorFieldRed));
  EXPECT_TRUE(HasColour(image, QRect(8, 32, dialog.width() - 16, 60), colours::kMessageWhite));

  EXPECT_EQ(dialog.ShownText(), "Location : 'Read_NV' Function in Upgrade\n\nContents : Can't Change DM mode.");
  dialog.SolutionButton().click();
  EXPECT_EQ(dialog.ShownText(), "Reset Phone and Retry");
  dialog.SolutionButton().click();
  EXPECT_TRUE(dialog.ShownText().startsWith("Location : "));

  PictureButton& ok = dialog.OkButton();
  const QImage normal = ok.grab().toImage();
  QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
  QApplication::sendEvent(&ok, &enter);
  EXPECT_EQ(ok.CurrentLook(), PictureButton::Look::Hover);
  EXPECT_NE(ok.grab().toImage(), normal);
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(&ok, &leave);
  EXPECT_EQ(ok.CurrentLook(), PictureButton::Look::Normal);
  ok.setDown(true);
  EXPECT_EQ(ok.CurrentLook(), PictureButton::Look::Pressed);
  ok.setDown(false);

  // A cause without a hint keeps the button hidden.
  view.solution = " ";
  ErrorDialog plain(view);
  plain.show();
  QApplication::processEvents();
  EXPECT_TRUE(plain.SolutionButton().isHidden());
}

TEST_F(QtWindowsTest, EndDialogTextsColoursAndAnswers) {
  process_.m_elapsedText = "01:05.3 Sec";
  QString caption;
  QImage image;
  WhenModal([&](QWidget& dialog) {
    caption = dialog.windowTitle();
    image = dialog.grab().toImage();
    dynamic_cast<EndDialog&>(dialog).OkButton().click();
  });
  EXPECT_EQ(process_.RunEndDialog(), DialogAnswer::Ok);
  EXPECT_EQ(caption, "Success Download - COM5");
  EXPECT_TRUE(HasColour(image, EndDialog::PortRect(), colours::kEndTextBackground));
  EXPECT_TRUE(HasColour(image, EndDialog::PortRect(), colours::kLabelBlue));
  EXPECT_TRUE(HasColour(image, EndDialog::ElapsedRect().adjusted(0, -3, 0, 3), colours::kLabelBlue));

  WhenModal([](QWidget& dialog) { dynamic_cast<EndDialog&>(dialog).EndButton().click(); });
  EXPECT_EQ(process_.RunEndDialog(), DialogAnswer::End);
  WhenModal(PressEscape);
  EXPECT_EQ(ui_.ShowEndDialog(zk::ui::EndDialogView{}), DialogAnswer::Closed);
}

TEST_F(QtWindowsTest, MessageBoxAnswersAndPendingEventsFlow) {
  WhenModal([](QWidget& dialog) { dynamic_cast<QMessageBox&>(dialog).button(QMessageBox::No)->click(); });
  EXPECT_EQ(process_.AskMessage("Write the PRL?", zk::ui::MessageButtons::YesNo), zk::ui::MessageAnswer::No);
  WhenModal(PressEscape);
  EXPECT_EQ(process_.AskMessage("Go on?", zk::ui::MessageButtons::OkCancel), zk::ui::MessageAnswer::Cancel);

  // What the window system queued runs while an operation waits.
  bool ran = false;
  QTimer::singleShot(0, [&ran] { ran = true; });
  process_.ProcessPendingEvents(5);
  EXPECT_TRUE(ran);
}

TEST_F(QtWindowsTest, CallsFromAnotherThreadGetHeadlessAnswersWithoutWindows) {
  DialogAnswer answer = DialogAnswer::Ok;
  testing::internal::CaptureStderr();
  std::thread([&] {
    ui_.OpenProgress(zk::ui::ProgressWindowView{});
    answer = ui_.ShowEndDialog(zk::ui::EndDialogView{});
  }).join();
  EXPECT_NE(testing::internal::GetCapturedStderr().find("off the application's thread"), std::string::npos);
  EXPECT_EQ(answer, DialogAnswer::End);
  EXPECT_EQ(ui_.Progress(), nullptr);
}

TEST_F(QtWindowsTest, ScreenshotsOfEveryWindow) {
  zk::test::TempDir shots;
  zk::test::ScopedEnv setting("ZKDOWNLOAD_QT_SCREENSHOTS", shots.path().c_str());
  process_.OpenProgressWindow();
  process_.CloseProgressWindow();
  WhenModal(PressEscape);
  process_.ShowError(102002);
  WhenModal(PressEscape);
  process_.RunEndDialog();
  const QImage progress(QString::fromStdString((shots.path() / "progress-COM5.png").string()));
  EXPECT_EQ(progress.pixelColor(0, 0).rgb(), colours::kFrameOrange.rgb());
  for (const char* name : {"progress-COM5.png", "error-COM5.png", "end-COM5.png"}) {
    const QImage image(QString::fromStdString((shots.path() / name).string()));
    // The client area of a 243 x 172 tile.
    EXPECT_GE(image.width(), 230) << name;
    EXPECT_GE(image.height(), 140) << name;
  }
}

}  // namespace
