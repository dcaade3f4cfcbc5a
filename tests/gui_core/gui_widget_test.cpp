// GuiWidget: geometry, visibility, clipping, the focus chain, key delivery, start folders.
// GoogleTest comes before Xlib, whose macros (None, Bool, ...) would break it.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Widget.H>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "gui/core/gui.h"
#include "gui/core/gui_window.h"
#include "gui/text/gui_text_edit.h"
#include "host/sys/sys_filesystem.h"
#include "tests/gui_core/gui_test_widgets.h"
#include "tests/support/core_printers.h"
#include "tests/support/gui_synthetic_events.h"
#include "tests/support/gui_test_app.h"
#include "tests/support/sys_temp_folder.h"

namespace {

using C = GuiWidget::Constraint;
constexpr C LEFT = GuiWidget::CONSTRAINT_LEFT;
constexpr C RIGHT = GuiWidget::CONSTRAINT_RIGHT;
constexpr C TOP = GuiWidget::CONSTRAINT_TOP;
constexpr C BOTTOM = GuiWidget::CONSTRAINT_BOTTOM;

using Box = GMathVec4<int>;

Box box_of(GuiWidget const& widget)
{
    return Box(widget.get_x(), widget.get_y(), widget.get_width(), widget.get_height());
}

// Stands for the text editors, which keep the Tab key for themselves: the widget base looks
// their class up by name. Its record derives from the editor's, so it counts as one while
// recording the keys it gets.
class TextEditStandIn : public RecordingWidget {
    CORE_DECLARE_CLASS(TextEditStandIn, RecordingWidget)

public:
    using RecordingWidget::RecordingWidget;
};

CORE_IMPLEMENT_CLASS(TextEditStandIn, GuiTextEdit)

// Ignores its parent's resizes, as a widget placed by its parent's own layout does.
class UnconstrainedWidget : public GuiWidget {
public:
    using GuiWidget::GuiWidget;
    void apply_constraints(int const&, int const&, int const&, int const&) override {}
};

// Keeps a square: a class whose resize differs from the base one, which layout passes must
// still call.
class SquareWidget : public GuiWidget {
public:
    using GuiWidget::GuiWidget;
    void resize(int const& x, int const& y, int const& w, int const& h) override
    {
        GuiWidget::resize(x, y, std::min(w, h), std::min(w, h));
    }
};

}  // namespace

class GuiWidgetTest : public GuiTest {};

// --- Constraints and geometry ---

TEST_F(GuiWidgetTest, ChildrenFollowTheirParentAsTheirEdgesAreAnchored)
{
    GuiWindow& window = make_window(500, 300, false);
    GuiWidget* parent = new GuiWidget(window, 0, 0, 200, 100);
    GuiWidget* fixed = new GuiWidget(*parent, 10, 10, 50, 20);
    GuiWidget* right = new GuiWidget(*parent, 10, 40, 50, 20);
    right->set_constraints(RIGHT, TOP, RIGHT, TOP);
    GuiWidget* stretched = new GuiWidget(*parent, 10, 70, 50, 20);
    stretched->set_constraints(LEFT, TOP, RIGHT, TOP);
    GuiWidget* bottom = new GuiWidget(*parent, 70, 70, 50, 20);
    bottom->set_constraints(LEFT, BOTTOM, LEFT, BOTTOM);
    GuiWidget* tall = new GuiWidget(*parent, 130, 10, 50, 80);
    tall->set_constraints(LEFT, TOP, LEFT, BOTTOM);
    auto anchors = [](GuiWidget const& w) {
        return std::vector<GuiWidget::Constraint>{w.get_left_constraint(), w.get_top_constraint(),
                                                  w.get_right_constraint(), w.get_bottom_constraint()};
    };
    using Anchors = std::vector<GuiWidget::Constraint>;
    EXPECT_EQ(anchors(*right), Anchors({RIGHT, TOP, RIGHT, TOP}));
    EXPECT_EQ(anchors(*bottom), Anchors({LEFT, BOTTOM, LEFT, BOTTOM}));
    EXPECT_EQ(anchors(*tall), Anchors({LEFT, TOP, LEFT, BOTTOM}));

    parent->set_size(0, 0, 400, 150);
    EXPECT_EQ(box_of(*fixed), Box(10, 10, 50, 20));
    EXPECT_EQ(box_of(*right), Box(210, 40, 50, 20));
    EXPECT_EQ(box_of(*stretched), Box(10, 70, 250, 20));
    EXPECT_EQ(box_of(*bottom), Box(70, 120, 50, 20));
    EXPECT_EQ(box_of(*tall), Box(130, 10, 50, 130));

    // Narrower than the stretched child's margins: its right edge would cross its left edge.
    parent->set_size(0, 0, 100, 20);
    EXPECT_EQ(box_of(*stretched), Box(10, 70, 0, 20));
    EXPECT_EQ(box_of(*tall), Box(130, 10, 50, 0));

    // The offsets outlive the collapse.
    parent->set_size(0, 0, 200, 100);
    EXPECT_EQ(box_of(*stretched), Box(10, 70, 50, 20));
    EXPECT_EQ(box_of(*tall), Box(130, 10, 50, 80));
}

TEST_F(GuiWidgetTest, LayoutPassesCallTheResizeOfDerivedClasses)
{
    GuiWindow& window = make_window(300, 200, false);
    GuiWidget* parent = new GuiWidget(window, 0, 0, 200, 100);
    GuiWidget* plain = new GuiWidget(*parent, 10, 10, 50, 50);
    plain->set_constraints(LEFT, TOP, RIGHT, BOTTOM);
    GuiWidget* square = new SquareWidget(*parent, 10, 10, 50, 50);
    square->set_constraints(LEFT, TOP, RIGHT, BOTTOM);

    parent->set_size(0, 0, 260, 100);
    EXPECT_EQ(box_of(*plain), Box(10, 10, 110, 50));
    EXPECT_EQ(box_of(*square), Box(10, 10, 50, 50));
}

TEST_F(GuiWidgetTest, WindowResizeReachesGrandchildrenInWindowCoordinates)
{
    GuiWindow& window = make_window(300, 200, false);
    GuiWidget* panel = new GuiWidget(window, 20, 10, 260, 180);
    panel->set_constraints(LEFT, TOP, RIGHT, BOTTOM);
    GuiWidget* corner = new GuiWidget(*panel, 250, 160, 20, 20);
    corner->set_constraints(RIGHT, BOTTOM, RIGHT, BOTTOM);
    GuiWidget* inner = new GuiWidget(*corner, 255, 165, 10, 10);
    inner->set_constraints(LEFT, TOP, RIGHT, BOTTOM);
    GuiWidget* pinned = new GuiWidget(*panel, 250, 20, 20, 20);
    pinned->set_constraints(RIGHT, TOP, RIGHT, TOP);
    pinned->set_active_constraints(false);

    window.resize(window.get_x(), window.get_y(), 500, 300);
    EXPECT_EQ(box_of(*panel), Box(20, 10, 460, 280));
    EXPECT_EQ(box_of(*corner), Box(450, 260, 20, 20));
    EXPECT_EQ(box_of(*inner), Box(455, 265, 10, 10));
    EXPECT_EQ(box_of(*pinned), Box(250, 20, 20, 20));

    // Without recursive constraints the panel follows the window but keeps its children.
    panel->set_recursive_constraints(false);
    window.resize(window.get_x(), window.get_y(), 400, 300);
    EXPECT_EQ(box_of(*panel), Box(20, 10, 360, 280));
    EXPECT_EQ(box_of(*corner), Box(450, 260, 20, 20));
}

TEST_F(GuiWidgetTest, AnUnchangedResizeLeavesTheChildrenAlone)
{
    // A resize to the same box leaves the children alone, even one moved off its constraints.
    GuiWindow& window = make_window(300, 200, false);
    GuiWidget* parent = new GuiWidget(window, 0, 0, 200, 100);
    GuiWidget* child = new GuiWidget(*parent, 10, 10, 50, 20);
    child->resize(30, 10, 50, 20);
    parent->resize(0, 0, 200, 100);
    EXPECT_EQ(child->get_x(), 30);
    parent->resize(0, 0, 201, 100);
    EXPECT_EQ(child->get_x(), 10);
}

TEST_F(GuiWidgetTest, ChildrenChangedBetweenTwoWideningsFollowTheSecond)
{
    // A parent widened at the same origin skips the children that only follow its origin;
    // a child changed since the last pass must be seen again.
    struct Row {
        char const* change;
        void (*apply)(GuiWidget& child, GuiWidget& parent);
        Box expected;
    };
    Row const rows[] = {
        {"moved off its constraints", [](GuiWidget& c, GuiWidget&) { c.resize(30, 30, 50, 20); },
         Box(10, 10, 50, 20)},
        {"anchored to the right", [](GuiWidget& c, GuiWidget&) { c.set_constraints(RIGHT, TOP, RIGHT, TOP); },
         Box(90, 10, 50, 20)},
        {"constraints activated again",
         [](GuiWidget& c, GuiWidget&) {
             c.set_constraints(RIGHT, TOP, RIGHT, TOP);
             c.set_active_constraints(false);
             c.get_parent()->set_size(0, 0, 250, 100);
             c.set_active_constraints(true);
         },
         Box(90, 10, 50, 20)},
        {"moved in from another parent",
         [](GuiWidget& c, GuiWidget& parent) {
             GuiWidget* other = new GuiWidget(*parent.get_parent(), 0, 0, 100, 100);
             c.set_parent(other);
             parent.set_size(0, 0, 230, 100);
             c.set_constraints(LEFT, TOP, RIGHT, TOP);
             c.set_parent(&parent);
         },
         Box(10, 10, 250, 20)},
    };
    for (Row const& row : rows) {
        SCOPED_TRACE(row.change);
        GuiWindow& window = make_window(400, 200, false);
        GuiWidget* parent = new GuiWidget(window, 0, 0, 200, 100);
        GuiWidget* child = new GuiWidget(*parent, 10, 10, 50, 20);
        new GuiWidget(*parent, 100, 50, 20, 20);  // the parent lays children out while the child is away
        parent->set_size(0, 0, 220, 100);
        row.apply(*child, *parent);
        parent->set_size(0, 0, 300, 100);
        EXPECT_EQ(box_of(*child), row.expected);
    }
}

TEST_F(GuiWidgetTest, TheRouterAndTheGroupFollowTheBoxAlsoAfterAResizeWhileHidden)
{
    GuiWindow& window = make_window(300, 200);
    GuiWidget* panel = new GuiWidget(window, 10, 10, 200, 100);
    panel->set_constraints(LEFT, TOP, RIGHT, BOTTOM);
    GuiWidget* child = new GuiWidget(*panel, 20, 20, 50, 20);
    child->set_constraints(LEFT, TOP, RIGHT, TOP);
    panel->show();
    auto const toolkit_boxes = [](GuiWidget& widget) {
        Fl_Widget const* router = widget.get_widget();
        Fl_Widget const* root = widget.get_toolkit_root();
        return std::make_pair(Box(router->x(), router->y(), router->w(), router->h()),
                              Box(root->x(), root->y(), root->w(), root->h()));
    };

    window.resize(window.get_x(), window.get_y(), 350, 200);
    EXPECT_EQ(toolkit_boxes(*child), std::make_pair(Box(20, 20, 100, 20), Box(20, 20, 100, 20)));

    // Hidden, the widgets move without their toolkit objects; showing places these.
    panel->hide();
    window.resize(window.get_x(), window.get_y(), 300, 180);
    panel->show();
    EXPECT_EQ(toolkit_boxes(*panel), std::make_pair(box_of(*panel), box_of(*panel)));
    EXPECT_EQ(toolkit_boxes(*child), std::make_pair(Box(20, 20, 50, 20), Box(20, 20, 50, 20)));
}

TEST_F(GuiWidgetTest, ALeafGetsAToolkitGroupInItsPlaceWithItsFirstChild)
{
    // A leaf's router sits in its parent's group; the first child makes it a group in the
    // router's place, which keeps the drawing order, the tooltip and the clicks' way.
    GuiWindow& window = make_window(300, 200);
    GuiWidget* panel = new GuiWidget(window, 0, 0, 300, 200);
    GuiWidget* a = new GuiWidget(*panel, 10, 10, 50, 50);
    GuiWidget* b = new GuiWidget(*panel, 70, 10, 100, 100);
    GuiWidget* c = new GuiWidget(*panel, 180, 10, 50, 50);
    b->set_tooltip("b's tip");
    panel->show();
    Fl_Group* holder = panel->get_group();
    ASSERT_EQ(b->get_toolkit_root(), b->get_widget());
    EXPECT_EQ(holder->find(b->get_widget()), holder->find(a->get_widget()) + 1);

    auto* inner = new RecordingWidget(*b, 80, 20, 40, 40);
    inner->show();
    Fl_Widget* root = b->get_toolkit_root();
    ASSERT_NE(root, b->get_widget());
    EXPECT_EQ(holder->find(root), holder->find(a->get_widget()) + 1);
    EXPECT_EQ(holder->find(c->get_widget()), holder->find(root) + 1);
    EXPECT_TRUE(root->visible());
    EXPECT_EQ(b->get_widget()->parent(), root);
    EXPECT_EQ(b->get_widget()->tooltip(), nullptr);
    EXPECT_STREQ(root->tooltip(), "b's tip");
    mouse_down(window, 90, 30);
    EXPECT_EQ(inner->count(EVT_ID_MOUSE_DOWN), 1);
}

TEST_F(GuiWidgetTest, ALeafsRouterIsVisibleToTheToolkitOnlyWhileTheLeafIsShown)
{
    // Without a group of its own to hide it, the router itself carries the leaf's state.
    GuiWindow& window = make_window(300, 200);
    auto* leaf = new RecordingWidget(window, 10, 10, 50, 50);
    EXPECT_FALSE(leaf->get_widget()->visible_r());
    leaf->show();
    EXPECT_TRUE(leaf->get_widget()->visible_r());
    leaf->hide();
    EXPECT_FALSE(leaf->get_widget()->visible_r());
    mouse_down(window, 20, 20);
    EXPECT_EQ(leaf->count(EVT_ID_MOUSE_DOWN), 0);
}

TEST_F(GuiWidgetTest, ClipRegionsFollowAShrinkingParentDownToTheGrandchildren)
{
    // Children whose box stays are clipped again: the fixed one, its child, and one that
    // ignores the constraints.
    GuiWindow& window = make_window(300, 200);
    GuiWidget* panel = new GuiWidget(window, 0, 0, 300, 100);
    panel->set_constraints(LEFT, TOP, RIGHT, TOP);
    GuiWidget* fixed = new GuiWidget(*panel, 200, 10, 80, 40);
    GuiWidget* grandchild = new GuiWidget(*fixed, 250, 20, 20, 20);
    GuiWidget* unconstrained = new UnconstrainedWidget(*panel, 180, 60, 100, 20);
    panel->show();

    window.resize(window.get_x(), window.get_y(), 220, 200);
    EXPECT_EQ(box_of(*fixed), Box(200, 10, 80, 40));
    EXPECT_EQ(box_of(*unconstrained), Box(180, 60, 100, 20));
    EXPECT_EQ(fixed->get_clip_region(), Box(200, 10, 20, 40));
    EXPECT_EQ(grandchild->get_clip_region(), Box(220, 20, 0, 20));
    EXPECT_EQ(unconstrained->get_clip_region(), Box(180, 60, 40, 20));

    window.resize(window.get_x(), window.get_y(), 300, 200);
    EXPECT_EQ(fixed->get_clip_region(), box_of(*fixed));
    EXPECT_EQ(grandchild->get_clip_region(), box_of(*grandchild));
    EXPECT_EQ(unconstrained->get_clip_region(), box_of(*unconstrained));
}

TEST_F(GuiWidgetTest, SetPositionByCentreAndItsNewAnchoring)
{
    GuiWindow& window = make_window(300, 200, false);
    GuiWidget* parent = new GuiWidget(window, 0, 0, 200, 200);
    GuiWidget* widget = new GuiWidget(*parent, 0, 0, 51, 31);
    widget->set_position(100, 100, false);
    EXPECT_EQ(widget->get_position(), GMathVec2<int>(75, 85));

    // The offsets are taken again at the new place.
    widget->set_constraints(RIGHT, TOP, RIGHT, TOP);
    widget->set_position(120, 10);
    parent->set_width(300);
    EXPECT_EQ(widget->get_position(), GMathVec2<int>(220, 10));
}

// --- Visibility and clipping ---

TEST_F(GuiWidgetTest, ShowingAParentBringsBackOnlyTheChildrenThatWereVisible)
{
    GuiWindow& window = make_window();
    GuiWidget* parent = new GuiWidget(window, 0, 0, 300, 200);
    GuiWidget* a = new GuiWidget(*parent, 10, 10, 20, 20);
    GuiWidget* b = new GuiWidget(*parent, 40, 10, 20, 20);
    GuiWidget* grandchild = new GuiWidget(*a, 12, 12, 5, 5);
    parent->show();
    EXPECT_TRUE(a->is_shown() && b->is_shown() && grandchild->is_shown());

    b->hide();
    parent->hide();
    EXPECT_FALSE(a->is_shown() || b->is_shown() || grandchild->is_shown());
    EXPECT_TRUE(GuiWidget::is_widget_visible(*a));
    EXPECT_FALSE(GuiWidget::is_widget_visible(*b));

    parent->show();
    EXPECT_TRUE(a->is_shown());
    EXPECT_TRUE(grandchild->is_shown());
    EXPECT_FALSE(b->is_shown());
}

TEST_F(GuiWidgetTest, ShowingAShownWidgetAgainRefreshesItsHoverFlagFromThePointer)
{
    GuiWindow& window = make_window(300, 200);
    GuiWidget* widget = new GuiWidget(window, 10, 10, 50, 50);
    widget->show();
    int const wx = window.get_x(), wy = window.get_y();
    for (bool over : {true, false, true}) {
        // Warped without pumping events: only the refresh can tell the widget.
        ASSERT_EQ(Gui::set_mouse_screen_position(wx + (over ? 30 : 200), wy + 30), 0);
        widget->show();
        EXPECT_EQ(widget->is_entered(), over);
    }
    Gui::set_mouse_screen_position(1500, 1100);
}

TEST_F(GuiWidgetTest, VisibleNeedsTwoPixelsInsideTheParentsClipRegion)
{
    GuiWindow& window = make_window();
    GuiWidget* parent = new GuiWidget(window, 10, 10, 100, 100);
    GuiWidget* child = new GuiWidget(*parent, 20, 20, 50, 50);
    EXPECT_FALSE(child->is_visible());
    parent->show();
    EXPECT_TRUE(child->is_visible());

    child->set_position(109, 20);  // column 109 only
    EXPECT_TRUE(child->is_shown());
    EXPECT_FALSE(child->is_visible());
    child->set_position(108, 20);
    EXPECT_TRUE(child->is_visible());
}

TEST_F(GuiWidgetTest, ClipRegionLimitsTheWidgetAndItsChildren)
{
    GuiWindow& window = make_window();
    GuiWidget* panel = new GuiWidget(window, 10, 10, 100, 50);
    GuiWidget* inner = new GuiWidget(*panel, 30, 20, 60, 10);
    GuiWidget* cut_off = new GuiWidget(*panel, 70, 20, 20, 10);
    GuiWidget* overhanging = new GuiWidget(*panel, 100, 50, 40, 40);
    panel->show();
    EXPECT_EQ(overhanging->get_clip_region(), Box(100, 50, 10, 10));

    panel->set_clip_region(0, 0, 50, 100);
    EXPECT_EQ(panel->get_clip_region(), Box(10, 10, 100, 50));  // not enabled yet
    panel->enable_clipping();
    EXPECT_EQ(panel->get_clip_region(), Box(10, 10, 40, 50));
    EXPECT_EQ(inner->get_clip_region(), Box(30, 20, 20, 10));
    EXPECT_FALSE(cut_off->is_visible());
    EXPECT_FALSE(overhanging->is_visible());

    panel->disable_clipping();
    EXPECT_EQ(panel->get_clip_region(), Box(10, 10, 100, 50));
    EXPECT_EQ(inner->get_clip_region(), Box(30, 20, 60, 10));
    EXPECT_TRUE(cut_off->is_visible());
}

// --- Focus and keys ---

class GuiFocusTest : public GuiWidgetTest {
protected:
    // Five focus receivers side by side in a shown window, listened to for focus changes.
    void make_row()
    {
        m_window = &make_window(400, 100);
        for (int i = 0; i < 5; ++i)
            m_row.push_back(add(new RecordingWidget(*m_window, 10 + 70 * i, 10, 60, 20)));
        m_raised.listen(*m_window, EVT_ID_WIDGET_FOCUS_LOOSE);
    }
    template <typename W>
    W* add(W* widget)
    {
        widget->set_focus_receiver(true);
        widget->show();
        m_raised.listen(*widget, EVT_ID_WIDGET_FOCUS_IN);
        m_raised.listen(*widget, EVT_ID_WIDGET_FOCUS_OUT);
        return widget;
    }

    GuiWindow* m_window = nullptr;
    std::vector<RecordingWidget*> m_row;
    RaisedEvents m_raised;
};

TEST_F(GuiFocusTest, TabMovesAlongTheSiblingsBothWaysAndWraps)
{
    make_row();
    std::vector<RecordingWidget*>& row = m_row;
    row[0]->set_focus();
    ASSERT_TRUE(row[0]->has_focus());
    m_raised.clear();

    EXPECT_EQ(type_tab(*row[0]), 1);
    EXPECT_TRUE(row[1]->has_focus());
    // The window passes through "no focused widget" on the way (EVT_ID_WIDGET_FOCUS_LOOSE).
    using Raised = std::vector<std::pair<EventObject*, std::string>>;
    Raised on_widgets;
    for (auto const& event : m_raised.get())
        if (event.first != m_window) on_widgets.push_back(event);
    EXPECT_EQ(on_widgets, (Raised{{row[0], EVT_ID_WIDGET_FOCUS_OUT.std_string()},
                                  {row[1], EVT_ID_WIDGET_FOCUS_IN.std_string()}}));

    row[4]->set_focus();
    type_tab(*row[4]);
    EXPECT_TRUE(row[0]->has_focus());
    type_tab(*row[0], true);
    EXPECT_TRUE(row[4]->has_focus());
    type_tab(*row[4], true);
    EXPECT_TRUE(row[3]->has_focus());
}

TEST_F(GuiFocusTest, TabSkipsDisabledHiddenAndNonReceivingSiblings)
{
    make_row();
    std::vector<RecordingWidget*>& row = m_row;
    row[1]->disable();
    row[2]->hide();
    row[3]->set_focus_receiver(false);
    row[0]->set_focus();
    type_tab(*row[0]);
    EXPECT_TRUE(row[4]->has_focus());
    type_tab(*row[4], true);
    EXPECT_TRUE(row[0]->has_focus());

    // A disabled parent disables its children for the chain too.
    GuiWidget* group = add(new GuiWidget(*m_window, 10, 50, 200, 40));
    GuiWidget* nested = add(new GuiWidget(*group, 20, 55, 50, 20));
    group->disable();
    EXPECT_FALSE(nested->is_focus_receiver());
    nested->set_focus();
    EXPECT_FALSE(nested->has_focus());
    type_tab(*row[0]);
    EXPECT_TRUE(row[4]->has_focus());
}

TEST_F(GuiFocusTest, TextEditorsKeepTheTabAndWithoutTabNavigationItStays)
{
    make_row();
    TextEditStandIn::class_info();
    TextEditStandIn* editor = add(new TextEditStandIn(*m_window, 10, 50, 100, 20));
    editor->set_focus();
    ASSERT_TRUE(editor->has_focus());
    type_tab(*editor);
    type_tab(*editor, true);
    EXPECT_TRUE(editor->has_focus());
    EXPECT_EQ(editor->count(EVT_ID_KEY_DOWN), 2);

    m_row[2]->enable_tab_navigation(false);
    m_row[2]->set_focus();
    type_tab(*m_row[2]);
    EXPECT_TRUE(m_row[2]->has_focus());
}

TEST_F(GuiFocusTest, TabFromTheOnlyReceiverGivesTheFocusBackToTheWindow)
{
    m_window = &make_window(400, 100);
    RecordingWidget* only = add(new RecordingWidget(*m_window, 10, 10, 60, 20));
    new RecordingWidget(*m_window, 80, 10, 60, 20);
    m_raised.listen(*m_window, EVT_ID_WIDGET_FOCUS_LOOSE);

    for (bool const shift : {false, true}) {
        SCOPED_TRACE(shift ? "Shift+Tab" : "Tab");
        only->set_focus();
        ASSERT_TRUE(only->has_focus());
        m_raised.clear();
        type_tab(*only, shift);
        EXPECT_FALSE(only->has_focus());
        EXPECT_EQ(Fl::focus(), m_window->get_hidden_focus_widget());
        EXPECT_EQ(m_raised.count(*m_window, EVT_ID_WIDGET_FOCUS_LOOSE), 1);
    }
}

TEST_F(GuiWidgetTest, KeysReachOnlyTheFocusedThePointedOrAKeyReceiver)
{
    GuiWindow& window = make_window();
    RecordingWidget* target = new RecordingWidget(window, 10, 10, 50, 20);
    target->show();
    target->events.clear();

    EXPECT_EQ(key_down(*target, 'a', "a"), 0);
    EXPECT_EQ(key_up(*target, 'a'), 0);
    EXPECT_TRUE(target->events.empty());

    // The pointer over the widget, edges included.
    key_down(*target, 'a', "a", 0, GMathVec2<int>(20, 15));
    key_down(*target, 'b', "b", 0, GMathVec2<int>(60, 30));
    key_down(*target, 'c', "c", 0, GMathVec2<int>(61, 30));
    EXPECT_EQ(target->count(EVT_ID_KEY_DOWN), 2);

    target->set_key_receiver(true);
    key_down(*target, 'a', "a");
    key_up(*target, 'a');
    EXPECT_EQ(target->count(EVT_ID_KEY_DOWN), 3);
    EXPECT_EQ(target->count(EVT_ID_KEY_UP), 1);

    target->set_key_receiver(false);
    target->set_focus_receiver(true);
    target->set_focus();
    key_down(*target, 'a', "a");
    EXPECT_EQ(target->count(EVT_ID_KEY_DOWN), 4);
}

// --- Values and names ---

TEST(GuiWidgetValues, HighlightedColors)
{
    using Color = GMathVec3<unsigned char>;
    // Kept in hue: the channels scale together, so one clamped at 255 holds the others back.
    EXPECT_EQ(GuiWidget::get_highlighted_color(Color(200, 100, 50), 1.5f, true), Color(255, 127, 63));
    EXPECT_EQ(GuiWidget::get_highlighted_color(Color(200, 100, 50), 1.5f, false), Color(255, 150, 75));
    EXPECT_EQ(GuiWidget::get_highlighted_color(Color(10, 20, 30), -1.0f, false), Color(0, 0, 0));
}

// --- File dialogs ---

TEST(GuiWidgetDialogs, StartFolderIsTheLongestExistingLeadingFolder)
{
    SysTempFolder temp;
    ASSERT_FALSE(temp.get_path().is_empty());
    CoreString const root = temp.get_path();
    ASSERT_TRUE(SysFilesystem::create_folder(temp / "sub"));
    std::ofstream((temp / "file.txt").get_data()) << "x";

    EXPECT_EQ(GuiWidget::resolve_start_folder(temp / "file.txt"), root);
    EXPECT_EQ(GuiWidget::resolve_start_folder(temp / "sub"), temp / "sub");
    EXPECT_EQ(GuiWidget::resolve_start_folder(temp / "sub/missing/deeper/name.txt"), temp / "sub");
    EXPECT_EQ(GuiWidget::resolve_start_folder("/qn no such folder/at all"), CoreString("/"));

    ::setenv("QN_TEST_START_FOLDER", root.get_data(), 1);
    EXPECT_EQ(GuiWidget::resolve_start_folder("$QN_TEST_START_FOLDER/file.txt"), root);
    ::unsetenv("QN_TEST_START_FOLDER");

    for (char const* relative : {"", "qn nonsense/below", "${QN_TEST_UNCLOSED"})
        EXPECT_EQ(GuiWidget::resolve_start_folder(relative), CoreString(".")) << relative;
}
