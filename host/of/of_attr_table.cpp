#include "host/of/of_attr_table.h"

#include "host/core/core_log.h"
#include "host/of/of_attr.h"
#include "host/of/of_class.h"
#include "host/of/of_command_manager.h"
#include "host/of/of_object.h"
#include "host/of/of_object_factory.h"

CORE_IMPLEMENT_CLASS(OfAttrTableDecl, CoreBaseObject)
CORE_IMPLEMENT_CLASS(OfAttrTable, CoreBaseObject)

OfAttrTableDecl::OfAttrTableDecl(OfClass const& owner, CoreBasicString const& name)
    : m_owner(&owner), m_name(name)
{
}

OfAttrTableDecl& OfAttrTableDecl::add_column(CoreBasicString const& title, CoreBasicString const& attr_name)
{
    int index = m_owner->get_attr_index(attr_name);
    if (index < 0) {
        CORE_LOG_WARNING("OfAttrTableDecl.add_column: class \""
                         << m_owner->get_name() << "\" has no attribute \"" << attr_name << "\" for table \""
                         << m_name << "\"\n");
        return *this;
    }
    m_columns.push_back({title, index});
    return *this;
}

OfAttrTableDecl& OfAttrTableDecl::set_enable_attr(CoreBasicString const& attr_name)
{
    int index = m_owner->get_attr_index(attr_name);
    OfAttrDecl const* decl = index >= 0 ? m_owner->get_attr_decl(static_cast<unsigned int>(index)) : nullptr;
    if (!decl || decl->get_type() != OfPlugType::TYPE_BOOL) {
        CORE_LOG_WARNING("OfAttrTableDecl.set_enable_attr: class \""
                         << m_owner->get_name() << "\" has no bool attribute \"" << attr_name
                         << "\" for table \"" << m_name << "\"\n");
        return *this;
    }
    m_enable_attr = index;
    return *this;
}

OfAttrTableDecl& OfAttrTableDecl::set_metadata(CoreBasicString const& key, CoreBasicString const& value)
{
    for (auto& entry : m_metadata) {
        if (entry.first == key) {
            entry.second = value;
            return *this;
        }
    }
    m_metadata.emplace_back(key, value);
    return *this;
}

CoreString const& OfAttrTableDecl::get_column_title(unsigned int const& column) const
{
    return column < m_columns.size() ? m_columns[column].title : CoreString::get_null_string();
}

int OfAttrTableDecl::get_column_attr_index(unsigned int const& column) const
{
    return column < m_columns.size() ? m_columns[column].attr : -1;
}

CoreString const& OfAttrTableDecl::get_metadata(CoreBasicString const& key) const
{
    for (auto const& entry : m_metadata)
        if (entry.first == key) return entry.second;
    return CoreString::get_null_string();
}

OfAttrTable::OfAttrTable(OfObject& object, CoreBasicString const& name)
    : m_object(&object), m_decl(object.get_class().get_attr_table_decl(name))
{
    if (!m_decl) {
        CORE_LOG_WARNING("OfAttrTable.OfAttrTable: " << object.get_full_name() << " (class " << object.get_class_name()
                                         << ") has no table \"" << name << "\"\n");
    }
}

unsigned int OfAttrTable::get_row_count() const
{
    if (!m_decl || m_decl->get_column_count() == 0) return 0;
    unsigned int rows = ~0u;
    for (unsigned int c = 0; c < m_decl->get_column_count(); ++c) {
        unsigned int count = m_object->get_attr(static_cast<unsigned int>(m_decl->get_column_attr_index(c)))
                                 ->get_value_count();
        if (count < rows) rows = count;
    }
    return rows;
}

unsigned int OfAttrTable::get_column_count() const
{
    return m_decl ? m_decl->get_column_count() : 0;
}

CoreString const& OfAttrTable::get_column_title(unsigned int const& column) const
{
    return m_decl ? m_decl->get_column_title(column) : CoreString::get_null_string();
}

OfAttr* OfAttrTable::get_column_attr(unsigned int const& column) const
{
    if (column >= get_column_count()) {
        CORE_LOG_WARNING("OfAttrTable.get_column_attr: column " << column << " out of range ("
                                                                << get_column_count() << " columns)\n");
        return nullptr;
    }
    return m_object->get_attr(static_cast<unsigned int>(m_decl->get_column_attr_index(column)));
}

OfAttr* OfAttrTable::get_cell_attr(char const* operation, unsigned int const& row,
                                   unsigned int const& column) const
{
    if (column >= get_column_count() || row >= get_row_count()) {
        CORE_LOG_WARNING("OfAttrTable." << operation << ": cell (" << row << ", " << column
                                        << ") out of range (" << get_row_count() << " rows, "
                                        << get_column_count() << " columns)\n");
        return nullptr;
    }
    return m_object->get_attr(static_cast<unsigned int>(m_decl->get_column_attr_index(column)));
}

bool OfAttrTable::get_bool(unsigned int const& row, unsigned int const& column) const
{
    OfAttr* attr = get_cell_attr("get_bool", row, column);
    return attr && attr->get_bool(row);
}

int64_t OfAttrTable::get_long(unsigned int const& row, unsigned int const& column) const
{
    OfAttr* attr = get_cell_attr("get_long", row, column);
    return attr ? attr->get_long(row) : 0;
}

double OfAttrTable::get_double(unsigned int const& row, unsigned int const& column) const
{
    OfAttr* attr = get_cell_attr("get_double", row, column);
    return attr ? attr->get_double(row) : 0.0;
}

CoreString const& OfAttrTable::get_string(unsigned int const& row, unsigned int const& column) const
{
    OfAttr* attr = get_cell_attr("get_string", row, column);
    return attr ? attr->get_string(row) : CoreString::get_null_string();
}

bool OfAttrTable::is_row_enabled(unsigned int const& row) const
{
    if (!m_decl || m_decl->get_enable_attr_index() < 0) return true;
    OfAttr* attr = m_object->get_attr(static_cast<unsigned int>(m_decl->get_enable_attr_index()));
    return row >= attr->get_value_count() || attr->get_bool(row);
}

CoreString const& OfAttrTable::get_metadata(CoreBasicString const& key) const
{
    return m_decl ? m_decl->get_metadata(key) : CoreString::get_null_string();
}

namespace {

// Attribute indexes of the columns and of the enable attribute, each once.
CoreVector<unsigned int> get_table_attrs(OfAttrTableDecl const& decl)
{
    CoreVector<unsigned int> attrs;
    for (unsigned int c = 0; c < decl.get_column_count(); ++c) {
        unsigned int index = static_cast<unsigned int>(decl.get_column_attr_index(c));
        if (!attrs.contains(index)) attrs.add(index);
    }
    if (decl.get_enable_attr_index() >= 0 &&
        !attrs.contains(static_cast<unsigned int>(decl.get_enable_attr_index())))
        attrs.add(static_cast<unsigned int>(decl.get_enable_attr_index()));
    return attrs;
}

// Rows change every column together: a column with a fixed number of values refuses the
// change before any column is touched, so no half-applied step is left.
template <class Attrs>
bool check_rows_variable(char const* operation, OfObject& object, Attrs const& attrs)
{
    for (unsigned int index : attrs) {
        OfAttr const* attr = object.get_attr(index);
        if (attr->is_variable()) continue;
        CORE_LOG_WARNING("OfAttrTable." << operation << ": " << attr->get_full_name()
                                        << " has a fixed number of values ("
                                        << attr->get_value_count() << ")\n");
        return false;
    }
    return true;
}

}  // namespace

bool OfAttrTable::add_row()
{
    if (!m_decl) return false;
    unsigned int rows = get_row_count();
    auto const attrs = get_table_attrs(*m_decl);
    if (!check_rows_variable("add_row", *m_object, attrs)) return false;
    OfCommandManager& commands = m_object->get_factory().get_command_manager();
    bool ok = true;
    commands.begin_batch("Add Table Row");
    for (unsigned int index : attrs)
        ok = m_object->get_attr(index)->set_value_count(rows + 1) && ok;
    commands.end_batch();
    return ok;
}

bool OfAttrTable::remove_row(unsigned int const& row)
{
    if (!m_decl) return false;
    unsigned int rows = get_row_count();
    if (row >= rows) {
        CORE_LOG_WARNING("OfAttrTable.remove_row: row " << row << " out of range (" << rows << " rows)\n");
        return false;
    }
    auto const attrs = get_table_attrs(*m_decl);
    if (!check_rows_variable("remove_row", *m_object, attrs)) return false;
    OfCommandManager& commands = m_object->get_factory().get_command_manager();
    bool ok = true;
    commands.begin_batch("Remove Table Row");
    for (unsigned int index : attrs) {
        OfAttr* attr = m_object->get_attr(index);
        OfAttrValues values = attr->get_values();
        // Shift the rows after `row` up, then drop the last one.
        OfAttrValues shifted(values.get_type(), values.get_count() - 1);
        for (unsigned int from = 0, to = 0; from < values.get_count(); ++from) {
            if (from == row) continue;
            switch (values.get_type()) {
                case OfPlugType::TYPE_STRING:
                case OfPlugType::TYPE_FILENAME:
                    shifted.set_string(to, values.get_string(from));
                    break;
                case OfPlugType::TYPE_VEC2D:
                    shifted.set_vec2d(to, values.get_vec2d(from));
                    break;
                case OfPlugType::TYPE_VEC3D:
                case OfPlugType::TYPE_COLOR:
                    shifted.set_vec3d(to, values.get_vec3d(from));
                    break;
                case OfPlugType::TYPE_REFERENCE:
                    shifted.set_object(to, values.get_object(from));
                    break;
                case OfPlugType::TYPE_DOUBLE:
                    shifted.set_double(to, values.get_double(from));
                    break;
                default:
                    shifted.set_long(to, values.get_long(from));
                    break;
            }
            ++to;
        }
        ok = attr->set_values(shifted) && ok;
    }
    commands.end_batch();
    return ok;
}
