// What each line of a script asks for, worked out without a handset: the
// action a run would take and every problem the line has.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "script/script_items.h"
#include "script/script_text.h"

namespace zk::script {

enum class Action {
  kNone,                 // skipped: blank, comment or too short
  kNvWrite,
  kSpc,
  kMode,
  kEfs,
  kWait,
  kAcceptedNothingSent,  // NV_READ, PRINT, HS_LOCK, KEY, PEEK, POKE, held-back items
  kIgnored,              // unknown keyword, only separators, no line feed
};

enum class Severity { kFail, kWarn, kIgnored };

struct Problem {
  Severity severity;
  std::string reason;
};

enum class ModeStep { kOfflineAnalog, kOfflineDigital, kReset };

inline constexpr std::size_t kNvDataBytes = 128;

struct NvWriteAction {
  const ScriptItem* row = nullptr;
  uint16_t item = 0;
  int nam = -1;  // -1 for items kept once
  // The data field of the write request; for a per-NAM item byte 0 is the NAM index.
  std::array<uint8_t, kNvDataBytes> data{};
  std::size_t length = 0;  // bytes of `data` the item's record fills
  bool heldBack = false;   // parsed but not written for operation kinds 2 and 3
};

struct EfsAction {
  std::string handsetPath;  // as the script writes it, relative
  std::string source;       // file on this computer, below the efs_scr folder
  std::string destination;  // "/" + handsetPath
  std::string mp3Name;      // "Morning.mp3"/"TechnoMe.mp3": copy only if /dload/MP3 lacks it
};

struct ParsedLine {
  int number = 0;
  std::string text;
  Action action = Action::kNone;
  NvWriteAction nv;
  std::string spc;
  ModeStep mode = ModeStep::kOfflineAnalog;
  EfsAction efs;
  int waitSeconds = 0;
  std::vector<Problem> problems;

  // A failing line sends nothing; the run passes over it.
  bool Fails() const;
};

struct ScriptContext {
  std::string efsFolder;  // the script's folder followed by "efs_scr"
  int operationKind = 0;
};

// NV error texts of the warning state.
std::string NotSupportedKeyText(const std::string& key);   // "%s is not the supported item."
std::string WrongCountText(const std::string& key);        // "%s has a wrong item count in the script file."
std::string NotSupportedItemText(const std::string& key);  // "%s : Not Supported Item"

// Interprets lines in order. It keeps the NV item data of the script (one
// record per item and NAM), so values a line leaves unchanged keep what an
// earlier line of the same script stored, and the warning state.
class LineInterpreter {
 public:
  explicit LineInterpreter(ScriptContext context) : m_context(std::move(context)) {}

  ParsedLine Interpret(const ScriptLine& line);

  bool FailureFlag() const { return m_failureFlag; }
  const std::vector<std::string>& NvErrors() const { return m_nvErrors; }

 private:
  void InterpretNvWrite(const std::vector<std::string>& tokens, ParsedLine& parsed);
  void InterpretEfs(const std::vector<std::string>& tokens, ParsedLine& parsed) const;
  void RefuseNvItem(ParsedLine& parsed, std::string text);

  ScriptContext m_context;
  std::map<std::pair<const ScriptItem*, int>, std::array<uint8_t, kNvDataBytes>> m_records;
  bool m_failureFlag = false;
  std::vector<std::string> m_nvErrors;
};

}  // namespace zk::script
