// What a host registers through fnPassPara_Interface, and the library path.
//
// A host that drives several handsets unattended registers result buffers
// and switches once; from then on the operations report into the host's
// memory instead of showing dialogs. The host's buffers stay the host's: the
// library only writes into them while an operation runs.
#pragma once

#include <climits>
#include <cstddef>
#include <string>
#include <string_view>

namespace zk::platform {

// Bit of argument 14 that switches the input requirement check on.
inline constexpr int kRequirementSwitchBit = 0x08;

struct PassParaState {
  // Room for any Linux path and its terminator. A fixed 100-byte buffer
  // would cut install paths short, so the buffer is PATH_MAX bytes and a
  // longer text is refused rather than truncated (see SetLibraryPath).
  static constexpr std::size_t kLibraryPathSize = PATH_MAX;

  int m_mode = 0;                           // nonzero: pass-parameter mode on
  int* m_resultCell = nullptr;              // operation results
  unsigned char* m_versionBuffer = nullptr; // >= 15 bytes: handset version text
  int* m_countCell = nullptr;               // stage report: number of stages
  unsigned char* m_nameBuffer = nullptr;    // 1000 bytes: stage names
  unsigned char* m_timeBuffer = nullptr;    // 1000 bytes: stage durations
  std::string m_hostTexts[3];               // kept for the host; nothing reads them
  std::string m_fallbackDirectory;          // holds a "brew_script" folder
  std::string m_libraryPathText;            // argument 13 exactly as given
  bool m_requirementSwitch = false;         // script download checks its inputs
  int m_requirementMask = 0;                // bits 0x20, 0x10, 0x08, 0x02: required inputs
  int m_calibrationCheck = 1;               // upgrade runs its calibration stage when nonzero
  char m_libraryPath[kLibraryPathSize] = {};

  // fnPassPara_Interface. `mode` 0 stores nothing; any other value stores
  // every argument (null texts count as empty). Always returns 1.
  int Register(short mode, int* resultCell, unsigned char* versionBuffer, int* countCell,
               unsigned char* nameBuffer, unsigned char* timeBuffer, const char* hostText1,
               const char* hostText2, const char* hostText3, const char* fallbackDirectory,
               const char* libraryPath, int requirementFlags, int calibrationCheck, int requirementMask);

  // Copies `path` into the library path buffer. A path that does not fit
  // with its terminator is refused: the buffer keeps its previous text and
  // the result is false.
  bool SetLibraryPath(std::string_view path);

  // Load step: records the library's own file path unless a host has
  // registered (its path then stands).
  void RefreshLibraryPath();
};

}  // namespace zk::platform
