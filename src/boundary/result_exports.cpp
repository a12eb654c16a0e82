// Exports that let a host (and the zkdownload command) learn why the last
// operation failed without showing a dialog.
#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

#include "boundary/export_forms.h"
#include "diag/diag_link.h"
#include "platform/library_state.h"
#include "platform/port_error.h"
#include "ui/common_process.h"
#include "ui/failure_texts.h"
#include "zkdownload/zkdownload.h"

using zk::boundary::CopyOut;

extern "C" {

ZK_API int GetLastResult_Interface(void) { return zk::boundary::LastFlowResult(); }

ZK_API int GetFailureTexts_Interface(int code, char* location, int locationSize, char* contents, int contentsSize,
                                     char* solution, int solutionSize) {
  const auto locationText = zk::ui::LocationText(zk::ui::LocationOf(code));
  const auto cause = zk::ui::CauseTextsOf(zk::ui::CauseOf(code));
  CopyOut(locationText, location, locationSize);
  CopyOut(cause.contents, contents, contentsSize);
  CopyOut(cause.solution, solution, solutionSize);
  return locationText.empty() && cause.contents.empty() ? 0 : 1;
}

ZK_API int GetFailurePath_Interface(char* text, int size) {
  try {
    const std::string path = g_commonProcess.m_handsetPath;
    CopyOut(path, text, size);
    return path.empty() ? 0 : 1;
  } catch (...) {
    CopyOut("", text, size);
    return 0;
  }
}

ZK_API int GetPortError_Interface(char* text, int size) {
  try {
    const auto& port = g_diagLink.m_comm;
    CopyOut(zk::platform::PortOpenFailureText(port.currentPort(), port.lastOpenDevice(), port.lastOpenError()), text,
            size);
    return port.lastOpenError();
  } catch (...) {
    CopyOut("", text, size);  // out of memory: nothing may cross the C boundary
    return 0;
  }
}

ZK_API int GetHandsetSeen_Interface(unsigned int* esn, char* softwareVersion, int versionSize) {
  const CDiagLink& link = g_diagLink;
  if (esn != nullptr) *esn = link.m_esnRead ? link.m_esn : 0;
  CopyOut(std::string_view(link.m_softwareVersion, strnlen(link.m_softwareVersion, sizeof(link.m_softwareVersion))),
          softwareVersion, versionSize);
  return link.m_esnRead ? 1 : 0;
}

ZK_API int GetWaitNote_Interface(char* text, int size) {
  try {
    const std::string& note = g_runState.failureNote;
    CopyOut(note, text, size);
    return note.empty() ? 0 : 1;
  } catch (...) {
    CopyOut("", text, size);
    return 0;
  }
}

ZK_API int GetFailureNote_Interface(char* text, int size) {
  try {
    const std::string note = g_diagLink.FailureNote();
    CopyOut(note, text, size);
    return note.empty() ? 0 : 1;
  } catch (...) {
    CopyOut("", text, size);
    return 0;
  }
}

}  // extern "C"
