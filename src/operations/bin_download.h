// CBinDownload: burns a firmware image alone, with version read-back and stage report.
#pragma once

class CBinDownload {
 public:
  CBinDownload() = default;
  CBinDownload(const CBinDownload&) = delete;
  CBinDownload& operator=(const CBinDownload&) = delete;
};

extern CBinDownload g_binDownload;
