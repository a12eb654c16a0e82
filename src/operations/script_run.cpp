#include "operations/script_run.h"

#include <filesystem>
#include <memory>
#include <sstream>
#include <system_error>

#include "diag/packet_process.h"
#include "efs/efs_basic_function.h"
#include "efs/efs_download.h"
#include "nv/nv_backup.h"
#include "nv/nv_catalogue.h"
#include "nv/nv_image.h"
#include "platform/clock.h"
#include "ui/common_process.h"

namespace zk::operations {
namespace {

using zk::script::Action;
using zk::script::ModeStep;
using zk::script::ParsedLine;
using zk::script::Severity;

constexpr const char* kRunStatus = "Script Writing...";
constexpr const char* kSongDirectory = "/dload/MP3";

struct Verdict {
  bool done;
  std::string note;
};

std::string FirstFailure(const ParsedLine& line) {
  for (const auto& problem : line.problems)
    if (problem.severity == Severity::kFail) return problem.reason;
  return "the line fails";
}

// True when `source`, with every link resolved, still lies below `folder`:
// a link inside efs_scr must not hand out a file from elsewhere.
bool InsideFolder(const std::string& folder, const std::string& source) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path base = fs::weakly_canonical(fs::path(folder), error);
  if (error) return false;
  const fs::path file = fs::weakly_canonical(fs::path(source), error);
  if (error) return false;
  const fs::path relative = file.lexically_relative(base);
  return !relative.empty() && *relative.begin() != ".." && relative != ".";
}

bool ListingHolds(const std::string& listing, const std::string& name) {
  std::istringstream names(listing);
  for (std::string entry; std::getline(names, entry);)
    if (entry == name) return true;
  return false;
}

class LineRunner {
 public:
  LineRunner(ScriptHandset handset, zk::nv::NvImage& image, const std::string& efsFolder)
      : m_handset(handset), m_image(image), m_efsFolder(efsFolder) {}

  Verdict Run(const ParsedLine& line) {
    if (line.Fails()) return {false, FirstFailure(line)};
    switch (line.action) {
      case Action::kNvWrite: return WriteNv(line);
      case Action::kSpc:
        if (m_handset.packets.SendSpcCode(line.spc)) return {true, "service programming code accepted"};
        return {false, "the handset did not accept the service programming code"};
      case Action::kMode: return ChangeMode(line.mode);
      case Action::kEfs: return CopyFile(line);
      case Action::kWait:
        zk::platform::SleepMs(static_cast<int64_t>(line.waitSeconds) * 1000);
        return {true, "waited " + std::to_string(line.waitSeconds) + " s"};
      case Action::kNone:
      case Action::kAcceptedNothingSent:
      case Action::kIgnored: break;
    }
    return {true, ""};
  }

 private:
  // Each write sends its own line's values: the line's record goes into the
  // image just before the write, so a later line for the same item cannot
  // change what an earlier one sends.
  Verdict WriteNv(const ParsedLine& line) {
    const auto& nv = line.nv;
    if (zk::nv::FindSlot(nv.item)) static_cast<void>(zk::nv::UnpackIntoImage(m_image, nv.item, zk::nv::DataField(nv.data)));
    const int index = nv.nam >= 0 ? nv.nam : zk::nv::kNoNam;
    if (m_handset.nv.WriteItem(nv.item, index, nv.row->key, &m_image)) return {true, std::string(nv.row->key) + " written"};
    const auto& errors = m_handset.nv.m_errorLines;
    return {false, errors.empty() ? std::string(nv.row->key) + " not written" : errors.back()};
  }

  // The outcome of the mode step does not decide the line.
  Verdict ChangeMode(ModeStep step) {
    switch (step) {
      case ModeStep::kOfflineDigital: {
        const bool confirmed = m_handset.packets.GoOffline() == zk::diag::OfflineResult::kConfirmed;
        return {true, confirmed ? "offline" : "offline not confirmed"};
      }
      case ModeStep::kReset: {
        const bool taken = m_handset.packets.ResetPhone() == zk::diag::ResetResult::kDone;
        return {true, taken ? "reset; the port is closed" : "reset not acknowledged; the port is closed"};
      }
      case ModeStep::kOfflineAnalog: break;
    }
    return {true, "offline-a: nothing sent"};
  }

  Verdict CopyFile(const ParsedLine& line) {
    const auto& efs = line.efs;
    if (!InsideFolder(m_efsFolder, efs.source)) return {false, efs.source + " lies outside the efs_scr folder"};
    if (!efs.mp3Name.empty()) {
      const std::string listing = m_handset.efs.ListPhoneFiles(kSongDirectory, '\n');
      if (ListingHolds(listing, efs.mp3Name)) return {true, efs.mp3Name + " is already on the handset"};
    }
    const int copy = m_handset.efs.PutFileToPhone(efs.source, efs.destination);
    if (copy == CEfsBasicFunction::kOk) return {true, "copied to " + efs.destination};
    return {false, "copying " + efs.source + " to " + efs.destination + " failed (" + std::to_string(copy) + ")"};
  }

  ScriptHandset m_handset;
  zk::nv::NvImage& m_image;
  const std::string& m_efsFolder;
};

}  // namespace

ScriptHandset LibraryHandset() { return {g_nvBackup, g_packetProcess, g_efsDownload.Client()}; }

bool RunParsedScript(const zk::script::ScriptParse& parse, const std::string& efsFolder, ScriptHandset handset,
                     ScriptRunReport* report) {
  CNVBackup& nv = handset.nv;
  // Items the script itself refuses warn like items the handset refuses.
  if (parse.failureFlag) nv.m_failed = true;
  nv.m_errorLines.insert(nv.m_errorLines.end(), parse.nvErrors.begin(), parse.nvErrors.end());
  // Silence left over from an earlier pass says nothing about this handset now.
  nv.m_silentRun = 0;

  g_commonProcess.SetStatusText(kRunStatus);
  g_commonProcess.SetDetailText(" ");
  g_commonProcess.UpdateElapsedTime();
  g_commonProcess.SetProgressRange(static_cast<int>(parse.lines.size()));

  // The script's NV image, kept apart from the handset's backup copy.
  auto image = std::make_unique<zk::nv::NvImage>();
  LineRunner runner(handset, *image, efsFolder);
  for (const ParsedLine& line : parse.lines) {
    const Verdict verdict = runner.Run(line);
    g_commonProcess.StepProgress();
    if (report != nullptr && (!verdict.done || !verdict.note.empty()))
      report->outcomes.push_back({line.number, verdict.done, verdict.note});
    if (!verdict.done && nv.m_silentRun > CNVBackup::kMaxSilentRun) {
      if (report != nullptr) report->abandonedAt = line.number;
      return false;
    }
  }
  return true;
}

int RunScriptFile(const std::string& path, int operationKind, ScriptHandset handset, ScriptRunReport* report) {
  handset.nv.m_failed = false;
  CScriptParser parser;
  const bool loaded = parser.Load(path);
  g_commonProcess.SetDetailText(parser.FileName());
  if (!loaded) {
    if (report != nullptr) report->loadFailure = parser.LoadFailure();
    return kScriptNotLoaded;
  }
  const zk::script::ScriptParse parse = parser.Parse(operationKind);
  if (!RunParsedScript(parse, parser.EfsFolder(), handset, report)) return kScriptAbandoned;
  return handset.nv.m_failed ? kScriptWarned : kScriptDone;
}

}  // namespace zk::operations
