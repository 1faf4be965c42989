// A PNG sheet of all the art: everything at its real size on the paper, then
// enlarged four times with labels, and the texture tiled to show its seams.
#pragma once

#include <string>
#include <vector>

#include "resources/art/art.h"

namespace art {

bool WriteContactSheet(const std::vector<ArtItem>& items, const std::vector<std::string>& handRows,
                       const std::string& path);

} // namespace art
