#include "cables.h"

#include <cmath>
#include <cstdint>

using namespace numeric;

namespace trunking {

const std::vector<Entry>& catalogue(Cable kind)
{
    // size → area of one cable
    static const std::vector<Entry> vv = {
        {4, 130}, {6, 176.7}, {10, 251.6}, {16, 343.1}, {25, 373.3}, {35, 433.7}, {50, 590},
        {70, 750}, {95, 1086.9}, {120, 1219.2}, {150, 1493}, {185, 1780}, {240, 2206},
    };
    static const std::vector<Entry> bv = {
        {1.5, 18}, {2.5, 21}, {4, 26}, {6, 31}, {10, 52}, {16, 69}, {25, 98},
        {35, 121}, {50, 170}, {70, 211}, {95, 298}, {120, 320}, {150, 390},
    };
    static const std::vector<Entry> syv = {{5, 36.32}, {7, 78.54}, {9, 113.1}};
    static const std::vector<Entry> utp = {{4, 23.76}, {25, 132.7}};
    static const std::vector<Entry> lgbc = {{4, 15.21}, {6, 30}, {12, 38.48}};
    static const std::vector<Entry> rvs = {{0.75, 26.4}, {1, 30.2}, {1.5, 36.3}, {2.5, 63.6}};

    switch (kind) {
    case Cable::VV: return vv;
    case Cable::BV: return bv;
    case Cable::SYV: return syv;
    case Cable::UTP: return utp;
    case Cable::LGBC: return lgbc;
    case Cable::RVS: return rvs;
    }
    return vv;
}

std::optional<double> areaOf(Cable kind, double size)
{
    for (const Entry& e : catalogue(kind))
        if (e.size == size)
            return e.area;
    return std::nullopt;
}

std::string areaText(double area)
{
    // Whole areas go out as small integers; every catalogue area fits one.
    if (area == std::floor(area) && std::fabs(area) <= INT16_MAX)
        return formatSmallInt(static_cast<std::int16_t>(area));
    return formatNumber(area);
}

Num rowTotal(double area, double count) { return multiply(area, count); }

Num addToTotal(double total, double typed, const std::array<double, 6>& rows)
{
    Num sum = add(total, typed);
    for (double row : rows)
        sum = add(sum, row);
    return sum;
}

Num requiredSection(double total, double percent) { return multiply(divide(total, percent), 100.0); }

} // namespace trunking
