#include "script/script_lines.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string_view>

#include "script/script_values.h"

namespace zk::script {
namespace {

constexpr int kLongestWaitSeconds = 24 * 60 * 60;
constexpr std::size_t kSpcDigits = 6;
constexpr std::size_t kHandsetPathField = 127;  // the handset's path field, NUL excluded

bool SameWord(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
         });
}

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

void Add(ParsedLine& parsed, Severity severity, std::string reason) {
  parsed.problems.push_back({severity, std::move(reason)});
}

std::string Count(std::size_t n, const char* what) {
  return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
}

// Least significant byte first.
void Store(uint8_t* at, uint64_t value, std::size_t width) {
  for (std::size_t i = 0; i < width; ++i) at[i] = i < 8 ? static_cast<uint8_t>(value >> (8 * i)) : 0;
}

bool Fits(int64_t value, std::size_t width) {
  if (width >= 8) return true;
  const int64_t high = (int64_t{1} << (8 * width)) - 1;
  const int64_t low = -(int64_t{1} << (8 * width - 1));
  return value >= low && value <= high;
}

struct Keyword {
  const char* word;
  int tokens;  // exact token count, or -1 for any
  Action action;
};
constexpr Keyword kKeywords[] = {
    {"MODE", 2, Action::kMode},
    {"SPC", 2, Action::kSpc},
    {"NV_READ", -1, Action::kAcceptedNothingSent},
    {"NV_WRITE", -1, Action::kNvWrite},
    {"PRINT", -1, Action::kAcceptedNothingSent},
    {"HS_LOCK", -1, Action::kAcceptedNothingSent},
    {"KEY", -1, Action::kAcceptedNothingSent},
    {"PEEK", -1, Action::kAcceptedNothingSent},
    {"POKE", -1, Action::kAcceptedNothingSent},
    {"EFS", 3, Action::kEfs},
    {"WAIT", 2, Action::kWait},
};

// Reads a number value into the record, warning about what a run would
// store silently.
void PutNumber(ParsedLine& parsed, const ScriptItem& row, const std::string& token, bool hex, uint8_t* at,
               std::size_t width) {
  const NumberValue number = ReadNumber(token, hex);
  if (!number.hadDigits)
    Add(parsed, Severity::kWarn, row.key + std::string(": ") + Quoted(token) + " is not a number; 0 is stored");
  else if (!number.whole)
    Add(parsed, Severity::kWarn,
        row.key + std::string(": ") + Quoted(token) + " is read as " + std::to_string(number.value) +
            (hex ? "" : " (decimal only)"));
  else if (!Fits(number.value, width))
    Add(parsed, Severity::kWarn,
        row.key + std::string(": ") + token + " does not fit " + Count(width, "byte") + "; only its low bytes are stored");
  Store(at, static_cast<uint64_t>(number.value), width);
}

}  // namespace

bool ParsedLine::Fails() const {
  return std::any_of(problems.begin(), problems.end(), [](const Problem& p) { return p.severity == Severity::kFail; });
}

std::string NotSupportedKeyText(const std::string& key) { return key + " is not the supported item."; }
std::string WrongCountText(const std::string& key) { return key + " has a wrong item count in the script file."; }
std::string NotSupportedItemText(const std::string& key) { return key + " : Not Supported Item"; }

void LineInterpreter::RefuseNvItem(ParsedLine& parsed, std::string text) {
  m_failureFlag = true;
  m_nvErrors.push_back(text);
  Add(parsed, Severity::kFail, std::move(text));
}

ParsedLine LineInterpreter::Interpret(const ScriptLine& line) {
  ParsedLine parsed;
  parsed.number = line.number;
  parsed.text = line.text;
  const FilteredLine filtered = FilterLine(line.text);
  if (filtered.droppedCharacter)
    Add(parsed, Severity::kWarn,
        std::string("the character before ';' (") + Quoted(std::string(1, filtered.dropped)) +
            ") is dropped with the comment; write a blank before ';'");
  if (filtered.skipped) return parsed;

  const Tokens tokens = Tokenize(filtered.text);
  if (tokens.unterminatedQuote)
    Add(parsed, Severity::kWarn, "a double quote is not closed; the quoted token runs to the end of the line");
  if (tokens.tokens.empty()) {
    if (tokens.onlySeparators) {
      parsed.action = Action::kIgnored;
      Add(parsed, Severity::kIgnored, "only separators; nothing to run");
    }
    return parsed;
  }
  const std::vector<std::string>& t = tokens.tokens;
  const auto keyword = std::find_if(std::begin(kKeywords), std::end(kKeywords),
                                    [&](const Keyword& k) { return SameWord(k.word, t[0]); });
  if (keyword == std::end(kKeywords)) {
    parsed.action = Action::kIgnored;
    Add(parsed, Severity::kIgnored, "unknown keyword " + Quoted(t[0]) + "; the line is ignored");
    return parsed;
  }
  parsed.action = keyword->action;
  if (keyword->tokens >= 0 && t.size() != static_cast<std::size_t>(keyword->tokens)) {
    Add(parsed, Severity::kFail,
        std::string(keyword->word) + " needs " + Count(keyword->tokens - 1, "value") + ", the line has " +
            std::to_string(t.size() - 1));
    return parsed;
  }

  switch (keyword->action) {
    case Action::kMode:
      if (SameWord(t[1], "offline-a")) {
        parsed.mode = ModeStep::kOfflineAnalog;
      } else if (SameWord(t[1], "offline-d")) {
        parsed.mode = ModeStep::kOfflineDigital;
      } else if (SameWord(t[1], "reset")) {
        parsed.mode = ModeStep::kReset;
      } else {
        Add(parsed, Severity::kFail, "MODE " + Quoted(t[1]) + " is not offline-a, offline-d or reset");
      }
      break;
    case Action::kSpc:
      // Fewer than six characters would send bytes from beyond the code.
      if (t[1].size() < kSpcDigits) {
        Add(parsed, Severity::kFail, "SPC " + Quoted(t[1]) + " has fewer than 6 characters");
        break;
      }
      parsed.spc = t[1].substr(0, kSpcDigits);
      if (t[1].size() > kSpcDigits)
        Add(parsed, Severity::kWarn, "SPC " + Quoted(t[1]) + ": only the first 6 characters are sent");
      if (!std::all_of(parsed.spc.begin(), parsed.spc.end(), [](char c) { return c >= '0' && c <= '9'; }))
        Add(parsed, Severity::kWarn, "SPC " + Quoted(parsed.spc) + " is not six digits; the handset will refuse it");
      break;
    case Action::kWait: {
      const NumberValue seconds = ReadNumber(t[1], false);
      if (seconds.value < 0 || seconds.value > kLongestWaitSeconds) {
        Add(parsed, Severity::kFail, "WAIT " + t[1] + " is outside 0.." + std::to_string(kLongestWaitSeconds) + " seconds");
        break;
      }
      if (!seconds.hadDigits) Add(parsed, Severity::kWarn, "WAIT " + Quoted(t[1]) + " is not a number; waits 0 seconds");
      parsed.waitSeconds = static_cast<int>(seconds.value);
      break;
    }
    case Action::kEfs:
      InterpretEfs(t, parsed);
      break;
    case Action::kNvWrite:
      InterpretNvWrite(t, parsed);
      break;
    case Action::kAcceptedNothingSent:
      Add(parsed, Severity::kIgnored, std::string(keyword->word) + " is accepted; nothing is sent");
      break;
    default:
      break;
  }
  return parsed;
}

void LineInterpreter::InterpretEfs(const std::vector<std::string>& t, ParsedLine& parsed) const {
  const std::string& path = t[2];
  auto fail = [&](const std::string& why) { Add(parsed, Severity::kFail, "EFS " + Quoted(path) + ": " + why); };
  if (path.empty()) return fail("no handset path");
  if (path.front() == '/' || path.front() == '\\' || (path.size() > 1 && path[1] == ':'))
    return fail("absolute path; it must be relative to the efs_scr folder");
  if (path.find('\\') != std::string::npos) return fail("handset paths use '/'");
  std::size_t start = 0;
  while (start <= path.size()) {
    const std::size_t slash = std::min(path.find('/', start), path.size());
    const std::string_view part(path.data() + start, slash - start);
    if (part == "..") return fail("'..' would leave the efs_scr folder");
    if (part.empty() || part == ".") return fail("empty or '.' path element");
    start = slash + 1;
  }
  if (path.size() + 1 > kHandsetPathField) return fail("longer than the handset's path field");
  parsed.efs.handsetPath = path;
  parsed.efs.destination = "/" + path;
  parsed.efs.source = m_context.efsFolder + "/" + path;
  for (const char* song : {"Morning.mp3", "TechnoMe.mp3"}) {
    const std::size_t at = parsed.efs.source.find(song);
    if (at != std::string::npos && at > 0) parsed.efs.mp3Name = song;
  }
}

void LineInterpreter::InterpretNvWrite(const std::vector<std::string>& t, ParsedLine& parsed) {
  const std::string key = t.size() > 1 ? t[1] : std::string();
  const ScriptItem* row = FindScriptItem(key);
  if (row == nullptr) return RefuseNvItem(parsed, NotSupportedKeyText(key));
  parsed.nv.row = row;
  parsed.nv.item = row->item;
  if (t.size() != row->valueCount + 2u) {
    RefuseNvItem(parsed, WrongCountText(row->key));
    parsed.problems.back().reason +=
        " (" + Count(t.size() - 2, "value") + ", " + row->key + " takes " + std::to_string(row->valueCount) + ")";
    return;
  }
  if (row->form == ValueForm::kNotWritable || row->item == kNoNumber) return RefuseNvItem(parsed, NotSupportedItemText(row->key));

  const bool perNam = IsPerNam(row->form);
  int nam = -1;
  if (perNam) {
    // Records are indexed by the NAM: anything but 0 or 1 would write outside them.
    const NumberValue number = ReadNumber(t[2], false);
    if (!number.hadDigits || (number.value != 0 && number.value != 1)) {
      m_failureFlag = true;
      m_nvErrors.push_back(std::string(row->key) + " has a wrong NAM in the script file.");
      Add(parsed, Severity::kFail, std::string(row->key) + ": NAM " + Quoted(t[2]) + " is not 0 or 1");
      return;
    }
    nam = static_cast<int>(number.value);
  }
  if (WritesNamZero(*row)) nam = 0;
  parsed.nv.nam = nam;
  auto& record = m_records[{row, nam}];
  std::size_t at = 0;
  if (nam >= 0) record[at++] = static_cast<uint8_t>(nam);
  const std::vector<std::string> values(t.begin() + 2 + (perNam ? 1 : 0), t.end());
  const std::size_t width = row->width;

  switch (row->form) {
    case ValueForm::kNamDecimal:
    case ValueForm::kDecimal:
    case ValueForm::kNamNumber:
    case ValueForm::kNumber: {
      const bool hex = row->form == ValueForm::kNamNumber || row->form == ValueForm::kNumber;
      for (const std::string& value : values) {
        PutNumber(parsed, *row, value, hex, record.data() + at, width);
        at += width;
      }
      break;
    }
    case ValueForm::kNamDigits:
      for (const std::string& value : values) {
        const auto encoded = EncodeDigits(row->digits, value);
        if (encoded) {
          Store(record.data() + at, *encoded, width);
        } else if (row->digits == Digits::kMin1 || row->digits == Digits::kMin2) {
          Add(parsed, Severity::kWarn,
              row->key + std::string(": ") + Quoted(value) + " does not hold exactly " +
                  (row->digits == Digits::kMin1 ? "7" : "3") + " digits; the value is left unchanged");
        } else {
          // Reading digits that are not there would store garbage.
          Add(parsed, Severity::kFail,
              row->key + std::string(": ") + Quoted(value) + " does not begin with " +
                  (row->digits == Digits::kMcc ? "3" : "2") + " digits");
          return;
        }
        at += width;
      }
      break;
    case ValueForm::kNamOnOff:
    case ValueForm::kOnOff:
    case ValueForm::kOnOffThenNumber:
      for (std::size_t i = 0; i < values.size(); ++i) {
        if (row->form == ValueForm::kOnOffThenNumber && i > 0) {
          PutNumber(parsed, *row, values[i], true, record.data() + at, width);
          at += width;
          continue;
        }
        bool recognised = false;
        record[at] = ReadOnOff(values[i], recognised);
        if (!recognised)
          Add(parsed, Severity::kWarn, row->key + std::string(": ") + Quoted(values[i]) + " is not on/off; 0 (off) is stored");
        at += row->form == ValueForm::kOnOffThenNumber ? 1 : width;
      }
      break;
    case ValueForm::kNamTextWhole:
    case ValueForm::kTextWhole:
    case ValueForm::kNamTextChars:
    case ValueForm::kTextChars: {
      const std::string& text = values.front();
      // A longer text would run over the fields after it.
      if (text.size() > width) {
        Add(parsed, Severity::kFail,
            row->key + std::string(": ") + Quoted(text) + " is longer than its " + Count(width, "character") + " field");
        return;
      }
      std::fill_n(record.data() + at, width, uint8_t{0});
      std::copy(text.begin(), text.end(), record.data() + at);
      const bool whole = row->form == ValueForm::kNamTextWhole || row->form == ValueForm::kTextWhole;
      if (whole && width <= kSpcDigits && text.size() != width)
        Add(parsed, Severity::kWarn,
            row->key + std::string(": ") + Quoted(text) + " is shorter than " + Count(width, "character") +
                "; the rest is zero bytes");
      at += width;
      for (std::size_t i = 1; i < values.size(); ++i) PutNumber(parsed, *row, values[i], true, record.data() + at++, 1);
      break;
    }
    case ValueForm::kNamName:
      for (const std::string& value : values) {
        uint32_t stored = 0;
        if (const auto found = FindName(row->names, value)) {
          Store(record.data() + at, *found, width);
        } else if (NoMatchValue(row->names, stored)) {
          Store(record.data() + at, stored, width);
          char hex[16];
          std::snprintf(hex, sizeof hex, "0x%X", stored);
          Add(parsed, Severity::kWarn,
              row->key + std::string(": ") + Quoted(value) + " is not a listed name; " + hex + " is stored");
        } else {
          Add(parsed, Severity::kWarn,
              row->key + std::string(": ") + Quoted(value) + " is not a listed name; the value is left unchanged");
        }
        at += width;
      }
      break;
    case ValueForm::kNotWritable:
      break;
  }

  parsed.nv.length = RecordBytes(*row);
  std::copy(record.begin(), record.end(), parsed.nv.data.begin());
  if ((m_context.operationKind == 2 || m_context.operationKind == 3) && IsHeldBackItem(row->item)) {
    parsed.nv.heldBack = true;
    parsed.action = Action::kAcceptedNothingSent;
    Add(parsed, Severity::kIgnored,
        std::string(row->key) + " is held back for operation kind " + std::to_string(m_context.operationKind) +
            "; nothing is sent");
  }
}

}  // namespace zk::script
