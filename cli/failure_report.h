// How the command reports an operation that failed: the failure code with
// the texts the error dialog shows for it.
#pragma once

#include <string>

#include "zkdownload/zkdownload.h"

namespace zk::cli {

// The code the library gives for operations this version does not offer.
constexpr int kNotAvailableCode = ZK_RESULT_NOT_AVAILABLE;

// "405043 'PRLDownloadProc' Function in PRL Download — Can't write prl file
// to phone." The location or the contents part is left out when the tables
// have no text for it; a code they know nothing of is printed alone.
std::string FailureLine(int code);

// The solution hint of the cause table, or empty when there is none.
std::string FailureHint(int code);

// Turns an operation export's result into the exit status: 0 when it
// returned 1; otherwise prints the failure of the last operation to stderr
// and returns 1.
int OperationExitStatus(int exportResult);

}  // namespace zk::cli
