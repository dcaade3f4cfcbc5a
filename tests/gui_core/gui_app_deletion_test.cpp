// Deferred deletion on its own: what deleting queues is deleted too, and event scopes nest.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/core/gui_app_deletion.h"
#include "host/core/core_base_object.h"

namespace {

// Logs its deletion and, when given a follower, queues it from its destructor.
class Doomed : public CoreBaseObject {
public:
    Doomed(std::vector<std::string>& log, char const* name, GuiAppDeletion* queue = nullptr,
           Doomed* follower = nullptr)
        : m_log(log), m_name(name), m_queue(queue), m_follower(follower)
    {
    }
    ~Doomed() override
    {
        m_log.push_back(m_name);
        if (m_queue) m_queue->add_object(m_follower);
    }

private:
    std::vector<std::string>& m_log;
    char const* m_name;
    GuiAppDeletion* m_queue;
    Doomed* m_follower;
};

TEST(GuiAppDeletion, WhatDeletingQueuesIsDeletedInTheSameCall)
{
    std::vector<std::string> log;
    GuiAppDeletion deletion;
    Doomed* follower = new Doomed(log, "follower");
    deletion.add_object(new Doomed(log, "first", &deletion, follower));
    deletion.add_object(nullptr);
    EXPECT_EQ(deletion.get_object_count(), 1u);
    deletion.delete_all();
    EXPECT_EQ(log, (std::vector<std::string>{"first", "follower"}));
    EXPECT_EQ(deletion.get_object_count(), 0u);
}

TEST(GuiAppDeletion, WhatIsStillQueuedGoesWithTheQueue)
{
    std::vector<std::string> log;
    {
        GuiAppDeletion deletion;
        deletion.add_object(new Doomed(log, "left"));
    }
    EXPECT_EQ(log, std::vector<std::string>{"left"});
}

}  // namespace
