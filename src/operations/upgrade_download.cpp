#include "operations/upgrade_download.h"

#include "operations/settings_file.h"
#include "platform/library_state.h"

CUpgradeDownload::CUpgradeDownload() : m_modelKind("Tri Mode"), m_modelName("RB310"), m_binVersion("RB31VV") {
  zk::platform::SetNvEditorOption(zk::operations::ReadNvEditorOption(zk::operations::SettingsFilePath()));
}
