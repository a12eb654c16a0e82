// CNVedit: the NV editor operation: read the handset, edit the values, write them back.
#pragma once

class CNVedit {
 public:
  CNVedit() = default;
  CNVedit(const CNVedit&) = delete;
  CNVedit& operator=(const CNVedit&) = delete;
};

extern CNVedit g_nvEdit;
