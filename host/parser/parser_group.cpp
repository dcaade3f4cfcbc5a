#include "host/parser/parser_group.h"

#include <cmath>

#include "host/core/core_log.h"

CORE_IMPLEMENT_CREATABLE_CLASS(ParserGroup, CoreBaseObject)
CORE_IMPLEMENT_CREATABLE_CLASS(ParserEntry, CoreBaseObject)

namespace {

// Kind names for messages, with their article.
char const* get_kind_text(ParserEntry::ValueType type)
{
    switch (type) {
    case ParserEntry::VALUE_TYPE_BOOL: return "a bool";
    case ParserEntry::VALUE_TYPE_INT: return "an int";
    case ParserEntry::VALUE_TYPE_DOUBLE: return "a double";
    case ParserEntry::VALUE_TYPE_STRING: return "a string";
    case ParserEntry::VALUE_TYPE_VEC2D: return "a vec2d";
    case ParserEntry::VALUE_TYPE_VEC3D: return "a vec3d";
    case ParserEntry::VALUE_TYPE_GROUP: return "a group";
    default: return "nothing";
    }
}

bool same_double(double a, double b)
{
    return a == b || (std::isnan(a) && std::isnan(b));
}

}  // namespace

// ---------------------------------------------------------------------------------------
// ParserGroup

ParserGroup::ParserGroup() = default;
ParserGroup::~ParserGroup() = default;
ParserGroup::ParserGroup(ParserGroup&& other) noexcept = default;
ParserGroup& ParserGroup::operator=(ParserGroup&& other) noexcept = default;

ParserGroup::ParserGroup(ParserGroup const& other) : CoreBaseObject(other)
{
    m_entries.reserve(other.m_entries.size());
    for (auto const& entry : other.m_entries) m_entries.push_back(std::make_unique<ParserEntry>(*entry));
}

ParserGroup& ParserGroup::operator=(ParserGroup const& other)
{
    // Copy first: `other` may live inside this group.
    if (this != &other) *this = ParserGroup(other);
    return *this;
}

ParserEntry& ParserGroup::add_entry(CoreBasicString const& name)
{
    m_entries.push_back(std::make_unique<ParserEntry>(name));
    return *m_entries.back();
}

ParserEntry& ParserGroup::add_entry(ParserEntry const& entry)
{
    m_entries.push_back(std::make_unique<ParserEntry>(entry));
    return *m_entries.back();
}

ParserGroup& ParserGroup::add_group(CoreBasicString const& name)
{
    return add_entry(name).add_group();
}

ParserEntry* ParserGroup::get_entry(unsigned int const& index)
{
    return const_cast<ParserEntry*>(static_cast<ParserGroup const*>(this)->get_entry(index));
}

ParserEntry const* ParserGroup::get_entry(unsigned int const& index) const
{
    if (index >= m_entries.size()) {
        CORE_LOG_WARNING("ParserGroup.get_entry: index " << index << " out of range (" << m_entries.size()
                                                         << " entries)\n");
        return nullptr;
    }
    return m_entries[index].get();
}

ParserEntry* ParserGroup::get_entry(CoreBasicString const& name)
{
    return const_cast<ParserEntry*>(static_cast<ParserGroup const*>(this)->get_entry(name));
}

ParserEntry const* ParserGroup::get_entry(CoreBasicString const& name) const
{
    for (auto const& entry : m_entries)
        if (entry->m_name == name) return entry.get();
    return nullptr;
}

ParserGroup* ParserGroup::get_group(CoreBasicString const& name)
{
    return const_cast<ParserGroup*>(static_cast<ParserGroup const*>(this)->get_group(name));
}

ParserGroup const* ParserGroup::get_group(CoreBasicString const& name) const
{
    for (auto const& entry : m_entries)
        if (entry->m_name == name && entry->is_group(0)) return entry->get_group(0);
    return nullptr;
}

unsigned int ParserGroup::find(CoreBasicString const& name, unsigned int const& start) const
{
    for (size_t i = start; i < m_entries.size(); ++i)
        if (m_entries[i]->m_name == name) return static_cast<unsigned int>(i);
    return NOT_FOUND;
}

bool ParserGroup::remove_entry(unsigned int const& index)
{
    if (index >= m_entries.size()) {
        CORE_LOG_WARNING("ParserGroup.remove_entry: index " << index << " out of range (" << m_entries.size()
                                                            << " entries)\n");
        return false;
    }
    m_entries.erase(m_entries.begin() + index);
    return true;
}

unsigned int ParserGroup::remove_entry(CoreBasicString const& name)
{
    size_t before = m_entries.size();
    std::erase_if(m_entries, [&name](std::unique_ptr<ParserEntry> const& e) { return e->m_name == name; });
    return static_cast<unsigned int>(before - m_entries.size());
}

void ParserGroup::clear()
{
    m_entries.clear();
}

bool ParserGroup::operator==(ParserGroup const& other) const
{
    if (m_entries.size() != other.m_entries.size()) return false;
    for (size_t i = 0; i < m_entries.size(); ++i)
        if (*m_entries[i] != *other.m_entries[i]) return false;
    return true;
}

size_t ParserGroup::get_memory_size() const
{
    size_t size = sizeof(*this) + m_entries.capacity() * sizeof(m_entries[0]);
    for (auto const& entry : m_entries) size += entry->get_memory_size();
    return size;
}

// ---------------------------------------------------------------------------------------
// ParserEntry

char const* ParserEntry::get_value_type_name(ValueType const& type)
{
    switch (type) {
    case VALUE_TYPE_NONE: return "VALUE_TYPE_NONE";
    case VALUE_TYPE_BOOL: return "VALUE_TYPE_BOOL";
    case VALUE_TYPE_INT: return "VALUE_TYPE_INT";
    case VALUE_TYPE_DOUBLE: return "VALUE_TYPE_DOUBLE";
    case VALUE_TYPE_STRING: return "VALUE_TYPE_STRING";
    case VALUE_TYPE_VEC2D: return "VALUE_TYPE_VEC2D";
    case VALUE_TYPE_VEC3D: return "VALUE_TYPE_VEC3D";
    case VALUE_TYPE_GROUP: return "VALUE_TYPE_GROUP";
    case VALUE_TYPE_COUNT: return "VALUE_TYPE_COUNT";
    }
    return "VALUE_TYPE_UNKNOWN";
}

ParserEntry::ParserEntry(CoreBasicString const& name) : m_name(name) {}
ParserEntry::~ParserEntry() = default;
ParserEntry::ParserEntry(ParserEntry&& other) noexcept = default;
ParserEntry& ParserEntry::operator=(ParserEntry&& other) noexcept = default;

ParserEntry::ParserEntry(ParserEntry const& other) : CoreBaseObject(other), m_name(other.m_name)
{
    m_values.reserve(other.m_values.size());
    for (Value const& value : other.m_values) {
        if (auto const* group = std::get_if<std::unique_ptr<ParserGroup>>(&value))
            m_values.emplace_back(std::make_unique<ParserGroup>(**group));
        else
            std::visit(
                [this](auto const& v) {
                    if constexpr (!std::is_same_v<std::decay_t<decltype(v)>, std::unique_ptr<ParserGroup>>)
                        m_values.emplace_back(v);
                },
                value);
    }
}

ParserEntry& ParserEntry::operator=(ParserEntry const& other)
{
    if (this != &other) *this = ParserEntry(other);
    return *this;
}

ParserEntry& ParserEntry::add_bool(bool const& value)
{
    m_values.emplace_back(value);
    return *this;
}

ParserEntry& ParserEntry::add_int(int64_t const& value)
{
    m_values.emplace_back(value);
    return *this;
}

ParserEntry& ParserEntry::add_double(double const& value)
{
    m_values.emplace_back(value);
    return *this;
}

ParserEntry& ParserEntry::add_string(CoreBasicString const& value)
{
    m_values.emplace_back(std::in_place_type<CoreString>, value);
    return *this;
}

ParserEntry& ParserEntry::add_vec2d(GMathVec2<double> const& value)
{
    m_values.emplace_back(value);
    return *this;
}

ParserEntry& ParserEntry::add_vec3d(GMathVec3<double> const& value)
{
    m_values.emplace_back(value);
    return *this;
}

ParserGroup& ParserEntry::add_group()
{
    auto group = std::make_unique<ParserGroup>();
    ParserGroup& result = *group;
    m_values.emplace_back(std::move(group));
    return result;
}

ParserGroup& ParserEntry::add_group(ParserGroup const& group)
{
    auto copy = std::make_unique<ParserGroup>(group);
    ParserGroup& result = *copy;
    m_values.emplace_back(std::move(copy));
    return result;
}

ParserEntry::ValueType ParserEntry::get_value_type(unsigned int const& index) const
{
    if (index >= m_values.size()) return VALUE_TYPE_NONE;
    return static_cast<ValueType>(m_values[index].index() + VALUE_TYPE_BOOL);
}

bool ParserEntry::is_value_number(unsigned int const& index) const
{
    ValueType type = get_value_type(index);
    return type == VALUE_TYPE_INT || type == VALUE_TYPE_DOUBLE;
}

void ParserEntry::report_bad_value(char const* member, unsigned int index, ValueType wanted) const
{
    if (index >= m_values.size())
        CORE_LOG_WARNING("ParserEntry." << member << ": '" << m_name << "' has no value " << index << " ("
                                        << m_values.size() << " values)\n");
    else
        CORE_LOG_WARNING("ParserEntry." << member << ": value " << index << " of '" << m_name << "' is "
                                        << get_kind_text(get_value_type(index)) << ", not "
                                        << get_kind_text(wanted) << "\n");
}

bool ParserEntry::get_bool(unsigned int const& index) const
{
    if (index < m_values.size())
        if (auto const* value = std::get_if<bool>(&m_values[index])) return *value;
    report_bad_value("get_bool", index, VALUE_TYPE_BOOL);
    return false;
}

int64_t ParserEntry::get_int(unsigned int const& index) const
{
    if (index < m_values.size())
        if (auto const* value = std::get_if<int64_t>(&m_values[index])) return *value;
    report_bad_value("get_int", index, VALUE_TYPE_INT);
    return 0;
}

double ParserEntry::get_double(unsigned int const& index) const
{
    if (index < m_values.size()) {
        if (auto const* value = std::get_if<double>(&m_values[index])) return *value;
        if (auto const* value = std::get_if<int64_t>(&m_values[index])) return static_cast<double>(*value);
    }
    report_bad_value("get_double", index, VALUE_TYPE_DOUBLE);
    return 0.0;
}

CoreString const& ParserEntry::get_string(unsigned int const& index) const
{
    if (index < m_values.size())
        if (auto const* value = std::get_if<CoreString>(&m_values[index])) return *value;
    report_bad_value("get_string", index, VALUE_TYPE_STRING);
    return CoreString::get_null_string();
}

GMathVec2<double> ParserEntry::get_vec2d(unsigned int const& index) const
{
    if (index < m_values.size())
        if (auto const* value = std::get_if<GMathVec2<double>>(&m_values[index])) return *value;
    if (is_value_number(index) && is_value_number(index + 1))
        return GMathVec2<double>(get_double(index), get_double(index + 1));
    report_bad_value("get_vec2d", index, VALUE_TYPE_VEC2D);
    return GMathVec2<double>();
}

GMathVec3<double> ParserEntry::get_vec3d(unsigned int const& index) const
{
    if (index < m_values.size())
        if (auto const* value = std::get_if<GMathVec3<double>>(&m_values[index])) return *value;
    if (is_value_number(index) && is_value_number(index + 1) && is_value_number(index + 2))
        return GMathVec3<double>(get_double(index), get_double(index + 1), get_double(index + 2));
    report_bad_value("get_vec3d", index, VALUE_TYPE_VEC3D);
    return GMathVec3<double>();
}

ParserGroup* ParserEntry::get_group(unsigned int const& index)
{
    return const_cast<ParserGroup*>(static_cast<ParserEntry const*>(this)->get_group(index));
}

ParserGroup const* ParserEntry::get_group(unsigned int const& index) const
{
    if (index >= m_values.size()) return nullptr;
    auto const* value = std::get_if<std::unique_ptr<ParserGroup>>(&m_values[index]);
    return value ? value->get() : nullptr;
}

bool ParserEntry::remove_value(unsigned int const& index)
{
    if (index >= m_values.size()) {
        CORE_LOG_WARNING("ParserEntry.remove_value: '" << m_name << "' has no value " << index << " ("
                                                       << m_values.size() << " values)\n");
        return false;
    }
    m_values.erase(m_values.begin() + index);
    return true;
}

void ParserEntry::clear()
{
    m_values.clear();
}

bool ParserEntry::operator==(ParserEntry const& other) const
{
    if (m_name != other.m_name || m_values.size() != other.m_values.size()) return false;
    for (size_t i = 0; i < m_values.size(); ++i) {
        Value const& a = m_values[i];
        Value const& b = other.m_values[i];
        if (a.index() != b.index()) return false;
        bool same = std::visit(
            [&b](auto const& va) -> bool {
                using T = std::decay_t<decltype(va)>;
                T const& vb = std::get<T>(b);
                if constexpr (std::is_same_v<T, double>) {
                    return same_double(va, vb);
                } else if constexpr (std::is_same_v<T, GMathVec2<double>> ||
                                     std::is_same_v<T, GMathVec3<double>>) {
                    for (unsigned int c = 0; c < T::size(); ++c)
                        if (!same_double(va[c], vb[c])) return false;
                    return true;
                } else if constexpr (std::is_same_v<T, std::unique_ptr<ParserGroup>>) {
                    return *va == *vb;
                } else {
                    return va == vb;
                }
            },
            a);
        if (!same) return false;
    }
    return true;
}

size_t ParserEntry::get_memory_size() const
{
    size_t size = sizeof(*this) + m_name.get_length() + m_values.capacity() * sizeof(Value);
    for (Value const& value : m_values) {
        if (auto const* text = std::get_if<CoreString>(&value)) size += text->get_length();
        else if (auto const* group = std::get_if<std::unique_ptr<ParserGroup>>(&value))
            size += (*group)->get_memory_size();
    }
    return size;
}
