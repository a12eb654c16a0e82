// CScriptParser: loads a script file and runs its lines against the handset.
#pragma once

class CScriptParser {
 public:
  CScriptParser() = default;
  CScriptParser(const CScriptParser&) = delete;
  CScriptParser& operator=(const CScriptParser&) = delete;
};

extern CScriptParser g_scriptParser;
