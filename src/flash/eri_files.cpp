// The ERI file steps of the flash engine: the handset keeps its enhanced
// roaming indicator file at /eri/eri.bin; these copy it to a PC file and
// write a PC file there, through the file-system client.
#include <algorithm>
#include <string>
#include <vector>

#include "efs/efs_basic_function.h"
#include "flash/dl_common.h"
#include "platform/library_state.h"
#include "platform/paths.h"
#include "ui/common_process.h"

namespace {

using zk::flash::EriFileResult;

constexpr char kEriDirectory[] = "/eri";
constexpr char kEriFileName[] = "eri.bin";
constexpr char kEriPath[] = "/eri/eri.bin";
constexpr uint32_t kPlainFile = 0;
constexpr int kWriteSteps = 3;

}  // namespace

EriFileResult CDLCommon::ReadEriFile(const std::string& localPath) {
  CEfsBasicFunction client(m_link);
  // The file must be listed under its own name: a listing that merely holds
  // the text (say "old_eri.bin") names another file.
  // The read's one failure code does not tell these apart: the note does.
  std::vector<std::string> names;
  const int listed = client.ListPhoneDir(kEriDirectory, names, kPlainFile);
  if (listed != CEfsBasicFunction::kOk && listed != CEfsBasicFunction::kNoSuchPath) {
    g_runState.failureNote = std::string("the handset did not list ") + kEriDirectory;
    return EriFileResult::kReadFailed;
  }
  if (listed == CEfsBasicFunction::kNoSuchPath || std::ranges::find(names, kEriFileName) == names.end()) {
    g_runState.failureNote = std::string("the handset holds no ") + kEriPath;
    return EriFileResult::kReadFailed;
  }
  // Every failed copy is a failed read, whatever the handset or the PC
  // answered; the copy itself keeps the caller's existing file intact.
  if (client.GetFileFromPhone(kEriPath, localPath) != CEfsBasicFunction::kOk) {
    g_runState.failureNote = std::string("copying ") + kEriPath + " to " + localPath + " failed";
    return EriFileResult::kReadFailed;
  }
  return EriFileResult::kDone;
}

EriFileResult CDLCommon::WriteEriFile(const std::string& localPath) {
  CEfsBasicFunction client(m_link);
  g_commonProcess.SetStatusText("ERI Download");
  g_commonProcess.SetDetailText(zk::platform::FileNameOf(localPath));
  g_commonProcess.SetProgressRange(kWriteSteps);
  g_commonProcess.StepProgress();
  g_commonProcess.UpdateElapsedTime();

  // Any error on the way to /eri fails the step: the file could not land.
  if (client.MakePhoneDirs(kEriDirectory) != CEfsBasicFunction::kOk) {
    g_runState.failureNote = std::string("the handset did not make ") + kEriDirectory;
    return EriFileResult::kWriteFailed;
  }
  g_commonProcess.StepProgress();
  g_commonProcess.UpdateElapsedTime();

  if (const int put = client.PutFileToPhone(localPath, kEriPath); put != CEfsBasicFunction::kOk) {
    const bool pcSide = put == CEfsBasicFunction::kHostCreate || put == CEfsBasicFunction::kHostIo;
    g_runState.failureNote = pcSide ? "cannot read " + localPath : "writing " + localPath + " to " + kEriPath + " failed";
    return EriFileResult::kWriteFailed;
  }
  g_commonProcess.StepProgress();
  g_commonProcess.UpdateElapsedTime();
  return EriFileResult::kDone;
}
