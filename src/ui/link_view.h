// What the progress window and the dialogs need from the handset link: the
// port and operation kind they are shown for, closing the port, the error
// login file and the names and versions an error report carries. The library
// installs its link into CCommonProcess when it loads; tests install their
// own. The operator interface never reaches the link any other way.
#pragma once

#include <string>

#include "ui/failure_context.h"

namespace zk::ui {

class LinkView {
 public:
  virtual ~LinkView() = default;

  virtual int PortIndex() const { return 0; }      // 0 is COM1
  virtual int OperationKind() const { return 0; }  // kind of the running operation
  virtual void ClosePort() {}
  // Writes the error login file of `portIndex` (the report, then the link's
  // latest frames). True when the file was written.
  virtual bool WriteErrorLogin(const std::string& report, int portIndex) {
    (void)report, (void)portIndex;
    return false;
  }
  // The files and versions of the error report (all but the handset path).
  virtual FailureContext GatherFailureContext() const { return {}; }
  // The model's folder under $ZKDOWNLOAD_HOME/Model, where the error-sending
  // tool expects the login file.
  virtual std::string ModelName() const { return "RB310"; }
};

}  // namespace zk::ui
