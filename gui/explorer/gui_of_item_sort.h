#pragma once
// Orders of scene items in item views (the item spreadsheets and the explorer). Each item is
// described once by a comparison record; comparators read only records, so sorting n items
// costs n record builds and n log n cheap comparisons.
//
// Natural name order: names are lower-cased and split into a base and a trailing number
// (CoreNameServer::split_name); bases compare byte by byte, equal bases by number, so
// "item2" comes before "item10" and "item" (number 0) before "item1".
//
//     std::vector<name_and_number_for_qsort> records(items.get_count());
//     for (size_t i = 0; i < records.size(); ++i) GuiOfItemSort::make_record(*items[i], records[i]);
//     GuiOfItemSort::sort(records, GuiOfItemSort::KEY_NAME, 1);
#include <cstdint>
#include <vector>

#include "gui/core/gui_export.h"
#include "host/core/core_string.h"
#include "host/of/of_handle.h"

class OfContext;
class OfItem;

// One item as the comparators see it.
struct QN_GUI_API name_and_number_for_qsort {
    CoreString base;          // the lower-cased name without its trailing digits
    unsigned int number = 0;  // the trailing number; 0 when the name has none
    OfHandle handle;
    OfContext* context = nullptr;
    OfItem* item = nullptr;
};

class QN_GUI_API GuiOfItemSort {
public:
    // Column keys of the item views; a column's key is its identity and its sort key.
    enum Key : int {
        KEY_NAME = 0,
        KEY_MODIFICATION_DATE = 1,
        KEY_CREATION_DATE = 2,
        KEY_TYPE = 3,
        KEY_SOURCE = 4,
        KEY_PATH = 5,
        KEY_HAS_OBJECT = 6,
        KEY_COMMENT = 7,
        KEY_COLOR = 8,  // sorting only: the colour tags of the Name column
        KEY_COUNT
    };
    using Comparator = int (*)(name_and_number_for_qsort const&, name_and_number_for_qsort const&);

    GuiOfItemSort() = delete;

    static void make_record(OfItem& item, name_and_number_for_qsort& record);
    // -1, 0 or 1 (see above).
    static int compare_names(name_and_number_for_qsort const& a, name_and_number_for_qsort const& b);
    // Natural order of two plain names.
    static int compare_names(CoreBasicString const& a, CoreBasicString const& b);

    // Ascending comparators; each falls back to the name order on ties (the path order is
    // total by itself).
    static int qsort_order_by_name_compare(name_and_number_for_qsort const& a, name_and_number_for_qsort const& b);
    static int qsort_order_by_modified_date_compare(name_and_number_for_qsort const& a,
                                                    name_and_number_for_qsort const& b);
    static int qsort_order_by_creation_date_compare(name_and_number_for_qsort const& a,
                                                    name_and_number_for_qsort const& b);
    static int qsort_order_by_type_compare(name_and_number_for_qsort const& a, name_and_number_for_qsort const& b);
    static int qsort_order_by_source_compare(name_and_number_for_qsort const& a, name_and_number_for_qsort const& b);
    static int qsort_order_by_path_compare(name_and_number_for_qsort const& a, name_and_number_for_qsort const& b);
    static int qsort_order_by_has_object(name_and_number_for_qsort const& a, name_and_number_for_qsort const& b);
    static int qsort_order_by_comment_compare(name_and_number_for_qsort const& a, name_and_number_for_qsort const& b);
    static int qsort_order_by_color_compare(name_and_number_for_qsort const& a, name_and_number_for_qsort const& b);

    // The ascending comparator of a key (the name order for keys without one).
    static Comparator get_comparator(int const& key);
    // Compares in the direction of `order`: 1 ascending, anything else descending.
    static int compare(int const& key, int const& order, name_and_number_for_qsort const& a,
                       name_and_number_for_qsort const& b);
    // Sorts the records by key (stable: ties keep their order); order 0 leaves them in
    // scene order.
    static void sort(std::vector<name_and_number_for_qsort>& records, int const& key, int const& order);

    // What the Type column shows and sorts by: the class name of an object, "Context" for a
    // context.
    static CoreString get_type_name(OfItem const& item);
    // The name of the item an object is an instance of, or a reference context's source;
    // empty when none.
    static CoreString get_source_name(OfItem const& item);
    // True when the item holds objects: a context with objects, an object with embedded ones.
    static bool has_object(OfItem const& item);
};
