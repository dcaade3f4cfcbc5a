#include "host/core/core_name_server.h"

#include <limits>
#include <string>

#include "host/core/core_log.h"

bool CoreNameServer::split_name(CoreBasicString const& name, CoreString& base, unsigned int& number)
{
    unsigned int digit_count = 0;
    return split_name(name, base, number, digit_count);
}

bool CoreNameServer::split_name(CoreBasicString const& name, CoreString& base, unsigned int& number,
                                unsigned int& digit_count)
{
    std::string_view text = name.view();
    size_t start = text.size();
    while (start > 0 && text[start - 1] >= '0' && text[start - 1] <= '9') --start;

    unsigned long long value = 0;
    bool fits = true;
    for (size_t i = start; i < text.size() && fits; ++i) {
        value = value * 10 + static_cast<unsigned long long>(text[i] - '0');
        fits = value <= std::numeric_limits<unsigned int>::max();
    }
    if (start == text.size() || !fits) {
        base = CoreString(text);
        number = 0;
        digit_count = 0;
        return false;
    }
    base = CoreString(text.substr(0, start));
    number = static_cast<unsigned int>(value);
    digit_count = static_cast<unsigned int>(text.size() - start);
    return true;
}

CoreString CoreNameServer::make_name(CoreBasicString const& base, unsigned long long number,
                                     unsigned int digit_count)
{
    std::string digits = std::to_string(number);
    CoreString result(base);
    if (digits.size() < digit_count) result += CoreString(std::string(digit_count - digits.size(), '0'));
    result += digits.c_str();
    return result;
}

CoreString CoreNameServer::get_unique_name(CoreBasicString const& name,
                                           std::function<bool(CoreString const&)> const& is_taken)
{
    CoreString candidate(name);
    if (!is_taken || !is_taken(candidate)) return candidate;

    CoreString base;
    unsigned int number = 0;
    unsigned int digit_count = 0;
    split_name(name, base, number, digit_count);
    // Counted in 64 bits so that "item4294967295" still has a successor.
    unsigned long long next = number;
    for (unsigned int attempt = 0; attempt < MAX_ATTEMPTS; ++attempt) {
        candidate = make_name(base, ++next, digit_count);
        if (!is_taken(candidate)) return candidate;
    }
    CORE_LOG_ERROR("CoreNameServer.get_unique_name: no free name found for \"" << name << "\" after "
                   << MAX_ATTEMPTS << " attempts\n");
    return CoreString();
}
