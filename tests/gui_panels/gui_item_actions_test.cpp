// Item actions and drop actions: which lists and targets they allow, that running an
// allowed one is one undo step and a refused one changes nothing, and the default drop.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "gui/panels/gui_item_actions.h"
#include "host/app/sdk_helpers.h"
#include "tests/gui_panels/item_scene_test.h"
#include "tests/support/log_recorder.h"

namespace {

using Items = CoreVector<OfItem*>;
using A = GuiItemActions;

class GuiItemActionsTest : public ItemSceneTest {
protected:
    // Runs the action (or drop) and checks that it is refused with one message and no change
    // when not `allowed`, and otherwise makes at most one undo step that undo takes back.
    void expect_run(std::string const& what, bool const& allowed, std::function<bool()> const& run)
    {
        SCOPED_TRACE(what);
        std::string const before = dump();
        unsigned int const steps = commands().get_undo_count();
        LogRecorder log;
        EXPECT_EQ(run(), allowed);
        if (!allowed) {
            EXPECT_EQ(log.count(), 1u) << log.dump();
            EXPECT_EQ(dump(), before);
            return;
        }
        EXPECT_EQ(log.count(), 0u) << log.dump();
        ASSERT_LE(commands().get_undo_count(), steps + 1);
        if (commands().get_undo_count() == steps + 1) {
            EXPECT_NE(dump(), before);
            ASSERT_TRUE(commands().undo());
        }
        EXPECT_EQ(dump(), before);
    }
};

struct ActionRow {
    A::ItemAction action;
    std::function<Items(GuiItemActionsTest&)> items;
    bool allowed;
    OfContext* (*target)(GuiItemActionsTest&) = nullptr;
};

TEST_F(GuiItemActionsTest, EachActionAllowsWhatItsCommandAccepts)
{
    OfObject* copy = scene().create_instance(*box, "copy", geo);
    copy->get_attr("scale")->set_vec3d({2.0, 2.0, 2.0});
    commands().clear();
    // Kept out of the scene by the command that deleted it.
    OfObject* gone = scene().create_object("Box", "gone", geo);
    gone->remove();
    using T = GuiItemActionsTest;
    std::vector<ActionRow> const rows = {
        {A::ITEM_ACTION_CUT,
         [](T& t) {
             return Items{t.ball, t.red};
         },
         true},
        {A::ITEM_ACTION_CUT, [](T&) { return Items{}; }, false},
        {A::ITEM_ACTION_CUT, [](T& t) { return Items{&t.root()}; }, false},
        {A::ITEM_ACTION_CUT, [](T& t) { return Items{t.wheel}; }, false},
        {A::ITEM_ACTION_CUT, [](T& t) { return Items{t.inside}; }, false},
        {A::ITEM_ACTION_COPY, [](T& t) { return Items{t.inside}; }, true},
        {A::ITEM_ACTION_COPY_WITH_DEPENDENCIES,
         [](T& t) {
             return Items{t.ball, nullptr};
         },
         false},
        {A::ITEM_ACTION_REVERT_OVERRIDES, [&](T&) { return Items{copy}; }, true},
        {A::ITEM_ACTION_REVERT_OVERRIDES, [](T& t) { return Items{t.ball}; }, false},
        {A::ITEM_ACTION_MAKE_LOCAL, [](T& t) { return Items{t.inside}; }, true},
        {A::ITEM_ACTION_MAKE_LOCAL, [](T& t) { return Items{t.ball}; }, false},
        {A::ITEM_ACTION_EXPORT_CONTEXT, [](T& t) { return Items{t.geo}; }, false},
        {A::ITEM_ACTION_INSTANTIATE,
         [](T& t) {
             return Items{t.ball, t.box};
         },
         true},
        {A::ITEM_ACTION_INSTANTIATE, [](T& t) { return Items{t.geo}; }, false},
        {A::ITEM_ACTION_INSTANTIATE, [](T& t) { return Items{t.inside}; }, false},
        {A::ITEM_ACTION_MAKE_INSTANCE_OF, [](T& t) { return Items{t.box}; }, true},
        {A::ITEM_ACTION_MAKE_INSTANCE_OF, [](T& t) { return Items{t.wheel}; }, false},
        {A::ITEM_ACTION_EDIT, [](T& t) { return Items{t.refs}; }, true},
        {A::ITEM_ACTION_UNEDIT, [](T& t) { return Items{t.refs}; }, false},
        {A::ITEM_ACTION_EDIT, [](T& t) { return Items{t.geo}; }, false},
        {A::ITEM_ACTION_GROUP,
         [](T& t) {
             return Items{t.ball, t.red};
         },
         true},
        {A::ITEM_ACTION_GROUP, [](T& t) { return Items{t.geo}; }, false, [](T& t) { return t.sub; }},
        {A::ITEM_ACTION_GROUP, [](T& t) { return Items{t.ball}; }, false, [](T& t) { return t.refs; }},
        {A::ITEM_ACTION_CONTEXTUALIZE,
         [](T& t) {
             return Items{t.box, t.checker};
         },
         true},
        {A::ITEM_ACTION_CONTEXTUALIZE, [](T& t) { return Items{t.inside}; }, false},
        {A::ITEM_ACTION_COMBINE,
         [](T& t) {
             return Items{t.ball, t.red};
         },
         true},
        {A::ITEM_ACTION_COMBINE,
         [](T& t) {
             return Items{t.ball, t.geo};
         },
         false},
        {A::ITEM_ACTION_CREATE_SHADING_LAYER, [](T& t) { return Items{t.ball}; }, false},
        {A::ITEM_ACTION_ISOLATE, [](T& t) { return Items{t.ball}; }, true},
        {A::ITEM_ACTION_ISOLATE_MORE, [](T& t) { return Items{t.ball}; }, true},
        {A::ITEM_ACTION_ISOLATE_LESS, [](T& t) { return Items{t.shading}; }, true},
        {A::ITEM_ACTION_ISOLATE_SWAP, [](T& t) { return Items{t.ball}; }, true},
        {A::ITEM_ACTION_ISOLATE_SWAP, [](T&) { return Items{}; }, false},
        {A::ITEM_ACTION_DISABLE,
         [](T& t) {
             return Items{t.ball, t.geo};
         },
         true},
        {A::ITEM_ACTION_ENABLE, [](T& t) { return Items{t.ball}; }, false},
        {A::ITEM_ACTION_HIDE, [](T& t) { return Items{t.inside}; }, false},
        {A::ITEM_ACTION_SHOW, [](T& t) { return Items{t.box}; }, false},
        {A::ITEM_ACTION_DELETE,
         [](T& t) {
             return Items{t.ball, t.shading};
         },
         true},
        {A::ITEM_ACTION_DELETE,
         [&](T& t) {
             return Items{t.ball, gone};
         },
         false},
        {A::ITEM_ACTION_PERMANENTLY_DELETE, [](T& t) { return Items{t.sub}; }, true},
        {A::ITEM_ACTION_PERMANENTLY_DELETE, [](T& t) { return Items{&t.root()}; }, false},
        {A::ITEM_ACTION_RENAME, [](T& t) { return Items{t.ball}; }, true},
        {A::ITEM_ACTION_RENAME,
         [](T& t) {
             return Items{t.ball, t.box};
         },
         false},
        {A::ITEM_ACTION_UNLOAD_RESOURCES, [](T& t) { return Items{t.ball}; }, false},
    };
    A::Arguments arguments;
    arguments.name = "renamed";
    arguments.source = checker;
    for (ActionRow const& row : rows) {
        Items const items = row.items(*this);
        OfContext* target = row.target ? row.target(*this) : nullptr;
        std::string const what =
            A::get_item_action_name(row.action) + std::string(" #") + std::to_string(&row - rows.data());
        EXPECT_EQ(A::is_item_action_allowed(row.action, items, target), row.allowed) << what;
        expect_run(what, row.allowed,
                   [&] { return A::run_item_action(row.action, items, target, arguments); });
    }
}

TEST_F(GuiItemActionsTest, FlagActionsAreAllowedOnlyWhenAFlagWouldChange)
{
    ASSERT_TRUE(A::run_item_action(A::ITEM_ACTION_DISABLE, Items{ball}));
    EXPECT_FALSE(A::is_item_action_allowed(A::ITEM_ACTION_DISABLE, Items{ball}));
    EXPECT_TRUE(A::is_item_action_allowed(A::ITEM_ACTION_DISABLE, Items{ball, box}));
    EXPECT_TRUE(A::is_item_action_allowed(A::ITEM_ACTION_ENABLE, Items{ball}));
    ASSERT_TRUE(A::run_item_action(A::ITEM_ACTION_HIDE, Items{box}));
    EXPECT_EQ(commands().get_undo_label(), "Hide Items");
    EXPECT_TRUE(A::is_item_action_allowed(A::ITEM_ACTION_SHOW, Items{box}));
    ASSERT_TRUE(A::run_item_action(A::ITEM_ACTION_EDIT, Items{refs}));
    EXPECT_TRUE(A::is_item_action_allowed(A::ITEM_ACTION_UNEDIT, Items{refs}));
    EXPECT_TRUE(A::is_item_action_allowed(A::ITEM_ACTION_HIDE, Items{inside}))
        << "values of an edited reference";
}

TEST_F(GuiItemActionsTest, PasteNeedsAClipboardAndAWritableTarget)
{
    EXPECT_FALSE(A::is_item_action_allowed(A::ITEM_ACTION_PASTE, Items{}, geo)) << "empty clipboard";
    ASSERT_TRUE(A::run_item_action(A::ITEM_ACTION_COPY, Items{ball}));
    EXPECT_EQ(commands().get_undo_count(), 0u) << "copying changes no item";
    EXPECT_TRUE(A::is_item_action_allowed(A::ITEM_ACTION_PASTE, Items{}, geo));
    EXPECT_FALSE(A::is_item_action_allowed(A::ITEM_ACTION_PASTE, Items{}, refs));
    EXPECT_FALSE(A::is_item_action_allowed(A::ITEM_ACTION_PASTE, Items{}, nullptr));
    // Without a target, into the first item when it is a context, else into its context.
    expect_run("paste into the item's context", true, [&] {
        bool const pasted = A::run_item_action(A::ITEM_ACTION_PASTE, Items{checker});
        EXPECT_NE(shading->get_object("ball"), nullptr);
        return pasted;
    });
    expect_run("paste into the context", true, [&] {
        bool const pasted = A::run_item_action(A::ITEM_ACTION_PASTE, Items{sub});
        EXPECT_NE(sub->get_object("ball"), nullptr);
        return pasted;
    });
}

TEST_F(GuiItemActionsTest, CombineWithAPivotAndGroupWithANameAreOneStepEach)
{
    A::Arguments arguments;
    arguments.pivot = A::PIVOT_FIRST;
    ASSERT_TRUE(A::run_item_action(A::ITEM_ACTION_COMBINE, Items{box, ball}, nullptr, arguments));
    EXPECT_EQ(commands().get_undo_count(), 1u);
    OfObject* combiner = geo->get_object("combiner");
    ASSERT_NE(combiner, nullptr);
    EXPECT_EQ(combiner->get_position(), box->get_position());
    arguments.name = "pair";
    ASSERT_TRUE(A::run_item_action(A::ITEM_ACTION_GROUP, Items{box, ball}, nullptr, arguments));
    EXPECT_EQ(ball->get_full_name(), "/geo/pair/ball");
}

struct DropRow {
    A::DropAction action;
    std::function<Items(GuiItemActionsTest&)> items;
    OfContext* (*target)(GuiItemActionsTest&);
    bool allowed;
};

TEST_F(GuiItemActionsTest, DropsRefuseItemsGoingIntoThemselvesOrWhereTheyAre)
{
    using T = GuiItemActionsTest;
    auto geo_of = [](T& t) { return t.geo; };
    auto shading_of = [](T& t) { return t.shading; };
    auto sub_of = [](T& t) { return t.sub; };
    std::vector<DropRow> const rows = {
        {A::DROP_ACTION_MOVE, [](T& t) { return Items{t.ball}; }, shading_of, true},
        {A::DROP_ACTION_MOVE,
         [](T& t) {
             return Items{t.ball, t.box};
         },
         geo_of, false},
        {A::DROP_ACTION_MOVE,
         [](T& t) {
             return Items{t.ball, t.red};
         },
         geo_of, true},
        {A::DROP_ACTION_MOVE, [](T& t) { return Items{t.geo}; }, geo_of, false},
        {A::DROP_ACTION_MOVE, [](T& t) { return Items{t.geo}; }, sub_of, false},
        {A::DROP_ACTION_MOVE, [](T& t) { return Items{t.inside}; }, geo_of, false},
        {A::DROP_ACTION_MOVE, [](T& t) { return Items{t.wheel}; }, geo_of, false},
        {A::DROP_ACTION_MOVE, [](T& t) { return Items{t.ball}; }, [](T& t) { return t.refs; }, false},
        {A::DROP_ACTION_COPY, [](T& t) { return Items{t.ball}; }, geo_of, true},
        {A::DROP_ACTION_COPY, [](T& t) { return Items{t.geo}; }, sub_of, false},
        {A::DROP_ACTION_COPY, [](T& t) { return Items{&t.root()}; }, geo_of, false},
        {A::DROP_ACTION_COPY, [](T&) { return Items{}; }, geo_of, false},
        {A::DROP_ACTION_INSTANTIATE, [](T& t) { return Items{t.ball}; }, geo_of, true},
        {A::DROP_ACTION_INSTANTIATE, [](T& t) { return Items{t.geo}; }, shading_of, false},
        {A::DROP_ACTION_GROUP,
         [](T& t) {
             return Items{t.ball, t.box};
         },
         shading_of, true},
        {A::DROP_ACTION_GROUP, [](T& t) { return Items{t.geo}; }, sub_of, false},
        {A::DROP_ACTION_COMBINE, [](T& t) { return Items{t.ball}; }, shading_of, true},
        {A::DROP_ACTION_COMBINE, [](T& t) { return Items{t.sub}; }, shading_of, false},
        {A::DROP_ACTION_NONE, [](T& t) { return Items{t.ball}; }, shading_of, false},
    };
    for (DropRow const& row : rows) {
        Items const items = row.items(*this);
        OfContext* target = row.target(*this);
        std::string const what =
            A::get_drop_action_name(row.action) + std::string(" #") + std::to_string(&row - rows.data());
        EXPECT_EQ(A::is_drop_action_allowed(row.action, items, target), row.allowed) << what;
        expect_run(what, row.allowed, [&] { return A::run_drop_action(row.action, items, target); });
    }
    EXPECT_TRUE(A::is_drop_action_allowed(A::DROP_ACTION_CANCEL, Items{}, nullptr));
    EXPECT_TRUE(A::run_drop_action(A::DROP_ACTION_CANCEL, Items{ball}, geo));
    EXPECT_EQ(commands().get_undo_count(), 0u);
}

TEST_F(GuiItemActionsTest, TheDefaultDropMovesElseInstantiatesElseCopies)
{
    struct Row {
        char const* what;
        Items items;
        OfContext* target;
        A::DropAction expected;
    };
    for (Row const& row : {Row{"elsewhere", Items{ball}, shading, A::DROP_ACTION_MOVE},
                           Row{"own context", Items{ball}, geo, A::DROP_ACTION_INSTANTIATE},
                           Row{"virtual object", Items{inside}, geo, A::DROP_ACTION_INSTANTIATE},
                           Row{"context onto its own context", Items{sub}, geo, A::DROP_ACTION_COPY},
                           Row{"locked root", Items{&root()}, geo, A::DROP_ACTION_NONE},
                           Row{"into a reference", Items{ball}, refs, A::DROP_ACTION_NONE}})
        EXPECT_EQ(A::get_default_drop_action(row.items, row.target), row.expected) << row.what;
}

TEST_F(GuiItemActionsTest, UnknownValuesHaveNamesAndAreNeverAllowed)
{
    auto const unknown = static_cast<A::ItemAction>(A::ITEM_ACTION_COUNT + 3);
    EXPECT_STREQ(A::get_item_action_name(unknown), "ITEM_ACTION_UNKNOWN");
    EXPECT_STREQ(A::get_drop_action_name(static_cast<A::DropAction>(-1)), "DROP_ACTION_UNKNOWN");
    EXPECT_FALSE(A::is_item_action_allowed(unknown, Items{ball}));
    LogRecorder log;
    EXPECT_FALSE(A::run_item_action(unknown, Items{ball}));
    EXPECT_EQ(log.count(), 1u);
}

}  // namespace
