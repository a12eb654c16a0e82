#include "failure_report.h"

#include <cstdio>

#include "zkdownload/zkdownload.h"

namespace zk::cli {
namespace {

struct FailureTexts {
  bool known = false;
  std::string location;
  std::string contents;
  std::string solution;
};

// Blank texts (the tables hold " " for some hints) count as none.
std::string Trimmed(const char* text) {
  std::string value(text);
  const auto first = value.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  return value.substr(first, value.find_last_not_of(" \t\r\n") - first + 1);
}

// The dialog's texts use "\r\n" between lines; one report line wants blanks.
std::string OnOneLine(std::string text) {
  std::string out;
  for (const char c : text) {
    if (c == '\r') continue;
    if (c == '\n') {
      if (!out.empty() && out.back() != ' ') out += ' ';
      continue;
    }
    if (c == ' ' && !out.empty() && out.back() == ' ') continue;
    out += c;
  }
  return out;
}

FailureTexts TextsOf(int code) {
  char location[512] = {};
  char contents[2048] = {};
  char solution[512] = {};
  FailureTexts texts;
  texts.known = GetFailureTexts_Interface(code, location, sizeof(location), contents, sizeof(contents), solution,
                                          sizeof(solution)) != 0;
  texts.location = Trimmed(location);
  texts.contents = OnOneLine(Trimmed(contents));
  // The contents of a file-system failure hold a "%s" for the handset path
  // the operation failed on; a report that shows "%s" tells the technician
  // nothing.
  if (const auto mark = texts.contents.find("%s"); mark != std::string::npos) {
    char path[512] = {};
    GetFailurePath_Interface(path, sizeof(path));
    texts.contents.replace(mark, 2, path[0] != '\0' ? path : "(not known)");
  }
  texts.solution = OnOneLine(Trimmed(solution));
  return texts;
}

}  // namespace

std::string FailureLine(int code) {
  std::string line = std::to_string(code);
  const FailureTexts texts = TextsOf(code);
  if (!texts.known) {
    if (code == kNotAvailableCode) line += " operation not available in this version";
    return line;
  }
  if (!texts.location.empty()) line += " " + texts.location;
  if (!texts.contents.empty()) line += (texts.location.empty() ? " " : " \u2014 ") + texts.contents;
  return line;
}

std::string FailureHint(int code) { return TextsOf(code).solution; }

int OperationExitStatus(int exportResult) {
  if (exportResult == 1) return 0;
  const int code = GetLastResult_Interface();
  if (code == 0 || code == 1) {
    std::fprintf(stderr, "zkdownload: failed (the library gave no failure code)\n");
    return 1;
  }
  std::fprintf(stderr, "zkdownload: failed: %s\n", FailureLine(code).c_str());
  // What the failing step noted about the handset's silence, if anything.
  char note[512] = {};
  if (GetWaitNote_Interface(note, sizeof(note)) != 0) std::fprintf(stderr, "zkdownload: note: %s\n", note);
  // What the link noted about the handset (a refused service code).
  char linkNote[256] = {};
  if (GetFailureNote_Interface(linkNote, sizeof(linkNote)) == 1)
    std::fprintf(stderr, "zkdownload: note: %s\n", linkNote);
  // A port that did not open is the cause to name, not the table's hint
  // (which would send the technician to reset a handset that is fine).
  char port[512] = {};
  if (GetPortError_Interface(port, sizeof(port)) != 0) {
    std::fprintf(stderr, "zkdownload: port: %s\n", port);
    return 1;
  }
  if (const std::string hint = FailureHint(code); !hint.empty())
    std::fprintf(stderr, "zkdownload: what to do: %s\n", hint.c_str());
  return 1;
}

}  // namespace zk::cli
