// Every global object of the library and the library's state, for tests that
// prepare or inspect them directly.
#pragma once

#include "boundary/globals.h"
#include "boundary/library_link.h"
#include "diag/diag_link.h"
#include "diag/packet_process.h"
#include "diag/wire_trace.h"
#include "flash/dl_common.h"
#include "nv/nv_backup.h"
#include "operations/emergency.h"
#include "operations/prl_down.h"
#include "operations/upgrade_download.h"
#include "platform/library_state.h"
#include "ui/common_process.h"
#include "ui/silent_mode.h"
#include "ui/ui_selection.h"
