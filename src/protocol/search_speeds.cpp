#include "protocol/search_speeds.h"

namespace pst {

std::vector<std::uint32_t> searchOrder(std::uint32_t first)
{
    std::vector<std::uint32_t> order{first};
    for (const std::uint32_t speed : kSearchSpeeds)
        if (speed != first)
            order.push_back(speed);
    return order;
}

}  // namespace pst
