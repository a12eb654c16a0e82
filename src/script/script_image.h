// The script's NV image: the values of a parsed script's NV_WRITE lines put
// into the slots of an NV image, from which the script's NV writes are packed.
#pragma once

#include <string>
#include <vector>

#include "nv/nv_image.h"
#include "script/script_parser.h"

namespace zk::script {

// "%s : Write build fail": the text the NV write records for an item the
// image has no slot for.
std::string WriteBuildFailText(const std::string& key);

// Copies the record of every NV_WRITE line that does not fail (held-back
// lines included: they are parsed all the same) into `image`, in line order.
// Returns the lines whose item has no slot in the image: writing them would
// fail to build.
std::vector<const ParsedLine*> FillScriptImage(const ScriptParse& parse, zk::nv::NvImage& image);

}  // namespace zk::script
