// A host program's callback as the operator interface: its registration and
// its installation for each operation export.
#pragma once

class CCommonProcess;

namespace zk::boundary {

// Puts the host's interface in `process` when a callback is registered;
// otherwise leaves the interface the environment chose.
void InstallHostCallbackUi(CCommonProcess& process);

}  // namespace zk::boundary
