#include "host/of/of_attr_values.h"

namespace {

enum Storage { STORAGE_LONG, STORAGE_DOUBLE, STORAGE_STRING, STORAGE_OBJECT };

Storage get_storage(OfPlugType::Type const& type)
{
    switch (type) {
        case OfPlugType::TYPE_BOOL:
        case OfPlugType::TYPE_LONG:
        case OfPlugType::TYPE_ENUM:
            return STORAGE_LONG;
        case OfPlugType::TYPE_STRING:
        case OfPlugType::TYPE_FILENAME:
            return STORAGE_STRING;
        case OfPlugType::TYPE_REFERENCE:
        case OfPlugType::TYPE_OBJECT:
            return STORAGE_OBJECT;
        default:
            return STORAGE_DOUBLE;
    }
}

}  // namespace

unsigned int OfAttrValues::get_width(OfPlugType::Type const& type)
{
    switch (type) {
        case OfPlugType::TYPE_VEC2D:
            return 2;
        case OfPlugType::TYPE_VEC3D:
        case OfPlugType::TYPE_COLOR:
            return 3;
        default:
            return 1;
    }
}

OfAttrValues::OfAttrValues(OfPlugType::Type const& type, unsigned int const& count) : m_type(type)
{
    switch (get_storage(type)) {
        case STORAGE_LONG:
            m_data.emplace<0>();
            break;
        case STORAGE_DOUBLE:
            m_data.emplace<1>();
            break;
        case STORAGE_STRING:
            m_data.emplace<2>();
            break;
        case STORAGE_OBJECT:
            m_data.emplace<3>();
            break;
    }
    set_count(count);
}

unsigned int OfAttrValues::get_count() const
{
    return std::visit(
        [this](auto const& v) { return static_cast<unsigned int>(v.size() / get_width(m_type)); }, m_data);
}

void OfAttrValues::set_count(unsigned int const& count)
{
    size_t size = size_t(count) * get_width(m_type);
    std::visit([size](auto& v) { v.resize(size); }, m_data);
}

int64_t OfAttrValues::get_long(unsigned int const& index) const
{
    if (auto const* v = std::get_if<0>(&m_data)) return index < v->size() ? (*v)[index] : 0;
    if (auto const* v = std::get_if<1>(&m_data)) {
        size_t i = size_t(index) * get_width(m_type);
        return i < v->size() ? static_cast<int64_t>((*v)[i]) : 0;
    }
    return 0;
}

double OfAttrValues::get_double(unsigned int const& index) const
{
    if (auto const* v = std::get_if<1>(&m_data)) {
        size_t i = size_t(index) * get_width(m_type);
        return i < v->size() ? (*v)[i] : 0.0;
    }
    if (auto const* v = std::get_if<0>(&m_data))
        return index < v->size() ? static_cast<double>((*v)[index]) : 0.0;
    return 0.0;
}

GMathVec2<double> OfAttrValues::get_vec2d(unsigned int const& index) const
{
    GMathVec2<double> result;
    auto const* v = std::get_if<1>(&m_data);
    unsigned int width = get_width(m_type);
    size_t i = size_t(index) * width;
    if (!v || i + width > v->size()) return result;
    for (unsigned int c = 0; c < 2 && c < width; ++c) result[c] = (*v)[i + c];
    return result;
}

GMathVec3<double> OfAttrValues::get_vec3d(unsigned int const& index) const
{
    GMathVec3<double> result;
    auto const* v = std::get_if<1>(&m_data);
    unsigned int width = get_width(m_type);
    size_t i = size_t(index) * width;
    if (!v || i + width > v->size()) return result;
    for (unsigned int c = 0; c < 3 && c < width; ++c) result[c] = (*v)[i + c];
    return result;
}

CoreString const& OfAttrValues::get_string(unsigned int const& index) const
{
    auto const* v = std::get_if<2>(&m_data);
    return v && index < v->size() ? (*v)[index] : CoreString::get_null_string();
}

OfObject* OfAttrValues::get_object(unsigned int const& index) const
{
    auto const* v = std::get_if<3>(&m_data);
    return v && index < v->size() ? (*v)[index] : nullptr;
}

void OfAttrValues::set_long(unsigned int const& index, int64_t const& value)
{
    if (auto* v = std::get_if<0>(&m_data)) {
        if (index < v->size()) (*v)[index] = value;
    } else {
        set_double(index, static_cast<double>(value));
    }
}

void OfAttrValues::set_double(unsigned int const& index, double const& value)
{
    if (auto* v = std::get_if<1>(&m_data)) {
        size_t i = size_t(index) * get_width(m_type);
        if (i < v->size()) (*v)[i] = value;
    } else if (auto* l = std::get_if<0>(&m_data)) {
        if (index < l->size()) (*l)[index] = static_cast<int64_t>(value);
    }
}

void OfAttrValues::set_vec2d(unsigned int const& index, GMathVec2<double> const& value)
{
    auto* v = std::get_if<1>(&m_data);
    unsigned int width = get_width(m_type);
    size_t i = size_t(index) * width;
    if (!v || i + width > v->size()) return;
    for (unsigned int c = 0; c < 2 && c < width; ++c) (*v)[i + c] = value[c];
}

void OfAttrValues::set_vec3d(unsigned int const& index, GMathVec3<double> const& value)
{
    auto* v = std::get_if<1>(&m_data);
    unsigned int width = get_width(m_type);
    size_t i = size_t(index) * width;
    if (!v || i + width > v->size()) return;
    for (unsigned int c = 0; c < 3 && c < width; ++c) (*v)[i + c] = value[c];
}

void OfAttrValues::set_string(unsigned int const& index, CoreBasicString const& value)
{
    auto* v = std::get_if<2>(&m_data);
    if (v && index < v->size()) (*v)[index] = value;
}

void OfAttrValues::set_object(unsigned int const& index, OfObject* const& value)
{
    auto* v = std::get_if<3>(&m_data);
    if (v && index < v->size()) (*v)[index] = value;
}

size_t OfAttrValues::get_memory_size() const
{
    size_t size = sizeof(OfAttrValues);
    if (auto const* v = std::get_if<0>(&m_data)) size += v->capacity() * sizeof(int64_t);
    if (auto const* v = std::get_if<1>(&m_data)) size += v->capacity() * sizeof(double);
    if (auto const* v = std::get_if<2>(&m_data)) {
        size += v->capacity() * sizeof(CoreString);
        for (CoreString const& s : *v) size += s.get_length() > 15 ? s.get_length() + 1 : 0;
    }
    if (auto const* v = std::get_if<3>(&m_data)) size += v->capacity() * sizeof(OfObject*);
    return size;
}
