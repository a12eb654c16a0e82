// Script files parsed without a handset: lines, tokens, keywords, NV_WRITE
// refusals, the warning state and loading limits.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "script/script_items.h"
#include "script/script_parser.h"
#include "support/temp_home.h"

namespace {

using namespace zk::script;

ScriptParse Parse(const std::string& text, int kind = 0) { return ParseScript(text, {"/scripts/efs_scr", kind}); }

// The single line a one-line script yields.
ParsedLine One(const std::string& line, int kind = 0) {
  ScriptParse parse = Parse(line + "\n", kind);
  EXPECT_EQ(parse.lines.size(), 1u) << line;
  return parse.lines.empty() ? ParsedLine{} : parse.lines.front();
}

std::string Reasons(const ParsedLine& line) {
  std::string all;
  for (const Problem& p : line.problems) all += p.reason + "|";
  return all;
}

bool Has(const ParsedLine& line, Severity severity) {
  for (const Problem& p : line.problems)
    if (p.severity == severity) return true;
  return false;
}

TEST(ScriptText, LinesTokensAndTheCommentRule) {
  struct Case {
    const char* text;
    std::vector<std::string> tokens;  // of the first line; empty when it is skipped
  };
  const Case cases[] = {
      {"WAIT 5\r\n", {"WAIT", "5"}},
      {"WAIT 5\n", {"WAIT", "5"}},  // LF line ends keep the last character
      {"WAIT 5 ; pause\n", {"WAIT", "5"}},
      {"WAIT 5; pause\n", {"WAIT"}},  // the character before ';' goes with the comment
      {"; only a comment\n", {}},
      {"X\n", {}},  // shorter than 2 characters
      {"NV_WRITE,ACCOLC,{0,1,2}\n", {"NV_WRITE", "ACCOLC", "0", "1", "2"}},
      {"NV_WRITE BANNER \"My  Phone\" 1 2 3 4 5\n", {"NV_WRITE", "BANNER", "My  Phone", "1", "2", "3", "4", "5"}},
      {"PRINT \"open quote\n", {"PRINT", "open quote"}},
      {"\tKEY\t1\n", {"KEY", "1"}},
  };
  for (const Case& c : cases) {
    const SplitText split = SplitLines(c.text);
    ASSERT_EQ(split.lines.size(), 1u) << c.text;
    const FilteredLine filtered = FilterLine(split.lines[0].text);
    const std::vector<std::string> tokens = filtered.skipped ? std::vector<std::string>{} : Tokenize(filtered.text).tokens;
    EXPECT_EQ(tokens, c.tokens) << c.text;
  }
}

TEST(ScriptParser, EachKeywordAndItsTokenCounts) {
  struct Case {
    const char* line;
    Action action;
    const char* severity;  // "" none, "fail", "warn", "ignored"
  };
  const Case cases[] = {
      {"MODE offline-d", Action::kMode, ""},
      {"mode RESET", Action::kMode, ""},
      {"MODE offline-a", Action::kMode, ""},
      {"MODE sleep", Action::kMode, "fail"},
      {"MODE", Action::kMode, "fail"},
      {"MODE reset now", Action::kMode, "fail"},
      {"SPC 271828", Action::kSpc, ""},
      {"SPC 2718", Action::kSpc, "fail"},
      {"SPC 27182899", Action::kSpc, "warn"},
      {"SPC", Action::kSpc, "fail"},
      {"WAIT 3", Action::kWait, ""},
      {"WAIT", Action::kWait, "fail"},
      {"WAIT -1", Action::kWait, "fail"},
      {"WAIT 99999999", Action::kWait, "fail"},
      {"WAIT soon", Action::kWait, "warn"},
      {"NV_READ ESN", Action::kAcceptedNothingSent, "ignored"},
      {"print hello world", Action::kAcceptedNothingSent, "ignored"},
      {"HS_LOCK", Action::kAcceptedNothingSent, "ignored"},
      {"POKE 1 2", Action::kAcceptedNothingSent, "ignored"},
      {"REBOOT now", Action::kIgnored, "ignored"},
      {", { } ,", Action::kIgnored, "ignored"},
      {"     ", Action::kNone, ""},
      {"EFS x brew/app.mif", Action::kEfs, ""},
      {"EFS brew/app.mif", Action::kEfs, "fail"},
      {"EFS x ../secret", Action::kEfs, "fail"},
      {"EFS x brew/../../secret", Action::kEfs, "fail"},
      {"EFS x /etc/passwd", Action::kEfs, "fail"},
      {"EFS x C:\\boot.ini", Action::kEfs, "fail"},
      {"EFS x brew//app", Action::kEfs, "fail"},
  };
  for (const Case& c : cases) {
    const ParsedLine line = One(c.line);
    EXPECT_EQ(line.action, c.action) << c.line;
    const std::string want = c.severity;
    EXPECT_EQ(line.Fails(), want == "fail") << c.line << ": " << Reasons(line);
    if (want == "warn") {
      EXPECT_TRUE(Has(line, Severity::kWarn)) << c.line;
    }
    if (want == "ignored") {
      EXPECT_TRUE(Has(line, Severity::kIgnored)) << c.line;
    }
    if (want.empty()) {
      EXPECT_TRUE(line.problems.empty()) << c.line << ": " << Reasons(line);
    }
  }
  EXPECT_EQ(One("WAIT 3").waitSeconds, 3);
  EXPECT_EQ(One("MODE offline-d").mode, ModeStep::kOfflineDigital);
  EXPECT_EQ(One("SPC 27182899").spc, "271828");
}

TEST(ScriptParser, EfsLinesNameSourceDestinationAndTheRingtoneCheck) {
  const ParsedLine copy = One("EFS x brew/app.mif");
  EXPECT_EQ(copy.efs.source, "/scripts/efs_scr/brew/app.mif");
  EXPECT_EQ(copy.efs.destination, "/brew/app.mif");
  EXPECT_TRUE(copy.efs.mp3Name.empty());
  EXPECT_EQ(One("EFS x dload/MP3/Morning.mp3").efs.mp3Name, "Morning.mp3");
  EXPECT_EQ(One("EFS x dload/MP3/TechnoMe.mp3").efs.mp3Name, "TechnoMe.mp3");
}

TEST(ScriptParser, RefusedNvItemsSetTheWarningStateWithTheirTexts) {
  const ScriptParse parse = Parse(
      "NV_WRITE ACCOLC 0 1\n"            // two values where three are needed
      "NV_WRITE NO_SUCH_ITEM 1\n"
      "NV_WRITE VOC_GAIN 1\n"            // listed but not writable
      "nv_write accolc 0 1 2\n"          // lower case matches
      "NV_WRITE MIN1 2 5551234 5551234\n");  // NAM 2 would write outside the records
  ASSERT_EQ(parse.lines.size(), 5u);
  EXPECT_TRUE(parse.failureFlag);
  const std::vector<std::string> want = {"ACCOLC has a wrong item count in the script file.",
                                         "NO_SUCH_ITEM is not the supported item.", "VOC_GAIN : Not Supported Item",
                                         "MIN1 has a wrong NAM in the script file."};
  EXPECT_EQ(parse.nvErrors, want);
  EXPECT_TRUE(parse.lines[0].Fails());
  EXPECT_FALSE(parse.lines[3].Fails()) << Reasons(parse.lines[3]);
  EXPECT_EQ(parse.lines[3].nv.item, 37);
  EXPECT_TRUE(parse.lines[4].Fails());
  EXPECT_FALSE(Parse("NV_WRITE ACCOLC 0 1 2\n").failureFlag);
}

TEST(ScriptParser, KindsTwoAndThreeHoldBackTheAuthenticationItems) {
  for (int kind : {0, 1, 2, 3}) {
    const ParsedLine line = One("NV_WRITE A_KEY 0 0x1 0x2", kind);
    const bool held = kind >= 2;
    EXPECT_EQ(line.action, held ? Action::kAcceptedNothingSent : Action::kNvWrite) << kind;
    EXPECT_EQ(line.nv.heldBack, held) << kind;
    EXPECT_FALSE(line.Fails());
  }
  EXPECT_EQ(One("NV_WRITE ACCOLC 0 1 2", 2).action, Action::kNvWrite);
}

TEST(ScriptParser, ValuesALineLeavesUnchangedKeepWhatAnEarlierLineStored) {
  const ScriptParse parse = Parse(
      "NV_WRITE MIN2 0 619 619\n"
      "NV_WRITE MIN2 0 61 100\n"  // "61" has two digits: its value stays 619
      "NV_WRITE ANALOG_REG 1 DISABLED\n"
      "NV_WRITE ANALOG_REG 1 SOMETIMES\n");
  const auto& min2 = parse.lines[1];
  EXPECT_TRUE(Has(min2, Severity::kWarn));
  EXPECT_EQ(std::vector<uint8_t>(min2.nv.data.begin(), min2.nv.data.begin() + 5),
            (std::vector<uint8_t>{0, 0xFC, 0x01, 0x63, 0x00}));
  EXPECT_EQ(parse.lines[3].nv.data[1], 0);  // DISABLED kept
  EXPECT_TRUE(Has(parse.lines[3], Severity::kWarn));
}

TEST(ScriptParser, ValuesStoredOtherwiseThanWrittenWarn) {
  struct Case {
    const char* line;
    bool warns;
  };
  const Case cases[] = {
      {"NV_WRITE ESN 305419896", false},
      {"NV_WRITE ESN 0x1234", true},  // decimal only: stores 0
      {"NV_WRITE SLOT_CYCLE_INDEX 0x2", false},
      {"NV_WRITE SLOT_CYCLE_INDEX 0X2", true},  // only "0x" makes it hexadecimal
      {"NV_WRITE SLOT_CYCLE_INDEX two", true},
      {"NV_WRITE SLOT_CYCLE_INDEX 300", true},  // one byte
      {"NV_WRITE CDMA_ADJ_FACTOR -5", false},
      {"NV_WRITE LOCK on", false},
      {"NV_WRITE LOCK yes", true},
  };
  for (const Case& c : cases) {
    const ParsedLine line = One(c.line);
    EXPECT_FALSE(line.Fails()) << c.line;
    EXPECT_EQ(Has(line, Severity::kWarn), c.warns) << c.line << ": " << Reasons(line);
  }
}

TEST(ScriptParser, LastLineWithoutLineFeedIsNotRun) {
  const ScriptParse parse = Parse("WAIT 1\nWAIT 2");
  ASSERT_EQ(parse.lines.size(), 2u);
  EXPECT_EQ(parse.lines[1].action, Action::kIgnored);
  EXPECT_EQ(parse.lines[1].number, 2);
  EXPECT_TRUE(Parse("").lines.empty());
}

TEST(ScriptItemTable, EveryRowIsUsableAndKeysAreUnique) {
  const auto items = ScriptItems();
  ASSERT_EQ(items.size(), 514u);
  std::set<std::string> keys;
  for (const ScriptItem& row : items) {
    EXPECT_TRUE(keys.insert(row.key).second) << row.key;
    EXPECT_LE(RecordBytes(row), kNvDataBytes) << row.key;
    if (IsPerNam(row.form)) {
      EXPECT_GE(row.valueCount, 2) << row.key;
    }
    EXPECT_EQ(FindScriptItem(row.key), &row);
  }
  EXPECT_EQ(FindScriptItem("home_sid_nid")->valueCount, 41);
  EXPECT_EQ(FindScriptItem("POWER_SAVER")->item, 2028);
}

class ScriptLoad : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const std::string& bytes) {
    const auto path = dir_.path() / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
  }
  zk::test::TempDir dir_{"zk-script"};
};

TEST_F(ScriptLoad, RefusesWhatIsNoScriptAndNamesTheEfsFolder) {
  CScriptParser parser;
  EXPECT_TRUE(parser.Load(Write("empty.scr", "")));
  EXPECT_TRUE(parser.Parse(0).lines.empty());

  ASSERT_TRUE(parser.Load(Write("ok.scr", "WAIT 1\n")));
  EXPECT_EQ(parser.FileName(), "ok.scr");
  EXPECT_EQ(parser.EfsFolder(), (dir_.path() / "efs_scr").string());

  EXPECT_FALSE(parser.Load(Write("binary.scr", std::string("WAIT 1\n\0\x01", 9))));
  EXPECT_NE(parser.LoadFailure().find("NUL"), std::string::npos);

  const std::string big = (dir_.path() / "big.scr").string();
  std::filesystem::resize_file(Write("big.scr", "WAIT 1\n"), 10 * 1024 * 1024);
  EXPECT_FALSE(parser.Load(big));
  EXPECT_NE(parser.LoadFailure().find("at most"), std::string::npos);

  EXPECT_TRUE(parser.Load(Write("limit.scr", std::string(kMaxScriptBytes, '\n'))));
  EXPECT_FALSE(parser.Load((dir_.path() / "missing.scr").string()));
  EXPECT_FALSE(parser.Load(dir_.path().string()));
}

}  // namespace
