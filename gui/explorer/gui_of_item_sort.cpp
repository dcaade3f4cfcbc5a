#include "gui/explorer/gui_of_item_sort.h"

#include <algorithm>
#include <cstring>

#include "host/core/core_name_server.h"
#include "host/of/of_context.h"
#include "host/of/of_item.h"
#include "host/of/of_object.h"

namespace {

int sign(long long const& value)
{
    return value < 0 ? -1 : (value > 0 ? 1 : 0);
}

int compare_bytes(CoreBasicString const& a, CoreBasicString const& b)
{
    size_t const n = std::min(a.get_length(), b.get_length());
    int const c = n ? std::memcmp(a.get_data(), b.get_data(), n) : 0;
    if (c != 0) return c < 0 ? -1 : 1;
    return sign(static_cast<long long>(a.get_length()) - static_cast<long long>(b.get_length()));
}

// An order of two records by a value, names breaking ties.
template <typename Value>
int by_value_then_name(Value const& a, Value const& b, name_and_number_for_qsort const& ra,
                       name_and_number_for_qsort const& rb)
{
    if (a < b) return -1;
    if (b < a) return 1;
    return GuiOfItemSort::compare_names(ra, rb);
}

}  // namespace

void GuiOfItemSort::make_record(OfItem& item, name_and_number_for_qsort& record)
{
    CoreString const lower = item.get_name().get_lower_case();
    CoreNameServer::split_name(lower, record.base, record.number);
    record.handle = OfHandle(&item);
    record.context = item.get_context();
    record.item = &item;
}

int GuiOfItemSort::compare_names(name_and_number_for_qsort const& a, name_and_number_for_qsort const& b)
{
    int const c = compare_bytes(a.base, b.base);
    if (c != 0) return c;
    return a.number < b.number ? -1 : (a.number > b.number ? 1 : 0);
}

int GuiOfItemSort::compare_names(CoreBasicString const& a, CoreBasicString const& b)
{
    name_and_number_for_qsort ra, rb;
    CoreNameServer::split_name(CoreString(a).get_lower_case(), ra.base, ra.number);
    CoreNameServer::split_name(CoreString(b).get_lower_case(), rb.base, rb.number);
    return compare_names(ra, rb);
}

int GuiOfItemSort::qsort_order_by_name_compare(name_and_number_for_qsort const& a, name_and_number_for_qsort const& b)
{
    return compare_names(a, b);
}

int GuiOfItemSort::qsort_order_by_modified_date_compare(name_and_number_for_qsort const& a,
                                                        name_and_number_for_qsort const& b)
{
    return by_value_then_name(a.item->get_modification_time(), b.item->get_modification_time(), a, b);
}

int GuiOfItemSort::qsort_order_by_creation_date_compare(name_and_number_for_qsort const& a,
                                                        name_and_number_for_qsort const& b)
{
    return by_value_then_name(a.item->get_creation_time(), b.item->get_creation_time(), a, b);
}

int GuiOfItemSort::qsort_order_by_type_compare(name_and_number_for_qsort const& a, name_and_number_for_qsort const& b)
{
    int const c = compare_bytes(get_type_name(*a.item), get_type_name(*b.item));
    return c != 0 ? c : compare_names(a, b);
}

int GuiOfItemSort::qsort_order_by_source_compare(name_and_number_for_qsort const& a, name_and_number_for_qsort const& b)
{
    int const c = compare_names(get_source_name(*a.item), get_source_name(*b.item));
    return c != 0 ? c : compare_names(a, b);
}

int GuiOfItemSort::qsort_order_by_path_compare(name_and_number_for_qsort const& a, name_and_number_for_qsort const& b)
{
    return compare_bytes(a.item->get_full_name(), b.item->get_full_name());
}

int GuiOfItemSort::qsort_order_by_has_object(name_and_number_for_qsort const& a, name_and_number_for_qsort const& b)
{
    // Items that hold objects come first.
    return by_value_then_name(!has_object(*a.item), !has_object(*b.item), a, b);
}

int GuiOfItemSort::qsort_order_by_comment_compare(name_and_number_for_qsort const& a,
                                                  name_and_number_for_qsort const& b)
{
    int const c = compare_bytes(a.item->get_comment(), b.item->get_comment());
    return c != 0 ? c : compare_names(a, b);
}

int GuiOfItemSort::qsort_order_by_color_compare(name_and_number_for_qsort const& a, name_and_number_for_qsort const& b)
{
    // Tagged items by tag index, untagged ones (tag 0) after them.
    auto rank = [](OfItem const& item) {
        unsigned int const tag = item.get_colortag();
        return tag == 0 ? ~0u : tag;
    };
    return by_value_then_name(rank(*a.item), rank(*b.item), a, b);
}

GuiOfItemSort::Comparator GuiOfItemSort::get_comparator(int const& key)
{
    switch (key) {
    case KEY_MODIFICATION_DATE: return &qsort_order_by_modified_date_compare;
    case KEY_CREATION_DATE: return &qsort_order_by_creation_date_compare;
    case KEY_TYPE: return &qsort_order_by_type_compare;
    case KEY_SOURCE: return &qsort_order_by_source_compare;
    case KEY_PATH: return &qsort_order_by_path_compare;
    case KEY_HAS_OBJECT: return &qsort_order_by_has_object;
    case KEY_COMMENT: return &qsort_order_by_comment_compare;
    case KEY_COLOR: return &qsort_order_by_color_compare;
    default: return &qsort_order_by_name_compare;
    }
}

int GuiOfItemSort::compare(int const& key, int const& order, name_and_number_for_qsort const& a,
                           name_and_number_for_qsort const& b)
{
    Comparator const comparator = get_comparator(key);
    return order == 1 ? comparator(a, b) : comparator(b, a);
}

void GuiOfItemSort::sort(std::vector<name_and_number_for_qsort>& records, int const& key, int const& order)
{
    if (order == 0) return;
    Comparator const comparator = get_comparator(key);
    if (order == 1)
        std::stable_sort(records.begin(), records.end(),
                         [comparator](auto const& a, auto const& b) { return comparator(a, b) < 0; });
    else
        std::stable_sort(records.begin(), records.end(),
                         [comparator](auto const& a, auto const& b) { return comparator(b, a) < 0; });
}

CoreString GuiOfItemSort::get_type_name(OfItem const& item)
{
    if (OfObject const* object = item.to_object()) return object->get_class_name();
    return "Context";
}

CoreString GuiOfItemSort::get_source_name(OfItem const& item)
{
    if (OfObject const* object = item.to_object()) {
        OfObject const* source = object->get_source();
        return source ? source->get_name() : CoreString();
    }
    return CoreString();
}

bool GuiOfItemSort::has_object(OfItem const& item)
{
    if (OfObject const* object = item.to_object()) return object->get_embedded_object_count() > 0;
    if (OfContext const* context = item.to_context()) return !context->get_objects().is_empty();
    return false;
}
