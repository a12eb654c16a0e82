#include "ui/console_ui.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace zk::ui {
namespace {

// Dialog texts use "\r\n" line ends; the terminal wants '\n'.
std::string ForTerminal(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      if (i + 1 < text.size() && text[i + 1] == '\n') continue;
      out += '\n';
    } else {
      out += text[i];
    }
  }
  return out;
}

// The live line must stay one line: control characters become blanks.
std::string OneLine(const std::string& text) {
  std::string out(text);
  for (char& c : out)
    if (std::iscntrl(static_cast<unsigned char>(c))) c = ' ';
  return out;
}

std::string Trim(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// One-letter replies typed at the prompt.
std::string Expanded(const std::string& reply) {
  if (reply.size() != 1) return reply;
  switch (std::tolower(static_cast<unsigned char>(reply[0]))) {
    case 'o': return "OK";
    case 'e': return "END";
    case 'c': return "Cancel";
    case 'y': return "Yes";
    case 'n': return "No";
    default: return reply;
  }
}

bool WantsSolution(const std::string& reply) {
  std::string lower(reply);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower == "s" || lower == "solution";
}

const char* ButtonsPrompt(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::Ok: return "[O]K > ";
    case MessageButtons::OkCancel: return "[O]K / [C]ancel > ";
    case MessageButtons::YesNo: return "[Y]es / [N]o > ";
  }
  return "> ";
}

}  // namespace

namespace {
ConsoleUi::Style StyleFor(std::FILE* out) {
  const int fd = out != nullptr ? fileno(out) : -1;
  return fd >= 0 && isatty(fd) != 0 ? ConsoleUi::Style::Live : ConsoleUi::Style::Log;
}
}  // namespace

ConsoleUi::ConsoleUi(AnswerQueue& answers, std::FILE* in, std::FILE* out, std::optional<Style> style)
    : m_answers(answers), m_in(in), m_out(out), m_style(style.value_or(StyleFor(out))), m_log(out) {}

// --- progress line ---------------------------------------------------------

void ConsoleUi::OpenProgress(const ProgressWindowView& view) {
  if (m_style == Style::Log) return m_log.Open(view);
  EndLiveLine();
  Write(view.caption + "\n");
  m_progress = Progress{};
  m_open = true;
  m_lineLength = 0;
}

void ConsoleUi::CloseProgress() {
  if (m_style == Style::Log) return m_log.Close();
  EndLiveLine();
  m_open = false;
}

void ConsoleUi::SetProgressText(ProgressControl control, const std::string& text) {
  if (m_style == Style::Log) return m_log.SetText(control, text);
  switch (control) {
    case ProgressControl::Status: m_progress.status = OneLine(text); break;
    case ProgressControl::Detail: m_progress.detail = OneLine(text); break;
    case ProgressControl::Elapsed: m_progress.elapsed = OneLine(text); break;
    case ProgressControl::FirstAddress: m_progress.firstAddress = OneLine(text); break;
    case ProgressControl::SecondAddress: m_progress.secondAddress = OneLine(text); break;
  }
  Redraw();
}

void ConsoleUi::SetProgressBar(int low, int high, int position, const std::string& percent) {
  if (m_style == Style::Log) return m_log.SetBar(low, high, position);
  m_progress.low = low;
  m_progress.high = high;
  m_progress.position = position;
  m_progress.percent = Trim(percent);
  Redraw();
}

void ConsoleUi::SetAddressMode(bool on) {
  if (m_style == Style::Log) return;
  m_progress.addressMode = on;
  Redraw();
}

void ConsoleUi::EnterStage(const std::string& name) {
  if (m_style == Style::Log) return m_log.Stage(name);
  EndLiveLine();
  Write("stage: " + OneLine(name) + "\n");
  Redraw();
}

std::string ConsoleUi::ComposeLine() const {
  const Progress& p = m_progress;
  int cells = 0;
  if (p.high > p.low) {
    const long long done = static_cast<long long>(p.position) - p.low;
    const long long span = static_cast<long long>(p.high) - p.low;
    cells = static_cast<int>(std::clamp<long long>(done * kBarCells / span, 0, kBarCells));
  }
  std::string line(1, '[');
  line.append(static_cast<std::size_t>(cells), '#').append(static_cast<std::size_t>(kBarCells - cells), '-');
  line += "] ";
  std::string percent = p.percent;
  if (percent.size() < 4) percent.insert(0, 4 - percent.size(), ' ');
  line += percent;
  if (!p.elapsed.empty()) line += "  " + p.elapsed;
  if (!Trim(p.status).empty()) line += "  " + Trim(p.status);
  if (!Trim(p.detail).empty()) line += "  " + Trim(p.detail);
  if (p.addressMode) line += "  " + p.firstAddress + "/" + p.secondAddress;
  return line;
}

void ConsoleUi::Redraw() {
  if (!m_open) return;
  std::string line = ComposeLine();
  // A line wider than the terminal would wrap and '\r' could no longer
  // return to its start.
  if (const int columns = TerminalColumns(); columns > 1 && line.size() >= static_cast<std::size_t>(columns))
    line.resize(static_cast<std::size_t>(columns - 1));
  const std::size_t length = line.size();
  if (length < m_lineLength) line.append(m_lineLength - length, ' ');  // wipe the rest of the old line
  Write("\r" + line);
  m_lineLength = length;
  m_lineLive = true;
}

void ConsoleUi::EndLiveLine() {
  if (!m_lineLive) return;
  Write("\n");
  m_lineLive = false;
  m_lineLength = 0;
}

int ConsoleUi::TerminalColumns() const {
  const int fd = fileno(m_out);
  if (fd < 0 || isatty(fd) == 0) return 0;
  winsize size{};
  if (ioctl(fd, TIOCGWINSZ, &size) != 0) return 0;
  return size.ws_col;
}

void ConsoleUi::Write(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), m_out);
  std::fflush(m_out);
}

// --- questions -------------------------------------------------------------

std::optional<std::string> ConsoleUi::ReadLine() {
  if (m_in == nullptr) return std::nullopt;
  std::string line;
  for (;;) {
    const int c = std::fgetc(m_in);
    if (c == EOF) {
      if (line.empty()) return std::nullopt;
      break;
    }
    if (c == '\n') break;
    line += static_cast<char>(c);
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

std::optional<std::string> ConsoleUi::Ask(const std::string& prompt) {
  Write(prompt);
  const auto reply = ReadLine();
  // A terminal echoes what the operator typed; from a pipe the reply is
  // written out so that the transcript reads like a session.
  const int fd = m_in != nullptr ? fileno(m_in) : -1;
  if (fd < 0 || isatty(fd) == 0) Write(reply ? *reply + "\n" : "(end of input)\n");
  if (!reply) return std::nullopt;
  return Trim(*reply);
}

MessageAnswer ConsoleUi::ShowMessage(const std::string& text, MessageButtons buttons) {
  EndLiveLine();
  std::string shown(1, '\n');
  shown.append(ForTerminal(text)).push_back('\n');
  Write(shown);
  if (const auto scripted = m_answers.Next()) {
    Write(std::string(ButtonsPrompt(buttons)) + *scripted + " (scripted)\n");
    return AnswerForMessage(*scripted, buttons).value_or(DefaultMessageAnswer(buttons));
  }
  for (;;) {
    const auto reply = Ask(ButtonsPrompt(buttons));
    if (!reply) return DefaultMessageAnswer(buttons);
    if (buttons == MessageButtons::Ok) return MessageAnswer::Ok;  // any key confirms
    if (const auto chosen = AnswerForMessage(Expanded(*reply), buttons)) return *chosen;
  }
}

DialogAnswer ConsoleUi::ShowErrorDialog(const ErrorDialogView& view) {
  EndLiveLine();
  Write("\n=== " + view.caption + " ===\nError number : " + view.numberText + "\n" + ForTerminal(view.message) +
        "\n");
  constexpr const char* kPrompt = "[O]K (send the error report) / [S]olution / [C]lose > ";
  if (const auto scripted = m_answers.Next()) {
    Write(std::string(kPrompt) + *scripted + " (scripted)\n");
    return AnswerForErrorDialog(*scripted).value_or(DialogAnswer::Ok);
  }
  bool showingSolution = false;
  for (;;) {
    const auto reply = Ask(kPrompt);
    if (!reply) return DialogAnswer::Ok;
    if (WantsSolution(*reply)) {
      // Each request swaps between the solution and the message.
      showingSolution = !showingSolution;
      Write(showingSolution ? "Solution : " + ForTerminal(view.solution) + "\n" : ForTerminal(view.message) + "\n");
      continue;
    }
    if (const auto chosen = AnswerForErrorDialog(Expanded(*reply))) return *chosen;
  }
}

DialogAnswer ConsoleUi::ShowEndDialog(const EndDialogView& view) {
  EndLiveLine();
  Write("\n=== " + view.caption + " ===\n" + view.portText + " done, elapsed " + view.elapsed + "\n");
  constexpr const char* kPrompt = "Serve the next handset? [O]K / [E]ND > ";
  if (const auto scripted = m_answers.Next()) {
    Write(std::string(kPrompt) + *scripted + " (scripted)\n");
    return AnswerForEndDialog(*scripted).value_or(DialogAnswer::End);
  }
  for (;;) {
    const auto reply = Ask(kPrompt);
    if (!reply) return DialogAnswer::End;
    if (const auto chosen = AnswerForEndDialog(Expanded(*reply))) return *chosen;
  }
}

std::optional<std::string> ConsoleUi::AskSaveFile(const std::string& title, const std::string& suggestion) {
  EndLiveLine();
  const std::string prompt =
      "\n" + title + (suggestion.empty() ? "" : " [" + suggestion + "]") + " - file to save (empty: " +
      (suggestion.empty() ? "cancel" : "the suggestion") + ") > ";
  if (const auto scripted = m_answers.Next()) {
    Write(prompt + *scripted + " (scripted)\n");
    return AnswerForFileDialog(*scripted);
  }
  const auto reply = Ask(prompt);
  if (!reply) return std::nullopt;
  if (reply->empty()) return suggestion.empty() ? std::nullopt : std::optional<std::string>(suggestion);
  return *reply;
}

std::optional<std::string> ConsoleUi::AskOpenFile(const std::string& title, const std::string& filter) {
  EndLiveLine();
  const std::string prompt =
      "\n" + title + (filter.empty() ? "" : " (" + filter + ")") + " - file to open (empty: cancel) > ";
  if (const auto scripted = m_answers.Next()) {
    Write(prompt + *scripted + " (scripted)\n");
    return AnswerForFileDialog(*scripted);
  }
  const auto reply = Ask(prompt);
  if (!reply || reply->empty()) return std::nullopt;
  return *reply;
}

bool ConsoleUi::Beep(int, int) {
  // Only a terminal can sound; into a file the bell would be noise.
  const int fd = fileno(m_out);
  if (fd < 0 || isatty(fd) == 0) return false;
  Write("\a");
  return true;
}

}  // namespace zk::ui
