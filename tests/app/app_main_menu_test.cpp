#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "host/app/app_main_menu.h"
#include "tests/support/log_recorder.h"

namespace {

using Item = AppMainMenuItem;

// Records the menu's events as "EVENT:path" with the index the item has at that moment.
class MenuRecorder : public EventObject {
public:
    explicit MenuRecorder(AppMainMenu& menu)
    {
        for (CoreString const* name : {&EVT_ID_MAIN_MENU_ADDED_COMMAND, &EVT_ID_MAIN_MENU_REMOVED_COMMAND,
                                       &EVT_ID_MAIN_MENU_CHANGED, &EVT_ID_MAIN_MENU_ITEM_MOVED}) {
            connect(menu, *name, &MenuRecorder::on_event);
        }
    }
    void on_event(AppMainMenu& menu, EventInfo const& info, void*)
    {
        Item* item = static_cast<Item*>(info.get_event_data());
        std::string name = info.get_name().std_string().substr(std::string("EVT_ID_MAIN_MENU_").size());
        events.push_back(name + ":" + item->get_path().std_string());
        in_menu.push_back(menu.get_item(item->get_path()) == item);
    }
    std::vector<std::string> events;
    std::vector<bool> in_menu;  // whether the item could be found when the event came
};

std::vector<std::string> names(CoreVector<Item*> const& items)
{
    std::vector<std::string> out;
    for (Item* item : items) out.push_back(item->get_name().std_string());
    return out;
}

void count_call(Item&, void* data)
{
    ++*static_cast<int*>(data);
}

// File (Open..., Recent (a.txt, b.txt), -1, Autosave), Edit
void build(AppMainMenu& menu, int* calls)
{
    menu.add_item("File", Item::KIND_SUB_MENU);
    menu.add_item("File>Open...", Item::KIND_COMMAND, &count_call, calls, "ctrl+o", "icons/open.png");
    menu.add_item("File>Recent", Item::KIND_SUB_MENU);
    menu.add_item("File>Recent>a.txt", Item::KIND_COMMAND);
    menu.add_item("File>Recent>b.txt", Item::KIND_COMMAND);
    menu.add_item("File>-1", Item::KIND_SEPARATOR);
    menu.add_item("File>Autosave", Item::KIND_CHECK, &count_call, calls);
    menu.add_item("Edit", Item::KIND_SUB_MENU);
}

}  // namespace

TEST(AppMainMenu, BuildsATreeAndReportsAdditions)
{
    AppMainMenu menu;
    MenuRecorder recorder(menu);
    int calls = 0;
    build(menu, &calls);

    EXPECT_EQ(names(menu.get_top_items()), (std::vector<std::string>{"File", "Edit"}));
    EXPECT_EQ(names(menu.get_children("File")),
              (std::vector<std::string>{"Open...", "Recent", "-1", "Autosave"}));
    ASSERT_EQ(recorder.events.size(), 8u);
    EXPECT_EQ(recorder.events[3], "ADDED_COMMAND:File>Recent>a.txt");
    EXPECT_EQ(menu.get_item("File>Recent>b.txt")->get_index(), 1u);
}

TEST(AppMainMenu, BadPathsLogOnceAndChangeNothing)
{
    AppMainMenu menu;
    int calls = 0;
    build(menu, &calls);
    MenuRecorder events(menu);
    std::vector<std::string> before = names(menu.get_all_items());

    // Missing parent, parent not a sub-menu, existing item, bad path, bad kind, unknown item,
    // index out of range, not a check item.
    std::vector<std::function<bool()>> cases = {
        [&] { return menu.add_item("File>Recent>Old>x", Item::KIND_COMMAND) != nullptr; },
        [&] { return menu.add_item("File>Open...>x", Item::KIND_COMMAND) != nullptr; },
        [&] { return menu.add_item("File>Recent", Item::KIND_COMMAND) != nullptr; },
        [&] { return menu.add_item("File>>x", Item::KIND_COMMAND) != nullptr; },
        [&] { return menu.add_item("", Item::KIND_COMMAND) != nullptr; },
        [&] { return menu.add_item("Help", static_cast<Item::Kind>(4)) != nullptr; },
        [&] { return menu.remove_item("File>Close"); },
        [&] { return menu.move_item("Edit>Undo", 0); },
        [&] { return menu.move_item("File>Recent", 4); },
        [&] { return menu.set_enabled("Recent", false); },
        [&] { return menu.set_checked("File>Open...", true); },
        [&] { return !menu.get_children("Tools").is_empty(); },
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        LogRecorder log;
        EXPECT_FALSE(cases[i]()) << i;
        EXPECT_EQ(log.count(), 1u) << i << log.dump();
    }
    EXPECT_EQ(names(menu.get_all_items()), before);
    EXPECT_TRUE(events.events.empty());
    EXPECT_TRUE(menu.get_item("File>Recent")->is_enabled());
}

TEST(AppMainMenu, RemoveAndMoveRaiseEventsWithTheItem)
{
    AppMainMenu menu;
    int calls = 0;
    build(menu, &calls);
    MenuRecorder recorder(menu);
    std::vector<std::string> children_seen;
    // While the removal is reported, the item is out of the menu but still readable, with
    // its children and its former parent.
    EventObject::connect(menu, EVT_ID_MAIN_MENU_REMOVED_COMMAND,
                         [](EventObject&, EventObject::EventInfo const& info, void* data) {
                             Item* item = static_cast<Item*>(info.get_event_data());
                             auto* seen = static_cast<std::vector<std::string>*>(data);
                             for (Item* child : item->get_children()) {
                                 seen->push_back(child->get_path().std_string());
                             }
                             Item* parent = item->get_parent();
                             seen->push_back(parent ? parent->get_name().std_string() : "-");
                         },
                         &children_seen);

    EXPECT_TRUE(menu.remove_item("File>Recent"));
    EXPECT_EQ(children_seen, (std::vector<std::string>{"File>Recent>a.txt", "File>Recent>b.txt", "File"}));
    EXPECT_EQ(menu.get_item("File>Recent>a.txt"), nullptr);
    EXPECT_EQ(names(menu.get_children("File")), (std::vector<std::string>{"Open...", "-1", "Autosave"}));

    EXPECT_TRUE(menu.move_item("File>Autosave", 0));
    EXPECT_TRUE(menu.move_item("File>Open...", 2));
    EXPECT_TRUE(menu.move_item("File>Open...", 2));  // already there: no event
    EXPECT_EQ(names(menu.get_children("File")), (std::vector<std::string>{"Autosave", "-1", "Open..."}));
    EXPECT_TRUE(menu.move_item("Edit", 0));

    EXPECT_EQ(recorder.events,
              (std::vector<std::string>{"REMOVED_COMMAND:File>Recent", "ITEM_MOVED:File>Autosave",
                                        "ITEM_MOVED:File>Open...", "ITEM_MOVED:Edit"}));
    EXPECT_EQ(recorder.in_menu, (std::vector<bool>{false, true, true, true}));

    // An item with the removed name can be added again.
    EXPECT_NE(menu.add_item("File>Recent", Item::KIND_SUB_MENU), nullptr);
    recorder.events.clear();
    menu.clear();
    EXPECT_TRUE(menu.get_top_items().is_empty());
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"REMOVED_COMMAND:File", "REMOVED_COMMAND:Edit"}));
}

TEST(AppMainMenu, ChangesAndCommands)
{
    AppMainMenu menu;
    int calls = 0;
    build(menu, &calls);
    MenuRecorder recorder(menu);
    Item& open = *menu.get_item("File>Open...");
    Item& autosave = *menu.get_item("File>Autosave");

    EXPECT_TRUE(menu.run_command(open));
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(menu.set_enabled("File>Open...", false));
    EXPECT_TRUE(menu.set_enabled("File>Open...", false));  // unchanged: no event
    {
        LogRecorder log;
        EXPECT_FALSE(menu.run_command(open));  // disabled
        EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u) << log.dump();
    }
    EXPECT_EQ(calls, 1);

    // A check item toggles before its command runs, and reports the change.
    bool checked_in_command = false;
    menu.set_command("File>Autosave",
                     [](Item& item, void* data) { *static_cast<bool*>(data) = item.is_checked(); },
                     &checked_in_command);
    EXPECT_TRUE(menu.run_command(autosave));
    EXPECT_TRUE(checked_in_command);
    EXPECT_TRUE(menu.set_checked("File>Autosave", false));
    EXPECT_TRUE(menu.set_shortcut("File>Autosave", "ctrl+shift+a"));
    EXPECT_FALSE(menu.run_command(*menu.get_item("File>Recent>a.txt")));  // no command: nothing ran

    EXPECT_EQ(recorder.events,
              (std::vector<std::string>{"CHANGED:File>Open...", "CHANGED:File>Autosave",
                                        "CHANGED:File>Autosave", "CHANGED:File>Autosave",
                                        "CHANGED:File>Autosave"}));
    EXPECT_FALSE(autosave.is_checked());

    // A command may remove its own item.
    auto remove_self = [](Item& item, void*) { item.get_menu().remove_item(item.get_path()); };
    menu.set_command("File>Recent>b.txt", remove_self, nullptr);
    EXPECT_TRUE(menu.run_command(*menu.get_item("File>Recent>b.txt")));
    EXPECT_EQ(menu.get_item("File>Recent>b.txt"), nullptr);

    // Items of another menu are refused.
    AppMainMenu other;
    Item* foreign = other.add_item("Foreign", Item::KIND_COMMAND, &count_call, &calls);
    LogRecorder log;
    EXPECT_FALSE(menu.run_command(*foreign));
    EXPECT_FALSE(menu.run_show_handler(*foreign, nullptr));
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 2u);
    EXPECT_EQ(calls, 1);
}

// A handler of the check item's CHANGED event may remove the item, or the sub-menu holding
// it, or swap its command: run_command reads nothing of the item afterwards and then runs the
// command it found at the start, or none when the item is gone. Meant to run under ASan.
TEST(AppMainMenu, ChangedHandlerOfACheckItemDuringRunCommand)
{
    struct Remover : EventObject {
        std::string path;  // removed by the CHANGED handler when not empty
        bool swap = false;  // replaces the command of File>Autosave instead
        int* calls = nullptr;
        void on_changed(AppMainMenu& menu, EventInfo const&, void*)
        {
            if (!path.empty()) menu.remove_item(path.c_str());
            if (swap) menu.set_command("File>Autosave", nullptr, nullptr);
        }
    };
    for (std::string const removed : {"File>Autosave", "File"}) {
        SCOPED_TRACE(removed);
        AppMainMenu menu;
        int calls = 0;
        build(menu, &calls);
        Remover remover;
        remover.path = removed;
        remover.connect(menu, EVT_ID_MAIN_MENU_CHANGED, &Remover::on_changed);
        EXPECT_FALSE(menu.run_command(*menu.get_item("File>Autosave")));  // no item left to run on
        EXPECT_EQ(calls, 0);
        EXPECT_EQ(menu.get_item("File>Autosave"), nullptr);
        // The next run of another check item is not mistaken for a removal.
        menu.add_item("Grid", Item::KIND_CHECK, &count_call, &calls);
        remover.path.clear();
        EXPECT_TRUE(menu.run_command(*menu.get_item("Grid")));
        EXPECT_EQ(calls, 1);
    }
    AppMainMenu menu;
    int calls = 0;
    build(menu, &calls);
    Remover remover;
    remover.swap = true;
    remover.connect(menu, EVT_ID_MAIN_MENU_CHANGED, &Remover::on_changed);
    EXPECT_TRUE(menu.run_command(*menu.get_item("File>Autosave")));  // the command found first
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(menu.get_item("File>Autosave")->get_command(), nullptr);
}
