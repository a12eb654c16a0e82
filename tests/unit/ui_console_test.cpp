// The console interface: the live progress line and the prompts, driven
// through a real pipe for the operator's input and a real file for stderr.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "ui/common_process.h"
#include "ui/console_ui.h"

namespace {

using namespace zk::ui;

// The operator's keyboard (a pipe holding the typed lines, then closed) and
// the terminal (a temporary file).
class ConsoleTest : public ::testing::Test {
 protected:
  void TearDown() override {
    if (in_ != nullptr) std::fclose(in_);
    std::fclose(out_);
  }

  void Type(const std::string& lines) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    ASSERT_EQ(write(fds[1], lines.data(), lines.size()), static_cast<ssize_t>(lines.size()));
    close(fds[1]);
    in_ = fdopen(fds[0], "r");
  }

  std::string Screen() {
    std::fflush(out_);
    std::rewind(out_);
    std::string text;
    for (int c; (c = std::fgetc(out_)) != EOF;) text += static_cast<char>(c);
    return text;
  }

  // What a line-by-line terminal shows last: the text after the last '\r'
  // of the last line.
  static std::string LastRedraw(const std::string& screen) {
    const auto cut = screen.rfind('\r');
    return cut == std::string::npos ? screen : screen.substr(cut + 1);
  }

  AnswerQueue answers_;
  std::FILE* in_ = nullptr;
  std::FILE* out_ = std::tmpfile();
};

TEST_F(ConsoleTest, ProgressLineIsRedrawnInPlace) {
  ConsoleUi ui(answers_, nullptr, out_, ConsoleUi::Style::Live);  // as on a terminal
  ProgressWindowView view;
  view.caption = "COM3 : Download ...";
  ui.OpenProgress(view);
  ui.SetProgressText(ProgressControl::Status, "Connecting...");
  ui.SetProgressText(ProgressControl::Detail, "a-rather-long-file-name.bin");
  ui.SetProgressBar(0, 200, 100, "  50%  ");
  ui.SetProgressText(ProgressControl::Elapsed, "00:05.3 Sec");
  const std::string before = Screen();
  EXPECT_EQ(before.rfind("COM3 : Download ...\n", 0), 0u) << before;
  // After the caption every update returns to the start of the same line.
  EXPECT_EQ(before.find('\n', 20), std::string::npos) << before;
  EXPECT_EQ(LastRedraw(before),
            "[##########----------]  50%  00:05.3 Sec  Connecting...  a-rather-long-file-name.bin");

  // A shorter line wipes what is left of the longer one.
  ui.SetProgressText(ProgressControl::Detail, " ");
  const std::string shorter = LastRedraw(Screen());
  EXPECT_EQ(shorter.find_last_not_of(' ') + 1,
            std::string("[##########----------]  50%  00:05.3 Sec  Connecting...").size());
  EXPECT_EQ(shorter.size(), LastRedraw(before).size());

  ui.CloseProgress();
  EXPECT_EQ(Screen().back(), '\n');
}

TEST_F(ConsoleTest, IntoAFileProgressIsATimestampedLinePerChange) {
  ConsoleUi ui(answers_, nullptr, out_);  // a file: the log style
  ProgressWindowView view;
  view.portIndex = 4;
  ui.OpenProgress(view);
  ui.SetProgressText(ProgressControl::Status, "Changing to DM mode ...");
  ui.SetProgressText(ProgressControl::Detail, " ");
  ui.SetProgressText(ProgressControl::Status, "PRL Write...");
  ui.SetProgressText(ProgressControl::Detail, "carrier.prl");
  for (int position = 0; position <= 40; ++position) {
    ui.SetProgressBar(0, 40, position, "");
    ui.SetProgressText(ProgressControl::FirstAddress, "0x" + std::to_string(position));
    ui.SetProgressText(ProgressControl::Elapsed, "00:0" + std::to_string(position / 10) + ".0 Sec");
  }
  ui.SetProgressText(ProgressControl::Status, "PRL Write...");  // unchanged: no line
  ui.CloseProgress();
  EXPECT_FALSE(ui.Beep(500, 100));

  const std::string screen = Screen();
  EXPECT_EQ(screen.find('\r'), std::string::npos) << screen;
  EXPECT_EQ(screen.find('\a'), std::string::npos) << screen;
  const std::regex line(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d COM5  (.*))");
  std::vector<std::string> events;
  std::istringstream lines(screen);
  for (std::string text; std::getline(lines, text);) {
    std::smatch match;
    ASSERT_TRUE(std::regex_match(text, match, line)) << text;
    events.push_back(match[1]);
  }
  EXPECT_EQ(events, (std::vector<std::string>{"started", "Changing to DM mode ...", "PRL Write...",
                                              "PRL Write...: carrier.prl", "25% PRL Write...", "50% PRL Write...",
                                              "75% PRL Write...", "100% PRL Write...", "finished after 00:04.0 Sec"}));
}

TEST_F(ConsoleTest, AddressesShowOnlyInAddressMode) {
  ConsoleUi ui(answers_, nullptr, out_, ConsoleUi::Style::Live);  // as on a terminal
  ui.OpenProgress({});
  ui.SetProgressText(ProgressControl::FirstAddress, "0x2000");
  ui.SetProgressText(ProgressControl::SecondAddress, "0x1FFFFF");
  EXPECT_EQ(LastRedraw(Screen()).find("0x2000"), std::string::npos);
  ui.SetAddressMode(true);
  EXPECT_NE(LastRedraw(Screen()).find("0x2000/0x1FFFFF"), std::string::npos);
  ui.SetAddressMode(false);
  EXPECT_EQ(LastRedraw(Screen()).find("0x2000"), std::string::npos);
}

TEST_F(ConsoleTest, ErrorDialogShowsTheSolutionOnRequest) {
  Type("s\ns\nmaybe\nc\n");
  ConsoleUi ui(answers_, in_, out_);
  ErrorDialogView view;
  view.caption = "Error Dialog - COM3";
  view.numberText = "201020";
  view.message = "Location : 'SetBinFile' Function in BIN Download\r\n\r\nContents : Can't open binary file";
  view.solution = "Confirm binary path";
  EXPECT_EQ(ui.ShowErrorDialog(view), DialogAnswer::Closed);
  const std::string screen = Screen();
  EXPECT_NE(screen.find("=== Error Dialog - COM3 ===\nError number : 201020\n"
                        "Location : 'SetBinFile' Function in BIN Download\n\nContents : Can't open binary file\n"),
            std::string::npos)
      << screen;
  EXPECT_EQ(screen.find('\r'), std::string::npos);
  const auto solution = screen.find("Solution : Confirm binary path\n");
  ASSERT_NE(solution, std::string::npos) << screen;
  // The second request swaps back to the message.
  EXPECT_NE(screen.find("Location : 'SetBinFile'", solution), std::string::npos);
}

TEST_F(ConsoleTest, EndDialogAsksUntilItGetsAnAnswer) {
  Type("what\nO\n");
  ConsoleUi ui(answers_, in_, out_);
  EndDialogView view;
  view.caption = "Success Download - COM3";
  view.portText = "COM3";
  view.elapsed = "01:05.3 Sec";
  EXPECT_EQ(ui.ShowEndDialog(view), DialogAnswer::Ok);
  const std::string screen = Screen();
  EXPECT_NE(screen.find("COM3 done, elapsed 01:05.3 Sec"), std::string::npos) << screen;
  const std::string prompt = "Serve the next handset? [O]K / [E]ND > ";
  EXPECT_NE(screen.find(prompt + "what\n" + prompt + "O\n"), std::string::npos) << screen;
}

TEST_F(ConsoleTest, EndOfInputTakesTheDefaults) {
  Type("");
  ConsoleUi ui(answers_, in_, out_);
  EXPECT_EQ(ui.ShowEndDialog({}), DialogAnswer::End);
  EXPECT_EQ(ui.ShowErrorDialog({}), DialogAnswer::Ok);
  EXPECT_EQ(ui.ShowMessage("Cal data is not found!!\nDo you want to continue!!", MessageButtons::OkCancel),
            MessageAnswer::Ok);
  EXPECT_EQ(ui.AskOpenFile("Open", "*.bak"), std::nullopt);
  EXPECT_EQ(ui.AskSaveFile("Save", "COM3.bak"), std::nullopt);
  EXPECT_NE(Screen().find("(end of input)"), std::string::npos);
}

TEST_F(ConsoleTest, MessageBoxesAndFileDialogsReadTheTerminal) {
  Type("n\n\n/home/tech/nv.bak\n");
  ConsoleUi ui(answers_, in_, out_);
  EXPECT_EQ(ui.ShowMessage("Replace the backup?", MessageButtons::YesNo), MessageAnswer::No);
  EXPECT_EQ(ui.AskSaveFile("Save NV backup", "COM3.bak"), "COM3.bak");  // empty: the suggestion
  EXPECT_EQ(ui.AskOpenFile("Open NV backup", "*.bak"), "/home/tech/nv.bak");
  EXPECT_NE(Screen().find("\nReplace the backup?\n[Y]es / [N]o > n\n"), std::string::npos) << Screen();
}

TEST_F(ConsoleTest, ScriptedAnswersComeBeforeTheTerminal) {
  Type("E\n");
  answers_ = AnswerQueue("OK,/srv/prl/a.prl");
  ConsoleUi ui(answers_, in_, out_);
  EXPECT_EQ(ui.ShowEndDialog({}), DialogAnswer::Ok);
  EXPECT_EQ(ui.AskOpenFile("Open PRL", "*.prl"), "/srv/prl/a.prl");
  EXPECT_NE(Screen().find("> OK (scripted)\n"), std::string::npos) << Screen();
  // Only now the terminal is read.
  EXPECT_EQ(ui.ShowEndDialog({}), DialogAnswer::End);
}

TEST_F(ConsoleTest, DrivenByTheCommonProcess) {
  Type("");
  ConsoleUi ui(answers_, in_, out_, ConsoleUi::Style::Live);  // as on a terminal
  struct OnCom5 : LinkView {
    int PortIndex() const override { return 4; }
  } link;
  {
    CCommonProcess process;
    process.SetOperatorUi(&ui);
    process.SetLink(&link);
    process.OpenProgressWindow();
    process.SetStatusText("PRL Writing...");
    process.SetProgressRange(40);
    for (int i = 0; i < 40; ++i) process.StepProgress();
    process.UpdateElapsedTime();
    process.CloseProgressWindow();
  }
  const std::string screen = Screen();
  EXPECT_EQ(screen.rfind("COM5 : Download ...\n", 0), 0u) << screen;
  const std::string last = LastRedraw(screen);
  EXPECT_EQ(last.rfind("[####################] 100%  00:00.", 0), 0u) << last;
  EXPECT_NE(last.find(" Sec  PRL Writing..."), std::string::npos) << last;
  EXPECT_FALSE(ui.Beep(500, 100));  // a file cannot sound
}

}  // namespace
