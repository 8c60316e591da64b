#include "dartresult.h"

#include <algorithm>
#include <cctype>

namespace velmora {

namespace {

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

} // namespace

DartResult DartResult::fromSum(int sum)
{
    if (sum >= 24)
        return doubleBull();
    if (sum >= 21)
        return bull();
    return DartResult(Kind::Sum, std::max(sum, 0));
}

std::optional<DartResult> DartResult::parse(std::string_view text)
{
    if (text.empty())
        return DartResult();
    if (equalsIgnoringCase(text, "bull"))
        return bull();
    if (equalsIgnoringCase(text, "dbull"))
        return doubleBull();
    if (text.size() > 2 || (text.size() == 2 && text[0] == '0'))
        return std::nullopt;
    int sum = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        sum = sum * 10 + (c - '0');
    }
    if (sum > 20)
        return std::nullopt;
    return DartResult(Kind::Sum, sum);
}

std::string DartResult::text() const
{
    switch (m_kind) {
    case Kind::Empty:
        return {};
    case Kind::Sum:
        return std::to_string(m_sum);
    case Kind::Bull:
        return "Bull";
    case Kind::DoubleBull:
        return "dBull";
    }
    return {};
}

std::optional<int> DartResult::target() const
{
    switch (m_kind) {
    case Kind::Bull:
    case Kind::DoubleBull:
        return 21;
    case Kind::Sum:
        if (m_sum >= 15)
            return m_sum;
        return std::nullopt;
    case Kind::Empty:
        return std::nullopt;
    }
    return std::nullopt;
}

int DartResult::marks() const
{
    if (m_kind == Kind::DoubleBull)
        return 2;
    return target() ? 1 : 0;
}

} // namespace velmora
