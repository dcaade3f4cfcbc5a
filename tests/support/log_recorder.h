#pragma once
// Records the messages sent to the main log handler while it is alive, for assertions
// on what was reported. Installs itself on construction and restores the previous
// handler on destruction.
#include <mutex>
#include <string>
#include <vector>

#include "host/core/core_log.h"

class LogRecorder : public CoreLogHandler {
public:
    struct Message {
        int level;
        std::string text;
    };

    explicit LogRecorder(int verbosity = CORE_LOG_LEVEL_DEBUG);
    ~LogRecorder() override;

    std::vector<Message> get_messages() const;
    // Messages at exactly `level` (or all levels when 0).
    size_t count(int level = 0) const;
    // True when a message contains `text`.
    bool contains(std::string const& text) const;
    // All messages joined, for failure output.
    std::string dump() const;
    void clear();

protected:
    void write(int level, std::string const& text) override;

private:
    CoreLogHandler* m_previous;
    mutable std::mutex m_messages_mutex;
    std::vector<Message> m_messages;
};
