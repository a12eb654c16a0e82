#include "ui/error_sending.h"

#include <system_error>

#include "platform/library_state.h"
#include "platform/paths.h"
#include "platform/process.h"

namespace zk::ui {

std::string ErrorLoginFileName(int portIndex) {
  return "error_login_COM" + std::to_string(static_cast<long long>(portIndex) + 1) + ".txt";
}

std::filesystem::path WrittenErrorLoginPath(int portIndex) {
  return platform::NormalizeHostPath(
      platform::JoinHostPath(platform::DirectoryOf(platform::LibraryPathBuffer()), ErrorLoginFileName(portIndex)));
}

std::filesystem::path ErrorSendTool() { return platform::Home() / "ErrorSend"; }

std::filesystem::path ErrorSendArgument(int portIndex, const std::string& modelName) {
  return platform::Home() / "Model" / modelName / ErrorLoginFileName(portIndex);
}

bool HandOverErrorLogin(int portIndex, const std::string& modelName) {
  namespace fs = std::filesystem;
  const fs::path written = WrittenErrorLoginPath(portIndex);
  const fs::path argument = ErrorSendArgument(portIndex, modelName);
  std::error_code error;
  if (fs::is_regular_file(written, error) && !fs::equivalent(written, argument, error)) {
    fs::create_directories(argument.parent_path(), error);
    fs::copy_file(written, argument, fs::copy_options::overwrite_existing, error);
  }
  return platform::StartDetached(ErrorSendTool().string(), {argument.string()});
}

}  // namespace zk::ui
