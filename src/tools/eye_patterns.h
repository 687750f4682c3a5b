#pragma once

#include <string>

namespace kz {

// Rewrites the eye LED words of an existing motion program so that every pose
// shows the given expression patterns. The program's length never changes,
// so its file can be patched in place.

// In program text (CP932 bytes), for pattern numbers 0 to 255: the left and
// right eye words (red, green, blue) of the third line of every pose array
// become 0x0000, 0x0000 and the pattern number; the mouth word and everything
// else stay. A pose array whose third line lacks that shape is left alone.
// Returns the number of arrays changed.
int ReplaceEyePatterns(std::string& program, int leftPattern, int rightPattern);

}  // namespace kz
