// Feeds arbitrary bytes to the settings reader. Whatever it keeps must write out and read
// back equal in both modes, with the same text the second time.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "host/core/core_log.h"
#include "host/parser/parser_file.h"

namespace {

// Drops every message: the reader reports each bad input and that is expected here.
class NullLogHandler : public CoreLogHandler {
public:
    NullLogHandler() : CoreLogHandler(0) {}

protected:
    void write(int, std::string const&) override {}
};

void check(bool condition)
{
    if (!condition) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* data, size_t size)
{
    static NullLogHandler null_handler;
    static bool installed = (CoreLogHandler::set_main_log_handler(&null_handler), true);
    (void)installed;

    ParserFile file;
    bool clean = file.read_from_string(std::string_view(reinterpret_cast<char const*>(data), size));
    check(clean == (file.get_error_count() == 0));

    for (ParserFile::Mode mode : {ParserFile::MODE_PRETTY, ParserFile::MODE_COMPACT}) {
        CoreString text = file.write_to_string(mode);
        ParserFile reread;
        check(reread.read_from_string(text.view()));
        check(reread.get_root() == file.get_root());
        check(reread.write_to_string(mode) == text);
    }
    return 0;
}
