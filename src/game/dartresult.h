#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// What a dart hits, from the sum of the dice lying on it: nothing yet (no
// die on the dart), a sum 0..20 (below 15 misses), the bull (21 to 23) or
// the double bull (24). On the wire it reads "", the sum in decimal, "Bull"
// or "dBull".
class DartResult {
public:
    enum class Kind { Empty, Sum, Bull, DoubleBull };

    DartResult() = default;
    // The result of a dart whose dice add up to `sum` (0..24).
    static DartResult fromSum(int sum);
    static DartResult bull() { return DartResult(Kind::Bull, 0); }
    static DartResult doubleBull() { return DartResult(Kind::DoubleBull, 0); }

    // Reads the wire text: "", a decimal sum 0..20 without sign or leading
    // zeros, and the two bull words in any letter case. Anything else is none.
    static std::optional<DartResult> parse(std::string_view text);
    // The wire text: "", the sum, "Bull" or "dBull".
    std::string text() const;

    Kind kind() const { return m_kind; }
    int sum() const { return m_sum; }
    bool isEmpty() const { return m_kind == Kind::Empty; }
    // The target it marks: 15..20, 21 for the bull and the double bull, or
    // none for a miss or an empty dart.
    std::optional<int> target() const;
    // How many marks it puts on its target: two for the double bull, one for
    // any other hit, none for a miss.
    int marks() const;

    bool operator==(const DartResult&) const = default;

private:
    DartResult(Kind kind, int sum)
        : m_kind(kind)
        , m_sum(sum)
    {
    }
    Kind m_kind = Kind::Empty;
    int m_sum = 0;
};

} // namespace velmora
