// Scripted operator answers: ZKDOWNLOAD_ANSWERS holds a comma-separated
// queue (OK, END, Cancel, Yes, No, or a file path for a file dialog) that the
// `none` and `console` interfaces consume in order before they fall back to
// their default or to the terminal.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <string_view>

#include "ui/operator_ui.h"

namespace zk::ui {

class AnswerQueue {
 public:
  AnswerQueue() = default;
  // Items are trimmed of blanks; empty items are skipped.
  explicit AnswerQueue(std::string_view list);

  bool Empty() const { return m_answers.empty(); }
  std::size_t Size() const { return m_answers.size(); }
  // The next answer, removed from the queue; nullopt once it is empty.
  std::optional<std::string> Next();

 private:
  std::deque<std::string> m_answers;
};

// How one scripted answer reads for each kind of question. A keyword is
// matched without regard to case; anything else is a file path. nullopt:
// the answer does not fit the question (the caller takes the default).
std::optional<MessageAnswer> AnswerForMessage(std::string_view answer, MessageButtons buttons);
std::optional<DialogAnswer> AnswerForErrorDialog(std::string_view answer);
std::optional<DialogAnswer> AnswerForEndDialog(std::string_view answer);
// A file dialog: a path is chosen; a keyword cancels.
std::optional<std::string> AnswerForFileDialog(std::string_view answer);

// The button a message box falls back to: OK, or Yes for a Yes/No box.
MessageAnswer DefaultMessageAnswer(MessageButtons buttons);

}  // namespace zk::ui
