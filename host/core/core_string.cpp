#include "host/core/core_string.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ostream>

#include "host/core/core_hash.h"

namespace {

bool is_space(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}
bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_alpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char to_lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
char to_upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

template <typename T>
void append_number(std::string& out, T value)
{
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof(buffer), value);
    out.append(buffer, result.ptr);
}

// Skips leading white space and returns the start of the number text.
char const* skip_space(char const* p)
{
    while (*p && is_space(*p)) ++p;
    return p;
}

}  // namespace

void CoreBasicString::set_data(char const* text, int length)
{
    if (!text) {
        m_data.clear();
    } else if (length < 0) {
        m_data.assign(text);
    } else {
        m_data.assign(text, static_cast<size_t>(length));
    }
}

unsigned int CoreBasicString::get_hash() const
{
    return CoreHash::generate_jenkins(m_data.data(), get_length());
}

std::ostream& operator<<(std::ostream& out, CoreBasicString const& text)
{
    return out << text.view();
}

CoreString& CoreString::operator+=(int value) { append_number(m_data, value); return *this; }
CoreString& CoreString::operator+=(unsigned int value) { append_number(m_data, value); return *this; }
CoreString& CoreString::operator+=(long value) { append_number(m_data, value); return *this; }
CoreString& CoreString::operator+=(unsigned long value) { append_number(m_data, value); return *this; }
CoreString& CoreString::operator+=(long long value) { append_number(m_data, value); return *this; }
CoreString& CoreString::operator+=(unsigned long long value) { append_number(m_data, value); return *this; }
CoreString& CoreString::operator+=(bool value) { m_data += value ? "true" : "false"; return *this; }
CoreString& CoreString::operator+=(float value) { append_number(m_data, value); return *this; }
CoreString& CoreString::operator+=(double value) { append_number(m_data, value); return *this; }

CoreString& CoreString::operator+=(void const* pointer)
{
    char buffer[32];
    std::snprintf(buffer, sizeof(buffer), "0x%llx",
                  static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(pointer)));
    m_data += buffer;
    return *this;
}

unsigned int CoreString::find(CoreBasicString const& needle, unsigned int start) const
{
    if (start > m_data.size()) return NOT_FOUND;
    size_t pos = m_data.find(needle.view(), start);
    return pos == std::string::npos ? NOT_FOUND : static_cast<unsigned int>(pos);
}

unsigned int CoreString::find(char c, unsigned int start) const
{
    if (start >= m_data.size()) return NOT_FOUND;
    size_t pos = m_data.find(c, start);
    return pos == std::string::npos ? NOT_FOUND : static_cast<unsigned int>(pos);
}

unsigned int CoreString::rev_find(CoreBasicString const& needle, unsigned int start) const
{
    size_t from = start == NOT_FOUND ? std::string::npos : start;
    size_t pos = m_data.rfind(needle.view(), from);
    return pos == std::string::npos ? NOT_FOUND : static_cast<unsigned int>(pos);
}

unsigned int CoreString::rev_find(char c, unsigned int start) const
{
    size_t from = start == NOT_FOUND ? std::string::npos : start;
    size_t pos = m_data.rfind(c, from);
    return pos == std::string::npos ? NOT_FOUND : static_cast<unsigned int>(pos);
}

CoreString CoreString::sub_string(unsigned int start, unsigned int count) const
{
    if (start >= m_data.size()) return CoreString();
    return CoreString(m_data.substr(start, count == NOT_FOUND ? std::string::npos : count));
}

CoreVector<CoreString> CoreString::split(CoreBasicString const& separator, bool keep_empty) const
{
    CoreVector<CoreString> parts;
    if (separator.is_empty()) {
        if (keep_empty || !is_empty()) parts.add(*this);
        return parts;
    }
    std::string_view text = m_data;
    std::string_view sep = separator.view();
    size_t start = 0;
    while (true) {
        size_t pos = text.find(sep, start);
        size_t count = pos == std::string_view::npos ? std::string_view::npos : pos - start;
        std::string_view part = text.substr(start, count);
        if (keep_empty || !part.empty()) parts.add(CoreString(part));
        if (pos == std::string_view::npos) break;
        start = pos + sep.size();
    }
    return parts;
}

CoreVector<CoreString> CoreString::split_word() const
{
    CoreVector<CoreString> words;
    size_t i = 0, n = m_data.size();
    while (i < n) {
        while (i < n && is_space(m_data[i])) ++i;
        if (i >= n) break;
        std::string word;
        if (m_data[i] == '"') {
            ++i;
            while (i < n && m_data[i] != '"') {
                if (m_data[i] == '\\' && i + 1 < n && m_data[i + 1] == '"') ++i;
                word += m_data[i++];
            }
            if (i < n) ++i;  // closing quote
        } else {
            while (i < n && !is_space(m_data[i])) word += m_data[i++];
        }
        words.add(CoreString(std::move(word)));
    }
    return words;
}

CoreString CoreString::get_trim() const
{
    size_t b = 0, e = m_data.size();
    while (b < e && is_space(m_data[b])) ++b;
    while (e > b && is_space(m_data[e - 1])) --e;
    return CoreString(std::string_view(m_data).substr(b, e - b));
}

CoreString CoreString::get_trim_right() const
{
    size_t e = m_data.size();
    while (e > 0 && is_space(m_data[e - 1])) --e;
    return CoreString(std::string_view(m_data).substr(0, e));
}

CoreString CoreString::get_trim_left() const
{
    size_t b = 0;
    while (b < m_data.size() && is_space(m_data[b])) ++b;
    return CoreString(std::string_view(m_data).substr(b));
}

CoreString& CoreString::lower_case()
{
    for (char& c : m_data) c = to_lower(c);
    return *this;
}

CoreString CoreString::get_lower_case() const { return CoreString(*this).lower_case(); }

CoreString& CoreString::upper_case()
{
    for (char& c : m_data) c = to_upper(c);
    return *this;
}

CoreString CoreString::get_upper_case() const { return CoreString(*this).upper_case(); }

CoreString& CoreString::make_title()
{
    bool word_start = true;
    for (char& c : m_data) {
        if (c == '_') c = ' ';
        if (is_space(c)) {
            word_start = true;
        } else {
            if (word_start) c = to_upper(c);
            word_start = false;
        }
    }
    return *this;
}

CoreString CoreString::get_title() const { return CoreString(*this).make_title(); }

CoreString CoreString::camel_case() const
{
    std::string out;
    bool upper_next = false;
    for (char c : m_data) {
        if (c == '_' || c == '-' || is_space(c)) {
            upper_next = !out.empty();
            continue;
        }
        if (out.empty()) {
            out += to_lower(c);
        } else {
            out += upper_next ? to_upper(c) : c;
        }
        upper_next = false;
    }
    return CoreString(std::move(out));
}

CoreString& CoreString::make_identifier()
{
    for (char& c : m_data) {
        if (!is_alpha(c) && !is_digit(c) && c != '_') c = '_';
    }
    if (m_data.empty() || is_digit(m_data[0])) m_data.insert(m_data.begin(), '_');
    return *this;
}

CoreString& CoreString::replace_range(unsigned int start, unsigned int count, CoreBasicString const& text)
{
    size_t const first = std::min<size_t>(start, m_data.size());
    m_data.replace(first, std::min<size_t>(count, m_data.size() - first), text.view());
    return *this;
}

unsigned int CoreString::replace(char from, char to)
{
    unsigned int count = 0;
    for (char& c : m_data) {
        if (c == from) {
            c = to;
            ++count;
        }
    }
    return count;
}

unsigned int CoreString::replace(CoreBasicString const& from, CoreBasicString const& to, bool all)
{
    if (from.is_empty()) return 0;
    std::string result;
    std::string_view text = m_data;
    unsigned int count = 0;
    size_t start = 0;
    while (true) {
        size_t pos = text.find(from.view(), start);
        if (pos == std::string_view::npos) break;
        result.append(text.substr(start, pos - start));
        result.append(to.view());
        start = pos + from.get_length();
        ++count;
        if (!all) break;
    }
    if (count == 0) return 0;
    result.append(text.substr(start));
    m_data = std::move(result);
    return count;
}

unsigned int CoreString::remove_occurences(char c)
{
    size_t before = m_data.size();
    m_data.erase(std::remove(m_data.begin(), m_data.end(), c), m_data.end());
    return static_cast<unsigned int>(before - m_data.size());
}

unsigned int CoreString::count_occurences(char c) const
{
    return static_cast<unsigned int>(std::count(m_data.begin(), m_data.end(), c));
}

bool CoreString::start_with(CoreBasicString const& prefix) const
{
    return std::string_view(m_data).starts_with(prefix.view());
}

bool CoreString::end_with(CoreBasicString const& suffix) const
{
    return std::string_view(m_data).ends_with(suffix.view());
}

bool CoreString::is_number() const
{
    size_t i = 0, n = m_data.size();
    if (i < n && (m_data[i] == '+' || m_data[i] == '-')) ++i;
    size_t digits = 0;
    while (i < n && is_digit(m_data[i])) { ++i; ++digits; }
    if (i < n && m_data[i] == '.') {
        ++i;
        while (i < n && is_digit(m_data[i])) { ++i; ++digits; }
    }
    if (digits == 0) return false;
    if (i < n && (m_data[i] == 'e' || m_data[i] == 'E')) {
        ++i;
        if (i < n && (m_data[i] == '+' || m_data[i] == '-')) ++i;
        size_t exponent_digits = 0;
        while (i < n && is_digit(m_data[i])) { ++i; ++exponent_digits; }
        if (exponent_digits == 0) return false;
    }
    return i == n;
}

long long CoreString::to_long() const
{
    char const* p = skip_space(m_data.c_str());
    // strtoll saturates on overflow, which is what a user typing a huge number expects.
    return std::strtoll(p, nullptr, 10);
}

int CoreString::to_int() const
{
    long long v = to_long();
    return static_cast<int>(std::clamp<long long>(v, INT32_MIN, INT32_MAX));
}

unsigned int CoreString::to_unsigned() const
{
    long long v = to_long();
    return static_cast<unsigned int>(std::clamp<long long>(v, 0, UINT32_MAX));
}

double CoreString::to_double() const
{
    char const* p = skip_space(m_data.c_str());
    double value = 0.0;
    // from_chars is locale independent and rejects a leading '+', which we accept (once).
    if (*p == '+') {
        ++p;
        if (*p == '-' || *p == '+') return 0.0;
    }
    auto result = std::from_chars(p, m_data.c_str() + m_data.size(), value);
    if (result.ec == std::errc::result_out_of_range) return std::strtod(p, nullptr);
    return result.ec == std::errc() ? value : 0.0;
}

bool CoreString::to_bool() const
{
    CoreString text = get_trim().lower_case();
    if (text == "true" || text == "yes" || text == "on") return true;
    double const value = text.to_double();
    return value != 0.0 && value == value;  // NaN is not true
}

int CoreString::compare(CoreBasicString const& a, CoreBasicString const& b, bool case_sensitive)
{
    if (case_sensitive) {
        int r = a.view().compare(b.view());
        return r < 0 ? -1 : (r > 0 ? 1 : 0);
    }
    size_t n = std::min(a.get_length(), b.get_length());
    for (size_t i = 0; i < n; ++i) {
        unsigned char ca = static_cast<unsigned char>(to_lower(a[i]));
        unsigned char cb = static_cast<unsigned char>(to_lower(b[i]));
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    return a.get_length() == b.get_length() ? 0 : (a.get_length() < b.get_length() ? -1 : 1);
}

int CoreString::natural_compare(CoreBasicString const& a, CoreBasicString const& b)
{
    std::string_view x = a.view(), y = b.view();
    size_t i = 0, j = 0;
    // Among names equal by value, fewer leading zeros sort first ("a1" < "a01"); this
    // second key keeps the order transitive.
    int zeros_order = 0;
    while (i < x.size() && j < y.size()) {
        if (is_digit(x[i]) && is_digit(y[j])) {
            // Compare digit runs by value: skip leading zeros, then longer run is larger.
            size_t zi = i, zj = j;
            while (zi < x.size() && x[zi] == '0') ++zi;
            while (zj < y.size() && y[zj] == '0') ++zj;
            size_t ei = zi, ej = zj;
            while (ei < x.size() && is_digit(x[ei])) ++ei;
            while (ej < y.size() && is_digit(y[ej])) ++ej;
            if (ei - zi != ej - zj) return ei - zi < ej - zj ? -1 : 1;
            int r = x.substr(zi, ei - zi).compare(y.substr(zj, ej - zj));
            if (r != 0) return r < 0 ? -1 : 1;
            if (zeros_order == 0 && zi - i != zj - j) zeros_order = zi - i < zj - j ? -1 : 1;
            i = ei;
            j = ej;
            continue;
        }
        unsigned char ca = static_cast<unsigned char>(to_lower(x[i]));
        unsigned char cb = static_cast<unsigned char>(to_lower(y[j]));
        if (ca != cb) return ca < cb ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < x.size()) return 1;
    if (j < y.size()) return -1;
    if (zeros_order != 0) return zeros_order;
    return compare(a, b, true);
}

void CoreString::alpha_sort(CoreVector<CoreString>& strings, bool ascending)
{
    std::stable_sort(strings.begin(), strings.end(), [ascending](CoreString const& a, CoreString const& b) {
        int r = natural_compare(a, b);
        return ascending ? r < 0 : r > 0;
    });
}

CoreString CoreString::after_first(CoreBasicString const& text, CoreBasicString const& separator)
{
    size_t pos = text.view().find(separator.view());
    if (pos == std::string_view::npos) return CoreString();
    return CoreString(text.view().substr(pos + separator.get_length()));
}

CoreString CoreString::after_last(CoreBasicString const& text, CoreBasicString const& separator)
{
    size_t pos = text.view().rfind(separator.view());
    if (pos == std::string_view::npos) return CoreString();
    return CoreString(text.view().substr(pos + separator.get_length()));
}

CoreString CoreString::before_last(CoreBasicString const& text, CoreBasicString const& separator)
{
    size_t pos = text.view().rfind(separator.view());
    if (pos == std::string_view::npos) return CoreString(text);
    return CoreString(text.view().substr(0, pos));
}

CoreString const& CoreString::get_null_string()
{
    static CoreString const empty;
    return empty;
}
