#include "tools/velk/cli_options.h"

bool ParseDecimal(const std::string& text, int64_t min, int64_t max, int64_t& value)
{
    if (text.empty() || text.size() > 18)
        return false;
    value = 0;
    for (char ch : text) {
        if (ch < '0' || ch > '9')
            return false;
        value = value * 10 + (ch - '0');
    }
    return value >= min && value <= max;
}

const CLI::Validator NonEmpty(
    [](std::string& value) { return value.empty() ? std::string("empty value") : std::string(); },
    "", "NonEmpty");
