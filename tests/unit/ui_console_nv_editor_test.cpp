// The console's NV editor driven by scripted answers and an editor script,
// over a recording model.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "ui/console_ui.h"
#include "ui/nv_editor_text.h"

namespace {

using namespace zk::ui;

class RecordingModel : public NvEditorModel {
 public:
  std::string Caption() const override { return "NV Edit"; }
  std::vector<NvEditorPage> Pages() const override {
    const NvEditorCell area{"858", "###", {}, true};
    NvEditorPage nam{"NAM", {{"ACCOLC", {{"4", "#", {}, true}}}, {"AREA CODE(CDMA,AMPS)", {area, area}}}};
    NvEditorPage phone{"Phone", {{"BKey", {{"00", "", {}, true}}}, {"HOME TIMER", {{"3", "", {}, false}}}}};
    NvEditorPage calibration{"Calibration", {{"NV_VBATT_I", {{"5", "", {}, false}}}}, true};
    return {nam, phone, calibration};
  }
  int NamCount() const override { return 2; }
  int SelectedNam() const override { return nam; }
  void SelectNam(int n) override { nam = n, log.push_back("nam " + std::to_string(n)); }
  void SetCell(int page, int row, int cell, const std::string& text) override {
    log.push_back("cell " + std::to_string(page) + "," + std::to_string(row) + "," + std::to_string(cell) + "=" + text);
  }
  void Restore(int page) override { log.push_back("restore " + std::to_string(page)); }
  NvEditorAfter Read() override { return log.push_back("read"), readAfter; }
  NvEditorAfter Write() override { return log.push_back("write"), writeAfter; }

  int nam = 0;
  NvEditorAfter readAfter = NvEditorAfter::Refill;
  NvEditorAfter writeAfter = NvEditorAfter::Refill;
  std::vector<std::string> log;
};

struct Outcome {
  NvEditorEnd end;
  std::vector<std::string> log;
};

Outcome Drive(const std::string& answers, const std::string& script, RecordingModel model = {}) {
  AnswerQueue queue(answers);
  std::FILE* out = std::tmpfile();
  ConsoleUi ui(queue, nullptr, out, ConsoleUi::Style::Log);
  ui.SetEditorScript(script);
  const NvEditorEnd end = ui.RunNvEditor(model);
  std::fclose(out);
  return {end, model.log};
}

TEST(ConsoleNvEditor, CommandsReachTheModel) {
  struct Case {
    std::string answers, script;
    NvEditorEnd end;
    std::vector<std::string> log;
  };
  const Case cases[] = {
      // Rows are found on the current page first, then on the others; "#K" picks a cell.
      {"nam 1,set accolc=9,page 1,set BKEY=ff,restore,write", "", NvEditorEnd::Exit,
       {"nam 1", "cell 0,0,0=9", "cell 1,0,0=ff", "restore 1", "write"}},
      // Read-only cells, missing rows and cells are refused without reaching the model.
      {"set HOME TIMER=5,set NV_VBATT_I=1,set ACCOLC#2=1,set nothing=1,nam 2,exit", "", NvEditorEnd::Exit, {}},
      // The editor script goes first and may hold commas.
      {"exit", "set Area Code(CDMA,AMPS)#2=619\nwrite", NvEditorEnd::Exit, {"cell 0,1,1=619", "write"}},
  };
  for (const Case& c : cases) {
    const Outcome run = Drive(c.answers, c.script);
    EXPECT_EQ(run.end, c.end) << c.answers;
    EXPECT_EQ(run.log, c.log) << c.answers;
  }
}

TEST(ConsoleNvEditor, FailedActionsDisableOrCloseTheEditor) {
  RecordingModel closing;
  closing.writeAfter = NvEditorAfter::Close;
  EXPECT_EQ(Drive("write,exit", "", closing).end, NvEditorEnd::Closed);

  RecordingModel failing;
  failing.readAfter = NvEditorAfter::Disabled;
  const Outcome run = Drive("read,write,set accolc=1", "", failing);
  EXPECT_EQ(run.end, NvEditorEnd::Exit);  // the end of input leaves like "exit"
  EXPECT_EQ(run.log, std::vector<std::string>{"read"});
}

TEST(NvEditorText, AssignmentsAndJson) {
  const auto plain = ParseAssignment(" BREW Primary IP/URL = a.b ");
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->label, "BREW Primary IP/URL");
  EXPECT_EQ(plain->value, "a.b");
  EXPECT_EQ(ParseAssignment("SID NID LOCK#20=7")->cell, 19);
  EXPECT_FALSE(ParseAssignment("ACCOLC#0=1"));
  EXPECT_FALSE(ParseAssignment("ACCOLC"));
  const std::vector<NvEditorPage> pages{{"NAM", {{"NAM \"NAME\"", {{"a\\b", "", {}, true}}}}}};
  EXPECT_EQ(PagesAsJson(pages, 1),
            "{\"nam\":1,\"pages\":[{\"title\":\"NAM\",\"readOnly\":false,\"rows\":[{\"label\":\"NAM \\\"NAME\\\"\","
            "\"cells\":[\"a\\\\b\"]}]}]}\n");
}

}  // namespace
