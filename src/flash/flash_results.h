// What the flash engine's sequences report: typed inside the library, their
// values are the causes the operations put behind their failure locations
// (ui/failure_code.h).
#pragma once

namespace zk::flash {

// A download or erase sequence: done, or the step that failed.
enum class DownloadResult : int {
  kDone = 1,
  kEnterDownloaderFailed = 5,  // the switch to the downloader, or its rate, was refused
  kEfsResetFailed = 7,
  kEraseFailed = 8,
  kBurnFailed = 9,
  kResetFailed = 11,
  kInitializeFailed = 12,
  kFinalizeFailed = 13,
  kBootInitializeFailed = 14,
  kBootEraseFailed = 15,
  kBootBurnFailed = 16,
  kBootImageInitializeFailed = 17,
  kBootImageBurnFailed = 18,
  // These three have always carried a whole location of their own.
  kBootLoaderNotLoaded = 201100,
  kBootImageNotLoaded = 201200,
  kEfsEraseFailed = 503000,
};

// A PRL file sent to the handset or read from it.
enum class PrlFileResult : int {
  kDone = 1,
  kFileNotCreated = 34,
  kReadFailed = 35,
  kFileUnreadable = 41,
  kWriteFailed = 43,
  kNotStored = 63,  // read: the handset holds no list for the NAM
};

// The ERI file copied from the handset or written to it. Each failure is a
// whole failure code of its own, location included; the flows pass it on as
// it is (adding their location again would give codes without a text).
enum class EriFileResult : int {
  kDone = 1,
  kReadFailed = 411000,   // no /eri/eri.bin on the handset, or its copy failed
  kWriteFailed = 415000,  // /eri not created, or the file not written
};

}  // namespace zk::flash
