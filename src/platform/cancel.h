// The host's cancel of the running operation: a flag that any thread may
// set, and a descriptor that turns readable with it, so that waits and reads
// blocked in poll() wake at once instead of sleeping through it.
#pragma once

namespace zk::platform {

// Asks the running operation to stop; safe from any thread.
void RequestCancel();
// True from a request until the next ClearCancel.
bool CancelRequested();
// Forgets a request (the boundary, when an operation export starts).
void ClearCancel();
// Readable while a cancel is pending; -1 when the system gave no eventfd
// (waits then look at the flag in short slices).
int CancelWakeFd();

}  // namespace zk::platform
