#pragma once
// Shared pieces of the fuzz targets: silencing the log (bad input is reported, and that is
// expected while fuzzing) and an invariant check that stops the run where it fails.
#include <cstdlib>
#include <string>

#include "host/core/core_log.h"

// Drops every message.
class FuzzNullLogHandler : public CoreLogHandler {
public:
    FuzzNullLogHandler() : CoreLogHandler(0) {}

    // Installs one process-wide null handler the first time it is called.
    static void install()
    {
        static FuzzNullLogHandler handler;
        static bool const installed = (CoreLogHandler::set_main_log_handler(&handler), true);
        (void)installed;
    }

protected:
    void write(int, std::string const&) override {}
};

// Aborts (and so reports the input to the fuzzer) when an invariant does not hold.
inline void fuzz_check(bool condition)
{
    if (!condition) std::abort();
}
