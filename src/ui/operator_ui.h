// The operator interface: the only way the library talks to the technician.
//
// Everything the operator sees is computed in the core (texts, failure-code
// tables, elapsed-time and percentage texts, tiling positions); a backend
// only shows it. The headless default answers every question with its
// default and shows nothing.
#pragma once

#include <optional>
#include <string>

#include "ui/nv_editor_view.h"

namespace zk::ui {

// Controls of the progress window that carry text.
enum class ProgressControl {
  Status,         // what the operation is doing ("Changing to DM mode ...")
  Detail,         // the file line or the current item
  Elapsed,        // elapsed time text
  FirstAddress,   // address row during burns: start address
  SecondAddress,  // address row during burns: end address
};

// A control's name in event lines and records: "status", "detail",
// "elapsed", "first", "second".
inline const char* ProgressControlName(ProgressControl control) {
  switch (control) {
    case ProgressControl::Status: return "status";
    case ProgressControl::Detail: return "detail";
    case ProgressControl::Elapsed: return "elapsed";
    case ProgressControl::FirstAddress: return "first";
    case ProgressControl::SecondAddress: return "second";
  }
  return "status";
}

enum class MessageButtons { Ok, OkCancel, YesNo };
enum class MessageAnswer { Ok, Cancel, Yes, No };

// How the error and end dialogs were left.
enum class DialogAnswer { Ok, End, Closed };

// Where a window goes on the screen.
struct WindowPlacement {
  enum class Mode {
    Tiled,    // topmost at (x, y) with the given size: one tile per port
    Centred,  // topmost, its own size, centred on the screen
    Kept,     // topmost, wherever the window system puts it
  };
  Mode mode = Mode::Centred;
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

struct ProgressWindowView {
  int portIndex = 0;  // 0 is COM1
  int kind = 0;       // operation kind
  std::string caption;  // "COM3 : Download ..."
  WindowPlacement placement;
};

struct ErrorDialogView {
  int portIndex = 0;
  int kind = 0;
  int code = 0;
  std::string caption;     // "Error Dialog - COM3"
  std::string portText;    // "COM3"
  std::string numberText;  // the failure code in decimal
  std::string message;     // "Location : ...\r\n\r\nContents : ..."
  std::string solution;    // shown instead of the message on request
  WindowPlacement placement;
};

struct EndDialogView {
  int portIndex = 0;
  int kind = 0;
  std::string caption;   // "Success Download - COM3"
  std::string portText;  // "COM3"
  std::string elapsed;   // final elapsed-time text of the progress window
  WindowPlacement placement;
};

class OperatorUi {
 public:
  virtual ~OperatorUi() = default;

  // Progress window of one port. The core calls these only when something
  // visible changed.
  virtual void OpenProgress(const ProgressWindowView& view) { (void)view; }
  virtual void CloseProgress() {}
  virtual void SetProgressText(ProgressControl control, const std::string& text) { (void)control, (void)text; }
  // A stage of a main operation began ("DXX05", "NV Reading"): a step a
  // technician follows and a service record names.
  virtual void EnterStage(const std::string& name) { (void)name; }
  // The bar: range low..high with the current position, and the percentage
  // drawn beside it ("  37%  ").
  virtual void SetProgressBar(int low, int high, int position, const std::string& percent) {
    (void)low, (void)high, (void)position, (void)percent;
  }
  // Address row during burns: on shows the "/" between the two addresses
  // and the "Address" label.
  virtual void SetAddressMode(bool on) { (void)on; }

  // A modal message box.
  virtual MessageAnswer ShowMessage(const std::string& text, MessageButtons buttons) {
    (void)text;
    return buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
  }

  // The error dialog for one failure code; Ok when the operator confirmed
  // it, Closed when it was left any other way.
  virtual DialogAnswer ShowErrorDialog(const ErrorDialogView& view) {
    (void)view;
    return DialogAnswer::Ok;
  }

  // The end dialog: Ok serves the next handset, End stops.
  virtual DialogAnswer ShowEndDialog(const EndDialogView& view) {
    (void)view;
    return DialogAnswer::End;
  }

  // File dialogs; nullopt when the operator cancelled.
  virtual std::optional<std::string> AskSaveFile(const std::string& title, const std::string& suggestion) {
    (void)title, (void)suggestion;
    return std::nullopt;
  }
  virtual std::optional<std::string> AskOpenFile(const std::string& title, const std::string& filter) {
    (void)title, (void)filter;
    return std::nullopt;
  }

  // Runs the NV editor dialog modally over `model` until the operator
  // leaves it. The headless interface has no dialog: the operator left at
  // once.
  virtual NvEditorEnd RunNvEditor(NvEditorModel& model) {
    (void)model;
    return NvEditorEnd::Exit;
  }

  // Sounds one tone; false when this interface cannot sound anything (the
  // caller then skips the pauses between tones).
  virtual bool Beep(int frequencyHz, int durationMs) {
    (void)frequencyHz, (void)durationMs;
    return false;
  }

  // True when this interface follows the progress of silent operations too
  // (a host's callback does; windows on a screen do not).
  virtual bool FollowsSilentOperations() const { return false; }

  // Handles at most `maxEvents` pending window events; never blocks.
  virtual void ProcessPendingEvents(int maxEvents) { (void)maxEvents; }
};

}  // namespace zk::ui
