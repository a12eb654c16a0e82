// Library-wide state of the running operation that several flows share.
#pragma once

#include <cstdint>

// The kind of the running operation (first argument of every operation export).
extern int16_t g_currentOperationKind;

// Set by "OK" in the end dialog: the flows that serve one handset after
// another start again for the next one.
extern uint8_t g_repeatFlag;
