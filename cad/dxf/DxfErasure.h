#pragma once

// What else leaves a file when entities read from it are erased: the objects
// they own (an extension dictionary and everything under it, an image's
// reactor...), and their handles in the lists of other records that name
// them: reactor lists, groups, dictionaries and draw-order tables. Without
// this the file would keep objects owned by handles that are gone.

#include <cstddef>
#include <vector>

#include "cad/dxf/DxfSource.h"

namespace veerline::cad {

// Tags [First, End) of the file's tag list.
struct TagRange {
  std::size_t First = 0, End = 0;
};

// The tag ranges to leave out besides the erased records themselves, in file
// order and apart from each other and from the erased ranges.
std::vector<TagRange> ErasureFollowUps(const DxfSource& source,
                                       const std::vector<TagRange>& erased);

}  // namespace veerline::cad
