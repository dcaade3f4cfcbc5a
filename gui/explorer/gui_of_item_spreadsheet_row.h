#pragma once
// GuiOfItemSpreadsheetRow: a row of an item spreadsheet, made from a scene item (object or
// context), an attribute, an output or a plain string. It holds what it shows by handle, so
// a row whose item left the scene shows it as removed instead of reading freed memory.
// GuiOfItemSpreadsheetPool: the blocks such rows come from and go back to, so that listing
// and clearing a large scene allocates once per 128 rows and not once per row.
#include <cstddef>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "gui/spreadsheet/gui_spreadsheet_row.h"
#include "host/core/core_string.h"
#include "host/of/of_handle.h"

class GuiOfItemSpreadsheet;

class QN_GUI_API GuiOfItemSpreadsheetRow : public GuiSpreadsheetRow {
    CORE_DECLARE_CLASS(GuiOfItemSpreadsheetRow, GuiSpreadsheetRow)

public:
    enum RowKind : int {
        ROW_KIND_OBJECT = 0,
        ROW_KIND_ATTR = 1,
        ROW_KIND_OUTPUT = 3,
        ROW_KIND_CONTEXT = 4,
        ROW_KIND_STRING = 5,
    };

    explicit GuiOfItemSpreadsheetRow(GuiOfItemSpreadsheet& sheet);

    // Each sets what the row shows and resets the row (cells are made by create_cells).
    void init(OfItem const& item);
    void init(OfAttr const& attr);
    void init(OfOutput const& output);
    void init(CoreString const& text);

    RowKind const& get_kind() const { return m_kind; }
    bool is_item_row() const { return m_kind == ROW_KIND_OBJECT || m_kind == ROW_KIND_CONTEXT; }
    // Null when the row shows something else or its item left the scene.
    OfItem* get_item() const { return is_item_row() ? m_handle.to_item() : nullptr; }
    // The object of an object row, or the object an attribute or output belongs to.
    OfObject* get_object() const;
    OfContext* get_context() const { return m_kind == ROW_KIND_CONTEXT ? m_handle.to_context() : nullptr; }
    OfAttr* get_attr() const { return m_kind == ROW_KIND_ATTR ? m_handle.to_attr() : nullptr; }
    OfPlugType* get_plug() const { return m_handle.to_plug(); }
    OfHandle const& get_handle() const { return m_handle; }
    // The item the row was made for, in the scene or not (the sheet's key for the row); null
    // for other rows.
    OfItem const* get_item_key() const { return m_item_key; }
    CoreString const& get_string() const { return m_string; }
    // The name of what the row shows; "Item removed" once it left the scene.
    CoreString get_item_name() const;
    // The text the row matches filter words against (lower-cased unless `case_sensitive`):
    // its name, then an object's class name and source name, or a context's source name.
    CoreString get_searchable_text(bool const& case_sensitive) const;
    // The same text for an item.
    static CoreString make_searchable_text(OfItem const& item, bool const& case_sensitive);
    // Appends the item's searchable text, as it is, to `text` (no allocation once the
    // buffer is large enough: filters call it for every row).
    static void append_searchable_text(OfItem const& item, std::string& text);

    // Replaces the cells with one per column of the sheet, by the column's key; with
    // `refresh`, the sheet redraws.
    void create_cells(bool const& refresh);

    // The searchable text as filters compare it (lower-cased unless `case_sensitive`), made
    // on first use and kept until forget_searchable_text (the row's item changed): typing a
    // filter then reads each row's own text instead of its item's scattered fields.
    std::string const& get_filter_text(bool const& case_sensitive) const;
    void forget_searchable_text() { m_filter_text_kind = FILTER_TEXT_NONE; }

    // Attribute rows under an object row are made when it first expands.
    bool const& are_children_built() const { return m_children_built; }
    void set_children_built(bool const& built) { m_children_built = built; }
    // Where the row was last seen in its sheet (a hint that lookups check first).
    unsigned int const& get_index_hint() const { return m_index_hint; }
    void set_index_hint(unsigned int const& index) const { m_index_hint = index; }

    size_t get_memory_size() const override;

private:
    void reset(RowKind const& kind, OfHandle const& handle);

    enum FilterTextKind : unsigned char { FILTER_TEXT_NONE, FILTER_TEXT_LOWER, FILTER_TEXT_AS_IS };

    GuiOfItemSpreadsheet* m_sheet;
    OfHandle m_handle;
    OfItem const* m_item_key = nullptr;
    CoreString m_string;
    mutable std::string m_filter_text;
    mutable FilterTextKind m_filter_text_kind = FILTER_TEXT_NONE;
    mutable unsigned int m_index_hint = 0;
    RowKind m_kind = ROW_KIND_STRING;
    bool m_children_built = false;
};

// Objects handed out from blocks of 128, constructed in place the first time a slot is used
// and recycled afterwards; they are destroyed with the pool.
template <typename T>
class GuiOfItemSpreadsheetPool {
public:
    static constexpr size_t BLOCK_SIZE = 128;

    GuiOfItemSpreadsheetPool() = default;
    GuiOfItemSpreadsheetPool(GuiOfItemSpreadsheetPool const&) = delete;
    GuiOfItemSpreadsheetPool& operator=(GuiOfItemSpreadsheetPool const&) = delete;
    ~GuiOfItemSpreadsheetPool() { clean(); }

    // A recycled object, or a new one made with `args` in the next free slot.
    template <typename... Args>
    T* get(Args&&... args)
    {
        if (!m_free.empty()) {
            T* object = m_free.back();
            m_free.pop_back();
            return object;
        }
        if (m_blocks.empty() || m_used_in_last == BLOCK_SIZE) {
            m_blocks.push_back(static_cast<T*>(::operator new(sizeof(T) * BLOCK_SIZE, std::align_val_t(alignof(T)))));
            m_used_in_last = 0;
        }
        return new (m_blocks.back() + m_used_in_last++) T(std::forward<Args>(args)...);
    }
    void release(T* object) { m_free.push_back(object); }
    // Destroys every object, handed out or free, and the blocks.
    void clean()
    {
        for (size_t b = 0; b < m_blocks.size(); ++b) {
            size_t const used = b + 1 == m_blocks.size() ? m_used_in_last : BLOCK_SIZE;
            for (size_t i = 0; i < used; ++i) m_blocks[b][i].~T();
            ::operator delete(m_blocks[b], std::align_val_t(alignof(T)));
        }
        m_blocks.clear();
        m_free.clear();
        m_used_in_last = 0;
    }
    size_t get_block_count() const { return m_blocks.size(); }
    size_t get_free_count() const { return m_free.size(); }
    size_t get_memory_size() const
    {
        return m_blocks.size() * BLOCK_SIZE * sizeof(T) + m_free.capacity() * sizeof(T*);
    }

private:
    std::vector<T*> m_blocks;
    std::vector<T*> m_free;
    size_t m_used_in_last = 0;
};
