// The mouse listeners' handler on its own: queued additions and removals, applied in order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/core/gui_app_pending_callback_handler.h"

namespace {

using Handler = GuiAppPendingCallbackHandler;

void listener_a(GuiWidget&, CoreString const&, void*) {}
void listener_b(GuiWidget&, CoreString const&, void*) {}

int first_data = 1;
int second_data = 2;

// One queued change: '+' adds, '-' removes; 'a' and 'b' name the callback, 1 and 2 the data.
struct Change {
    char operation;
    char callback;
    int data;
};

struct Row {
    char const* what;
    std::vector<Change> changes;
    std::vector<std::string> expected;  // "a1", "b2", ... in list order
};

std::string name_of(Handler::Listener const& listener)
{
    return std::string(listener.callback == &listener_a ? "a" : "b") + (listener.data == &first_data ? "1" : "2");
}

TEST(GuiAppPendingCallbackHandler, ChangesWaitForApplyAndTakeEffectInOrder)
{
    Row const rows[] = {
        {"additions append", {{'+', 'a', 1}, {'+', 'b', 1}, {'+', 'a', 2}}, {"a1", "b1", "a2"}},
        {"a removal takes the first equal listener", {{'+', 'a', 1}, {'+', 'b', 1}, {'+', 'a', 1}, {'-', 'a', 1}},
         {"b1", "a1"}},
        {"a removal matches callback and data", {{'+', 'a', 1}, {'-', 'a', 2}, {'-', 'b', 1}}, {"a1"}},
        {"a removal before its addition removes nothing", {{'-', 'a', 1}, {'+', 'a', 1}}, {"a1"}},
        {"an addition and its removal in one batch", {{'+', 'a', 1}, {'-', 'a', 1}}, {}},
    };
    for (Row const& row : rows) {
        Handler handler;
        for (Change const& change : row.changes) {
            Handler::MouseListener const callback = change.callback == 'a' ? &listener_a : &listener_b;
            void* const data = change.data == 1 ? &first_data : &second_data;
            if (change.operation == '+')
                handler.add(callback, data);
            else
                handler.remove(callback, data);
        }
        EXPECT_TRUE(handler.get_listeners().is_empty()) << row.what;
        handler.apply_changes();
        std::vector<std::string> names;
        for (Handler::Listener const& listener : handler.get_listeners()) names.push_back(name_of(listener));
        EXPECT_EQ(names, row.expected) << row.what;
        handler.apply_changes();  // applied changes are gone
        EXPECT_EQ(handler.get_listeners().get_count(), row.expected.size()) << row.what;
    }
}

}  // namespace
