#include "operations/flow_steps.h"

#include <algorithm>
#include <array>
#include <span>
#include <string_view>
#include <system_error>

#include "diag/diag_link.h"
#include "flash/dl_common.h"
#include "flash/image_rules.h"
#include "operations/operation_run.h"
#include "platform/clock.h"
#include "platform/library_state.h"
#include "ui/common_process.h"
#include "ui/failure_code.h"

namespace zk::operations {

namespace {
constexpr const char* kBrewDirectoryName = "brew_script";
}  // namespace

namespace {
constexpr std::size_t kHostVersionBytes = 15;  // the host's version buffer, terminator included
}  // namespace

void WaitSecondsWithElapsed(int seconds) {
  for (int i = 0; i < seconds; ++i) {
    g_commonProcess.UpdateElapsedTime();
    zk::platform::SleepMs(1000);
  }
}

int EnterDiagModeWithRetries(int16_t portIndex, int tries) {
  int entered = 0;
  for (int attempt = 1; attempt <= tries; ++attempt) {
    entered = g_diagLink.EnterDiagMode(portIndex);
    if (entered == kDiagModeEntered) return entered;
    if (attempt < tries) g_commonProcess.ShowMessage(kRebootMessage);
  }
  return entered;
}

bool RaiseLink(bool usbPort) { return usbPort || g_diagLink.SpeedUp(); }

void EnterStage(int16_t kind, const char* name, bool reported) {
  g_operationRun.EnterStage(name);
  if (reported && kind != 2 && kind != 3) g_dlCommon.ReportStage(name);
}

std::filesystem::path BrewDirectoryBeside(const std::string& scriptPath) {
  const std::size_t cut = scriptPath.find_last_of("/\\");
  const std::filesystem::path folder = cut == std::string::npos ? "." : scriptPath.substr(0, cut);
  return folder / kBrewDirectoryName;
}

std::filesystem::path FindBrewDirectory(const std::string& scriptPath) {
  const auto beside = BrewDirectoryBeside(scriptPath);
  if (IsDirectory(beside)) return beside;
  if (g_passPara.m_fallbackDirectory.empty()) return {};
  const auto fallback = std::filesystem::path(g_passPara.m_fallbackDirectory) / kBrewDirectoryName;
  return IsDirectory(fallback) ? fallback : std::filesystem::path();
}

bool IsDirectory(const std::filesystem::path& path) {
  std::error_code error;
  return std::filesystem::is_directory(path, error);
}

int ReadBackVersion() {
  using zk::ui::FailureCode;
  using zk::ui::Location;
  // Read whether or not the host takes it: a handset that came back without
  // reporting a version, or with another version than the image names, has
  // not taken the image.
  std::array<char, CDLCommon::kVersionLabelLength + 1> label{};
  if (g_dlCommon.ReadVersionLabel(label) != 1) return FailureCode(Location::kBinVersion);
  const std::string_view text(label.data());
  if (g_passPara.m_mode != 0 && g_passPara.m_versionBuffer != nullptr) {
    const std::size_t length = std::min(text.size(), kHostVersionBytes - 1);
    std::copy_n(text.data(), length, g_passPara.m_versionBuffer);
    g_passPara.m_versionBuffer[length] = '\0';
  }
  const auto& image = g_dlCommon.m_mainBuf;
  const auto named =
      zk::flash::ImageVersion(std::span(image.data(), std::min<std::size_t>(image.size(), g_dlCommon.m_mainLen)));
  if (named && !zk::flash::LabelCarriesVersion(text, *named)) return FailureCode(Location::kBinVersion);
  return 1;
}

}  // namespace zk::operations
