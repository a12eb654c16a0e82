#include "ui/answer_queue.h"

#include <cctype>

namespace zk::ui {
namespace {

enum class Word { Ok, End, Cancel, Yes, No, Path };

bool SameWord(std::string_view text, std::string_view word) {
  if (text.size() != word.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(text[i])) != word[i]) return false;
  return true;
}

Word Classify(std::string_view answer) {
  if (SameWord(answer, "OK")) return Word::Ok;
  if (SameWord(answer, "END")) return Word::End;
  if (SameWord(answer, "CANCEL")) return Word::Cancel;
  if (SameWord(answer, "YES")) return Word::Yes;
  if (SameWord(answer, "NO")) return Word::No;
  return Word::Path;
}

std::string_view Trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

}  // namespace

AnswerQueue::AnswerQueue(std::string_view list) {
  while (!list.empty()) {
    const auto comma = list.find(',');
    const std::string_view item = Trimmed(list.substr(0, comma));
    if (!item.empty()) m_answers.emplace_back(item);
    if (comma == std::string_view::npos) break;
    list.remove_prefix(comma + 1);
  }
}

std::optional<std::string> AnswerQueue::Next() {
  if (m_answers.empty()) return std::nullopt;
  std::string answer = std::move(m_answers.front());
  m_answers.pop_front();
  return answer;
}

std::optional<MessageAnswer> AnswerForMessage(std::string_view answer, MessageButtons buttons) {
  const Word word = Classify(answer);
  if (word == Word::Path) return std::nullopt;
  const bool agrees = word == Word::Ok || word == Word::Yes;
  switch (buttons) {
    case MessageButtons::Ok:
      return MessageAnswer::Ok;  // the only button
    case MessageButtons::OkCancel:
      return agrees ? MessageAnswer::Ok : MessageAnswer::Cancel;
    case MessageButtons::YesNo:
      return agrees ? MessageAnswer::Yes : MessageAnswer::No;
  }
  return std::nullopt;
}

namespace {

// OK and Yes confirm a dialog; END, Cancel and No decline it, which the
// error dialog takes as closed (no report) and the end dialog as END.
std::optional<DialogAnswer> DialogAnswerFor(std::string_view answer, DialogAnswer declined) {
  switch (Classify(answer)) {
    case Word::Ok:
    case Word::Yes:
      return DialogAnswer::Ok;
    case Word::End:
    case Word::Cancel:
    case Word::No:
      return declined;
    case Word::Path:
      break;
  }
  return std::nullopt;
}

}  // namespace

std::optional<DialogAnswer> AnswerForErrorDialog(std::string_view answer) {
  return DialogAnswerFor(answer, DialogAnswer::Closed);
}

std::optional<DialogAnswer> AnswerForEndDialog(std::string_view answer) {
  return DialogAnswerFor(answer, DialogAnswer::End);
}

std::optional<std::string> AnswerForFileDialog(std::string_view answer) {
  if (Classify(answer) != Word::Path) return std::nullopt;
  return std::string(answer);
}

MessageAnswer DefaultMessageAnswer(MessageButtons buttons) {
  return buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
}

}  // namespace zk::ui
