// The application's item editors: which editors fit an item, the default per class, and
// opening items in the default or a named editor.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/core/gui_app_item_editors.h"
#include "tests/gui_panels/item_scene_test.h"
#include "tests/support/log_recorder.h"

namespace {

using Items = CoreVector<OfItem*>;

class GuiAppItemEditorsTest : public ItemSceneTest {
protected:
    void SetUp() override
    {
        ItemSceneTest::SetUp();
        auto opener = [this](char const* name) {
            return [this, name](CoreBasicArray<OfItem*> const& items, bool const& alt) {
                std::string line = std::string(name) + (alt ? " alt:" : ":");
                for (OfItem* item : items) line += " " + item->get_name().std_string();
                opened.push_back(line);
                return true;
            };
        };
        // Contexts in the graph; geometry in the viewer; anything in the sheet.
        editors.register_editor(
            "Graph", [](OfItem const& item) { return item.is_context(); }, opener("Graph"));
        editors.register_editor(
            "Viewer",
            [](OfItem const& item) { return item.is_object() && item.to_object()->is_kindof("Geometry"); },
            opener("Viewer"));
        editors.register_editor(
            "Sheet", [](OfItem const&) { return true; }, opener("Sheet"));
    }

    static std::vector<std::string> names(CoreVector<CoreString> const& list)
    {
        std::vector<std::string> result;
        for (CoreString const& name : list) result.push_back(name.std_string());
        return result;
    }

    GuiAppItemEditors editors;
    std::vector<std::string> opened;
};

TEST_F(GuiAppItemEditorsTest, EditorsFitItemsInRegistrationOrderAndDefaultsGoByClass)
{
    EXPECT_EQ(names(editors.get_editors_for(*ball)), (std::vector<std::string>{"Viewer", "Sheet"}));
    EXPECT_EQ(names(editors.get_editors_for(*geo)), (std::vector<std::string>{"Graph", "Sheet"}));
    EXPECT_EQ(editors.get_default_editor_for(*red), "Sheet") << "the first that fits";

    ASSERT_TRUE(editors.set_default_editor("Sphere", "Sheet"));
    EXPECT_EQ(editors.get_default_editor_for(*ball), "Sheet");
    EXPECT_EQ(editors.get_default_editor_for(*box), "Viewer") << "another class keeps its own";
    // A default that does not fit the item gives way to the first that does.
    ASSERT_TRUE(editors.set_default_editor(GuiAppItemEditors::get_item_class_name(*geo), "Viewer"));
    EXPECT_EQ(editors.get_default_editor_for(*geo), "Graph");
    // Unregistering forgets it as a default too.
    ASSERT_TRUE(editors.unregister_editor("Sheet"));
    EXPECT_EQ(editors.get_default_editor("Sphere"), "");
    EXPECT_EQ(editors.get_default_editor_for(*ball), "Viewer");
    EXPECT_EQ(editors.get_default_editor_for(*red), "");
}

TEST_F(GuiAppItemEditorsTest, OpeningTakesTheItemsTheEditorFitsAndWarnsOtherwise)
{
    EXPECT_TRUE(editors.open_default(*ball, true));
    {
        LogRecorder log;
        EXPECT_TRUE(editors.open_items(Items{ball, geo, box}, "Viewer"));
        EXPECT_EQ(log.count(), 1u) << "names what it does not open";
    }
    EXPECT_EQ(opened, (std::vector<std::string>{"Viewer alt: ball", "Viewer: ball box"}));

    struct Row {
        char const* what;
        std::function<bool()> attempt;
    };
    for (Row const& row :
         {Row{"an unknown editor", [&] { return editors.open_items(Items{ball}, "Nope"); }},
          Row{"no item fits", [&] { return editors.open_items(Items{geo}, "Viewer"); }},
          Row{"a taken name", [&] { return editors.register_editor("Graph", {}, {}); }},
          Row{"an unknown default", [&] { return editors.set_default_editor("Sphere", "Nope"); }}}) {
        LogRecorder log;
        EXPECT_FALSE(row.attempt()) << row.what;
        EXPECT_EQ(log.count(), 1u) << row.what << ":\n" << log.dump();
    }
    ASSERT_TRUE(editors.unregister_editor("Sheet"));
    LogRecorder log;
    EXPECT_FALSE(editors.open_default(*red, false));
    EXPECT_EQ(log.count(), 1u);
}

TEST_F(GuiAppItemEditorsTest, TheApplicationOpensItemsThroughItsRegistry)
{
    GuiAppItemEditors& registry = app().get_item_editors();
    registry.register_editor(
        "Probe", [](OfItem const& item) { return item.is_object(); },
        [this](CoreBasicArray<OfItem*> const& items, bool const&) {
            opened.push_back("Probe: " + items[0]->get_name().std_string());
            return true;
        });
    EXPECT_TRUE(app().open_default_widget(*box));
    EXPECT_TRUE(app().open_items_in_widget(Items{red}, "Probe"));
    registry.unregister_editor("Probe");
    EXPECT_EQ(opened, (std::vector<std::string>{"Probe: box", "Probe: red"}));
}

}  // namespace
