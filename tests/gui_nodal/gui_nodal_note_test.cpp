// Notes: their size, fitted to their text or dragged by their corner, and their place among
// the view's items.
#include <gtest/gtest.h>

#include "gui/nodal/gui_nodal.h"
#include "gui/nodal/gui_nodal_backdrop.h"
#include "gui/nodal/gui_nodal_node_zone.h"
#include "gui/nodal/gui_nodal_note.h"
#include "tests/gui_nodal/gui_nodal_test_graph.h"
#include "tests/support/log_recorder.h"

namespace {

class GuiNodalNoteTest : public NodalTestBase<> {};

TEST_F(GuiNodalNoteTest, ANoteStartsAtItsDefaultSizeAndFitsItsText)
{
    GuiNodalNote& note = *graph().instantiate_note("one line\na second, longer line", 0, 0);
    EXPECT_EQ(note.get_width(), GuiNodalNote::DEFAULT_WIDTH);
    EXPECT_EQ(note.get_height(), GuiNodalNote::DEFAULT_HEIGHT);
    GMathVec2<int> const text = note.compute_content_size();
    EXPECT_GT(text[1], 2 * note.get_font_size() - 1);  // two lines
    note.autofit();
    EXPECT_EQ(note.get_width(), text[0] + 10);
    EXPECT_EQ(note.get_height(), text[1] + 15);
    // A larger font makes a larger text.
    note.set_font_size(note.get_font_size() * 2);
    EXPECT_GT(note.compute_content_size()[0], text[0]);
}

TEST_F(GuiNodalNoteTest, TheCornerResizesAndBadSizesAreRefused)
{
    GuiNodalNote& note = *graph().instantiate_note("note", 0, 0);
    note.get_resize_corner().drag(GMathVec2<int>(30, -20));
    EXPECT_EQ(note.get_width(), GuiNodalNote::DEFAULT_WIDTH + 30);
    EXPECT_EQ(note.get_height(), GuiNodalNote::DEFAULT_HEIGHT + 20);
    LogRecorder log;
    note.set_width(0);
    note.set_font_size(0);
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 2u);
    EXPECT_EQ(note.get_width(), GuiNodalNote::DEFAULT_WIDTH + 30);
}

TEST_F(GuiNodalNoteTest, NotesArePickedAndLeaveTheirBackdropWhenRemoved)
{
    GuiNodalBackdrop& frame = *graph().instantiate_backdrop("frame", -100, 100);
    frame.set_width(1000);
    frame.set_height(1000);
    GuiNodalNote& note = *graph().instantiate_note("note", 0, 0);
    frame.check_content(note);
    EXPECT_TRUE(frame.is_in_content(note));
    EXPECT_EQ(graph().pick(GMathVec2<float>(10, -10)), &note);
    EXPECT_EQ(graph().pick(GMathVec2<float>(GuiNodalNote::DEFAULT_WIDTH - 3, 3 - GuiNodalNote::DEFAULT_HEIGHT)),
              &note.get_resize_corner());
    graph().remove_note(note);
    EXPECT_TRUE(frame.get_content().empty());
    EXPECT_EQ(graph().pick(GMathVec2<float>(10, -10)), nullptr);
}

}  // namespace
