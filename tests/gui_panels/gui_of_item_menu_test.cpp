// The item context menu and the drop menu: their entries, shortcut texts and enabled state
// for a few selections, and what picking an entry does.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "gui/fields/gui_line_edit.h"
#include "gui/menus/gui_list_button.h"
#include "gui/panels/gui_browser_picker.h"
#include "gui/panels/gui_input_dialog.h"
#include "gui/panels/gui_of_item_menu.h"
#include "host/app/sdk_helpers.h"
#include "host/of/of_class_factory.h"
#include "tests/gui_controls/controls_test_util.h"
#include "tests/gui_panels/item_scene_test.h"

namespace {

using Items = CoreVector<OfItem*>;

class GuiOfItemMenuTest : public ItemSceneTest {
protected:
    GuiOfItemMenu& menu(CoreVector<OfClass const*> const& filter = {})
    {
        if (!m_menu) {
            m_owner = &make_window(300, 200);
            m_menu = new GuiOfItemMenu(*m_owner, filter);
        }
        return *m_menu;
    }
    GuiMenuItem& entry(GuiMenu& in, char const* name)
    {
        GuiMenuItem* found = in.get_item(name);
        EXPECT_NE(found, nullptr) << name;
        return found ? *found : *in.get_items()[0];
    }
    // Opens the menu (a sub-menu on its own) and clicks the entry.
    void pick(GuiMenu& in, char const* name)
    {
        in.popup(100, 100);
        pump_events(app());
        CoreVector<GuiMenuItem*> const rows = in.get_displayed_items();
        for (unsigned int row = 0; row < rows.get_count(); ++row)
            if (rows[row]->get_name() == name) return click_menu_row(in, static_cast<int>(row));
        ADD_FAILURE() << "no row " << name;
    }
    // Runs `open` and, once the dialog it opens is up, `answer` on it.
    void answer(std::function<void()> const& open, std::function<void(GuiInputDialog&)> answer)
    {
        m_answer = answer;
        app().add_timer(
            [](void* data) {
                auto* self = static_cast<GuiOfItemMenuTest*>(data);
                GuiInputDialog* dialog = self->m_menu->get_open_dialog();
                ASSERT_NE(dialog, nullptr);
                self->m_answer(*dialog);
            },
            this, 0.05);
        open();
    }
    template <class Field>
    static Field* find_child(GuiWidget& parent)
    {
        for (GuiWidget* child : parent.get_children())
            if (child->is_kindof(Field::class_info())) return static_cast<Field*>(child);
        return nullptr;
    }

    GuiWindow* m_owner = nullptr;
    GuiOfItemMenu* m_menu = nullptr;
    std::function<void(GuiInputDialog&)> m_answer;
};

TEST_F(GuiOfItemMenuTest, TheItemsMenuListsEveryCommandInGroupsWithItsShortcut)
{
    menu().build_items_menu(ball);
    EXPECT_EQ(item_names(menu()), (Names{"New",
                                         "Open With",
                                         "-",
                                         "Cut",
                                         "Copy",
                                         "Copy With Dependencies",
                                         "Paste",
                                         "-",
                                         "Reference",
                                         "-",
                                         "Instantiate",
                                         "Make Local",
                                         "Make Instance Of...",
                                         "Edit",
                                         "Unedit",
                                         "-",
                                         "Group...",
                                         "-",
                                         "Combine",
                                         "Combine...",
                                         "-",
                                         "Contextualize",
                                         "-",
                                         "Create Shading Layer",
                                         "-",
                                         "Isolate",
                                         "-",
                                         "Disable",
                                         "Enable",
                                         "-",
                                         "Delete",
                                         "Permanently Delete",
                                         "-",
                                         "Rename",
                                         "-",
                                         "Unload Resources",
                                         "-",
                                         "Color Tag"}));
    for (auto const& [name, shortcut] :
         std::vector<std::pair<char const*, char const*>>{{"Cut", "ctrl+x"},
                                                          {"Copy", "ctrl+c"},
                                                          {"Copy With Dependencies", "ctrl+shift+d"},
                                                          {"Paste", "ctrl+v"},
                                                          {"Disable", "ctrl+d"},
                                                          {"Enable", "shift+d"},
                                                          {"Delete", "del"},
                                                          {"Permanently Delete", "shift+del"},
                                                          {"Rename", "F2"},
                                                          {"Group...", ""}})
        EXPECT_EQ(entry(menu(), name).get_shortcut(), shortcut) << name;
    GuiMenu& isolate = *entry(menu(), "Isolate").get_sub_menu();
    EXPECT_EQ(item_names(isolate), (Names{"Isolate", "Isolate more", "Isolate less", "Isolate swap"}));
    EXPECT_EQ(isolate.get_items()[0]->get_shortcut(), "shift+i");
    EXPECT_EQ(item_names(*entry(menu(), "Reference").get_sub_menu()),
              (Names{"Revert Overrides", "Make Local", "Export Context..."}));
    EXPECT_EQ(item_names(*entry(menu(), "Combine...").get_sub_menu()),
              (Names{"Scene Objects...", "Shading Layers..."}));
    Names tags = item_names(*entry(menu(), "Color Tag").get_sub_menu());
    tags.resize(3);
    EXPECT_EQ(tags, (Names{"Apply Color Tag to selection", "Clear Color Tag on selection", "Clear"}));
    EXPECT_EQ(menu().get_preselected_item(), ball);
    CoreVariant stored;
    ASSERT_TRUE(menu().get_custom_data(CoreCustomData::get_custom_data_key("menu_preselected_item"), stored));
    EXPECT_EQ(stored.to_pointer(), static_cast<void*>(ball));
}

TEST_F(GuiOfItemMenuTest, EntriesAreEnabledOnlyWhenTheirCommandIsAllowed)
{
    struct Row {
        char const* what;
        OfItem* item;
        Items selection;
        std::vector<std::pair<char const*, bool>> enabled;
    };
    std::vector<Row> const rows = {
        {"an object",
         ball,
         {},
         {{"New", true},
          {"Cut", true},
          {"Paste", false},
          {"Instantiate", true},
          {"Edit", false},
          {"Reference", false},
          {"Disable", true},
          {"Enable", false},
          {"Rename", true},
          {"Create Shading Layer", false},
          {"Unload Resources", false},
          {"Open With", false}}},
        {"inside a reference",
         inside,
         {},
         {{"New", false},
          {"Cut", false},
          {"Copy", true},
          {"Make Local", true},
          {"Reference", true},
          {"Delete", false},
          {"Rename", false},
          {"Color Tag", false}}},
        {"a reference",
         refs,
         {},
         {{"Edit", true}, {"Unedit", false}, {"Instantiate", false}, {"New", false}, {"Combine", false}}},
        {"a selection",
         ball,
         {ball, box},
         {{"Group...", true}, {"Combine", true}, {"Rename", true}, {"Make Instance Of...", true}}},
        {"the root", &root(), {}, {{"New", true}, {"Delete", false}, {"Rename", false}, {"Isolate", true}}},
    };
    for (Row const& row : rows) {
        menu().set_items(row.selection);
        menu().build_items_menu(row.item);
        for (auto const& [name, enabled] : row.enabled)
            EXPECT_EQ(entry(menu(), name).is_enabled(), enabled) << row.what << ": " << name;
    }
}

TEST_F(GuiOfItemMenuTest, APickedCommandActsOnTheSelectionInOneStepAndForgetsTheItem)
{
    menu().set_items(Items{ball, box});
    menu().build_items_menu(ball);
    pick(menu(), "Disable");
    EXPECT_TRUE(ball->is_disabled());
    EXPECT_TRUE(box->is_disabled());
    EXPECT_EQ(commands().get_undo_count(), 1u);
    EXPECT_EQ(menu().get_preselected_item(), nullptr);
    EXPECT_FALSE(menu().has_custom_data(CoreCustomData::get_custom_data_key("menu_preselected_item")));

    // Without a selection, the item the menu was built for; from a sub-menu too.
    menu().set_items({});
    menu().build_items_menu(red);
    pick(*entry(menu(), "Isolate").get_sub_menu(), "Isolate");
    EXPECT_EQ(commands().get_undo_label(), "Isolate Items");
    EXPECT_TRUE(SdkHelpers::is_item_displayed(*red));
    EXPECT_FALSE(SdkHelpers::is_item_displayed(*checker));
}

TEST_F(GuiOfItemMenuTest, RenameAsksTheOwnerWithTheItem)
{
    menu().set_items(Items{ball, box});
    menu().build_items_menu(box);
    OfItem* asked = nullptr;
    EventObject::connect(
        *m_owner, EVT_ID_BROWSER_MENU_RENAME_ITEM,
        [](EventObject&, EventObject::EventInfo const& info, void* data) {
            *static_cast<OfItem**>(data) = static_cast<OfItem*>(info.get_event_data());
        },
        &asked);
    pick(menu(), "Rename");
    EXPECT_EQ(asked, box);
    EXPECT_EQ(commands().get_undo_count(), 0u);
}

TEST_F(GuiOfItemMenuTest, GroupAndCombineAskFirst)
{
    menu().set_items(Items{ball, box});
    menu().build_items_menu(ball);
    answer([&] { pick(menu(), "Group..."); },
           [](GuiInputDialog& dialog) {
               EXPECT_EQ(dialog.get_title(), "Group");
               find_child<GuiLineEdit>(dialog)->set_text("pair");
               dialog.accept();
           });
    EXPECT_EQ(ball->get_full_name(), "/geo/pair/ball");
    EXPECT_EQ(box->get_full_name(), "/geo/pair/box");

    menu().build_items_menu(ball);
    answer([&] { pick(*entry(menu(), "Combine...").get_sub_menu(), "Scene Objects..."); },
           [](GuiInputDialog& dialog) {
               EXPECT_EQ(dialog.get_title(), "Combine Options");
               find_child<GuiListButton>(dialog)->set_selected_index(1);
               dialog.accept();
           });
    OfObject* combiner = ball->get_context()->get_object("combiner");
    ASSERT_NE(combiner, nullptr);
    EXPECT_EQ(combiner->get_position(), GMathVec2<double>()) << "pivot at the origin";

    unsigned int const steps = commands().get_undo_count();
    menu().build_items_menu(ball);
    answer([&] { pick(menu(), "Group..."); }, [](GuiInputDialog& dialog) { dialog.cancel(); });
    EXPECT_EQ(commands().get_undo_count(), steps) << "cancelled";
}

TEST_F(GuiOfItemMenuTest, MakeInstanceOfPicksTheSource)
{
    menu().build_items_menu(box);
    answer([&] { pick(menu(), "Make Instance Of..."); },
           [&](GuiInputDialog& dialog) {
               auto& picker = static_cast<GuiBrowserPicker&>(dialog);
               picker.set_filter("checker");
               dialog.accept();
           });
    OfObject* instance = geo->get_object("box");
    ASSERT_NE(instance, nullptr);
    EXPECT_EQ(instance->get_source(), checker);
}

TEST_F(GuiOfItemMenuTest, NewListsTheCreatableClassesTheFilterAdmits)
{
    menu({scene().get_classes().get("Geometry")}).build_items_menu(box);
    GuiMenu& created = *entry(menu(), "New").get_sub_menu();
    EXPECT_EQ(item_names(created), (Names{"Box", "Mesh", "Sphere"}));
    pick(created, "Sphere");
    OfObject* sphere = geo->get_object("sphere");
    ASSERT_NE(sphere, nullptr);
    EXPECT_EQ(sphere->get_class_name(), "Sphere");

    // A context lists into itself; a menu populated alone holds only "New".
    menu().populate(sub, true);
    EXPECT_EQ(item_names(menu()), (Names{"New"}));
    pick(*entry(menu(), "New").get_sub_menu(), "Box");
    EXPECT_NE(sub->get_object("box"), nullptr);
    menu().populate(refs, true);
    EXPECT_FALSE(entry(menu(), "New").is_enabled());
}

TEST_F(GuiOfItemMenuTest, TheDropMenuShowsTheDefaultInBoldAndWhatIsAllowed)
{
    struct Row {
        char const* what;
        Items items;
        OfContext* target;
        std::vector<std::string> enabled;
        char const* bold;
    };
    std::vector<Row> const rows = {
        {"onto their own context",
         {ball, box},
         geo,
         {"Copy Here", "Create Instances Here", "Group Here", "Combine Here", "Cancel"},
         "Create Instances Here"},
        {"elsewhere",
         {ball},
         shading,
         {"Copy Here", "Move Here", "Create Instances Here", "Group Here", "Combine Here", "Cancel"},
         "Move Here"},
        {"a context into its child", {geo}, sub, {"Cancel"}, nullptr},
    };
    for (Row const& row : rows) {
        menu().build_drop_menu(row.items, row.target);
        EXPECT_EQ(item_names(menu()), (Names{"Copy Here", "Move Here", "Create Instances Here", "Group Here",
                                             "Combine Here", "-", "Cancel"}))
            << row.what;
        std::vector<std::string> enabled;
        for (GuiMenuItem* item : menu().get_items()) {
            if (!item->is_separator() && item->is_enabled()) enabled.push_back(item->get_name().std_string());
            EXPECT_EQ(item->is_bold(), row.bold && item->get_name() == row.bold)
                << row.what << ": " << item->get_name();
        }
        EXPECT_EQ(enabled, row.enabled) << row.what;
    }
    menu().build_drop_menu(Items{ball}, shading);
    pick(menu(), "Move Here");
    EXPECT_EQ(ball->get_context(), shading);
    EXPECT_EQ(commands().get_undo_label(), "Move Items");
}

TEST_F(GuiOfItemMenuTest, ColorTagsGoToTheItemAndFromItToTheSelection)
{
    ASSERT_TRUE(SdkHelpers::colortag_items(Items{ball}, 2));
    commands().clear();
    menu().set_items(Items{box, red});
    menu().build_items_menu(box);
    GuiMenu* tags = entry(menu(), "Color Tag").get_sub_menu();
    EXPECT_FALSE(entry(*tags, "Apply Color Tag to selection").is_enabled()) << "the item has no tag";
    EXPECT_FALSE(entry(*tags, "Clear Color Tag on selection").is_enabled());

    menu().set_items(Items{ball, box, red});
    menu().build_items_menu(ball);
    pick(*entry(menu(), "Color Tag").get_sub_menu(), "Apply Color Tag to selection");
    EXPECT_EQ(red->get_colortag(), 2u);
    EXPECT_EQ(commands().get_undo_count(), 1u);
    menu().build_items_menu(ball);
    pick(*entry(menu(), "Color Tag").get_sub_menu(), "Clear");
    EXPECT_EQ(ball->get_colortag(), 0u);
    EXPECT_EQ(red->get_colortag(), 2u) << "only the item";
}

TEST_F(GuiOfItemMenuTest, OpenWithListsTheFittingEditorsAndChoosesTheDefault)
{
    GuiAppItemEditors& editors = app().get_item_editors();
    std::vector<std::string> opened;
    auto open = [&opened](char const* name) {
        return [&opened, name](CoreBasicArray<OfItem*> const& items, bool const&) {
            opened.push_back(std::string(name) + " " + items[0]->get_name().std_string());
            return true;
        };
    };
    editors.register_editor(
        "Viewer", [](OfItem const& item) { return item.is_object(); }, open("Viewer"));
    editors.register_editor(
        "Sheet", [](OfItem const&) { return true; }, open("Sheet"));
    menu().build_items_menu(ball);
    GuiMenu& with = *entry(menu(), "Open With").get_sub_menu();
    EXPECT_EQ(item_names(with), (Names{"Viewer", "Sheet", "-", "Choose Default Widget..."}));
    EXPECT_TRUE(entry(with, "Viewer").is_bold());
    answer([&] { pick(with, "Choose Default Widget..."); },
           [](GuiInputDialog& dialog) {
               find_child<GuiListButton>(dialog)->set_selected_index(1);
               dialog.accept();
           });
    EXPECT_EQ(editors.get_default_editor("Sphere"), "Sheet");
    menu().build_items_menu(ball);
    pick(*entry(menu(), "Open With").get_sub_menu(), "Viewer");
    EXPECT_EQ(opened, (std::vector<std::string>{"Viewer ball"}));
    editors.unregister_editor("Viewer");
    editors.unregister_editor("Sheet");
}

}  // namespace
