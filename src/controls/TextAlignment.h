#pragma once

namespace tb {

// Where a caption, or each line of a hint, sits between its left and right edges.
enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

} // namespace tb
