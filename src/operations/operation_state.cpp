#include "operations/operation_state.h"

int16_t g_currentOperationKind = 0;
uint8_t g_repeatFlag = 0;
