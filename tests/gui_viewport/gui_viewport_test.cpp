// Viewport frames: splitting, closing, maximising, tabs moving between frames, the keys,
// layouts written and read back (also damaged ones), and OpenGL editors drawing in frames.
#include <gtest/gtest.h>

#include <FL/Enumerations.H>
#include <FL/Fl.H>
#include <GL/glew.h>

#include <functional>
#include <string>
#include <vector>

#include "gui/controls/gui_button_base.h"
#include "gui/controls/gui_grid.h"
#include "gui/core/gui.h"
#include "gui/core/gui_floating_window.h"
#include "gui/viewport/gui_basic_viewport_widget.h"
#include "gui/viewport/gui_viewport.h"
#include "gui/viewport/gui_viewport_parts.h"
#include "host/parser/parser_group.h"
#include "tests/gui_gl/gui_gl_test_view.h"
#include "tests/support/gui_event_state.h"
#include "tests/support/gui_pixels.h"
#include "tests/support/gui_synthetic_events.h"
#include "tests/support/gui_test_app.h"
#include "tests/support/log_recorder.h"

namespace {

// An editor that keeps one number as its settings and counts what the frame asks of it.
class NoteEditor : public GuiBasicViewportWidget {
public:
    explicit NoteEditor(GuiWidget& parent) : GuiBasicViewportWidget(parent) {}
    void save_settings(ParserGroup& group) override { group.add_entry("note").add_int(note); }
    void load_settings(ParserGroup const& group) override
    {
        ++loads;
        if (ParserEntry const* entry = group.get_entry("note")) note = static_cast<int>(entry->get_int(0));
    }
    bool is_evaluation_controlled() const override { return true; }
    void refresh_selection() override { ++refreshes; }
    void on_selection_lock_changed(bool const& locked) override { lock_calls.push_back(locked); }

    int note = 0;
    int loads = 0;
    int refreshes = 0;
    std::vector<bool> lock_calls;
};

// An editor filled by an OpenGL view that clears to green.
class GreenEditor : public GuiBasicViewportWidget {
public:
    explicit GreenEditor(GuiWidget& parent) : GuiBasicViewportWidget(parent)
    {
        view = new GlTestView(*this, get_x(), get_y(), get_width(), get_height());
        view->set_constraints(CONSTRAINT_LEFT, CONSTRAINT_TOP, CONSTRAINT_RIGHT, CONSTRAINT_BOTTOM);
        view->drawing = [](GuiGlWidgetDc&) {
            glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
            glClear(GL_COLOR_BUFFER_BIT);
        };
        view->show();
    }
    GlTestView* view;
};

struct Rect {
    int x, y, w, h;
};
Rect rect_of(GuiWidget const& widget)
{
    return Rect{widget.get_x(), widget.get_y(), widget.get_width(), widget.get_height()};
}

void collect_leaves(GuiViewport& frame, std::vector<GuiViewport*>& leaves)
{
    if (frame.get_type() == GuiViewport::TYPE_SINGLE) {
        leaves.push_back(&frame);
        return;
    }
    for (unsigned int i = 0; i < frame.get_child_count(); ++i) collect_leaves(*frame.get_child(i), leaves);
}

// "S" for a single frame with its tab count, "H(...)", "V(...)", "Q(...)" for splits.
std::string shape_of(GuiViewport const& frame)
{
    switch (frame.get_type()) {
    case GuiViewport::TYPE_SINGLE: return "S" + std::to_string(frame.get_widget_count());
    case GuiViewport::TYPE_HORIZONTAL: return "H(" + shape_of(*frame.get_child(0)) + "," + shape_of(*frame.get_child(1)) + ")";
    case GuiViewport::TYPE_VERTICAL: return "V(" + shape_of(*frame.get_child(0)) + "," + shape_of(*frame.get_child(1)) + ")";
    default: {
        std::string shape = "Q(";
        for (unsigned int i = 0; i < 4; ++i) shape += (i ? "," : "") + shape_of(*frame.get_child(i));
        return shape + ")";
    }
    }
}

class ViewportTest : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        GuiViewportEditors::register_editor("NoteEditor", "Notes",
                                            [](GuiWidget& parent) -> GuiBasicViewportWidget* { return new NoteEditor(parent); });
        GuiViewportEditors::register_editor("GreenEditor", "Green",
                                            [](GuiWidget& parent) -> GuiBasicViewportWidget* { return new GreenEditor(parent); });
    }

    GuiViewport& make_frames(int w = 600, int h = 400)
    {
        GuiWindow& window = make_window(w, h);
        m_window = &window;
        GuiViewport* frames = GuiViewport::create_viewport(window, 0, 0, w, h);
        frames->show();
        pump_events(app());
        return *frames;
    }
    NoteEditor& add_note(GuiViewport& frame, int note)
    {
        auto* editor = static_cast<NoteEditor*>(frame.create_and_add_widget("NoteEditor"));
        editor->note = note;
        return *editor;
    }
    // The leaf frames tile the outermost one: inside it, not overlapping, covering nearly all
    // of it (the bars between frames take the rest).
    void expect_tiling(GuiViewport& root)
    {
        pump_events(app());
        std::vector<GuiViewport*> leaves;
        collect_leaves(root, leaves);
        Rect const outer = rect_of(root);
        long area = 0;
        for (size_t i = 0; i < leaves.size(); ++i) {
            Rect const a = rect_of(*leaves[i]);
            EXPECT_GE(a.x, outer.x);
            EXPECT_GE(a.y, outer.y);
            EXPECT_LE(a.x + a.w, outer.x + outer.w);
            EXPECT_LE(a.y + a.h, outer.y + outer.h);
            area += static_cast<long>(a.w) * a.h;
            for (size_t j = i + 1; j < leaves.size(); ++j) {
                Rect const b = rect_of(*leaves[j]);
                bool const apart = a.x + a.w <= b.x || b.x + b.w <= a.x || a.y + a.h <= b.y || b.y + b.h <= a.y;
                EXPECT_TRUE(apart) << "frames " << i << " and " << j << " overlap";
            }
        }
        EXPECT_GT(area, static_cast<long>(outer.w) * outer.h * 95 / 100);
    }

    GuiWindow* m_window = nullptr;
};

}  // namespace

TEST_F(ViewportTest, SplitsAndClosesKeepTheTabsAndTileTheFrame)
{
    struct Step {
        char const* what;
        std::function<void(GuiViewport& root)> run;
        char const* shape;
    };
    // Every sequence starts from a single frame holding two tabs.
    std::vector<std::vector<Step>> const sequences = {
        {{"split in two rows", [](GuiViewport& r) { r.split_h(); }, "H(S2,S0)"},
         {"a split frame does not split again", [](GuiViewport& r) { EXPECT_FALSE(r.split_v()); }, "H(S2,S0)"},
         {"close the empty row", [](GuiViewport& r) { r.get_child(1)->close(); }, "S2"}},
        {{"split in columns", [](GuiViewport& r) { r.split_v(); }, "V(S2,S0)"},
         {"close the column holding the tabs", [](GuiViewport& r) { r.get_child(0)->close(); }, "S0"}},
        {{"split in columns", [](GuiViewport& r) { r.split_v(); }, "V(S2,S0)"},
         {"split the right column in rows", [](GuiViewport& r) { r.get_child(1)->split_h(); }, "V(S2,H(S0,S0))"},
         {"close the left column: the rows come up", [](GuiViewport& r) { r.get_child(0)->close(); }, "H(S0,S0)"}},
        {{"quarters", [](GuiViewport& r) { r.split_q(); }, "Q(S2,S0,S0,S0)"},
         {"close the top right quarter", [](GuiViewport& r) { r.get_child(1)->close(); }, "V(H(S2,S0),S0)"}},
        {{"quarters", [](GuiViewport& r) { r.split_q(); }, "Q(S2,S0,S0,S0)"},
         {"close the bottom left quarter", [](GuiViewport& r) { r.get_child(2)->close(); }, "V(S2,H(S0,S0))"}},
        {{"quarters", [](GuiViewport& r) { r.split_q(); }, "Q(S2,S0,S0,S0)"},
         {"close the top left quarter, which holds the tabs", [](GuiViewport& r) { r.get_child(0)->close(); },
          "V(S0,H(S0,S0))"}},
        {{"the outermost frame closes its tabs", [](GuiViewport& r) { r.close(); }, "S0"}},
    };
    for (auto const& steps : sequences) {
        GuiViewport& root = make_frames();
        add_note(root, 1);
        add_note(root, 2);
        for (Step const& step : steps) {
            SCOPED_TRACE(step.what);
            step.run(root);
            process_idle(app());
            EXPECT_EQ(shape_of(root), step.shape);
            expect_tiling(root);
        }
        TearDown();
    }
}

TEST_F(ViewportTest, ASingleFrameBackFromASplitShowsItsToolbarAndTabs)
{
    GuiViewport& root = make_frames();
    add_note(root, 7);
    root.split_h();
    EXPECT_FALSE(root.get_toolbar()->is_shown());
    root.get_child(1)->close();
    process_idle(app());
    pump_events(app());
    EXPECT_EQ(root.get_type(), GuiViewport::TYPE_SINGLE);
    EXPECT_TRUE(root.get_toolbar()->is_shown());
    EXPECT_TRUE(root.get_tabs()->is_shown());
    ASSERT_EQ(root.get_widget_count(), 1u);
    EXPECT_EQ(static_cast<NoteEditor*>(root.get_viewport_widget(0))->note, 7);
    EXPECT_EQ(root.get_current_viewport_widget()->get_parent(), root.get_tabs());
}

TEST_F(ViewportTest, TabsMoveBetweenFramesWithTheirSwitches)
{
    GuiViewport& root = make_frames();
    NoteEditor& first = add_note(root, 1);
    add_note(root, 2);
    root.select(0);
    root.lock_selection_button();
    root.split_v();
    GuiViewport& left = *root.get_child(0);
    GuiViewport& right = *root.get_child(1);
    ASSERT_TRUE(right.move_viewport_widget_from(left, 0, 0));
    EXPECT_EQ(left.get_widget_count(), 1u);
    ASSERT_EQ(right.get_widget_count(), 1u);
    EXPECT_EQ(right.get_viewport_widget(0), &first);
    EXPECT_TRUE(right.get_viewport_data(0)->selection_locked);
    EXPECT_EQ(right.get_current_viewport_widget(), &first);

    // Dropped from one frame's tabs onto another's, as a drag does.
    EXPECT_EQ(left.get_tabs()->drop_tab(*right.get_tabs(), 0, 5), 1);
    EXPECT_EQ(left.get_widget_count(), 2u);
    EXPECT_EQ(left.get_viewport_widget(1), &first);
    EXPECT_EQ(right.get_widget_count(), 0u);

    LogRecorder log;
    EXPECT_FALSE(right.move_viewport_widget_from(left, 9, 0));
    EXPECT_EQ(log.count(2), 1u) << log.dump();
    EXPECT_EQ(left.get_widget_count(), 2u);
}

TEST_F(ViewportTest, AMaximisedFrameFillsTheOutermostOneUntilRestored)
{
    GuiViewport& root = make_frames();
    root.split_q();
    root.get_child(3)->split_v();
    pump_events(app());
    GuiViewport& leaf = *root.get_child(3)->get_child(1);
    Rect const before = rect_of(leaf);
    leaf.set_maximize(true);
    pump_events(app());
    Rect const alone = rect_of(leaf);
    Rect const outer = rect_of(root);
    EXPECT_EQ(alone.x, outer.x);
    EXPECT_EQ(alone.y, outer.y);
    EXPECT_EQ(alone.w, outer.w);
    EXPECT_EQ(alone.h, outer.h);
    EXPECT_FALSE(root.get_child(0)->is_shown());

    // Its layout is written as laid out, not as shown.
    ParserGroup layout;
    root.get_layout(layout, false);
    EXPECT_DOUBLE_EQ(layout.get_group("split_q")->get_entry("ratio")->get_double(0), 0.5);

    leaf.set_maximize(false);
    pump_events(app());
    Rect const after = rect_of(leaf);
    EXPECT_EQ(after.x, before.x);
    EXPECT_EQ(after.w, before.w);
    EXPECT_EQ(after.h, before.h);
    expect_tiling(root);
}

TEST_F(ViewportTest, KeysOverTheFrameReachItsCurrentEditor)
{
    GuiViewport& root = make_frames();
    NoteEditor& editor = add_note(root, 3);
    pump_events(app());
    GMathVec2<int> const inside(300, 200);
    struct {
        int key;
        int modifiers;
        std::function<bool()> happened;
    } const cases[] = {
        {FL_F + 5, 0, [&] { return editor.refreshes == 1; }},
        {FL_F + 5, FL_CTRL, [&] { return root.get_selection_is_locked() && editor.lock_calls == std::vector<bool>{true}; }},
        {FL_F + 5, FL_SHIFT, [&] { return editor.loads == 1 && editor.note == 3; }},
        {' ', FL_SHIFT, [&] { return root.is_maximize(); }},
    };
    for (auto const& c : cases) {
        SCOPED_TRACE(testing::Message() << "key " << c.key << " modifiers " << c.modifiers);
        GMathVec2<int> const origin = m_window->get_position();
        Gui::set_mouse_screen_position(origin[0] + inside[0], origin[1] + inside[1]);
        pump_events(app(), 0.05);
        {
            GuiEventState state;
            state.set_event(FL_KEYDOWN).set_key(c.key).set_state(c.modifiers).set_text(c.key == ' ' ? " " : "");
            state.set_position_in_window(origin[0], origin[1], inside[0], inside[1]);
            Fl::handle(FL_KEYDOWN, m_window->get_router());
        }
        EXPECT_TRUE(c.happened());
    }
    Gui::set_mouse_screen_position(1500, 1100);
}

TEST_F(ViewportTest, LayoutsComeBackTheSameAtAnySize)
{
    GuiViewport& root = make_frames(700, 500);
    add_note(root, 11);
    add_note(root, 12);
    root.split_v();
    root.get_child(1)->split_h();
    add_note(*root.get_child(1)->get_child(1), 21);
    root.get_grid()->set_column_ratio(0, 0.3);
    root.get_grid()->set_column_ratio(1, 0.7);
    root.get_child(0)->select(0);
    ParserGroup written;
    root.get_layout(written, false);

    for (GMathVec2<int> const size : {GMathVec2<int>(700, 500), GMathVec2<int>(320, 900)}) {
        SCOPED_TRACE(testing::Message() << size[0] << " x " << size[1]);
        GuiViewport& again = make_frames(size[0], size[1]);
        LogRecorder log;
        ASSERT_TRUE(again.set_layout(*written.get_entry(0)));
        EXPECT_EQ(log.count(), 0u) << log.dump();
        EXPECT_EQ(shape_of(again), "V(S2,H(S0,S1))");
        EXPECT_EQ(static_cast<NoteEditor*>(again.get_child(1)->get_child(1)->get_viewport_widget(0))->note, 21);
        EXPECT_EQ(again.get_child(0)->get_selected_index(), 0);
        ParserGroup read;
        again.get_layout(read, false);
        EXPECT_EQ(read, written);
        expect_tiling(again);
    }
}

TEST_F(ViewportTest, LayoutEntriesFollowTheFrames)
{
    GuiViewport& root = make_frames();
    root.split_q();
    add_note(*root.get_child(0), 5);
    root.get_child(1)->add_widget(*new GuiBasicViewportWidget(*root.get_child(1)->get_tabs()));
    ParserGroup layout;
    root.get_layout(layout, false);
    ParserGroup const* quad = layout.get_group("split_q");
    ASSERT_NE(quad, nullptr);
    ParserEntry const* ratio = quad->get_entry(0u);
    EXPECT_EQ(ratio->get_name(), "ratio");
    EXPECT_EQ(ratio->get_value_count(), 2u);
    ASSERT_EQ(quad->get_entry_count(), 5u);
    for (unsigned int i = 1; i < 5; ++i) EXPECT_EQ(quad->get_entry(i)->get_name(), "views");

    ParserGroup const* tab = quad->get_entry(1u)->get_group()->get_group("tab");
    ASSERT_NE(tab, nullptr);
    EXPECT_EQ(tab->get_entry("editor")->get_string(0), "NoteEditor");
    EXPECT_EQ(tab->get_group("settings")->get_entry("note")->get_int(0), 5);
    EXPECT_TRUE(tab->get_entry("evaluation_mode")->get_bool(0));
    EXPECT_EQ(tab->get_entry("show_shadowed"), nullptr);  // the editor does not use it
    // A tab whose editor was not made from a registered class.
    ParserEntry const* none = quad->get_entry(2u)->get_group()->get_entry("editor");
    ASSERT_NE(none, nullptr);
    EXPECT_EQ(none->get_string(0), "(none)");

    // With the current views, each frame's "views" is followed by a "view" of its current tab.
    ParserGroup with_views;
    root.get_layout(with_views, true);
    quad = with_views.get_group("split_q");
    ASSERT_EQ(quad->get_entry_count(), 9u);
    for (unsigned int i = 1; i < 9; ++i) EXPECT_EQ(quad->get_entry(i)->get_name(), i % 2 ? "views" : "view");
    EXPECT_EQ(quad->get_entry(2u)->get_group()->get_entry("editor")->get_string(0), "NoteEditor");
}

TEST_F(ViewportTest, ADamagedLayoutGivesOneWarningAndASingleFrame)
{
    auto const views_with = [](char const* editor) {
        ParserGroup views;
        views.add_group("tab").add_entry("editor").add_string(editor);
        return views;
    };
    struct {
        char const* what;
        std::function<ParserGroup()> layout;
        char const* shape;
    } const cases[] = {
        {"an unknown frame", [] { ParserGroup g; g.add_group("split_x"); return g; }, "S0"},
        {"a split with one child",
         [&] {
             ParserGroup g;
             ParserGroup& split = g.add_group("split_h");
             split.add_entry("ratio").add_double(0.5);
             split.add_entry("views").add_group(views_with("NoteEditor"));
             return g;
         },
         "S0"},
        {"a quad whose child is damaged",
         [&] {
             ParserGroup g;
             ParserGroup& split = g.add_group("split_q");
             split.add_entry("ratio").add_double(0.5).add_double(0.5);
             split.add_entry("views").add_group(views_with("NoteEditor"));
             split.add_entry("views").add_group(views_with("NoteEditor"));
             ParserGroup& inner = split.add_group("split_v");
             inner.add_entry("ratio").add_double(0.5);
             split.add_entry("views").add_group(views_with("NoteEditor"));
             return g;
         },
         "S3"},
        {"an editor class nobody registered", [&] { ParserGroup g; g.add_entry("views").add_group(views_with("Nope")); return g; },
         "S0"},
        {"an impossible ratio",
         [&] {
             ParserGroup g;
             ParserGroup& split = g.add_group("split_v");
             split.add_entry("ratio").add_double(1.5);
             split.add_entry("views").add_group(views_with("NoteEditor"));
             split.add_entry("views").add_group(views_with("NoteEditor"));
             return g;
         },
         "V(S1,S1)"},
    };
    for (auto const& c : cases) {
        SCOPED_TRACE(c.what);
        GuiViewport& root = make_frames();
        ParserGroup const layout = c.layout();
        LogRecorder log;
        EXPECT_FALSE(root.set_layout(*layout.get_entry(0u)));
        EXPECT_EQ(log.count(2), 1u) << log.dump();
        EXPECT_TRUE(log.contains("GuiViewport.set_layout: the layout is damaged")) << log.dump();
        process_idle(app());
        EXPECT_EQ(shape_of(root), c.shape);
        expect_tiling(root);
        TearDown();
    }
}

TEST_F(ViewportTest, AFloatingWindowSavesAndMaximisesItsFrames)
{
    GuiWindow& main = make_window(300, 200);
    auto* floating = new GuiFloatingWindow(main, 400, 100, 500, 400, "Frames", nullptr);
    GuiViewport* frames = GuiViewport::create_viewport(*floating, 0, 0, 500, 400);
    floating->set_content_widget(*frames);
    floating->show();
    add_note(*frames, 4);
    frames->split_h();
    pump_events(app());
    EXPECT_EQ(floating->get_viewport(), frames);
    EXPECT_EQ(floating->get_viewport_widget(0), nullptr);  // the outermost frame is split
    ParserGroup layout;
    ASSERT_TRUE(floating->get_layout(layout, false));
    EXPECT_NE(layout.get_group("split_h"), nullptr);

    GuiViewport& lower = *frames->get_child(1);
    lower.set_maximize(true);
    pump_events(app());
    EXPECT_EQ(rect_of(lower).h, rect_of(*frames).h);
    floating->restore_view();
    pump_events(app());
    EXPECT_LT(rect_of(lower).h, rect_of(*frames).h);
    EXPECT_FALSE(lower.is_maximize());

    ASSERT_TRUE(floating->set_layout(*layout.get_entry(0u)));
    EXPECT_EQ(shape_of(*frames), "H(S1,S0)");
}

TEST_F(ViewportTest, AnOpenGLEditorDrawsWhereverItsTabGoes)
{
    GuiViewport& root = make_frames(600, 400);
    auto* editor = static_cast<GreenEditor*>(root.create_and_add_widget("GreenEditor"));
    ASSERT_NE(editor, nullptr);
    auto const green_at = [&](GuiWidget const& frame) {
        pump_events(app(), 0.1);
        Rect const r = rect_of(frame);
        return pixel_at(*m_window, r.x + r.w / 2, r.y + r.h * 2 / 3) == GMathVec3<unsigned char>(0, 255, 0);
    };
    EXPECT_TRUE(green_at(root));
    root.split_v();
    EXPECT_TRUE(green_at(*root.get_child(0)));
    EXPECT_FALSE(green_at(*root.get_child(1)));
    root.get_child(1)->move_viewport_widget_from(*root.get_child(0), 0, 0);
    EXPECT_TRUE(green_at(*root.get_child(1)));
    EXPECT_FALSE(green_at(*root.get_child(0)));
    root.get_child(1)->set_maximize(true);
    EXPECT_TRUE(green_at(root));
    root.get_child(1)->set_maximize(false);
    EXPECT_TRUE(green_at(*root.get_child(1)));
}

TEST_F(ViewportTest, TheToolbarFollowsTheCurrentTabAndRunsItsCommands)
{
    using Bar = GuiViewportToolbar;
    GuiViewport& root = make_frames();
    add_note(root, 1);  // controls evaluation
    root.add_widget(*new GuiBasicViewportWidget(*root.get_tabs()));  // controls nothing but the lock
    Bar& bar = *root.get_toolbar();
    struct {
        unsigned int tab;
        bool evaluation_enabled;
    } const tabs[] = {{0, true}, {1, false}};
    for (auto const& t : tabs) {
        root.select(t.tab);
        EXPECT_EQ(bar.get_button(Bar::BUTTON_ENABLE_EVALUATION)->is_enabled(), t.evaluation_enabled) << t.tab;
        EXPECT_FALSE(bar.get_button(Bar::BUTTON_SHOW_SHADOWED)->is_enabled()) << t.tab;
        EXPECT_TRUE(bar.get_button(Bar::BUTTON_LOCK_SELECTION)->is_enabled()) << t.tab;
    }
    root.select(0);
    root.set_tab_evaluation(false);
    EXPECT_FALSE(root.get_viewport_data(0)->evaluation);
    EXPECT_FALSE(bar.is_checked(Bar::BUTTON_ENABLE_EVALUATION));
    root.select(1);
    root.set_tab_evaluation(false);  // the plain editor does not control it
    EXPECT_TRUE(root.get_viewport_data(1)->evaluation);

    int changes = 0;
    EventObject::connect(root, EVT_ID_VIEWPORT_AUTO_EVALUATION_CHANGED, [&changes] { ++changes; });
    pump_events(app());
    GuiWidget& pause = *bar.get_button(Bar::BUTTON_PAUSE_EVALUATION);
    click(pause, pause.get_x() + 4, pause.get_y() + 4);
    EXPECT_FALSE(root.get_auto_evaluation());
    EXPECT_EQ(changes, 1);
    GuiWidget& quad = *bar.get_button(Bar::BUTTON_SPLIT_QUAD);
    EXPECT_STREQ(Bar::get_button_tooltip(Bar::BUTTON_SPLIT_QUAD), "Split Quads");
    click(quad, quad.get_x() + 4, quad.get_y() + 4);
    EXPECT_EQ(shape_of(root), "Q(S2,S0,S0,S0)");
    EXPECT_FALSE(root.get_child(0)->get_auto_evaluation());  // children start as their parent was
}

TEST_F(ViewportTest, AnUndockedTabGetsAFloatingWindowWithAFrameOfItsOwn)
{
    GuiViewport& root = make_frames();
    NoteEditor& first = add_note(root, 1);
    add_note(root, 2);
    GuiViewport* frame = root.undock_tab(0);
    ASSERT_NE(frame, nullptr);
    pump_events(app());
    EXPECT_EQ(root.get_widget_count(), 1u);
    ASSERT_EQ(frame->get_widget_count(), 1u);
    EXPECT_EQ(frame->get_viewport_widget(0), &first);
    GuiWidget* window = frame->get_window();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->is_kindof(GuiFloatingWindow::class_info()));
    EXPECT_EQ(static_cast<GuiFloatingWindow*>(window)->get_viewport(), frame);
    EXPECT_TRUE(window->is_shown());

    LogRecorder log;
    EXPECT_EQ(root.undock_tab(5), nullptr);
    EXPECT_EQ(log.count(2), 1u) << log.dump();
}
