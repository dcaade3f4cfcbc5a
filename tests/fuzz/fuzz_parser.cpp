// Feeds arbitrary bytes to the settings reader. Whatever it keeps must write out and read
// back equal in both modes, with the same text the second time.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "tests/fuzz/fuzz_support.h"
#include "host/parser/parser_file.h"

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* data, size_t size)
{
    FuzzNullLogHandler::install();

    ParserFile file;
    bool clean = file.read_from_string(std::string_view(reinterpret_cast<char const*>(data), size));
    fuzz_check(clean == (file.get_error_count() == 0));

    for (ParserFile::Mode mode : {ParserFile::MODE_PRETTY, ParserFile::MODE_COMPACT}) {
        CoreString text = file.write_to_string(mode);
        ParserFile reread;
        fuzz_check(reread.read_from_string(text.view()));
        fuzz_check(reread.get_root() == file.get_root());
        fuzz_check(reread.write_to_string(mode) == text);
    }
    return 0;
}
