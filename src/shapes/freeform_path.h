// freeform_path.h - the commands that draw the outline of a freeform shape.
#pragma once

#include <cstdint>

namespace velmora::shapes {

enum class PathCommand { MoveTo, LineTo, Close };

/// One command of a freeform path. `x` and `y` are coordinates in the path's
/// own space (signed); a Close carries none and leaves them 0.
struct FreeformPathOperation {
  PathCommand command = PathCommand::Close;
  int64_t x = 0;
  int64_t y = 0;

  bool operator==(const FreeformPathOperation&) const = default;
};

}  // namespace velmora::shapes
