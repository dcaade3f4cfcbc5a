// Backdrops: what they hold, how they nest, fit, move, resize and lock, and where they are
// drawn and picked.
#include <gtest/gtest.h>

#include "gui/nodal/gui_nodal.h"
#include "gui/nodal/gui_nodal_backdrop.h"
#include "gui/nodal/gui_nodal_node.h"
#include "gui/nodal/gui_nodal_node_zone.h"
#include "tests/gui_nodal/gui_nodal_test_graph.h"
#include "tests/support/log_recorder.h"

namespace {

using Backdrop = GuiNodalBackdrop;

class GuiNodalBackdropTest : public NodalTestBase<> {
protected:
    // A laid-out node (100 × 16 at zoom 1) with its top-left corner at (x, y).
    GuiNodalNode& node(int x, int y)
    {
        GuiNodalNode* n = graph().add_node(new GuiNodalNode(graph(), "n", x, y, 0));
        n->update_content(graph().get_dc());
        return *n;
    }
    Backdrop& backdrop(int x, int y, int w, int h)
    {
        Backdrop* b = graph().instantiate_backdrop("frame", x, y);
        b->set_width(w);
        b->set_height(h);
        return *b;
    }
};

TEST_F(GuiNodalBackdropTest, ANodeBelongsToTheInnermostBackdropThatHoldsItWhole)
{
    Backdrop& outer = backdrop(0, 0, 1000, 1000);
    Backdrop& inner = backdrop(100, -100, 400, 400);
    outer.check_content(inner);
    EXPECT_EQ(inner.get_parent_backdrop(), &outer);
    EXPECT_EQ(inner.get_root(), &outer);
    GuiNodalNode& deep = node(200, -200);
    GuiNodalNode& shallow = node(700, -700);
    GuiNodalNode& straddling = node(450, -200);  // crosses the inner frame's right edge
    GuiNodalNode& outside = node(2000, 0);
    for (GuiNodalNode* n : {&deep, &shallow, &straddling, &outside}) inner.check_content(*n);
    EXPECT_EQ(inner.get_content(), (std::vector<GuiNodalNodeBase*>{&deep}));
    EXPECT_EQ(outer.get_content(), (std::vector<GuiNodalNodeBase*>{&inner, &shallow, &straddling}));
    // Moving a node out of the inner frame hands it to the outer one.
    deep.move(500, 0);
    outer.check_content(deep);
    EXPECT_FALSE(inner.is_in_content(deep));
    EXPECT_TRUE(outer.is_in_content(deep));
}

TEST_F(GuiNodalBackdropTest, ALockedBackdropKeepsItsContent)
{
    Backdrop& frame = backdrop(0, 0, 500, 500);
    GuiNodalNode& n = node(100, -100);
    frame.get_lock_button().click();
    EXPECT_TRUE(frame.is_content_locked());
    frame.check_content(n);
    EXPECT_TRUE(frame.get_content().empty());
    frame.get_lock_button().click();
    frame.check_content(n);
    EXPECT_TRUE(frame.is_in_content(n));
}

TEST_F(GuiNodalBackdropTest, FittingWrapsTheContentOrFallsBackToTheTitle)
{
    Backdrop& empty = backdrop(10, -10, 700, 50);
    empty.update_content(graph().get_dc());
    EXPECT_TRUE(empty.fit_content());
    EXPECT_EQ(empty.get_width(), empty.get_header().get_width());
    EXPECT_EQ(empty.get_height(), Backdrop::DEFAULT_HEIGHT);
    EXPECT_FALSE(empty.fit_content());  // already fitted

    Backdrop& frame = backdrop(0, 0, 2000, 2000);
    GuiNodalNode& a = node(100, -100);
    GuiNodalNode& b = node(600, -400);
    frame.check_content(std::vector<GuiNodalNodeBase*>{&a, &b});
    ASSERT_TRUE(frame.fit_content());
    int const gripper = frame.get_gripper_height();
    EXPECT_EQ(frame.get_rect(), GMathVec4<int>(100 - 45, -400 - b.get_height() - 45, 700 + 45, -100 + 45 + gripper));
}

TEST_F(GuiNodalBackdropTest, MovingCarriesTheContentButNotTheSelection)
{
    Backdrop& outer = backdrop(0, 0, 1000, 1000);
    Backdrop& inner = backdrop(100, -100, 400, 400);
    outer.check_content(inner);
    GuiNodalNode& deep = node(200, -200);
    GuiNodalNode& chosen = node(700, -700);
    outer.check_content(std::vector<GuiNodalNodeBase*>{&deep, &chosen});
    chosen.set_selected(true);
    outer.move(10, -20);
    EXPECT_EQ(inner.get_world_pos(), GMathVec2<int>(110, -120));
    EXPECT_EQ(deep.get_world_pos(), GMathVec2<int>(210, -220));  // once, through the inner frame
    EXPECT_EQ(chosen.get_world_pos(), GMathVec2<int>(700, -700));
}

TEST_F(GuiNodalBackdropTest, CornersResizeUnlessTheBackdropFitsItself)
{
    Backdrop& frame = backdrop(0, 0, 400, 200);
    frame.get_right_corner().drag(GMathVec2<int>(50, -30));  // right and down
    EXPECT_EQ(frame.get_rect(), GMathVec4<int>(0, -230, 450, 0));
    frame.get_left_corner().drag(GMathVec2<int>(100, 0));  // the left edge moves in, the right stays
    EXPECT_EQ(frame.get_rect(), GMathVec4<int>(100, -230, 450, 0));
    frame.set_autofit(true);
    EXPECT_FALSE(frame.get_left_corner().is_enabled());
    frame.get_right_corner().drag(GMathVec2<int>(50, 0));
    EXPECT_EQ(frame.get_width(), 350);
    EXPECT_STREQ(frame.get_right_corner().get_tooltip(), "Drag to resize.");
}

TEST_F(GuiNodalBackdropTest, RemovalsLeaveNoDanglingContent)
{
    Backdrop& outer = backdrop(0, 0, 1000, 1000);
    Backdrop& inner = backdrop(100, -100, 400, 400);
    outer.check_content(inner);
    GuiNodalNode& deep = node(200, -200);
    GuiNodalNode& gone = node(250, -250);
    outer.check_content(std::vector<GuiNodalNodeBase*>{&deep, &gone});
    graph().remove_node(gone);
    EXPECT_EQ(inner.get_content(), (std::vector<GuiNodalNodeBase*>{&deep}));
    graph().remove_backdrop(inner);  // its node goes to the frame around it
    EXPECT_TRUE(outer.is_in_content(deep));
    EXPECT_TRUE(outer.get_child_backdrops().empty());
    LogRecorder log;
    outer.set_width(0);
    outer.set_height(-5);
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 2u);
    EXPECT_EQ(outer.get_width(), 1000);
}

TEST_F(GuiNodalBackdropTest, BackdropsArePickedByTheirGripperAndButtons)
{
    Backdrop& frame = backdrop(0, 0, 400, 200);
    GuiNodalNode& n = node(100, -100);
    frame.check_content(n);
    EXPECT_EQ(graph().pick(GMathVec2<float>(50, -2)), &frame);
    EXPECT_EQ(graph().pick(GMathVec2<float>(395, -195)), &frame.get_right_corner());
    EXPECT_EQ(graph().pick(GMathVec2<float>(50, -150)), nullptr);  // inside the frame: the background
    GuiNodalItem* on_node = graph().pick(GMathVec2<float>(150, -105));
    EXPECT_TRUE(on_node == &n || on_node == &n.get_header());
}

}  // namespace

namespace {

// The view keeps backdrop content up to date by itself, in its next pass.
class GuiNodalBackdropUpdateTest : public GuiNodalBackdropTest {
protected:
    void next_pass()
    {
        EXPECT_TRUE(graph().has_backdrop_update_request());
        graph().complete_backdrop_update_request();
        EXPECT_FALSE(graph().has_backdrop_update_request());
    }
};

TEST_F(GuiNodalBackdropUpdateTest, BoxesFollowTheirMovesInAndOutOfBackdrops)
{
    Backdrop& outer = backdrop(0, 0, 1000, 1000);
    Backdrop& inner = backdrop(100, -100, 400, 400);
    GuiNodalNode& n = node(200, -200);
    next_pass();
    EXPECT_EQ(inner.get_parent_backdrop(), &outer);
    EXPECT_EQ(inner.get_content(), (std::vector<GuiNodalNodeBase*>{&n}));
    n.move(500, 0);
    next_pass();
    EXPECT_EQ(outer.get_content(), (std::vector<GuiNodalNodeBase*>{&inner, &n}));
    n.move_to(5000, 0);
    next_pass();
    EXPECT_FALSE(outer.is_in_content(n));
    // Shrinking the outer frame looks at everything again: the inner frame no longer fits.
    outer.set_width(300);
    next_pass();
    EXPECT_EQ(inner.get_parent_backdrop(), nullptr);
    std::vector<GuiNodalNodeBase*> all;
    outer.get_node_hierarchy(all, true);
    EXPECT_TRUE(all.empty());
}

TEST_F(GuiNodalBackdropUpdateTest, LockedContentStaysAndAnAutofitFrameGrowsAfterItsMember)
{
    Backdrop& locked = backdrop(0, 0, 500, 500);
    Backdrop& fitting = backdrop(1000, 0, 500, 500);
    GuiNodalNode& kept = node(100, -100);
    GuiNodalNode& member = node(1100, -100);
    next_pass();
    locked.set_content_locked(true);
    fitting.set_autofit(true);
    kept.move_to(3000, 3000);
    member.move(600, 0);  // past the fitting frame's right edge
    next_pass();
    EXPECT_TRUE(locked.is_in_content(kept));
    EXPECT_TRUE(fitting.is_in_content(member));
    EXPECT_EQ(fitting.get_rect()[2], member.get_world_pos()[0] + member.get_width() + Backdrop::FIT_MARGIN);
    // A locked frame takes nothing new either.
    GuiNodalNode& newcomer = node(200, -200);
    next_pass();
    EXPECT_FALSE(locked.is_in_content(newcomer));
}

TEST_F(GuiNodalBackdropUpdateTest, OfTwoFramesOfTheSameSizeTheFirstHoldsTheSecond)
{
    Backdrop& first = backdrop(0, 0, 400, 400);
    Backdrop& second = backdrop(0, 0, 400, 400);
    GuiNodalNode& n = node(50, -50);
    next_pass();
    EXPECT_EQ(second.get_parent_backdrop(), &first);
    EXPECT_EQ(first.get_parent_backdrop(), nullptr);
    EXPECT_TRUE(second.is_in_content(n));
    LogRecorder log;
    Backdrop::debug_hierarchies(graph().get_backdrops());
    ASSERT_EQ(log.count(CORE_LOG_LEVEL_INFO), 2u);
}

TEST_F(GuiNodalBackdropUpdateTest, ARemovedBoxLeavesThePendingUpdate)
{
    Backdrop& frame = backdrop(0, 0, 400, 400);
    next_pass();
    GuiNodalNode& n = node(50, -50);
    n.move(1, 0);
    graph().remove_node(n);
    next_pass();  // would touch the removed node
    EXPECT_TRUE(frame.get_content().empty());
}

}  // namespace
