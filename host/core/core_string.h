#pragma once
// Host strings: CoreBasicString holds 8-bit text with value semantics and comparisons;
// CoreString adds the text operations the interface uses (search, split, case,
// conversions, sorting). Positions and lengths are unsigned int.
#include <cstddef>
#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>

#include "host/core/core_export.h"
#include "host/core/core_vector.h"

class QN_HOST_API CoreBasicString {
public:
    CoreBasicString() = default;
    CoreBasicString(char const* text) { set_data(text); }
    CoreBasicString(char const* text, int length) { set_data(text, length); }
    CoreBasicString(std::string_view text) : m_data(text) {}
    CoreBasicString(std::string text) : m_data(std::move(text)) {}

    // Replaces the text; a length of -1 takes `text` up to its NUL. A null text clears.
    void set_data(char const* text, int length = -1);

    char const* get_data() const { return m_data.c_str(); }
    char const* c_str() const { return m_data.c_str(); }
    unsigned int get_length() const { return static_cast<unsigned int>(m_data.size()); }
    bool is_empty() const { return m_data.empty(); }
    char operator[](unsigned int index) const { return m_data[index]; }
    std::string_view view() const { return m_data; }
    std::string const& std_string() const { return m_data; }
    // One-at-a-time hash of the text, the key hash of host hash tables.
    unsigned int get_hash() const;

    bool operator==(CoreBasicString const& other) const { return m_data == other.m_data; }
    bool operator!=(CoreBasicString const& other) const { return m_data != other.m_data; }
    bool operator==(char const* other) const { return other ? m_data == other : m_data.empty(); }
    bool operator!=(char const* other) const { return !(*this == other); }
    bool operator<(CoreBasicString const& other) const { return m_data < other.m_data; }

protected:
    std::string m_data;
};

class QN_HOST_API CoreString : public CoreBasicString {
public:
    // Returned by find and rev_find when nothing is found; no valid position has it.
    static constexpr unsigned int NOT_FOUND = 0xFFFFFFFFu;

    using CoreBasicString::CoreBasicString;
    CoreString() = default;
    CoreString(CoreBasicString const& other) : CoreBasicString(other) {}

    CoreString& operator+=(CoreBasicString const& text) { m_data += text.view(); return *this; }
    CoreString& operator+=(char const* text) { if (text) m_data += text; return *this; }
    CoreString& operator+=(char c) { m_data += c; return *this; }
    CoreString& operator+=(int value);
    CoreString& operator+=(unsigned int value);
    CoreString& operator+=(long value);
    CoreString& operator+=(unsigned long value);
    CoreString& operator+=(long long value);
    CoreString& operator+=(unsigned long long value);
    CoreString& operator+=(bool value);  // "true" or "false"
    CoreString& operator+=(float value);  // shortest text that reads back the same value
    CoreString& operator+=(double value);
    CoreString& operator+=(void const* pointer);  // "0x" and lower-case hex digits

    template <typename T>
    CoreString operator+(T const& value) const { CoreString r(*this); r += value; return r; }

    // Searches from `start`; NOT_FOUND when absent. An empty needle is found at `start`
    // when start <= length.
    unsigned int find(CoreBasicString const& needle, unsigned int start = 0) const;
    unsigned int find(char c, unsigned int start = 0) const;
    // Searches backwards from `start` (the whole string by default).
    unsigned int rev_find(CoreBasicString const& needle, unsigned int start = NOT_FOUND) const;
    unsigned int rev_find(char c, unsigned int start = NOT_FOUND) const;

    // Up to `count` characters from `start`; empty when start is past the end.
    CoreString sub_string(unsigned int start, unsigned int count = NOT_FOUND) const;
    // Splits at every occurrence of `separator`; empty parts are dropped unless keep_empty.
    // An empty separator yields the whole string as the only part.
    CoreVector<CoreString> split(CoreBasicString const& separator, bool keep_empty = false) const;
    // Splits into words at runs of white space; a double-quoted run is one word (without
    // its quotes, backslash escaping a quote inside it).
    CoreVector<CoreString> split_word() const;

    // White space is ' ', '\t', '\n', '\r', '\v' and '\f'.
    CoreString get_trim() const;
    CoreString get_trim_right() const;
    CoreString get_trim_left() const;
    CoreString& trim() { return *this = get_trim(); }

    CoreString& lower_case();
    CoreString get_lower_case() const;
    CoreString& upper_case();
    CoreString get_upper_case() const;
    // "motion_blur samples" -> "Motion Blur Samples": underscores become spaces and every
    // word starts upper case; the rest of each word is kept.
    CoreString& make_title();
    CoreString get_title() const;
    // "motion_blur samples" -> "motionBlurSamples": words separated by '_', ' ' or '-' are
    // joined, each but the first starting upper case; the first is lower-cased at its start.
    CoreString camel_case() const;
    // Turns the text into a valid identifier: characters other than letters, digits and
    // '_' become '_', a leading digit gets a '_' before it, an empty text becomes "_".
    CoreString& make_identifier();

    // Replaces every `from` character by `to`; returns how many were replaced.
    unsigned int replace(char from, char to);
    // Replaces the first (or every, when `all`) occurrence of `from`; returns the count.
    // An empty `from` replaces nothing.
    unsigned int replace(CoreBasicString const& from, CoreBasicString const& to, bool all = true);
    unsigned int remove_occurences(char c);
    // Replaces `count` bytes from `start` by text, in place (both clamped to the string).
    CoreString& replace_range(unsigned int start, unsigned int count, CoreBasicString const& text);
    unsigned int count_occurences(char c) const;

    bool start_with(CoreBasicString const& prefix) const;
    bool end_with(CoreBasicString const& suffix) const;
    bool contains(CoreBasicString const& needle) const { return find(needle) != NOT_FOUND; }
    bool contains(char c) const { return find(c) != NOT_FOUND; }

    // True for an optionally signed decimal number: digits with an optional fraction and
    // exponent ("12", "-0.5", "+.5", "1e-3"); surrounding white space is not allowed.
    bool is_number() const;
    // Conversions read a leading number (after white space) and give 0 / false when there
    // is none; to_bool accepts "true"/"yes"/"on" (any case) and non-zero numbers.
    int to_int() const;
    unsigned int to_unsigned() const;
    long long to_long() const;
    double to_double() const;
    float to_float() const { return static_cast<float>(to_double()); }
    bool to_bool() const;
    char to_char() const { return is_empty() ? '\0' : m_data[0]; }

    // strcmp-like three-way comparison, case sensitive or not.
    static int compare(CoreBasicString const& a, CoreBasicString const& b, bool case_sensitive = true);
    // Natural order: case-insensitive, digit runs compared as numbers ("item2" < "item10").
    // Ties are broken by the case-sensitive comparison so the order is total.
    static int natural_compare(CoreBasicString const& a, CoreBasicString const& b);
    // Sorts in natural order, ascending or descending.
    static void alpha_sort(CoreVector<CoreString>& strings, bool ascending = true);
    // Text after the first / last `separator`; empty when it is absent.
    static CoreString after_first(CoreBasicString const& text, CoreBasicString const& separator);
    static CoreString after_last(CoreBasicString const& text, CoreBasicString const& separator);
    // Text before the last `separator`; the whole text when it is absent.
    static CoreString before_last(CoreBasicString const& text, CoreBasicString const& separator);
    // A shared empty string, for getters that return references.
    static CoreString const& get_null_string();
};

inline CoreString operator+(char const* left, CoreBasicString const& right)
{
    CoreString r(left);
    r += right;
    return r;
}

QN_HOST_API std::ostream& operator<<(std::ostream& out, CoreBasicString const& text);

template <>
struct std::hash<CoreBasicString> {
    size_t operator()(CoreBasicString const& s) const noexcept { return s.get_hash(); }
};
template <>
struct std::hash<CoreString> {
    size_t operator()(CoreString const& s) const noexcept { return s.get_hash(); }
};
