#pragma once
// GuiTextSyntax: the syntax colouring of a text editor. It holds seven token tables
// (operators, string delimiters, line-comment markers, block-comment marker pairs, keywords,
// reserved keywords, preprocessor keywords), splits a line into coloured runs
// (GuiTextEditLineInfo::SyntaxColor) and keeps a buffer's runs current: only lines marked
// dirty, or whose block-comment state at their start changed, are computed again.
//
//     GuiTextSyntax syntax;
//     syntax.set_table(GuiTextSyntax::TABLE_KEYWORDS, {"if", "else"});
//     syntax.compute(buffer, first_visible, last_visible);
//
// Every table entry is matched incrementally, one character at a time (is_keyword), so
// overlapping candidates are tracked together. Runs address 16-bit columns: only the
// first 65535 bytes of a longer line are coloured.
#include <vector>

#include "gui/core/gui_export.h"
#include "gui/text/gui_text_buffer.h"
#include "host/core/core_vector.h"

class QN_GUI_API GuiTextSyntax {
public:
    enum Table : int {
        TABLE_OPERATORS = 0,
        TABLE_STRINGS = 1,
        TABLE_LINE_COMMENTS = 2,
        // Consecutive pairs: opening marker, closing marker.
        TABLE_BLOCK_COMMENTS = 3,
        TABLE_KEYWORDS = 4,
        TABLE_RESERVED_KEYWORDS = 5,
        TABLE_PREPROCESSOR_KEYWORDS = 6,
        TABLE_COUNT = 7
    };
    // "TABLE_OPERATORS", ...; "TABLE_COUNT" for other values.
    static char const* get_table_name(Table const& table);

    // One table entry and the state of its match in the line being coloured.
    struct KeywordData {
        int matched = 0;  // characters matched so far
        int start = -1;   // column where the match began
        CoreString text;
    };

    // The longest column a run can address.
    static constexpr int MAX_COLORED_COLUMN = 65535;

    // Operators "+ - * / = ( ) < > [ ] , ; { } . : ? != %" and strings ' and ".
    GuiTextSyntax();

    // Rebuilds a table (empty entries are skipped with a warning); true when it holds
    // entries afterwards.
    bool set_table(Table const& table, CoreVector<CoreString> const& entries);
    CoreVector<KeywordData> const& get_table(Table const& table) const;
    static bool is_keywords_exists(CoreString const& text, CoreVector<KeywordData> const& table);

    // Feeds one character to an entry: starts, extends or resets its match. True when the
    // entry's last character was just matched.
    static bool is_keyword(char const& c, int const& column, KeywordData& entry);

    // The runs of one line that starts inside block comment `block_in` (pair index + 1, 0
    // for none); returns the block comment open at its end, in the same form.
    int compute_line(CoreString const& line, int const& block_in, CoreVector<GuiTextEditLineInfo::SyntaxColor>& runs);
    // Colours the buffer's lines first..last: every dirty line among them, and the lines
    // above that earlier edits left stale. Returns how many lines were computed.
    int compute(GuiTextBuffer& buffer, int const& first, int const& last);

private:
    // A table and, per first byte, the entries that start with it.
    struct Matcher {
        CoreVector<KeywordData> entries;
        std::vector<int> by_first[256];
        std::vector<int> active;
        std::vector<int> next;
        void reset();
        // Indices of the entries that the character completes (reset by the caller).
        void feed(char const& c, int const& column, std::vector<int>& completed);
    };

    Matcher m_tables[TABLE_COUNT];
    std::vector<int> m_completed;
};
