#include "global_options.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace zk::cli {
namespace {

struct GlobalValues {
  std::string ui;
  double timeScale = 0;
  std::string trace;
  std::string answers;
};

void Export(const char* variable, const std::string& value) { setenv(variable, value.c_str(), 1); }

// Full precision: a small factor must not round to "0.000000", which the
// library would refuse and replace with 1.
std::string ScaleText(double value) {
  char text[40];
  std::snprintf(text, sizeof(text), "%.17g", value);
  return text;
}

}  // namespace

void AddGlobalOptions(CLI::App& app) {
  auto values = std::make_shared<GlobalValues>();
  app.add_option("--ui", values->ui, "operator interface: none, console or qt (default: console on a terminal)")
      ->check(CLI::IsMember({"none", "console", "qt"}, CLI::ignore_case));
  app.add_option("--time-scale", values->timeScale,
                 "factor applied to every wait and time-out (1 for a real handset; tests use 0.01-0.05)")
      ->check(CLI::PositiveNumber);
  app.add_option("--trace", values->trace,
                 "file that receives every frame and AT line, timestamped and decoded (appended to)")
      ->check(CLI::Validator(
          [](const std::string& path) -> std::string {
            // A trace that cannot be written would be found missing only
            // after the handset was serviced.
            std::FILE* file = std::fopen(path.c_str(), "a");
            if (file == nullptr) return "cannot write the trace file " + path + ": " + std::strerror(errno);
            std::fclose(file);
            return {};
          },
          "FILE"));
  CLI::Option* answers = app.add_option(
      "--answers", values->answers,
      "comma-separated operator answers used before asking (OK, END, Cancel, Yes, No, a file path)");
  // Runs after the whole line is parsed and before any sub-command's
  // callback, i.e. before the library reads the variables.
  app.parse_complete_callback([values, answers] {
    if (!values->ui.empty()) Export("ZKDOWNLOAD_UI", values->ui);
    if (values->timeScale > 0) Export("ZKDOWNLOAD_TIME_SCALE", ScaleText(values->timeScale));
    // Operations change the working directory (PRL read does), so the
    // trace file is named absolutely.
    if (!values->trace.empty()) Export("ZKDOWNLOAD_TRACE", std::filesystem::absolute(values->trace).string());
    if (answers->count() > 0) Export("ZKDOWNLOAD_ANSWERS", values->answers);
  });
}

}  // namespace zk::cli
