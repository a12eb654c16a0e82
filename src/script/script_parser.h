// CScriptParser: loads a script file and works out what each of its lines
// asks for. Loading and parsing need no handset; running the parsed lines
// against one is the script download's business.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "script/script_lines.h"

namespace zk::script {

// Scripts are short texts; anything larger is no script.
inline constexpr std::size_t kMaxScriptBytes = 1024 * 1024;

struct ScriptParse {
  std::vector<ParsedLine> lines;  // every line of the file, skipped ones included
  bool failureFlag = false;       // an NV item was refused: the run ends with warnings
  std::vector<std::string> nvErrors;
};

// Parses a script's text; `context` gives the efs_scr folder and the operation kind.
ScriptParse ParseScript(std::string_view text, const ScriptContext& context);

}  // namespace zk::script

class CScriptParser {
 public:
  CScriptParser() = default;
  CScriptParser(const CScriptParser&) = delete;
  CScriptParser& operator=(const CScriptParser&) = delete;

  // Reads the whole script. False when it cannot be read, is larger than
  // kMaxScriptBytes or holds NUL bytes (a binary file); LoadFailure() says why.
  bool Load(const std::string& path);
  const std::string& LoadFailure() const { return m_loadFailure; }

  const std::string& FileName() const { return m_fileName; }    // after the last '/' or '\'
  const std::string& EfsFolder() const { return m_efsFolder; }  // the script's folder + "efs_scr"
  const std::string& Text() const { return m_text; }

  zk::script::ScriptParse Parse(int operationKind) const;

 private:
  std::string m_fileName;
  std::string m_efsFolder;
  std::string m_text;
  std::string m_loadFailure;
};

extern CScriptParser g_scriptParser;
