#include "script_check_command.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "command_result.h"
#include "operation_options.h"
#include "script/script_image.h"
#include "script/script_parser.h"

namespace zk::cli {
namespace {

using zk::script::Action;
using zk::script::ParsedLine;
using zk::script::Severity;

struct CheckOptions {
  std::string script;
  bool json = false;
  bool showNv = false;
  int kind = kOperationKind;
};

const char* SeverityWord(Severity severity) {
  switch (severity) {
    case Severity::kFail: return "fail";
    case Severity::kWarn: return "warn";
    case Severity::kIgnored: return "ignored";
  }
  return "";
}

std::string ItemName(const ParsedLine& line) {
  const std::string key = line.nv.row ? line.nv.row->key : "";
  const bool hasSuffix = key.size() > 2 && key.compare(key.size() - 2, 2, "_I") == 0;
  return "NV_" + key + (hasSuffix ? "" : "_I");
}

std::string HexBytes(const ParsedLine& line) {
  std::string text;
  char byte[4];
  for (std::size_t i = 0; i < line.nv.length; ++i) {
    std::snprintf(byte, sizeof byte, i == 0 ? "%02X" : " %02X", line.nv.data[i]);
    text += byte;
  }
  return text;
}

std::string Json(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

// The copy reads its source on this computer: a missing one fails the line.
void CheckEfsSources(zk::script::ScriptParse& parse) {
  for (ParsedLine& line : parse.lines) {
    if (line.action != Action::kEfs || line.Fails()) continue;
    std::error_code error;
    const auto status = std::filesystem::status(line.efs.source, error);
    if (!std::filesystem::exists(status))
      line.problems.push_back({Severity::kFail, "EFS source file " + line.efs.source + " does not exist"});
    else if (!std::filesystem::is_regular_file(status))
      line.problems.push_back({Severity::kFail, "EFS source " + line.efs.source + " is not a file"});
  }
}

// A run packs its NV writes from the script's image: an item the image has
// no slot for fails to build, which sets the warning state.
void CheckImageSlots(zk::script::ScriptParse& parse) {
  zk::nv::NvImage image{};
  for (const ParsedLine* found : zk::script::FillScriptImage(parse, image)) {
    ParsedLine& line = parse.lines[static_cast<std::size_t>(found - parse.lines.data())];
    const std::string text = zk::script::WriteBuildFailText(line.nv.row->key);
    line.problems.push_back({Severity::kFail, text + " (the NV image has no slot for item " +
                                                  std::to_string(line.nv.item) + ")"});
    parse.nvErrors.push_back(text);
    parse.failureFlag = true;
  }
}

}  // namespace

zk::script::ScriptParse CheckedParse(const CScriptParser& parser, int kind) {
  zk::script::ScriptParse parse = parser.Parse(kind);
  CheckEfsSources(parse);
  CheckImageSlots(parse);
  return parse;
}

int RefuseFailingScript(const std::string& path, int kind) {
  CScriptParser parser;
  if (!parser.Load(path)) return RefuseInput(parser.LoadFailure(), "");
  const zk::script::ScriptParse parse = CheckedParse(parser, kind);
  int failing = 0;
  for (const ParsedLine& line : parse.lines)
    for (const auto& problem : line.problems)
      if (problem.severity == Severity::kFail) {
        std::fprintf(stderr, "%s:%d: %s\n", path.c_str(), line.number, problem.reason.c_str());
        ++failing;
      }
  if (failing == 0) return 0;
  return RefuseInput("the script has " + std::to_string(failing) + " failing line(s); `zkdownload script-check " +
                         path + "` shows every problem",
                     "");
}

namespace {

struct Counts {
  int lines = 0, fail = 0, warn = 0, ignored = 0, nvWrites = 0;
};

Counts Count(const zk::script::ScriptParse& parse) {
  Counts counts;
  counts.lines = static_cast<int>(parse.lines.size());
  for (const ParsedLine& line : parse.lines) {
    if (line.Fails()) {
      ++counts.fail;
    } else if (line.action == Action::kNvWrite) {
      ++counts.nvWrites;
    }
    for (const auto& problem : line.problems) {
      if (problem.severity == Severity::kWarn) ++counts.warn;
      if (problem.severity == Severity::kIgnored) ++counts.ignored;
    }
  }
  return counts;
}

bool ShowsNv(const ParsedLine& line) {
  return line.nv.row != nullptr && line.nv.length > 0 && !line.Fails() &&
         (line.action == Action::kNvWrite || line.nv.heldBack);
}

void PrintText(const CheckOptions& options, const zk::script::ScriptParse& parse, const Counts& counts) {
  const char* file = options.script.c_str();
  if (parse.lines.empty()) std::printf("%s: warn: the script has no lines; a run would do nothing\n", file);
  for (const ParsedLine& line : parse.lines)
    for (const auto& problem : line.problems)
      std::printf("%s:%d: %s: %s\n", file, line.number, SeverityWord(problem.severity), problem.reason.c_str());
  if (options.showNv) {
    for (const ParsedLine& line : parse.lines) {
      if (!ShowsNv(line)) continue;
      std::printf("%s:%d: nv %u %s", file, line.number, line.nv.item, ItemName(line).c_str());
      if (line.nv.nam >= 0) std::printf(" NAM %d", line.nv.nam);
      std::printf(": %s%s\n", HexBytes(line).c_str(), line.nv.heldBack ? " (held back, not sent)" : "");
    }
  }
  std::printf("%s: %d lines, %d failing, %d warnings, %d ignored, %d NV writes (operation kind %d)%s\n", file,
              counts.lines, counts.fail, counts.warn, counts.ignored, counts.nvWrites, options.kind,
              parse.failureFlag ? "; a run would end with warnings (result 50)" : "");
}

void PrintJson(const CheckOptions& options, const zk::script::ScriptParse& parse, const Counts& counts) {
  std::printf("{\"script\":%s,\"kind\":%d,\"problems\":[", Json(options.script).c_str(), options.kind);
  bool first = true;
  for (const ParsedLine& line : parse.lines)
    for (const auto& problem : line.problems) {
      std::printf("%s{\"line\":%d,\"severity\":\"%s\",\"reason\":%s}", first ? "" : ",", line.number,
                  SeverityWord(problem.severity), Json(problem.reason).c_str());
      first = false;
    }
  std::printf("],\"nvErrors\":[");
  for (std::size_t i = 0; i < parse.nvErrors.size(); ++i)
    std::printf("%s%s", i ? "," : "", Json(parse.nvErrors[i]).c_str());
  std::printf("]");
  if (options.showNv) {
    std::printf(",\"nv\":[");
    first = true;
    for (const ParsedLine& line : parse.lines) {
      if (!ShowsNv(line)) continue;
      std::printf("%s{\"line\":%d,\"item\":%u,\"name\":%s,\"nam\":%d,\"bytes\":\"%s\",\"heldBack\":%s}", first ? "" : ",",
                  line.number, line.nv.item, Json(ItemName(line)).c_str(), line.nv.nam, HexBytes(line).c_str(),
                  line.nv.heldBack ? "true" : "false");
      first = false;
    }
    std::printf("]");
  }
  std::printf(",\"lines\":%d,\"failing\":%d,\"warnings\":%d,\"ignored\":%d,\"nvWrites\":%d,\"endsWithWarnings\":%s}\n",
              counts.lines, counts.fail, counts.warn, counts.ignored, counts.nvWrites,
              parse.failureFlag ? "true" : "false");
}

int RunCheck(const CheckOptions& options) {
  CScriptParser parser;
  if (!parser.Load(options.script)) {
    std::fprintf(stderr, "zkdownload: %s\n", parser.LoadFailure().c_str());
    return kUsageStatus;
  }
  const zk::script::ScriptParse parse = CheckedParse(parser, options.kind);
  const Counts counts = Count(parse);
  if (options.json) {
    PrintJson(options, parse, counts);
  } else {
    PrintText(options, parse, counts);
  }
  return counts.fail > 0 ? 1 : 0;
}

}  // namespace

void AddScriptCheckCommand(CLI::App& app) {
  auto options = std::make_shared<CheckOptions>();
  auto* command =
      app.add_subcommand("script-check", "Check a script file without a handset: lines that would fail, warn or be ignored");
  command->add_option("SCRIPT", options->script, "the script file (its efs_scr folder stands beside it)")->required();
  command->add_flag("--json", options->json, "print one JSON object for tools");
  command->add_flag("--show-nv", options->showNv, "also print the NV values the script would write: item, name, NAM, bytes");
  command->add_option("--kind", options->kind,
                      "operation kind the script would run under (kinds 2 and 3 hold back the authentication items)")
      ->check(CLI::Range(0, 3))
      ->default_val(kOperationKind);
  command->footer(
      "Lines: FILE:LINE: fail|warn|ignored: reason. Exit status 0 when no line would fail, 1 when one would, 2 when "
      "the script cannot be read. The handset is not touched.");
  command->callback([options] { SetCommandResult(RunCheck(*options)); });
}

}  // namespace zk::cli
