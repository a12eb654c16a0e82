// Handing an error login file to the external error-sending tool.
//
// The tool is $ZKDOWNLOAD_HOME/ErrorSend; it is given the login file's path
// $ZKDOWNLOAD_HOME/Model/<model>/error_login_COM<n>.txt, started without a
// shell and not waited for. What it does with the file is its own business.
#pragma once

#include <filesystem>
#include <string>

namespace zk::ui {

// "error_login_COM%d.txt" for a 0-based port index.
std::string ErrorLoginFileName(int portIndex);

// Where the error log writer puts the file: beside the library (the
// directory of the library path buffer).
std::filesystem::path WrittenErrorLoginPath(int portIndex);

std::filesystem::path ErrorSendTool();
std::filesystem::path ErrorSendArgument(int portIndex, const std::string& modelName);

// Makes the written login file available at the tool's argument path (the
// library need not be installed in the model directory) and starts the
// tool. A missing tool is not an error the operator hears about; the result
// only tells whether the tool was started.
bool HandOverErrorLogin(int portIndex, const std::string& modelName);

}  // namespace zk::ui
