#pragma once
// Attribute tables: several attributes of one object shown as the columns of a table, value
// i of every column making row i (a list of lights with their names, intensities and an
// "enabled" flag, say). A class declares its tables (OfClass::add_attr_table); an
// OfAttrTable is a light view of one object's table:
//
//     OfAttrTableDecl& lights = light_rig->add_attr_table("lights");
//     lights.add_column("Name", "light_names").add_column("Intensity", "light_intensities");
//     lights.set_enable_attr("light_enabled");
//     ...
//     OfAttrTable table(*rig_object, "lights");
//     for (unsigned int row = 0; row < table.get_row_count(); ++row)
//         if (table.is_row_enabled(row)) ... table.get_double(row, 1) ...
//
// Column attributes should be variable (OfAttrDecl::set_variable) so rows can be added.
#include <utility>
#include <vector>

#include "host/core/core_base_object.h"
#include "host/core/core_export.h"
#include "host/core/core_string.h"

class OfAttr;
class OfClass;
class OfObject;

// A table declared by a class: titled columns, each naming an attribute of the class, an
// optional bool attribute saying which rows are enabled, and metadata.
class QN_HOST_API OfAttrTableDecl : public CoreBaseObject {
    CORE_DECLARE_CLASS(OfAttrTableDecl, CoreBaseObject)

public:
    OfAttrTableDecl(OfClass const& owner, CoreBasicString const& name);

    CoreString const& get_name() const { return m_name; }
    // Columns name attributes of the owner class (inherited ones included); an unknown
    // attribute is refused with a message.
    OfAttrTableDecl& add_column(CoreBasicString const& title, CoreBasicString const& attr_name);
    OfAttrTableDecl& set_enable_attr(CoreBasicString const& attr_name);
    OfAttrTableDecl& set_metadata(CoreBasicString const& key, CoreBasicString const& value);

    unsigned int get_column_count() const { return static_cast<unsigned int>(m_columns.size()); }
    CoreString const& get_column_title(unsigned int const& column) const;
    // Attribute index of a column, or -1 out of range.
    int get_column_attr_index(unsigned int const& column) const;
    int const& get_enable_attr_index() const { return m_enable_attr; }
    // "" when absent.
    CoreString const& get_metadata(CoreBasicString const& key) const;

private:
    struct Column {
        CoreString title;
        int attr;
    };
    OfClass const* m_owner;
    CoreString m_name;
    std::vector<Column> m_columns;
    int m_enable_attr = -1;
    std::vector<std::pair<CoreString, CoreString>> m_metadata;
};

// One object's table. Invalid (no rows, no columns) when the object's class has no table
// of that name.
class QN_HOST_API OfAttrTable : public CoreBaseObject {
    CORE_DECLARE_CLASS(OfAttrTable, CoreBaseObject)

public:
    OfAttrTable(OfObject& object, CoreBasicString const& name);

    bool is_valid() const { return m_decl != nullptr; }
    OfObject& get_object() const { return *m_object; }
    // The smallest value count of the columns.
    unsigned int get_row_count() const;
    unsigned int get_column_count() const;
    CoreString const& get_column_title(unsigned int const& column) const;
    // Null (with a message) out of range.
    OfAttr* get_column_attr(unsigned int const& column) const;

    // Values of a cell; out of range gives a message and zero, false or "".
    bool get_bool(unsigned int const& row, unsigned int const& column) const;
    int64_t get_long(unsigned int const& row, unsigned int const& column) const;
    double get_double(unsigned int const& row, unsigned int const& column) const;
    CoreString const& get_string(unsigned int const& row, unsigned int const& column) const;
    // True when the table has no enable attribute or its value for the row is true.
    bool is_row_enabled(unsigned int const& row) const;
    CoreString const& get_metadata(CoreBasicString const& key) const;

    // Rows are added (with default values) and removed on every column and the enable
    // attribute at once, as one undo step.
    bool add_row();
    bool remove_row(unsigned int const& row);

private:
    OfAttr* get_cell_attr(char const* operation, unsigned int const& row, unsigned int const& column) const;

    OfObject* m_object;
    OfAttrTableDecl const* m_decl = nullptr;
};
