// CRefurbish: erases a used handset's file system and returns it to a clean, provisioned state.
#pragma once

class CRefurbish {
 public:
  CRefurbish() = default;
  CRefurbish(const CRefurbish&) = delete;
  CRefurbish& operator=(const CRefurbish&) = delete;
};

extern CRefurbish g_refurbish;
