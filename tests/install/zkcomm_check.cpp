// zkcomm.h included on its own, as a C++ host includes it.
#include "zkdownload/zkcomm.h"

int ZkcommCheck() { return CZKComm::kChunkSize > 0 ? 0 : 1; }
