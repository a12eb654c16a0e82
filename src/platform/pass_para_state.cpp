#include "platform/pass_para_state.h"

#include <cstring>

#include "platform/library_path.h"

namespace zk::platform {
namespace {

std::string TextOf(const char* text) { return text != nullptr ? std::string(text) : std::string(); }

}  // namespace

int PassParaState::Register(short mode, int* resultCell, unsigned char* versionBuffer, int* countCell,
                            unsigned char* nameBuffer, unsigned char* timeBuffer, const char* hostText1,
                            const char* hostText2, const char* hostText3, const char* fallbackDirectory,
                            const char* libraryPath, int requirementFlags, int calibrationCheck,
                            int requirementMask) {
  // Mode 0 is how a host asks about nothing; once on, the mode stays on.
  if (mode == 0) return 1;

  m_mode = mode;
  m_resultCell = resultCell;
  m_hostTexts[0] = TextOf(hostText1);
  m_hostTexts[1] = TextOf(hostText2);
  m_hostTexts[2] = TextOf(hostText3);
  m_fallbackDirectory = TextOf(fallbackDirectory);
  m_libraryPathText = TextOf(libraryPath);
  m_versionBuffer = versionBuffer;
  SetLibraryPath(m_libraryPathText);
  m_countCell = countCell;
  m_nameBuffer = nameBuffer;
  m_timeBuffer = timeBuffer;
  m_requirementSwitch = (requirementFlags & kRequirementSwitchBit) != 0;
  m_calibrationCheck = calibrationCheck;
  m_requirementMask = requirementMask;
  return 1;
}

bool PassParaState::SetLibraryPath(std::string_view path) {
  if (path.size() >= kLibraryPathSize) return false;
  std::memcpy(m_libraryPath, path.data(), path.size());
  m_libraryPath[path.size()] = '\0';
  return true;
}

void PassParaState::RefreshLibraryPath() {
  if (m_mode == 0) SetLibraryPath(LibraryPath());
}

}  // namespace zk::platform
