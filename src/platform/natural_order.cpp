#include "platform/natural_order.h"

namespace pst {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::size_t endOfDigits(std::string_view s, std::size_t at)
{
    while (at < s.size() && isDigit(s[at]))
        ++at;
    return at;
}

// The digit run without its leading zeros (a run of zeros keeps one).
std::string_view numberOf(std::string_view run)
{
    while (run.size() > 1 && run.front() == '0')
        run.remove_prefix(1);
    return run;
}

}  // namespace

bool naturalLess(std::string_view a, std::string_view b)
{
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            const std::size_t iEnd = endOfDigits(a, i);
            const std::size_t jEnd = endOfDigits(b, j);
            // By value: the longer number is larger, then digit by digit.
            const std::string_view x = numberOf(a.substr(i, iEnd - i));
            const std::string_view y = numberOf(b.substr(j, jEnd - j));
            if (x.size() != y.size())
                return x.size() < y.size();
            if (x != y)
                return x < y;
            i = iEnd;
            j = jEnd;
            continue;
        }
        if (a[i] != b[j])
            return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j;
}

}  // namespace pst
