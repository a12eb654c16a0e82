// Whether the X display named by DISPLAY answers at all. Qt ends the whole
// process when its X connection fails, so the plugin looks first and lets
// the library fall back to another interface instead.
#pragma once

#include <string>

namespace zk::ui::qt {

// `display` as in DISPLAY: [host]:number[.screen]. A local display is
// probed on its socket (the file and the abstract one), "host:N" (a
// forwarded "localhost:10" as well as another machine) on TCP port
// 6000 + N, waiting up to 3 s for the host to answer.
bool XDisplayReachable(const std::string& display);

}  // namespace zk::ui::qt
