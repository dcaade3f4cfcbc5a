// The node-graph view's dialogs and the options they edit: grid options, the maximum node
// width with "Unlimited", the link highlight mode kept in the preferences, titles and note
// texts as undo steps; and the stretch and omnidirectional layout options.
#include <gtest/gtest.h>

#include <functional>

#include "gui/controls/gui_checkbox.h"
#include "gui/fields/gui_line_edit.h"
#include "gui/fields/gui_number_field.h"
#include "gui/menus/gui_list_button.h"
#include "gui/menus/gui_menu.h"
#include "gui/menus/gui_menu_item.h"
#include "gui/nodal/gui_nodal.h"
#include "gui/nodal/gui_nodal_backdrop.h"
#include "gui/nodal/gui_nodal_grid_options.h"
#include "gui/nodal/gui_nodal_link_editor.h"
#include "gui/nodal/gui_nodal_node.h"
#include "gui/nodal/gui_nodal_node_zone.h"
#include "gui/nodal/gui_nodal_note.h"
#include "gui/panels/gui_input_dialog.h"
#include "host/app/app_preferences.h"
#include "host/of/of_command_manager.h"
#include "host/parser/parser_group.h"
#include "tests/gui_nodal/gui_nodal_test_graph.h"
#include "tests/support/log_recorder.h"

namespace {

class OmnidirectionalNodal : public GuiNodal {
public:
    OmnidirectionalNodal(GuiWidget& parent) : GuiNodal(parent, 0, 0, 300, 200, false, false)
    {
        register_layout_actions();
    }
    bool is_omnidirectional_layout_supported() const override { return true; }
};

class GuiNodalDialogsTest : public NodalTestBase<> {
protected:
    // Opens a dialog with `open` and, once it is up, runs `answer` on it.
    bool answer(std::function<bool()> open, std::function<void(GuiInputDialog&)> answer)
    {
        m_answer = std::move(answer);
        app().add_timer(
            [](void* data) {
                auto* self = static_cast<GuiNodalDialogsTest*>(data);
                GuiInputDialog* dialog = self->graph().get_open_dialog();
                ASSERT_NE(dialog, nullptr);
                self->m_answer(*dialog);
            },
            this, 0.05);
        return open();
    }
    GuiNodalNode& node(CoreString const& name, int x, int y)
    {
        GuiNodalNode& n =
            *graph().add_node(new GuiNodalNode(graph(), name, x, y, GuiNodalNodeBase::NODE_ANCHOR_SIDES));
        n.update_content(graph().get_dc());
        return n;
    }

    std::function<void(GuiInputDialog&)> m_answer;
};

template <class Field>
Field* find_child(GuiWidget& parent)
{
    for (GuiWidget* child : parent.get_children())
        if (child->is_kindof(Field::class_info())) return static_cast<Field*>(child);
    return nullptr;
}

}  // namespace

TEST_F(GuiNodalDialogsTest, GridOptionsShowTheCurrentValuesAndApplyOnlyWhenAccepted)
{
    graph().set_grid_size(25);
    graph().set_grid_snapping(true);
    bool const ran = answer([&] { return graph().run_action("tune_grid"); },
                                  [](GuiInputDialog& dialog) {
                                      auto& grid = static_cast<GridOptions&>(dialog);
                                      EXPECT_EQ(dialog.get_title(), "Grid Options");
                                      EXPECT_TRUE(grid.get_enable_box().get_value());
                                      EXPECT_EQ(grid.get_size_field().get_value(), 25);
                                      grid.get_size_field().set_value(60);
                                      dialog.cancel();
                                  });
    EXPECT_TRUE(ran);
    EXPECT_EQ(graph().get_grid_size(), 25) << "cancelled";

    EXPECT_TRUE(answer([&] { return graph().open_grid_options(); },
                       [](GuiInputDialog& dialog) {
                           auto& grid = static_cast<GridOptions&>(dialog);
                           EXPECT_EQ(grid.get_size_field().get_value(), 25) << "filled again, not kept";
                           grid.get_size_field().set_value(60);
                           grid.get_enable_box().set_value(false);
                           grid.get_display_box().set_value(false);
                           dialog.accept();
                       }));
    EXPECT_EQ(graph().get_grid_size(), 60);
    EXPECT_FALSE(graph().is_grid_snapping());
    EXPECT_FALSE(graph().is_grid_displayed());
}

TEST_F(GuiNodalDialogsTest, NodeBoundingShowsUnlimitedAndSetsWidthAndCropping)
{
    EXPECT_TRUE(answer([&] { return graph().open_node_bounding(); },
                       [](GuiInputDialog& dialog) {
                           EXPECT_EQ(dialog.get_title(), "Node bounding");
                           GuiNumberField* width = find_child<GuiNumberField>(dialog);
                           ASSERT_NE(width, nullptr);
                           EXPECT_EQ(width->get_text(), "Unlimited");
                           width->get_edit().set_focus();
                           width->get_edit().set_text("300");
                           width->get_edit().on_changed();
                           find_child<GuiCheckbox>(dialog)->set_value(false);
                           dialog.accept();
                       }));
    EXPECT_EQ(graph().get_max_node_width(), 300u);
    EXPECT_FALSE(graph().is_node_cropping());
    EXPECT_EQ(graph().get_effective_max_node_width(), 0u) << "no limit without cropping";

    // The word reads back as 0.
    EXPECT_TRUE(answer([&] { return graph().open_node_bounding(); },
                       [](GuiInputDialog& dialog) {
                           GuiNumberField* width = find_child<GuiNumberField>(dialog);
                           width->get_edit().set_text("unlimited");
                           width->get_edit().on_changed();
                           dialog.accept();
                       }));
    EXPECT_EQ(graph().get_max_node_width(), 0u);
}

TEST_F(GuiNodalDialogsTest, LinkHighlightModeIsChosenAndKeptInThePreferences)
{
    EXPECT_TRUE(answer([&] { return graph().open_link_highlight_mode(); },
                       [](GuiInputDialog& dialog) {
                           EXPECT_EQ(dialog.get_title(), "Link Highlight");
                           GuiListButton* mode = find_child<GuiListButton>(dialog);
                           ASSERT_NE(mode, nullptr);
                           EXPECT_EQ(mode->get_selected_label(), "In&Out") << "the default";
                           mode->set_selected_index(1);
                           dialog.accept();
                       }));
    EXPECT_EQ(graph().get_link_editor().get_link_highlight_mode(), GuiNodalLinkEditor::LINK_HIGHLIGHT_OUT);
    AppCategoryPreferences* category = app().get_preferences().get_category("nodal_view");
    ASSERT_NE(category, nullptr);
    EXPECT_EQ(category->get_long_value("link_highlight_mode"), 2);
    GuiNodal other(make_window(200, 100), 0, 0, 200, 100, false, false);
    EXPECT_EQ(other.get_link_editor().get_link_highlight_mode(), GuiNodalLinkEditor::LINK_HIGHLIGHT_OUT)
        << "a new view follows the preference";
    category->set_long_value("link_highlight_mode", 3);
}

TEST_F(GuiNodalDialogsTest, TitlesAndNoteTextsChangeAsUndoSteps)
{
    OfCommandManager commands;
    graph().set_command_manager(&commands);
    GuiNodalBackdrop& frame = *graph().instantiate_backdrop("Old", 0, 0);
    EXPECT_TRUE(answer([&] { return graph().open_item_text(frame); },
                       [](GuiInputDialog& dialog) {
                           EXPECT_EQ(dialog.get_title(), "Set Backdrop Title");
                           GuiLineEdit* edit = find_child<GuiLineEdit>(dialog);
                           EXPECT_EQ(edit->get_text(), "Old");
                           edit->set_text("Lights");
                           dialog.accept();
                       }));
    EXPECT_EQ(frame.get_title(), "Lights");
    EXPECT_EQ(commands.get_undo_label(), "Set Title");
    commands.undo();
    EXPECT_EQ(frame.get_title(), "Old");
    commands.redo();
    EXPECT_EQ(frame.get_title(), "Lights");

    GuiNodalNode& plain = node("plain", 300, 0);
    LogRecorder log;
    EXPECT_FALSE(graph().open_item_text(plain)) << "a node has neither";
    EXPECT_TRUE(log.contains("GuiNodal.open_item_text"));
    graph().set_command_manager(nullptr);
}

TEST_F(GuiNodalDialogsTest, StretchedMovesCarryLinkedBoxesPartOfTheWayAndUndoAsOne)
{
    OfCommandManager commands;
    graph().set_command_manager(&commands);
    std::vector<GuiNodalNode*> chain;
    for (int i = 0; i < 5; ++i) chain.push_back(&node(CoreString("n") + i, i * 200, 0));
    for (int i = 0; i + 1 < 5; ++i)
        graph().create_link(*chain[i]->get_anchor(GuiNodalNodeBase::NODE_ANCHOR_RIGHT),
                            *chain[i + 1]->get_anchor(GuiNodalNodeBase::NODE_ANCHOR_LEFT));
    graph().run_action("stretch");
    ASSERT_TRUE(graph().is_stretch_mode());
    graph().set_selection({chain[0]});
    graph().start_move_selection(GMathVec2<int>(0, 0));
    graph().move_selection(GMathVec2<int>(-80, 40));
    // The selection moves whole, then 1/2, 1/4, 1/8 of the way; the fifth box stays.
    int const expected_x[] = {-80, 160, 380, 590, 800};
    int const expected_y[] = {40, 20, 10, 5, 0};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(chain[i]->get_world_pos()[0], expected_x[i]) << i;
        EXPECT_EQ(chain[i]->get_world_pos()[1], expected_y[i]) << i;
    }
    graph().stop_move_selection(true);
    EXPECT_EQ(commands.get_undo_label(), "Move Nodes");
    commands.undo();
    for (int i = 0; i < 5; ++i) EXPECT_EQ(chain[i]->get_world_pos(), GMathVec2<int>(i * 200, 0)) << i;

    graph().start_move_selection(GMathVec2<int>(0, 0));
    graph().move_selection(GMathVec2<int>(40, 0));
    graph().cancel_move_selection();
    for (int i = 0; i < 5; ++i) EXPECT_EQ(chain[i]->get_world_pos(), GMathVec2<int>(i * 200, 0)) << i;
    graph().set_command_manager(nullptr);
}

TEST_F(GuiNodalDialogsTest, OmnidirectionalLayoutNeedsTheApplicationAndHidesPlugRows)
{
    LogRecorder log;
    graph().set_omnidirectional_layout(true);
    EXPECT_FALSE(graph().is_omnidirectional_layout());
    EXPECT_EQ(graph().get_action("omnidirectional_layout"), nullptr);
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u);

    OmnidirectionalNodal omni(make_window(300, 200));
    ASSERT_NE(omni.get_action("omnidirectional_layout"), nullptr);
    omni.run_action("omnidirectional_layout");
    EXPECT_TRUE(omni.is_omnidirectional_layout());
    EXPECT_EQ(omni.get_default_display_mode(), GuiNodalNode::ZONE_DISPLAY_NONE);
    omni.set_default_display_mode(GuiNodalNode::ZONE_DISPLAY_ALL);
    EXPECT_EQ(omni.get_default_display_mode(), GuiNodalNode::ZONE_DISPLAY_NONE) << "kept while omnidirectional";
    GuiNodalNode* added = omni.add_node(new GuiNodalNode(omni, "n", 0, 0, GuiNodalNodeBase::NODE_ANCHOR_SIDES));
    EXPECT_EQ(added->get_zones_display_mode(), GuiNodalNode::ZONE_DISPLAY_NONE);

    ParserGroup settings;
    settings.add_group("GuiNodal").add_entry("default_node_state").add_int(1);
    omni.load_settings(settings);
    EXPECT_EQ(omni.get_default_display_mode(), GuiNodalNode::ZONE_DISPLAY_NONE);
    graph().load_settings(settings);
    EXPECT_EQ(graph().get_default_display_mode(), GuiNodalNode::ZONE_DISPLAY_CONNECTED);
}

TEST_F(GuiNodalDialogsTest, TheMenuOffersTheDialogsAndOptions)
{
    GuiMenu* menu = graph().build_popup_menu(nullptr);
    for (char const* entry : {"Max Node Width...", "Grid Settings...", "Stretch Mode", "Display Mode"})
        EXPECT_NE(menu->get_item(entry), nullptr) << entry;
    ASSERT_NE(menu->get_item("Omnidirectional Layout"), nullptr);
    EXPECT_FALSE(menu->get_item("Omnidirectional Layout")->is_enabled()) << "not supported by this view";
    EXPECT_TRUE(graph().on_menu_entry("Simplified"));
    EXPECT_TRUE(graph().is_simplified());

    GuiNodalBackdrop& frame = *graph().instantiate_backdrop("frame", 0, 0);
    GuiNodalNote& note = *graph().instantiate_note("note", 500, 0);
    EXPECT_NE(graph().build_popup_menu(&frame)->get_item("Set Title"), nullptr);
    EXPECT_NE(graph().build_popup_menu(&note)->get_item("Set Text"), nullptr);
}
