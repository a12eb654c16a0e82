#include "script/script_parser.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace zk::script {

ScriptParse ParseScript(std::string_view text, const ScriptContext& context) {
  ScriptParse parse;
  LineInterpreter interpreter(context);
  const SplitText split = SplitLines(text);
  parse.lines.reserve(split.lines.size() + 1);
  for (const ScriptLine& line : split.lines) parse.lines.push_back(interpreter.Interpret(line));
  if (split.unterminated.find_first_not_of(" \t\r") != std::string::npos) {
    ParsedLine last;
    last.number = split.unterminatedNumber;
    last.text = split.unterminated;
    last.action = Action::kIgnored;
    last.problems.push_back({Severity::kIgnored, "no line feed at the end of the file; this line is not run"});
    parse.lines.push_back(std::move(last));
  }
  parse.failureFlag = interpreter.FailureFlag();
  parse.nvErrors = interpreter.NvErrors();
  return parse;
}

}  // namespace zk::script

bool CScriptParser::Load(const std::string& path) {
  namespace fs = std::filesystem;
  m_text.clear();
  m_loadFailure.clear();
  const std::size_t cut = path.find_last_of("/\\");
  m_fileName = cut == std::string::npos ? path : path.substr(cut + 1);
  m_efsFolder = (cut == std::string::npos ? std::string() : path.substr(0, cut + 1)) + "efs_scr";

  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (error || !fs::exists(status)) {
    m_loadFailure = "cannot open the script " + path + ": no such file";
    return false;
  }
  if (!fs::is_regular_file(status)) {
    m_loadFailure = "the script " + path + " is not a regular file";
    return false;
  }
  const auto size = fs::file_size(path, error);
  if (!error && size > zk::script::kMaxScriptBytes) {
    m_loadFailure = "the script " + path + " has " + std::to_string(size) + " bytes; a script has at most " +
                    std::to_string(zk::script::kMaxScriptBytes);
    return false;
  }
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    m_loadFailure = "cannot open the script " + path;
    return false;
  }
  // Read one byte past the limit: a file that grew since its size was taken is still caught.
  std::string text(zk::script::kMaxScriptBytes + 1, '\0');
  file.read(text.data(), static_cast<std::streamsize>(text.size()));
  if (file.bad()) {
    m_loadFailure = "cannot read the script " + path;
    return false;
  }
  text.resize(static_cast<std::size_t>(file.gcount()));
  if (text.size() > zk::script::kMaxScriptBytes) {
    m_loadFailure = "the script " + path + " is larger than " + std::to_string(zk::script::kMaxScriptBytes) + " bytes";
    return false;
  }
  if (text.find('\0') != std::string::npos) {
    m_loadFailure = "the script " + path + " holds NUL bytes: a binary file, not a script";
    return false;
  }
  m_text = std::move(text);
  return true;
}

zk::script::ScriptParse CScriptParser::Parse(int operationKind) const {
  return zk::script::ParseScript(m_text, {m_efsFolder, operationKind});
}
