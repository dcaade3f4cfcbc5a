#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "host/event/event_id.h"
#include "host/event/event_object.h"
#include "tests/support/log_recorder.h"

EVENT_DECLARE_ID(, EVT_ID_TEST_CLICK);
EVENT_DECLARE_ID(, EVT_ID_TEST_CHANGED);
EVENT_DEFINE_ID(EVT_ID_TEST_CLICK);
EVENT_DEFINE_ID(EVT_ID_TEST_CHANGED);

namespace {

using Info = EventObject::EventInfo;
using Calls = std::vector<std::string>;

// Records its calls as "tag:event" and runs an optional action inside the callback.
class Receiver : public EventObject {
public:
    Receiver(std::string tag, Calls& calls) : m_tag(std::move(tag)), m_calls(calls) {}

    void on_event(EventObject& sender, Info const& info, void* data)
    {
        m_calls.push_back(m_tag + ":" + info.get_name().std_string());
        last_sender = info.get_sender() == &sender ? &sender : nullptr;
        last_data = data;
        last_event_data = info.get_event_data();
        std::function<void()> action = m_action;  // a copy: the action may destroy this receiver
        if (action) action();
    }
    void on_other(EventObject&, Info const&, void*) { m_calls.push_back(m_tag + ":other"); }
    void set_action(std::function<void()> action) { m_action = std::move(action); }

    EventObject* last_sender = nullptr;
    void* last_data = nullptr;
    void* last_event_data = nullptr;

private:
    std::string m_tag;
    Calls& m_calls;
    std::function<void()> m_action;
};

void free_callback(EventObject&, Info const& info, void* data)
{
    static_cast<Calls*>(data)->push_back("free:" + info.get_name().std_string());
}

class Button : public EventObject {
public:
    int clicks = 0;
};

class ButtonOwner : public EventObject {
public:
    void on_click(Button& button, Info const&, void*) { ++button.clicks; }
};

// A receiver whose callback comes from a second base class.
struct Listener {
    virtual ~Listener() = default;
    void on_heard(EventObject&, Info const&, void*) { ++heard; }
    int heard = 0;
};
class Panel : public EventObject, public Listener {};

// What a receiver tagged `tag` records for EVT_ID_TEST_CLICK.
std::string r_click(std::string const& tag) { return tag + ":EVT_ID_TEST_CLICK"; }

}  // namespace

TEST(EventObject, RaiseCallsCallbacksInConnectionOrderWithTheirData)
{
    Calls calls;
    EventObject sender;
    Receiver a("a", calls), b("b", calls);
    int data_a = 0, payload = 0;
    ASSERT_TRUE(b.connect(sender, EVT_ID_TEST_CLICK, &Receiver::on_event));
    ASSERT_TRUE(EventObject::connect(sender, EVT_ID_TEST_CLICK, &free_callback, &calls));
    ASSERT_TRUE(a.connect(sender, EVT_ID_TEST_CLICK, &Receiver::on_event, &data_a));
    ASSERT_TRUE(a.connect(sender, EVT_ID_TEST_CHANGED, &Receiver::on_other));

    sender.raise_event(EVT_ID_TEST_CLICK);
    EXPECT_EQ(calls, (Calls{r_click("b"), r_click("free"), r_click("a")}));
    EXPECT_EQ(a.last_sender, &sender);  // as the argument and in the info
    EXPECT_EQ(a.last_data, &data_a);

    // The event data reaches every callback; the other name and other senders call nothing.
    calls.clear();
    EventObject stranger;
    sender.raise_event(Info(EVT_ID_TEST_CLICK, &payload));
    stranger.raise_event(EVT_ID_TEST_CLICK);
    EXPECT_EQ(calls.size(), 3u);
    EXPECT_EQ(b.last_event_data, &payload);
    EXPECT_EQ(b.last_sender, &sender);  // this form sets the sender too

    // Muting silences both forms of raise_event.
    calls.clear();
    sender.set_mute(true);
    sender.raise_event(EVT_ID_TEST_CLICK);
    sender.raise_event(Info(EVT_ID_TEST_CHANGED));
    EXPECT_TRUE(calls.empty());
    sender.set_mute(false);
    sender.raise_event(EVT_ID_TEST_CHANGED);
    EXPECT_EQ(calls, (Calls{"a:other"}));
}

TEST(EventObject, NamesMatchByTextWhateverStringCarriesThem)
{
    Calls calls;
    EventObject sender;
    Receiver a("a", calls), b("b", calls);
    CoreString built("EVT_ID_");
    built += "TEST_CLICK";
    ASSERT_TRUE(a.connect(sender, EVT_ID_TEST_CLICK, &Receiver::on_event));
    {
        CoreString temporary(built);  // the connection keeps its own copy of the text
        ASSERT_TRUE(b.connect(sender, temporary, &Receiver::on_event));
    }
    sender.raise_event(built);
    sender.raise_event(EVT_ID_TEST_CLICK);
    sender.raise_event(CoreString("EVT_ID_TEST_CLIC"));
    EXPECT_EQ(calls, (Calls{r_click("a"), r_click("b"), r_click("a"), r_click("b")}));
}

TEST(EventObject, ConnectChecksClassesAndRefusesBadConnections)
{
    LogRecorder log;
    Button button;
    ButtonOwner owner;
    Panel panel;
    Calls calls;
    Receiver receiver("r", calls);

    // The callback gets the sender as its own class; a member of a second base is reached.
    ASSERT_TRUE(owner.connect(button, EVT_ID_TEST_CLICK, &ButtonOwner::on_click));
    ASSERT_TRUE(panel.connect(button, EVT_ID_TEST_CLICK, &Panel::on_heard));
    button.raise_event(EVT_ID_TEST_CLICK);
    EXPECT_EQ(button.clicks, 1);
    EXPECT_EQ(panel.heard, 1);
    EXPECT_EQ(log.count(), 0u) << log.dump();

    // A member of a class this object is not, an empty name, a null callback: errors.
    EXPECT_FALSE(owner.connect(button, EVT_ID_TEST_CLICK, &Receiver::on_event));
    EXPECT_FALSE(receiver.connect(button, CoreString(), &Receiver::on_event));
    EXPECT_FALSE(receiver.connect(button, EVT_ID_TEST_CLICK,
                                  static_cast<EventObject::MemberCallback<Receiver, EventObject>>(nullptr)));
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_ERROR), 3u) << log.dump();

    // The same callback and data twice: a warning; other data makes another connection.
    int data = 0;
    log.clear();
    ASSERT_TRUE(receiver.connect(button, EVT_ID_TEST_CHANGED, &Receiver::on_event));
    EXPECT_FALSE(receiver.connect(button, EVT_ID_TEST_CHANGED, &Receiver::on_event));
    EXPECT_TRUE(receiver.connect(button, EVT_ID_TEST_CHANGED, &Receiver::on_event, &data));
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u) << log.dump();
    button.raise_event(EVT_ID_TEST_CHANGED);
    EXPECT_EQ(calls.size(), 2u);
}

TEST(EventObject, DisconnectVariantsAndIsConnected)
{
    Calls calls;
    EventObject first, second;
    Receiver a("a", calls), b("b", calls);
    int data = 0;
    a.connect(first, EVT_ID_TEST_CLICK, &Receiver::on_event);
    a.connect(first, EVT_ID_TEST_CLICK, &Receiver::on_event, &data);
    a.connect(first, EVT_ID_TEST_CLICK, &Receiver::on_other);
    a.connect(first, EVT_ID_TEST_CHANGED, &Receiver::on_event);
    a.connect(second, EVT_ID_TEST_CLICK, &Receiver::on_event);
    b.connect(first, EVT_ID_TEST_CLICK, &Receiver::on_event);
    EventObject::connect(first, EVT_ID_TEST_CLICK, &free_callback, &calls);
    auto lambda = [](EventObject&, Info const&, void* d) { static_cast<Calls*>(d)->push_back("lambda"); };
    EventObject::connect(first, EVT_ID_TEST_CLICK, lambda, &calls);
    EXPECT_FALSE(b.is_connected(first, EVT_ID_TEST_CLICK, &data));

    // A member callback goes with all its data; the other member and receivers stay.
    EXPECT_TRUE(a.disconnect(first, EVT_ID_TEST_CLICK, &Receiver::on_event));
    EXPECT_FALSE(a.disconnect(first, EVT_ID_TEST_CLICK, &Receiver::on_event));
    EXPECT_FALSE(a.is_connected(first, EVT_ID_TEST_CLICK, &data));
    EXPECT_TRUE(a.is_connected(first, EVT_ID_TEST_CHANGED, nullptr));
    EXPECT_TRUE(EventObject::disconnect(first, EVT_ID_TEST_CLICK, &free_callback));
    first.raise_event(EVT_ID_TEST_CLICK);
    EXPECT_EQ(calls, (Calls{"a:other", r_click("b"), "lambda"}));

    // disconnect_all(sender) spares other senders; disconnect_all() spares other receivers
    // and free functions.
    EXPECT_EQ(a.disconnect_all(first), 2u);
    EXPECT_TRUE(a.is_connected(second, EVT_ID_TEST_CLICK, nullptr));
    a.connect(first, EVT_ID_TEST_CHANGED, &Receiver::on_event);
    EXPECT_EQ(a.disconnect_all(), 2u);
    EXPECT_EQ(second.get_connection_count(), 0u);
    EXPECT_EQ(first.get_connection_count(), 2u);
}

TEST(EventObject, DestroyingEitherEndRemovesTheConnections)
{
    Calls calls;
    auto sender = std::make_unique<EventObject>();
    auto a = std::make_unique<Receiver>("a", calls);
    Receiver b("b", calls);
    a->connect(*sender, EVT_ID_TEST_CLICK, &Receiver::on_event);
    b.connect(*sender, EVT_ID_TEST_CLICK, &Receiver::on_event);
    b.connect(*a, EVT_ID_TEST_CLICK, &Receiver::on_event);
    a->connect(b, EVT_ID_TEST_CLICK, &Receiver::on_event);

    a.reset();
    EXPECT_EQ(sender->get_connection_count(), 1u);
    EXPECT_EQ(b.get_connection_count(), 0u);
    sender->raise_event(EVT_ID_TEST_CLICK);
    EXPECT_EQ(calls, (Calls{r_click("b")}));
    sender.reset();
    EXPECT_EQ(b.disconnect_all(), 0u);
}

TEST(EventObjectReentrancy, ConnectingAndDisconnectingDuringARaise)
{
    Calls calls;
    EventObject sender;
    Receiver first("first", calls), second("second", calls), third("third", calls), late("late", calls);
    for (Receiver* r : {&first, &second, &third}) r->connect(sender, EVT_ID_TEST_CLICK, &Receiver::on_event);

    // The second callback removes the first (already called) and the third (not yet), and
    // connects a new one, which waits for the next raise.
    second.set_action([&] {
        first.disconnect_all();
        third.disconnect(sender, EVT_ID_TEST_CLICK, &Receiver::on_event);
        late.connect(sender, EVT_ID_TEST_CLICK, &Receiver::on_event);
        EXPECT_EQ(sender.get_connection_count(), 2u);
    });
    sender.raise_event(EVT_ID_TEST_CLICK);
    EXPECT_EQ(calls, (Calls{r_click("first"), r_click("second")}));

    calls.clear();
    second.set_action(nullptr);
    sender.raise_event(EVT_ID_TEST_CLICK);
    EXPECT_EQ(calls, (Calls{r_click("second"), r_click("late")}));
}

TEST(EventObjectReentrancy, ReceiversDestroyedDuringARaise)
{
    Calls calls;
    EventObject sender;
    auto* self_deleting = new Receiver("self", calls);
    auto* victim = new Receiver("victim", calls);
    Receiver last("last", calls);
    for (Receiver* r : {self_deleting, victim, &last}) {
        r->connect(sender, EVT_ID_TEST_CLICK, &Receiver::on_event);
    }
    self_deleting->set_action([&] {
        delete self_deleting;
        delete victim;
    });
    sender.raise_event(EVT_ID_TEST_CLICK);
    EXPECT_EQ(calls, (Calls{r_click("self"), r_click("last")}));
    EXPECT_EQ(sender.get_connection_count(), 1u);
}

TEST(EventObjectReentrancy, SenderDestroyedDuringARaise)
{
    Calls calls;
    auto* sender = new EventObject;
    auto* other = new EventObject;
    Receiver a("a", calls), b("b", calls), c("c", calls);
    for (Receiver* r : {&a, &b, &c}) {
        r->connect(*sender, EVT_ID_TEST_CLICK, &Receiver::on_event);
        r->connect(*other, EVT_ID_TEST_CHANGED, &Receiver::on_other);
    }
    // Raising `sender` makes `other` raise, and b's callback there destroys `sender`: the
    // inner raise goes on, the outer one stops after the callback that started it.
    a.set_action([&] {
        a.set_action(nullptr);
        other->raise_event(EVT_ID_TEST_CHANGED);
    });
    b.connect(*other, EVT_ID_TEST_CHANGED, &Receiver::on_event);
    b.set_action([&] {
        b.set_action(nullptr);
        delete sender;
    });
    sender->raise_event(EVT_ID_TEST_CLICK);
    EXPECT_EQ(calls, (Calls{r_click("a"), "a:other", "b:other", "c:other", "b:EVT_ID_TEST_CHANGED"}));
    EXPECT_EQ(c.disconnect_all(), 1u);  // only `other` is left

    // A sender destroying itself from its own raise, with a recursive raise in between.
    calls.clear();
    a.connect(*other, EVT_ID_TEST_CLICK, &Receiver::on_event);
    b.connect(*other, EVT_ID_TEST_CLICK, &Receiver::on_event);
    int depth = 0;
    a.set_action([&] {
        if (++depth == 2) delete other;
        else other->raise_event(EVT_ID_TEST_CLICK);
    });
    other->raise_event(EVT_ID_TEST_CLICK);
    EXPECT_EQ(calls, (Calls{r_click("a"), r_click("a")}));
    EXPECT_EQ(a.disconnect_all() + b.disconnect_all(), 0u);
}

TEST(EventObjectReentrancy, RecursiveRaiseOfTheSameEvent)
{
    Calls calls;
    EventObject sender;
    Receiver a("a", calls), b("b", calls), c("c", calls), d("d", calls), e("e", calls);
    for (Receiver* r : {&a, &b, &c, &d, &e}) r->connect(sender, EVT_ID_TEST_CLICK, &Receiver::on_event);
    int depth = 0;
    // The nested raise removes `a` (already called by both raises) and `d` (called by
    // neither): both raises skip `d`, and the outer one, resumed, still calls `c` and `e`.
    b.set_action([&] {
        if (++depth == 2) {
            a.disconnect_all();
            d.disconnect_all();
            return;
        }
        sender.raise_event(EVT_ID_TEST_CLICK);
    });
    sender.raise_event(EVT_ID_TEST_CLICK);
    EXPECT_EQ(calls, (Calls{r_click("a"), r_click("b"), r_click("a"), r_click("b"), r_click("c"),
                            r_click("e"), r_click("c"), r_click("e")}));
    EXPECT_EQ(sender.get_connection_count(), 3u);
}

TEST(EventObjectCallable, LambdasTakeTheTypedSenderTheInfoOrNothing)
{
    Button button;
    std::vector<std::string> calls;
    EventConnection const typed = EventObject::connect(button, EVT_ID_TEST_CLICK, [&calls](Button& sender, Info const& info) {
        calls.push_back("typed:" + info.get_name().std_string());
        ++sender.clicks;
    });
    EventConnection const info_only = EventObject::connect(
        button, EVT_ID_TEST_CLICK, [&calls](Info const& info) { calls.push_back("info:" + std::to_string(info.get_sender() != nullptr)); });
    EventConnection const bare = EventObject::connect(button, EVT_ID_TEST_CHANGED, [&calls] { calls.push_back("bare"); });
    EXPECT_TRUE(typed && info_only && bare);

    button.raise_event(EVT_ID_TEST_CLICK);
    button.raise_event(EVT_ID_TEST_CHANGED);
    EXPECT_EQ(calls, (std::vector<std::string>{"typed:EVT_ID_TEST_CLICK", "info:1", "bare"}));
    EXPECT_EQ(button.clicks, 1);
    // Function pointers with the data argument still take the older form.
    Calls free_calls;
    EXPECT_TRUE(EventObject::connect(button, EVT_ID_TEST_CLICK, &free_callback, &free_calls));
    button.raise_event(EVT_ID_TEST_CLICK);
    EXPECT_EQ(free_calls, Calls{"free:EVT_ID_TEST_CLICK"});
}

TEST(EventObjectCallable, TheHandleDisconnectsOnceAndCopiesShareIt)
{
    EventObject sender;
    int calls = 0;
    EventConnection handle = EventObject::connect(sender, EVT_ID_TEST_CLICK, [&calls] { ++calls; });
    EventConnection const copy = handle;
    sender.raise_event(EVT_ID_TEST_CLICK);
    EXPECT_TRUE(handle.disconnect());
    EXPECT_FALSE(copy.is_connected());
    EXPECT_FALSE(EventConnection(copy).disconnect());
    sender.raise_event(EVT_ID_TEST_CLICK);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(sender.get_connection_count(), 0u);
    EXPECT_FALSE(EventConnection().disconnect());  // an empty handle
}

// The callable's captures are released when the connection ends, whichever way it ends.
TEST(EventObjectCallable, EndingTheConnectionReleasesTheCallable)
{
    struct Case {
        char const* how;
        std::function<void(std::unique_ptr<EventObject>&, std::unique_ptr<EventObject>&, EventConnection&)> end;
    };
    Case const cases[] = {
        {"handle", [](auto&, auto&, EventConnection& handle) { handle.disconnect(); }},
        {"sender destroyed", [](auto& sender, auto&, EventConnection&) { sender.reset(); }},
        {"receiver destroyed", [](auto&, auto& receiver, EventConnection&) { receiver.reset(); }},
        {"receiver disconnect_all", [](auto&, auto& receiver, EventConnection&) { receiver->disconnect_all(); }},
        {"sender remove_all_connection", [](auto& sender, auto&, EventConnection&) { sender->remove_all_connection(); }},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.how);
        auto sender = std::make_unique<EventObject>();
        auto receiver = std::make_unique<EventObject>();
        auto captured = std::make_shared<int>(0);
        std::weak_ptr<int> const watch = captured;
        EventConnection handle = EventObject::connect(*sender, EVT_ID_TEST_CLICK, *receiver, [captured] { ++*captured; });
        captured.reset();
        c.end(sender, receiver, handle);
        EXPECT_TRUE(watch.expired());
        EXPECT_FALSE(handle.is_connected());
        EXPECT_FALSE(handle.disconnect());
        if (sender) {
            sender->raise_event(EVT_ID_TEST_CLICK);
            EXPECT_EQ(sender->get_connection_count(), 0u);
        }
    }
}

TEST(EventObjectCallable, ALambdaMayEndItsConnectionOrDestroyItsSenderWhileRunning)
{
    // Its captures stay valid to the end of the call (the sanitizer build checks the reads).
    EventObject sender;
    EventConnection self;
    std::vector<std::string> calls;
    std::string const tag = "self";
    self = EventObject::connect(sender, EVT_ID_TEST_CLICK, [&self, &calls, tag] {
        self.disconnect();
        calls.push_back(tag);
    });
    EventObject::connect(sender, EVT_ID_TEST_CLICK, [&calls] { calls.push_back("next"); });
    sender.raise_event(EVT_ID_TEST_CLICK);
    sender.raise_event(EVT_ID_TEST_CLICK);
    EXPECT_EQ(calls, (std::vector<std::string>{"self", "next", "next"}));

    auto* doomed = new EventObject;
    std::string const name = "doomed";
    std::string seen;
    EventConnection const handle = EventObject::connect(*doomed, EVT_ID_TEST_CLICK, [doomed, name, &seen] {
        delete doomed;
        seen = name;
    });
    doomed->raise_event(EVT_ID_TEST_CLICK);
    EXPECT_EQ(seen, "doomed");
    EXPECT_FALSE(handle.is_connected());
}

TEST(EventObjectCallable, AnEmptyNameGivesAnEmptyHandleAndAnError)
{
    LogRecorder log;
    EventObject sender;
    EventConnection const handle = EventObject::connect(sender, CoreString(), [] {});
    EXPECT_FALSE(handle);
    EXPECT_TRUE(log.contains("EventObject.connect: the event name is empty")) << log.dump();
    EXPECT_EQ(sender.get_connection_count(), 0u);
}

TEST(EventObjectThreads, UnrelatedGroupsOnSeparateThreads)
{
    // Each thread owns its objects; connecting and defining names share the name registry.
    auto work = [](int* total) {
        for (int round = 0; round < 200; ++round) {
            Button button;
            ButtonOwner owner;
            CoreString id("EVT_ID_THREAD_");
            id += round % 7;
            EventIdRegistration registration(id);
            owner.connect(button, EVT_ID_TEST_CLICK, &ButtonOwner::on_click);
            owner.connect(button, id, &ButtonOwner::on_click);
            button.raise_event(EVT_ID_TEST_CLICK);
            owner.disconnect(button, id, &ButtonOwner::on_click);
            button.raise_event(id);
            *total += button.clicks;
        }
    };
    int totals[2] = {0, 0};
    std::thread first(work, &totals[0]);
    std::thread second(work, &totals[1]);
    first.join();
    second.join();
    EXPECT_EQ(totals[0], 200);
    EXPECT_EQ(totals[1], 200);
}
