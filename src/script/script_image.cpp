#include "script/script_image.h"

#include "nv/nv_catalogue.h"

namespace zk::script {

std::string WriteBuildFailText(const std::string& key) { return key + " : Write build fail"; }

std::vector<const ParsedLine*> FillScriptImage(const ScriptParse& parse, zk::nv::NvImage& image) {
  std::vector<const ParsedLine*> withoutSlot;
  for (const ParsedLine& line : parse.lines) {
    if (line.nv.row == nullptr || line.nv.length == 0 || line.Fails()) continue;
    if (!zk::nv::FindSlot(line.nv.item)) {
      withoutSlot.push_back(&line);
      continue;
    }
    zk::nv::UnpackIntoImage(image, line.nv.item, zk::nv::DataField(line.nv.data));
  }
  return withoutSlot;
}

}  // namespace zk::script
