#pragma once
// GuiTextBuffer: the lines of a multi-line text editor, built for large texts. Lines are
// UTF-8 without terminators, each with its GuiTextEditLineInfo (colour runs, log level,
// dirty flag). They are kept in blocks of a few hundred lines with the index of each
// block's first line, so that inserting or removing a line moves at most one block's
// records and finding a line is a binary search over the blocks: a 10 MB text is never
// copied for one edit. The buffer always holds at least one (possibly empty) line.
//
//     GuiTextBuffer buffer;
//     buffer.set_text("a\r\nb\tc");          // two lines, the tab expanded to spaces
//     buffer.insert_text(1, 0, "x");          // "xb   c"
//     buffer.get_text();                      // "a\nxb   c"
//
// Columns are byte offsets into a line; the static helpers step over whole UTF-8
// characters and convert between byte columns and character counts.
#include <cstdint>
#include <vector>

#include "gui/core/gui_export.h"
#include "host/core/core_log.h"
#include "host/core/core_string.h"
#include "host/core/core_vector.h"

// What the editor keeps beside each line: the syntax colour runs, the log level of an
// appended console line, and whether the runs must be computed again.
class QN_GUI_API GuiTextEditLineInfo {
public:
    enum SyntaxType : uint32_t {
        SYNTAX_TYPE_NONE = 0,  // a neutralised run: drawn as plain text
        SYNTAX_TYPE_LINE_COMMENT = 1,
        SYNTAX_TYPE_BLOCK_COMMENT = 2,
        SYNTAX_TYPE_NUMBER = 3,
        SYNTAX_TYPE_STRING = 4,
        SYNTAX_TYPE_KEYWORD = 5,
        SYNTAX_TYPE_PREPROCESSOR_KEYWORD = 6,
        SYNTAX_TYPE_RESERVED_KEYWORD = 7,
        SYNTAX_TYPE_OPERATOR = 8,
        SYNTAX_TYPE_COUNT = 9
    };
    // "SYNTAX_TYPE_NONE", ...; "SYNTAX_TYPE_COUNT" for other values.
    static char const* get_syntax_type_name(SyntaxType const& type);

    struct SyntaxColor {
        uint16_t start = 0;
        uint16_t length = 0;
        SyntaxType type = SYNTAX_TYPE_NONE;
        bool operator==(SyntaxColor const& other) const
        {
            return start == other.start && length == other.length && type == other.type;
        }
    };

    CoreVector<SyntaxColor> syntax_colors;
    // A CoreLogLevel (error 1 ... debug 4); 0 for lines that carry none.
    int log_level = CORE_LOG_LEVEL_INFO;
    bool dirty = true;
    // The block comment open where the line starts and where it ends (index of the
    // marker pair + 1, 0 for none): a change at the end asks the next line to be coloured.
    int block_in = 0;
    int block_out = 0;
};

class QN_GUI_API GuiTextBuffer {
public:
    // One line and its info.
    struct Line {
        CoreString text;
        GuiTextEditLineInfo info;
    };

    GuiTextBuffer();

    // --- Whole text ---
    // Replaces every line: line ends are "\n", "\r\n" or a lone "\r"; tabs are expanded to
    // spaces up to the next stop; invalid UTF-8 bytes and NUL bytes become U+FFFD with one
    // warning naming `who`.
    void set_text(CoreString const& text, int const& tab_width = 4, char const* who = "GuiTextBuffer.set_text");
    // The lines joined with "\n".
    CoreString get_text() const;
    // The text split into clean lines as set_text does it (never empty).
    static std::vector<CoreString> split_lines(CoreString const& text, int const& tab_width, char const* who);
    // One empty line.
    void clear();

    // --- Lines ---
    int get_line_count() const { return m_line_count; }
    // Indices are clamped to the lines.
    CoreString const& get_line(int const& line) const;
    GuiTextEditLineInfo& get_info(int const& line);
    GuiTextEditLineInfo const& get_info(int const& line) const;
    int get_line_length(int const& line) const { return static_cast<int>(get_line(line).get_length()); }

    // Primitive edits; each marks the line's info dirty. Positions out of range are clamped.
    void insert_text(int const& line, int const& column, CoreString const& text);
    // Removes `length` bytes and returns them.
    CoreString remove_text(int const& line, int const& column, int const& length);
    // Swaps `text` with the line's text.
    void swap_line(int const& line, CoreString& text);
    // Inserts before `line` (at the end for the line count).
    void insert_line(int const& line, CoreString const& text, GuiTextEditLineInfo const& info);
    // Removes the line and returns it; the last remaining line is emptied instead.
    Line remove_line(int const& line);
    // The line's info (every line's) marked dirty.
    void mark_dirty(int const& line);
    void mark_all_dirty();
    // No line above this one is dirty or coloured from a stale line above it: colouring
    // starts its checks here.
    int const& get_first_dirty_line() const { return m_first_dirty; }
    void set_first_dirty_line(int const& line) { m_first_dirty = line; }

    // --- Search ---
    // The first match of `text` at or after (line, column), wrapping once to the start;
    // false for an empty text or no match. Without case sensitivity ASCII letters compare
    // lower-cased.
    bool find(CoreString const& text, bool const& case_sensitive, int& line, int& column) const;
    // The first match in one line at or after the column; -1 when none.
    static int find_in_line(CoreString const& line, CoreString const& text, bool const& case_sensitive,
                            int const& column);

    // --- UTF-8 (byte columns) ---
    // Byte length of the character at the column (1 for a stray byte, 0 at the end).
    static int get_next_character_increment(CoreString const& line, int const& column);
    // Byte length of the character that ends at the column (0 at the start).
    static int get_previous_character_increment(CoreString const& line, int const& column);
    static int get_character_count_from_position(CoreString const& line, int const& column);
    // The byte column after `count` characters, at most the line's length.
    static int get_position_from_character_count(CoreString const& line, int const& count);
    // The column moved back to the start of the character it falls in, clamped to the line.
    static int snap_to_character(CoreString const& line, int const& column);
    // The text with invalid UTF-8 and NUL bytes replaced by U+FFFD; `replaced` tells if any was.
    static CoreString clean_utf8(std::string_view text, bool& replaced);
    // Spaces for each tab, up to the next multiple of tab_width counted in characters.
    static CoreString expand_tabs(CoreString const& line, int const& tab_width);

private:
    // Lines of one block; blocks split past MAX_BLOCK lines and go when empty.
    struct Block {
        std::vector<Line> lines;
    };
    static constexpr size_t MAX_BLOCK = 512;

    // Block index and line within it for a line index (clamped).
    void locate(int const& line, size_t& block, size_t& index) const;
    Line& at(int const& line);
    Line const& at(int const& line) const;
    // The first-line indices from block `from` on are stale.
    void invalidate_starts(size_t const& from);
    void update_starts() const;

    std::vector<Block> m_blocks;
    mutable std::vector<int> m_starts;
    mutable size_t m_starts_valid = 0;
    int m_line_count = 0;
    int m_first_dirty = 0;
};
