// The boundary's hold on the library-wide objects: applying the settings
// read for an exported call, and putting everything back as it was when the
// library loaded. The objects themselves are declared beside their classes
// and defined in globals.cpp.
#pragma once

#include "platform/library_state.h"

namespace zk::boundary {

// Hands the settings to the objects that keep something of them (the wire
// trace file). False when the trace file cannot be opened.
bool ApplySettings(const platform::Settings& settings);

// Puts the library as it was right after loading: no registration, settings
// read anew from the environment, no operation running, the port closed, no
// progress window, no image or NV state kept, the headless operator
// interface. For tests and for hosts that want a clean start.
void ResetLibraryState();

}  // namespace zk::boundary
