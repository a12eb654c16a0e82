// The library's link as the operator interface sees it: the port and kind
// of the running operation, closing the port, the error login file and the
// names an error report carries. Installed into the progress window when
// the library loads.
#pragma once

#include "ui/link_view.h"

namespace zk::boundary {

class LibraryLink : public ui::LinkView {
 public:
  int PortIndex() const override;
  int OperationKind() const override;
  void ClosePort() override;
  bool WriteErrorLogin(const std::string& report, int portIndex) override;
  ui::FailureContext GatherFailureContext() const override;
  std::string ModelName() const override;
};

}  // namespace zk::boundary

extern zk::boundary::LibraryLink g_libraryLink;
