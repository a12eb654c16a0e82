// CNVEditorModel: what the NV editor dialog shows: its grid pages and the selected NAM.
#pragma once

class CNVEditorModel {
 public:
  CNVEditorModel() = default;
  CNVEditorModel(const CNVEditorModel&) = delete;
  CNVEditorModel& operator=(const CNVEditorModel&) = delete;
};

extern CNVEditorModel g_nvEditorModel;
