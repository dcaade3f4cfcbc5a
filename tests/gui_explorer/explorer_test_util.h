#pragma once
// What the item sheet and explorer tests share: the application's scene filled with a small
// hand-made layout, a shown sheet over it, and the rows' names as text.
#include <FL/Fl.H>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "demo/sample_scene.h"
#include "gui/explorer/gui_explorer.h"
#include "gui/explorer/gui_of_item_spreadsheet.h"
#include "host/of/of_command_manager.h"
#include "host/of/of_context.h"
#include "host/of/of_object.h"
#include "host/of/of_object_factory.h"
#include "tests/support/gui_synthetic_events.h"
#include "tests/support/gui_test_app.h"
#include "tests/support/log_recorder.h"

using Names = std::vector<std::string>;

// The scene: /props (crate10, crate2, crate1, lamp, a layer holding rules), /props/small
// (bolt), /lights (key), and /empty.
class ItemSheetTest : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        if (HasFatalFailure() || IsSkipped()) return;
        // Each test starts from the explorers' default layout.
        app().set_class_preference(GuiExplorerPreference::get_key(), nullptr);
        OfObjectFactory& scene = this->scene();
        scene.clear();
        ASSERT_TRUE(SampleScene::register_classes(scene.get_classes()));
        m_props = scene.create_context("props");
        m_small = scene.create_context("small", m_props);
        m_lights = scene.create_context("lights");
        m_empty = scene.create_context("empty");
        for (char const* name : {"crate10", "crate2", "crate1"}) scene.create_object("Box", name, m_props);
        m_lamp = scene.create_object("LightPoint", "lamp", m_props);
        m_layer = scene.create_object("ShadingLayer", "layer", m_props);
        m_layer->add_embedded_object("ShadingRule", "rule_b");
        m_layer->add_embedded_object("ShadingRule", "rule_a");
        m_bolt = scene.create_object("Sphere", "bolt", m_small);
        m_key = scene.create_object("LightArea", "key", m_lights);
        scene.get_command_manager().clear();
    }
    void TearDown() override
    {
        m_sheet = nullptr;  // goes with its window
        GuiTest::TearDown();
        scene().clear();
    }
    OfObjectFactory& scene() { return app().get_factory(); }
    OfCommandManager& history() { return scene().get_command_manager(); }

    // A shown flat sheet listing `context`.
    GuiOfItemSpreadsheet& make_sheet(OfContext* context, int w = 300, int h = 400)
    {
        GuiWindow& window = make_window(w, h);
        m_sheet = new GuiOfItemSpreadsheet(window, 0, 0, w, h);
        m_sheet->set_context(context, false);
        m_sheet->show();
        pump_events(app());
        return *m_sheet;
    }
    GuiExplorer& make_explorer(int w = 300, int h = 500)
    {
        GuiWindow& window = make_window(w, h);
        GuiExplorer* explorer = new GuiExplorer(window, 0, 0, w, h);
        m_sheet = explorer;
        explorer->show();
        pump_events(app());
        return *explorer;
    }
    // Every row's name, indented by two spaces per level in a tree.
    Names rows(bool visible_only = false)
    {
        pump_events(app());
        m_sheet->refresh_tree_structure();
        Names names;
        for (unsigned int i = 0; i < m_sheet->get_row_count(); ++i) {
            if (visible_only && !m_sheet->is_row_visible(static_cast<int>(i))) continue;
            GuiOfItemSpreadsheetRow* row = m_sheet->get_item_row(i);
            names.push_back(std::string(static_cast<size_t>(row->get_depth()) * 2, ' ') +
                            row->get_item_name().std_string());
        }
        return names;
    }
    int row_of(OfItem const* item) { return m_sheet->get_index_row(item); }
    // The centre of a row on screen (the row must be shown).
    int row_y(int row) { return m_sheet->get_cell_pos_y(row) + m_sheet->get_row_pitch(0) / 2; }

    GuiOfItemSpreadsheet* m_sheet = nullptr;
    OfContext* m_props = nullptr;
    OfContext* m_small = nullptr;
    OfContext* m_lights = nullptr;
    OfContext* m_empty = nullptr;
    OfObject* m_lamp = nullptr;
    OfObject* m_layer = nullptr;
    OfObject* m_bolt = nullptr;
    OfObject* m_key = nullptr;
};
