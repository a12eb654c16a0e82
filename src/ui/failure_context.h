// What the error dialog and the error report need from the rest of the
// library besides the failure code: the handset path of the last EFS step,
// the NV error list, the files the failing step worked on and the versions.
// The library's link gathers it (LinkView::GatherFailureContext).
#pragma once

#include <string>
#include <vector>

namespace zk::ui {

struct FailureContext {
  std::string handsetPath;                // EFS folder or file of causes 25 to 28
  std::vector<std::string> nvErrorLines;  // contents of cause 50
  std::string binaryFile;                 // image file of the flash download
  std::string scriptFile;                 // script file being run
  std::string prlFile;                    // PRL file the flash engine last wrote to the handset
  std::string softwareVersion;            // software version text held by the script parser
  std::string dllVersion;                 // this library's version
  std::string note;                       // what the link learned that explains the failure, if anything
};

}  // namespace zk::ui
