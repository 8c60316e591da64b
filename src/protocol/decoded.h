#pragma once

#include "base/result.h"

namespace velmora::protocol {

// A value read from a message and checked, or the reason it could not be:
// the one way a malformed message is reported, on both sides.
template <class T> using Decoded = Result<T>;

} // namespace velmora::protocol
