#include "operations/upgrade_download.h"

#include "operations/settings_file.h"
#include "platform/library_state.h"

CUpgradeDownload::CUpgradeDownload() : m_modelKind("Tri Mode"), m_modelName("RB310"), m_binVersion("RB31VV") {
  g_runState.nvEditorOption = zk::operations::ReadNvEditorOption(zk::operations::SettingsFilePath());
}
