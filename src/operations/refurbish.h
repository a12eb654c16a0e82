// CRefurbish: returns a used handset to a clean, provisioned state while
// keeping its identity: saves its NV and authentication items, erases the
// whole handset file system, writes the items back, writes the "brew_script"
// directory beside the script and runs the script.
#pragma once

#include <cstdint>

#include "operations/flow_steps.h"

class CRefurbish {
 public:
  // The message shown after each of the first three failed mode entries
  // after the erase (kinds 2 and 3).
  static constexpr const char* kRebootMessage = zk::operations::kRebootMessage;

  CRefurbish() = default;
  CRefurbish(const CRefurbish&) = delete;
  CRefurbish& operator=(const CRefurbish&) = delete;

  // 1, or 501000 + r (mode entry), 301001 (rate raise), 502000 + r (NV or
  // AKey read), 503000 (file-system erase), 504000 + r (mode entry after the
  // erase), 505000 + r (NV or AKey write), 506000 + r (brew_script write, or
  // the script: r 46 unreadable, 53 abandoned). In silent mode a script
  // that warned fails with 506050: nobody is there to read the warning.
  // Serves handset after handset while the end dialog answers OK (one
  // handset per call in silent mode or with host buffers).
  int Run(int16_t kind, const char* spcCode, const char* scriptPath, int16_t portIndex);

  static bool FullSequence(int16_t kind) { return kind == 2 || kind == 3; }

 private:
  int OneHandset(int16_t kind, const char* scriptPath, int16_t portIndex);
  // Diagnostic mode is up: raises the line rate unless the port is the
  // handset's USB modem port. 1, or 301001.
  int RaiseRateOnLine(int16_t portIndex);
  // The handset's file system was erased and its items are held only in
  // memory: keeps them in an NV backup file when no error dialog will.
  void KeepPendingItems(int16_t portIndex);
};

extern CRefurbish g_refurbish;
