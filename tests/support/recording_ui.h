// An operator interface for tests that writes down every call the core
// makes and answers the dialogs as told.
#pragma once

#include <string>
#include <vector>

#include "ui/operator_ui.h"

namespace zk::test {

using zk::ui::DialogAnswer;
using zk::ui::ProgressControl;

class RecordingUi : public zk::ui::OperatorUi {
 public:
  void OpenProgress(const zk::ui::ProgressWindowView& view) override {
    calls.push_back("open " + view.caption + " " + Placement(view.placement));
  }
  void CloseProgress() override { calls.push_back("close"); }
  void SetProgressText(ProgressControl control, const std::string& text) override {
    calls.push_back(std::string(zk::ui::ProgressControlName(control)) + " [" + text + "]");
  }
  void SetProgressBar(int low, int high, int position, const std::string& percent) override {
    calls.push_back("bar " + std::to_string(low) + ".." + std::to_string(high) + " @" + std::to_string(position) +
                    " [" + percent + "]");
  }
  void SetAddressMode(bool on) override { calls.push_back(on ? "address on" : "address off"); }
  zk::ui::MessageAnswer ShowMessage(const std::string& text, zk::ui::MessageButtons) override {
    calls.push_back("message [" + text + "]");
    return zk::ui::MessageAnswer::Ok;
  }
  DialogAnswer ShowErrorDialog(const zk::ui::ErrorDialogView& view) override {
    calls.push_back("error " + view.caption + " " + Placement(view.placement));
    lastError = view;
    return errorAnswer;
  }
  DialogAnswer ShowEndDialog(const zk::ui::EndDialogView& view) override {
    calls.push_back("end " + view.caption + " " + view.elapsed + " " + Placement(view.placement));
    return endAnswer;
  }
  bool Beep(int hz, int ms) override {
    calls.push_back("beep " + std::to_string(hz) + "/" + std::to_string(ms));
    return false;  // no pauses
  }

  static std::string Placement(const zk::ui::WindowPlacement& placement) {
    switch (placement.mode) {
      case zk::ui::WindowPlacement::Mode::Tiled:
        return "at " + std::to_string(placement.x) + "," + std::to_string(placement.y);
      case zk::ui::WindowPlacement::Mode::Centred: return "centred";
      case zk::ui::WindowPlacement::Mode::Kept: return "kept";
    }
    return "?";
  }

  int Count(const std::string& prefix) const {
    int n = 0;
    for (const auto& call : calls) n += call.rfind(prefix, 0) == 0 ? 1 : 0;
    return n;
  }

  std::vector<std::string> calls;
  zk::ui::ErrorDialogView lastError;
  DialogAnswer errorAnswer = DialogAnswer::Ok;
  DialogAnswer endAnswer = DialogAnswer::End;
};

}  // namespace zk::test
