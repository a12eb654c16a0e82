// CEriDownload: reads and writes the ERI file and writes provisioning data.
#pragma once

class CEriDownload {
 public:
  CEriDownload() = default;
  CEriDownload(const CEriDownload&) = delete;
  CEriDownload& operator=(const CEriDownload&) = delete;
};

extern CEriDownload g_eriDownload;
