#pragma once
// Settings files: a text form of a ParserGroup tree that is easy to read and to diff.
//
//     # Colour tags of the item views.
//     color_tags {
//         red {
//             tip "Red"
//             weight 1.0
//             color 255 0 0
//         }
//         '#version' 2.5                 # a name that is not an identifier
//     }
//     bookmark "front" (0.2 0.4 1.0) (10.0 -3.5 1.0)
//     flags true false
//
// Grammar (white space separates tokens where needed; '#' starts a comment up to the end
// of the line):
//
//     file   := entry*
//     entry  := name value*            the values end at the next name, '}' or the end
//                                      of the text, so they may run on over several lines
//     name   := IDENT | 'quoted'       IDENT is [A-Za-z_][A-Za-z0-9_.-]*, other than the
//                                      keywords true, false, inf, nan
//     value  := true | false           bool
//             | INT                    [+-]?digits, a 64-bit signed int
//             | DOUBLE                 a number with '.' or an exponent, or inf, -inf, nan
//             | "string"
//             | ( num num )            vec2d (num is an INT or a DOUBLE)
//             | ( num num num )        vec3d
//             | { entry* }             group
//
// Strings and quoted names take the escapes \" \' \\ \n \t \r and \xHH (any byte); other
// bytes are kept as they are (UTF-8 passes through) but a string may not span lines.
// Writing escapes every control byte and every byte that is not part of valid UTF-8, so
// written files are valid UTF-8; doubles are written with the shortest text that reads
// back the same value, always with a '.' or an exponent. Whatever is written reads back
// equal (NaN reads back as NaN, without its sign or payload).
//
// Reading never stops at the first mistake: each error is logged once as
// "ParserFile.read: <path>:<line>: <what>\n", the entry holding it is skipped up to the
// next entry, and the rest is read. Groups may nest 256 deep.
#include <string_view>

#include "host/core/core_base_object.h"
#include "host/core/core_export.h"
#include "host/core/core_string.h"
#include "host/parser/parser_group.h"

// A settings file: its path and the tree read from or written to it.
class QN_HOST_API ParserFile : public CoreBaseObject {
    CORE_DECLARE_CLASS(ParserFile, CoreBaseObject)

public:
    enum Mode : int {
        // One entry per line, groups opened on the entry's line and their content
        // indented by four spaces: the form for files people read and diff.
        MODE_PRETTY,
        // Each top-level entry on one line with single spaces: smaller, for machine use.
        MODE_COMPACT,
        MODE_COUNT
    };
    static char const* get_mode_name(Mode const& mode);

    // Groups nested deeper than this are refused by both reading and writing.
    static constexpr unsigned int MAX_DEPTH = 256;

    explicit ParserFile(CoreBasicString const& path = CoreBasicString());

    CoreString const& get_path() const { return m_path; }
    void set_path(CoreBasicString const& path) { m_path = path; }
    ParserGroup& get_root() { return m_root; }
    ParserGroup const& get_root() const { return m_root; }

    // Reads the file at `path` (the file's own path when empty) into the root, replacing
    // its content, and remembers the path. False when the file cannot be read (the root
    // is then untouched) or when it held errors (the root then holds every entry that
    // read correctly).
    bool read(CoreBasicString const& path = CoreBasicString());
    // Reads `text` as if it were a file; `source` names it in messages.
    bool read_from_string(std::string_view text, CoreBasicString const& source = "<string>");
    // Errors found by the last read.
    unsigned int const& get_error_count() const { return m_error_count; }

    // Writes the root to `path` (the file's own path when empty) through a temporary
    // file in the same folder renamed over the target, so the target is either the old
    // file or the whole new one. False, with the target untouched, on failure.
    bool write(Mode const& mode = MODE_PRETTY, CoreBasicString const& path = CoreBasicString()) const;
    // The text write would produce; empty (with an error) when the tree nests too deep.
    CoreString write_to_string(Mode const& mode = MODE_PRETTY) const;

    size_t get_memory_size() const override;

private:
    bool parse(std::string_view text, CoreBasicString const& source, char const* caller);

    CoreString m_path;
    ParserGroup m_root;
    unsigned int m_error_count = 0;
};
