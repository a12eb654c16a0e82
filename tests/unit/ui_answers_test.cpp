// Scripted answers, the headless interface and the choice of interface.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <optional>
#include <string>

#include "support/temp_home.h"
#include "ui/answer_queue.h"
#include "ui/common_process.h"
#include "ui/none_ui.h"
#include "ui/ui_selection.h"

namespace {

using namespace zk::ui;

TEST(AnswerQueue, ParsesTrimsAndSkipsEmptyItems) {
  AnswerQueue queue(" OK, ,END,/tmp/a b.bin ,yes,");
  EXPECT_EQ(queue.Size(), 4u);
  EXPECT_EQ(queue.Next(), "OK");
  EXPECT_EQ(queue.Next(), "END");
  EXPECT_EQ(queue.Next(), "/tmp/a b.bin");
  EXPECT_EQ(queue.Next(), "yes");
  EXPECT_EQ(queue.Next(), std::nullopt);
  EXPECT_TRUE(AnswerQueue("").Empty());
  EXPECT_TRUE(AnswerQueue(" , ,").Empty());
}

TEST(AnswerQueue, HowAnswersReadForEachQuestion) {
  EXPECT_EQ(AnswerForMessage("cancel", MessageButtons::OkCancel), MessageAnswer::Cancel);
  EXPECT_EQ(AnswerForMessage("OK", MessageButtons::OkCancel), MessageAnswer::Ok);
  EXPECT_EQ(AnswerForMessage("No", MessageButtons::YesNo), MessageAnswer::No);
  EXPECT_EQ(AnswerForMessage("OK", MessageButtons::YesNo), MessageAnswer::Yes);
  EXPECT_EQ(AnswerForMessage("END", MessageButtons::Ok), MessageAnswer::Ok);
  EXPECT_EQ(AnswerForMessage("/some/file", MessageButtons::YesNo), std::nullopt);
  EXPECT_EQ(AnswerForErrorDialog("OK"), DialogAnswer::Ok);
  EXPECT_EQ(AnswerForErrorDialog("Cancel"), DialogAnswer::Closed);
  EXPECT_EQ(AnswerForEndDialog("end"), DialogAnswer::End);
  EXPECT_EQ(AnswerForEndDialog("Ok"), DialogAnswer::Ok);
  EXPECT_EQ(AnswerForFileDialog("/data/backup.bak"), "/data/backup.bak");
  EXPECT_EQ(AnswerForFileDialog("Cancel"), std::nullopt);
  EXPECT_EQ(AnswerForFileDialog("OKAY"), "OKAY");  // not a keyword: a file name
}

TEST(NoneUi, ConsumesAnswersInOrderThenDefaults) {
  AnswerQueue answers("Cancel,END,OK,/tmp/x.prl,No,/not/a/button");
  NoneUi ui(answers);
  EXPECT_EQ(ui.ShowMessage("Cal data is not found!!", MessageButtons::OkCancel), MessageAnswer::Cancel);
  EXPECT_EQ(ui.ShowErrorDialog({}), DialogAnswer::Closed);
  EXPECT_EQ(ui.ShowEndDialog({}), DialogAnswer::Ok);
  EXPECT_EQ(ui.AskOpenFile("PRL", "*.prl"), "/tmp/x.prl");
  EXPECT_EQ(ui.ShowMessage("q", MessageButtons::YesNo), MessageAnswer::No);
  // An answer that does not fit is used up and the default taken.
  EXPECT_EQ(ui.ShowMessage("q", MessageButtons::OkCancel), MessageAnswer::Ok);
  EXPECT_TRUE(answers.Empty());
  EXPECT_EQ(ui.ShowErrorDialog({}), DialogAnswer::Ok);
  EXPECT_EQ(ui.ShowEndDialog({}), DialogAnswer::End);
  EXPECT_EQ(ui.ShowMessage("q", MessageButtons::YesNo), MessageAnswer::Yes);
  EXPECT_EQ(ui.AskSaveFile("Backup", "nv.bak"), std::nullopt);
  EXPECT_FALSE(ui.Beep(500, 100));
}

// Runs `body` with stdout and stderr sent to a file; returns what was written.
template <typename Body>
std::string TerminalOutputOf(Body body) {
  std::fflush(stdout);
  std::fflush(stderr);
  std::FILE* capture = std::tmpfile();
  const int savedOut = dup(STDOUT_FILENO), savedErr = dup(STDERR_FILENO);
  dup2(fileno(capture), STDOUT_FILENO);
  dup2(fileno(capture), STDERR_FILENO);
  body();
  std::fflush(stdout);
  std::fflush(stderr);
  dup2(savedOut, STDOUT_FILENO);
  dup2(savedErr, STDERR_FILENO);
  close(savedOut);
  close(savedErr);
  std::rewind(capture);
  std::string text;
  for (int c; (c = std::fgetc(capture)) != EOF;) text += static_cast<char>(c);
  std::fclose(capture);
  return text;
}

TEST(NoneUi, AWholeOperationWritesNothingToTheTerminal) {
  AnswerQueue answers("OK");
  NoneUi ui(answers);
  const std::string output = TerminalOutputOf([&ui] {
    CCommonProcess process;
    process.SetOperatorUi(&ui);
    process.OpenProgressWindow();
    process.SetStatusText("NV Reading...");
    process.SetProgressRange(10);
    for (int i = 0; i < 10; ++i) process.StepProgress();
    process.UpdateElapsedTime();
    process.CloseProgressWindow();
    EXPECT_EQ(process.RunEndDialog(), DialogAnswer::Ok);
    process.ShowMessage("Successfully Completed!");
  });
  EXPECT_EQ(output, "");
}

TEST(UiChoice, SettingThenDefaultRule) {
  UiEnvironment env;
  env.setting = "none";
  env.stdinIsTerminal = true;
  EXPECT_EQ(ChooseUiKind(env), UiKind::None);
  env.setting = "CONSOLE";
  env.stdinIsTerminal = false;
  EXPECT_EQ(ChooseUiKind(env), UiKind::Console);
  env.setting = "qt";  // no plugin beside the library: the console stands in
  EXPECT_EQ(ChooseUiKind(env), UiKind::Console);
  env.qtAvailable = true;
  EXPECT_EQ(ChooseUiKind(env), UiKind::Qt);

  env.setting = nullptr;
  env.displayAvailable = true;
  EXPECT_EQ(ChooseUiKind(env), UiKind::Qt);
  env.displayAvailable = false;
  EXPECT_EQ(ChooseUiKind(env), UiKind::None);
  env.stdinIsTerminal = true;
  EXPECT_EQ(ChooseUiKind(env), UiKind::Console);
  env.qtAvailable = false;
  env.displayAvailable = true;
  env.stdinIsTerminal = false;
  env.setting = "bogus";
  EXPECT_EQ(ChooseUiKind(env), UiKind::None);
}

TEST(UiChoice, InstalledInterfaceKeepsItsQueueAcrossOperations) {
  using zk::test::ScopedEnv;
  UiSelection selection;
  CCommonProcess process;
  const auto InstallConfiguredUi = [&] { return selection.Install(zk::platform::CurrentSettings(), process); };
  const auto CurrentUi = [&]() -> OperatorUi& { return process.Ui(); };
  ScopedEnv ui("ZKDOWNLOAD_UI", "none");
  {
    ScopedEnv answers("ZKDOWNLOAD_ANSWERS", "Cancel,OK");
    EXPECT_EQ(InstallConfiguredUi(), UiKind::None);
    EXPECT_EQ(CurrentUi().ShowMessage("q", MessageButtons::OkCancel), MessageAnswer::Cancel);
    EXPECT_EQ(InstallConfiguredUi(), UiKind::None);  // same queue: goes on with "OK"
    EXPECT_EQ(CurrentUi().ShowEndDialog({}), DialogAnswer::Ok);
    EXPECT_EQ(CurrentUi().ShowEndDialog({}), DialogAnswer::End);  // used up
  }
  {
    ScopedEnv answers("ZKDOWNLOAD_ANSWERS", "OK");  // a new queue
    InstallConfiguredUi();
    EXPECT_EQ(CurrentUi().ShowEndDialog({}), DialogAnswer::Ok);
  }
  {
    ScopedEnv console("ZKDOWNLOAD_UI", "console");
    EXPECT_EQ(InstallConfiguredUi(), UiKind::Console);
    ScopedEnv qt("ZKDOWNLOAD_UI", "qt");
    EXPECT_EQ(InstallConfiguredUi(), UiKind::Console);
  }
}

}  // namespace
