// The tally file decoder on damaged or hostile files: refused cleanly or
// expanded; whatever it expands must compress and expand again unchanged.

#include "records/tallycontainer.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace velmora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto expanded = tallyfile::expand({data, size}, "fuzz", 1 << 20);
    if (!expanded)
        return 0;
    const auto compressed = tallyfile::compress(expanded.value());
    if (!compressed)
        std::abort();
    const auto again = tallyfile::expand(compressed.value(), "fuzz");
    if (!again || again.value() != expanded.value())
        std::abort();
    return 0;
}
