// Splitting a script file into lines and a line into tokens.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zk::script {

struct ScriptLine {
  int number;        // 1-based line number in the file
  std::string text;  // without its line feed and without a carriage return before it
};

struct SplitText {
  std::vector<ScriptLine> lines;
  // Text after the last line feed: not a line, never run.
  std::string unterminated;
  int unterminatedNumber = 0;
};

// Lines end at line feeds. Only a carriage return is dropped before a line
// feed, so files saved with LF line ends keep their last character.
SplitText SplitLines(std::string_view text);

struct FilteredLine {
  bool skipped = true;  // nothing to run
  std::string text;     // what is run
  // The comment rule drops the character before the first ';', which loses
  // a real character when the comment is not written after a blank.
  bool droppedCharacter = false;
  char dropped = 0;
};

// A line shorter than 2 characters is skipped; a line with ';' is cut before
// the character that precedes it and skipped when nothing but blanks and
// tabs remain; other lines run whole.
FilteredLine FilterLine(std::string_view line);

struct Tokens {
  std::vector<std::string> tokens;
  bool unterminatedQuote = false;  // the quoted token ran to the end of the line
  bool onlySeparators = false;     // no token, but commas or braces were there
};

// Blank, tab, comma, '{' and '}' separate tokens; a double quote starts a
// token that runs to the next double quote, blanks included; ';' ends the line.
Tokens Tokenize(std::string_view line);

}  // namespace zk::script
