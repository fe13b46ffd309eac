// libFuzzer target over the text <-> number conventions: whatever the text,
// a reading is finite or a failure, and every written number reads back to
// the same text through both readings.

#include "convert.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace numeric;

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

void roundTrip(double value)
{
    if (!std::isfinite(value))
        return;
    const std::string text = formatNumber(value);
    check(text.find("inf") == std::string::npos && text.find("nan") == std::string::npos);
    const Num strict = parseStrict(text);
    const Num lenient = parseLenient(text);
    check(strict.ok() && lenient.ok());
    check(strict.value() == lenient.value());
    check(formatNumber(strict.value()) == text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);

    const Num strict = parseStrict(text);
    const Num lenient = parseLenient(text);
    check(!strict.ok() || std::isfinite(strict.value()));
    check(!lenient.ok() || std::isfinite(lenient.value()));
    // Without grouping commas, a text that is one number reads the same both ways.
    if (strict.ok() && text.find(',') == std::string::npos)
        check(lenient.ok() && lenient.value() == strict.value());
    if (strict.ok())
        roundTrip(strict.value());
    if (lenient.ok())
        roundTrip(lenient.value());

    if (size >= sizeof(double)) {
        double raw;
        std::memcpy(&raw, data, sizeof raw);
        roundTrip(raw);
        if (std::isfinite(raw))
            check(std::isfinite(floorNumber(raw)));
    }
    return 0;
}
