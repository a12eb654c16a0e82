// CNVBackup against a scripted handset: the runs of silence that end a
// pass, what a refusal counts for, what a restore writes back (and what it
// must not), the NV editor's reset, the calibration check and the files.
#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <vector>

#include "boundary/globals.h"
#include "diag/diag_link.h"
#include "nv/nv_backup.h"
#include "nv/nv_catalogue.h"
#include "nv/nv_backup_file.h"
#include "nv/nv_image.h"
#include "platform/clock.h"
#include "support/recording_ui.h"
#include "support/scripted_transactor.h"
#include "support/temp_home.h"
#include "ui/common_process.h"
#include "ui/silent_mode.h"

namespace {

using zk::test::ScriptedTransactor;
using Bytes = std::vector<uint8_t>;
using namespace zk::nv;
namespace fs = std::filesystem;

constexpr uint8_t kRead = 0x26, kWrite = 0x27;

Bytes Nv(uint8_t code, uint16_t item, const Bytes& data, uint16_t status = 0) {
  Bytes bytes(133, 0);
  bytes[0] = code;
  bytes[1] = static_cast<uint8_t>(item);
  bytes[2] = static_cast<uint8_t>(item >> 8);
  std::copy(data.begin(), data.end(), bytes.begin() + 3);
  bytes[131] = static_cast<uint8_t>(status);
  bytes[132] = static_cast<uint8_t>(status >> 8);
  return bytes;
}
Bytes ReadReq(uint16_t item, int index) { return Nv(kRead, item, index == kNoNam ? Bytes{} : Bytes{uint8_t(index)}); }
Bytes WriteReq(const NvImage& image, uint16_t item, int index) {
  Bytes data(kDataFieldSize);
  EXPECT_TRUE(PackFromImage(image, item, index, MutableDataField(data.data(), kDataFieldSize)));
  return Nv(kWrite, item, data);
}

struct Calls {
  int readUnlocks = 0, writeUnlocks = 0, resets = 0;
  bool resetTaken = true;
};

struct Fixture {
  ScriptedTransactor handset;
  Calls calls;
  CNVBackup nv{handset, {[this] { return ++calls.readUnlocks, true; }, [this] { return ++calls.writeUnlocks, true; },
                         [this] { return ++calls.resets, calls.resetTaken; }}};
  zk::platform::WaitRecorder waits{false};
};

// Outcomes of one exchange in a scripted run.
enum class Then { Silence, Ok, Refused };

void Play(ScriptedTransactor& handset, const Bytes& request, uint8_t code, uint16_t item, Then then) {
  if (then == Then::Silence) handset.Silence(request);
  else handset.Answer(request, Nv(code, item, Bytes(request.begin() + 3, request.begin() + 131), then == Then::Ok ? 0 : 7));
}

TEST(NvBackupRead, ItemsNeverWrittenLeaveNothingToRestore) {
  Fixture f;
  for (const auto& entry : CalibrationList()) f.handset.Answer(ReadReq(entry.item, kNoNam), Nv(kRead, entry.item, {}, 5));
  for (const auto& entry : SettingsList()) f.handset.Answer(ReadReq(entry.item, kNoNam), Nv(kRead, entry.item, {}, 5));
  for (const auto& entry : NamList())
    for (int nam = 0; nam < kNamCount; ++nam)
      f.handset.Answer(ReadReq(entry.item, nam), Nv(kRead, entry.item, {uint8_t(nam)}, 5));
  EXPECT_EQ(f.nv.BackupRead(true), CNVBackup::kDone);
  EXPECT_EQ(f.handset.exchanges(), std::size_t(kFullPassSteps));
  EXPECT_EQ(f.nv.Restore(true), CNVBackup::kDone);  // and not one write goes out
  EXPECT_EQ(f.handset.exchanges(), std::size_t(kFullPassSteps));
  EXPECT_EQ(f.calls.readUnlocks + f.calls.writeUnlocks, 2);
}

TEST(NvBackupRead, OnlyFourSilencesInARowEndThePass) {
  struct Case {
    int silences;
    int result;
    std::size_t exchanges;
  };
  for (const Case c : {Case{4, CNVBackup::kReadAborted, 4}, Case{3, CNVBackup::kItemsFailed, kShortPassSteps}}) {
    Fixture f;
    const auto list = CalibrationList();
    for (std::size_t i = 0; i < list.size(); ++i)
      Play(f.handset, ReadReq(list[i].item, kNoNam), kRead, list[i].item,
           int(i) < c.silences ? Then::Silence : Then::Ok);
    EXPECT_EQ(f.nv.BackupRead(false), c.result) << c.silences;
    EXPECT_EQ(f.handset.exchanges(), c.exchanges);
    if (c.result == CNVBackup::kItemsFailed) {
      EXPECT_EQ(f.nv.m_errorLines.size(), 3u);
      EXPECT_EQ(f.nv.m_flags.Get(ListId::Calibration, 2, 0), 0);
      EXPECT_EQ(f.nv.m_flags.Get(ListId::Calibration, 3, 0), 1);
    }
  }
}

// A retry after a time-out crosses the answers: the next item's request
// meets the late answer about the item before it. That answer proves
// nothing about the item asked for, so it is asked again; a handset that
// keeps answering about other items fails the pass rather than leaving the
// item silently out of the backup.
TEST(NvBackupRead, AnAnswerAboutAnotherItemIsNeverTakenForThisOne) {
  const auto list = CalibrationList();
  const uint16_t first = list[0].item, second = list[1].item;
  for (const int lateAnswers : {1, CNVBackup::kStaleAnswerAsks + 1}) {
    Fixture f;
    Play(f.handset, ReadReq(first, kNoNam), kRead, first, Then::Ok);
    for (int i = 0; i < lateAnswers; ++i) f.handset.Answer(ReadReq(second, kNoNam), Nv(kRead, first, {}));
    const bool recovers = lateAnswers <= CNVBackup::kStaleAnswerAsks;
    if (recovers) Play(f.handset, ReadReq(second, kNoNam), kRead, second, Then::Ok);
    EXPECT_TRUE(f.nv.ReadItem(first, kNoNam, list[0].name));
    EXPECT_EQ(f.nv.ReadItem(second, kNoNam, list[1].name), recovers) << lateAnswers;
    EXPECT_EQ(f.handset.unplayed(), 0u);
    EXPECT_EQ(f.nv.m_errorLines.size(), recovers ? 0u : 1u);
    EXPECT_EQ(f.nv.m_failed, !recovers);
  }
}

TEST(NvRestore, RunsOfUnansweredWritesAndWhatARefusalCountsFor) {
  struct Case {
    const char* name;
    std::vector<Then> calibration;  // the first flagged calibration items, in order
    int result;
    bool settingsWritten;  // the settings list's one flagged item was reached
  };
  using T = Then;
  const Case cases[] = {
      {"four silences end the calibration list only", {T::Silence, T::Silence, T::Silence, T::Silence}, 50, true},
      {"a refusal neither counts nor resets", {T::Silence, T::Silence, T::Silence, T::Refused, T::Silence}, 50, true},
      {"a success resets the run",
       {T::Silence, T::Silence, T::Silence, T::Ok, T::Silence, T::Silence, T::Silence, T::Ok}, 50, true},
      {"every write taken", {T::Ok, T::Ok}, 1, true},
  };
  for (const Case& c : cases) {
    Fixture f;
    const auto calibration = CalibrationList();
    for (std::size_t i = 0; i < c.calibration.size(); ++i) {
      f.nv.m_flags.Set(ListId::Calibration, i, 0, 1);
      Play(f.handset, WriteReq(f.nv.m_image, calibration[i].item, kNoNam), kWrite, calibration[i].item,
           c.calibration[i]);
    }
    const auto settings = SettingsList();
    f.nv.m_flags.Set(ListId::Settings, 0, 0, 1);
    Play(f.handset, WriteReq(f.nv.m_image, settings[0].item, kNoNam), kWrite, settings[0].item, Then::Ok);
    EXPECT_EQ(f.nv.Restore(true), c.result) << c.name;
    EXPECT_EQ(f.handset.unplayed(), 0u) << c.name;
  }
}

TEST(NvRestore, FourUnansweredSettingsWritesWithoutASuccessStopTheRestore) {
  Fixture f;
  const auto settings = SettingsList();
  for (std::size_t i = 0; i < 6; ++i) f.nv.m_flags.Set(ListId::Settings, i, 0, 1);
  for (std::size_t i = 0; i < 4; ++i) f.handset.Silence(WriteReq(f.nv.m_image, settings[i].item, kNoNam));
  EXPECT_EQ(f.nv.Restore(true), CNVBackup::kWriteAborted);
  EXPECT_EQ(f.handset.unplayed(), 0u);
}

TEST(NvRestore, EditorModeSkipsCalibrationAndEndsWithAResetAndTheRestartWait) {
  for (const bool taken : {true, false}) {
    Fixture f;
    f.calls.resetTaken = taken;
    f.nv.m_editorMode = true;
    for (std::size_t i = 0; i < kCalibrationCount; ++i) f.nv.m_flags.Set(ListId::Calibration, i, 0, 1);
    EXPECT_EQ(f.nv.Restore(false), taken ? CNVBackup::kDone : CNVBackup::kEditorResetFailed);
    EXPECT_EQ(f.handset.exchanges(), 0u);
    EXPECT_EQ(f.calls.resets, 1);
    EXPECT_EQ(f.waits.Waits(), taken ? std::vector<int64_t>(35, 1000) : std::vector<int64_t>{});
  }
}

// In silent mode the NAM identity goes back entry by entry, each with its
// own NAM index and only when that entry was read: an unread NAM 1 must not
// write zeros over the number.
TEST(NvRestore, SilentModeWritesOnlyTheIdentityEntriesThatWereRead) {
  Fixture f;
  zk::ui::SetSilentMode(true);
  const CatalogueItem identity = NamIdentityList()[0];
  ASSERT_TRUE(f.nv.m_flags.SetRead(identity.item, 0, 1));
  Play(f.handset, WriteReq(f.nv.m_image, identity.item, 0), kWrite, identity.item, Then::Ok);
  EXPECT_EQ(f.nv.Restore(false), CNVBackup::kDone);
  zk::ui::SetSilentMode(false);
  EXPECT_EQ(f.handset.exchanges(), 1u);
  EXPECT_EQ(f.handset.unplayed(), 0u);
}

TEST(NvCalibrationCheck, MissingOrEmptyCalibrationIsReported) {
  const uint16_t item = kCalibrationCheckItem.item;
  struct Case {
    bool answers;
    uint8_t firstByte;
    int result;
  };
  for (const Case c : {Case{false, 0, 48}, Case{true, 0, 49}, Case{true, 9, 1}}) {
    Fixture f;
    if (c.answers) f.handset.Answer(ReadReq(item, kNoNam), Nv(kRead, item, {c.firstByte}));
    else f.handset.Silence(ReadReq(item, kNoNam));
    EXPECT_EQ(f.nv.CheckCalibration(), c.result);
  }
}

TEST(NvBackupFile, AutomaticNameCarriesPortAndLocalTime) {
  std::tm local{};
  local.tm_year = 2026 - 1900, local.tm_mon = 11, local.tm_mday = 7;
  local.tm_hour = 4, local.tm_min = 5, local.tm_sec = 9, local.tm_isdst = -1;
  EXPECT_EQ(CNVBackup::AutomaticFileName(2, std::mktime(&local)), "COM3_1207040509.bak");
  EXPECT_EQ(CNVBackup::AutomaticFileName(255, std::mktime(&local)), "COM256_1207040509.bak");
}

TEST(NvBackupFile, SavedFileLoadsBackAndARefusedOneChangesNothing) {
  Fixture f;
  zk::test::TempDir dir;
  const auto path = dir.path() / "saved.bak";
  f.nv.m_image[10] = 0x5A;
  f.nv.m_flags.Set(ListId::Nam, 3, 1, 1);
  ASSERT_TRUE(f.nv.SaveBackupFile(path, nullptr));

  CNVBackup other{f.handset, {}};
  std::string problem;
  ASSERT_TRUE(other.LoadBackupFile(path, &problem)) << problem;
  EXPECT_EQ(other.m_image, f.nv.m_image);
  EXPECT_EQ(other.m_flags.Get(ListId::Nam, 3, 1), 1);

  std::ofstream(dir.path() / "short.bak") << "not a backup";
  EXPECT_FALSE(other.LoadBackupFile(dir.path() / "short.bak", &problem));
  EXPECT_FALSE(problem.empty());
  EXPECT_EQ(other.m_image[10], 0x5A);
  EXPECT_FALSE(other.LoadBackupFile(dir.path() / "missing.bak", &problem));
}

// A failure after the handset entered its downloader keeps the NV items in
// a file once the error dialog has gone: named automatically for kinds 0
// and 1, by the operator (who may cancel) for kinds 2 and 3.
TEST(NvBackupFile, PendingBackupIsSavedByTheErrorPath) {
  for (const int16_t kind : {0, 2}) {
    zk::boundary::ResetLibraryState();
    zk::test::TempDir dir;
    const fs::path previous = fs::current_path();
    fs::current_path(dir.path());
    zk::test::RecordingUi ui;
    ui.errorAnswer = zk::ui::DialogAnswer::Closed;  // no report, no tool
    g_commonProcess.SetOperatorUi(&ui);
    g_diagLink.SetLinkParams(kind, 2, 0, 0, -1);
    g_commonProcess.m_nvBackupPending = 1;
    g_commonProcess.ShowError(103001);
    std::vector<fs::path> saved;
    for (const auto& entry : fs::directory_iterator(dir.path())) saved.push_back(entry.path());
    fs::current_path(previous);
    zk::boundary::ResetLibraryState();
    EXPECT_EQ(g_commonProcess.m_nvBackupPending, 0);
    // Kind 2: the operator cancelled the save dialog; the only copy of the
    // items is kept under the automatic name all the same.
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved[0].filename().string().rfind("COM3_", 0), 0u) << saved[0];
    EXPECT_EQ(fs::file_size(saved[0]), kBackupFileSize);
  }
}

}  // namespace

namespace {

TEST(NvAKey, WritesBackExactlyTheEntriesItRead) {
  Fixture f;
  const auto items = AuthenticationList();
  NvImage expected{};
  // NAM 0 answers every item with a value of its own; NAM 1's A-key goes
  // unanswered and the rest of NAM 1 was never written.
  for (const auto& entry : items) {
    Bytes data(kDataFieldSize, 0);
    data[1] = static_cast<uint8_t>(entry.item);
    data[2] = 0xA5;
    ASSERT_TRUE(UnpackIntoImage(expected, entry.item, DataField(data.data(), kDataFieldSize)));
    f.handset.Answer(ReadReq(entry.item, 0), Nv(kRead, entry.item, data));
  }
  f.handset.Silence(ReadReq(items[0].item, 1));
  for (std::size_t i = 1; i < items.size(); ++i)
    f.handset.Answer(ReadReq(items[i].item, 1), Nv(kRead, items[i].item, {1}, 5));
  EXPECT_EQ(f.nv.AKeyRead(), CNVBackup::kDone);
  EXPECT_EQ(f.handset.unplayed(), 0u);

  // Only NAM 0 goes back, with the bytes read; a refusal does not stop it.
  for (std::size_t i = 0; i < items.size(); ++i)
    Play(f.handset, WriteReq(expected, items[i].item, 0), kWrite, items[i].item, i == 2 ? Then::Refused : Then::Ok);
  EXPECT_EQ(f.nv.AKeyWrite(), CNVBackup::kDone);
  EXPECT_EQ(f.handset.unplayed(), 0u);
}

}  // namespace
