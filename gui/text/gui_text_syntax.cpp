#include "gui/text/gui_text_syntax.h"

#include <algorithm>

namespace {

using SyntaxColor = GuiTextEditLineInfo::SyntaxColor;

bool is_word(char const& c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

bool is_digit(char const& c)
{
    return c >= '0' && c <= '9';
}

void add_run(CoreVector<SyntaxColor>& runs, int const& start, int const& length, GuiTextEditLineInfo::SyntaxType type)
{
    if (length <= 0) return;
    SyntaxColor run;
    run.start = static_cast<uint16_t>(start);
    run.length = static_cast<uint16_t>(length);
    run.type = type;
    runs.add(run);
}

// Runs that start inside [start, end) are drawn as plain text: the span's own run wins.
void neutralise(CoreVector<SyntaxColor>& runs, int const& start, int const& end)
{
    for (SyntaxColor& run : runs)
        if (run.start >= start && run.start < end) run.type = GuiTextEditLineInfo::SYNTAX_TYPE_NONE;
}

}  // namespace

char const* GuiTextSyntax::get_table_name(Table const& table)
{
    switch (table) {
        case TABLE_OPERATORS: return "TABLE_OPERATORS";
        case TABLE_STRINGS: return "TABLE_STRINGS";
        case TABLE_LINE_COMMENTS: return "TABLE_LINE_COMMENTS";
        case TABLE_BLOCK_COMMENTS: return "TABLE_BLOCK_COMMENTS";
        case TABLE_KEYWORDS: return "TABLE_KEYWORDS";
        case TABLE_RESERVED_KEYWORDS: return "TABLE_RESERVED_KEYWORDS";
        case TABLE_PREPROCESSOR_KEYWORDS: return "TABLE_PREPROCESSOR_KEYWORDS";
        default: return "TABLE_COUNT";
    }
}

GuiTextSyntax::GuiTextSyntax()
{
    set_table(TABLE_OPERATORS, {"+", "-", "*", "/", "=", "(", ")", "<", ">", "[", "]", ",", ";", "{", "}", ".", ":",
                                "?", "!=", "%"});
    set_table(TABLE_STRINGS, {"'", "\""});
}

bool GuiTextSyntax::set_table(Table const& table, CoreVector<CoreString> const& entries)
{
    if (table < 0 || table >= TABLE_COUNT) {
        CORE_LOG_WARNING("GuiTextSyntax.set_table: unknown table " << static_cast<int>(table) << "\n");
        return false;
    }
    Matcher& matcher = m_tables[table];
    matcher.entries.clear();
    for (std::vector<int>& list : matcher.by_first) list.clear();
    for (CoreString const& text : entries) {
        if (text.is_empty()) {
            CORE_LOG_WARNING("GuiTextSyntax.set_table: an empty entry of " << get_table_name(table) << " is skipped\n");
            continue;
        }
        KeywordData entry;
        entry.text = text;
        matcher.by_first[static_cast<unsigned char>(text[0])].push_back(static_cast<int>(matcher.entries.get_count()));
        matcher.entries.add(entry);
    }
    if (table == TABLE_BLOCK_COMMENTS && matcher.entries.get_count() % 2 != 0) {
        CORE_LOG_WARNING("GuiTextSyntax.set_table: block comments come in pairs; the last marker has no closing one\n");
    }
    matcher.reset();
    return !matcher.entries.is_empty();
}

CoreVector<GuiTextSyntax::KeywordData> const& GuiTextSyntax::get_table(Table const& table) const
{
    static CoreVector<KeywordData> const empty;
    return table >= 0 && table < TABLE_COUNT ? m_tables[table].entries : empty;
}

bool GuiTextSyntax::is_keywords_exists(CoreString const& text, CoreVector<KeywordData> const& table)
{
    for (KeywordData const& entry : table)
        if (entry.text == text) return true;
    return false;
}

bool GuiTextSyntax::is_keyword(char const& c, int const& column, KeywordData& entry)
{
    int const length = static_cast<int>(entry.text.get_length());
    if (length == 0) return false;
    if (entry.matched > 0 && entry.matched < length && entry.text[static_cast<unsigned int>(entry.matched)] == c) {
        ++entry.matched;
    } else if (entry.matched == 0 && entry.text[0] == c) {
        entry.matched = 1;
        entry.start = column;
    } else {
        entry.matched = 0;
        entry.start = -1;
        return false;
    }
    return entry.matched == length;
}

void GuiTextSyntax::Matcher::reset()
{
    for (KeywordData& entry : entries) {
        entry.matched = 0;
        entry.start = -1;
    }
    active.clear();
}

void GuiTextSyntax::Matcher::feed(char const& c, int const& column, std::vector<int>& completed)
{
    completed.clear();
    next.clear();
    // Matches in progress go on or reset; then the entries that begin with the character
    // (those just reset among them) start.
    for (int const index : active) {
        KeywordData& entry = entries[static_cast<unsigned int>(index)];
        if (is_keyword(c, column, entry))
            completed.push_back(index);
        else if (entry.matched > 0)
            next.push_back(index);
    }
    for (int const index : by_first[static_cast<unsigned char>(c)]) {
        KeywordData& entry = entries[static_cast<unsigned int>(index)];
        if (entry.matched != 0) continue;
        if (is_keyword(c, column, entry))
            completed.push_back(index);
        else
            next.push_back(index);
    }
    active.swap(next);
}

int GuiTextSyntax::compute_line(CoreString const& line, int const& block_in, CoreVector<SyntaxColor>& runs)
{
    using Info = GuiTextEditLineInfo;
    runs.clear();
    for (Matcher& matcher : m_tables) matcher.reset();
    std::string_view const text = line.view().substr(0, MAX_COLORED_COLUMN);
    int const length = static_cast<int>(text.size());
    CoreVector<KeywordData> const& blocks = m_tables[TABLE_BLOCK_COMMENTS].entries;
    int const pairs = static_cast<int>(blocks.get_count() / 2);

    // The end of block comment `pair` searched from `from`: the column after its closing
    // marker, or -1 when the comment goes on past the line.
    auto block_end = [&](int const& pair, int const& from) {
        std::string_view const closing = blocks[static_cast<unsigned int>(pair * 2 + 1)].text.view();
        size_t const found = text.find(closing, static_cast<size_t>(from));
        return found == std::string_view::npos ? -1 : static_cast<int>(found + closing.size());
    };

    int position = 0;
    if (block_in > 0 && block_in <= pairs) {
        int const end = block_end(block_in - 1, 0);
        if (end < 0) {
            add_run(runs, 0, length, Info::SYNTAX_TYPE_BLOCK_COMMENT);
            return block_in;
        }
        add_run(runs, 0, end, Info::SYNTAX_TYPE_BLOCK_COMMENT);
        position = end;
    }

    Matcher& strings = m_tables[TABLE_STRINGS];
    std::vector<int> open(strings.entries.get_count(), -1);
    int open_count = 0;
    int number_start = -1;
    static Info::SyntaxType const WORD_TYPES[3] = {Info::SYNTAX_TYPE_KEYWORD, Info::SYNTAX_TYPE_PREPROCESSOR_KEYWORD,
                                                   Info::SYNTAX_TYPE_RESERVED_KEYWORD};
    static Table const WORD_TABLES[3] = {TABLE_KEYWORDS, TABLE_PREPROCESSOR_KEYWORDS, TABLE_RESERVED_KEYWORDS};

    for (int i = position; i < length; ++i) {
        char const c = text[static_cast<size_t>(i)];
        // Numbers: a digit after a non-word character starts one, a non-word character ends it.
        if (number_start < 0) {
            if (is_digit(c) && (i == 0 || !is_word(text[static_cast<size_t>(i - 1)]))) number_start = i;
        } else if (!is_word(c)) {
            add_run(runs, number_start, i - number_start, Info::SYNTAX_TYPE_NUMBER);
            number_start = -1;
        }

        if (open_count == 0) {
            // A block comment opens here: its span takes over the runs inside it.
            int opened = -1;
            for (int p = 0; p < pairs && opened < 0; ++p)
                if (text.substr(static_cast<size_t>(i)).starts_with(blocks[static_cast<unsigned int>(p * 2)].text.view()))
                    opened = p;
            if (opened >= 0) {
                int const from = i + static_cast<int>(blocks[static_cast<unsigned int>(opened * 2)].text.get_length());
                int const end = block_end(opened, from);
                neutralise(runs, i, end < 0 ? length : end);
                add_run(runs, i, (end < 0 ? length : end) - i, Info::SYNTAX_TYPE_BLOCK_COMMENT);
                if (end < 0) return opened + 1;
                for (Matcher& matcher : m_tables) matcher.reset();
                number_start = -1;
                i = end - 1;
                continue;
            }
        }

        // Line comments, outside strings, take the rest of the line.
        m_tables[TABLE_LINE_COMMENTS].feed(c, i, m_completed);
        if (!m_completed.empty() && open_count == 0) {
            int const start = m_tables[TABLE_LINE_COMMENTS].entries[static_cast<unsigned int>(m_completed[0])].start;
            neutralise(runs, start, length);
            add_run(runs, start, length - start, Info::SYNTAX_TYPE_LINE_COMMENT);
            return 0;
        }
        for (int const index : m_completed) {
            KeywordData& entry = m_tables[TABLE_LINE_COMMENTS].entries[static_cast<unsigned int>(index)];
            entry.matched = 0;
            entry.start = -1;
        }

        // Strings: a delimiter closes its own open string or opens one when none is open.
        strings.feed(c, i, m_completed);
        for (int const index : m_completed) {
            KeywordData& entry = strings.entries[static_cast<unsigned int>(index)];
            int& start = open[static_cast<size_t>(index)];
            bool const escaped = entry.start > 0 && text[static_cast<size_t>(entry.start - 1)] == '\\';
            if (start >= 0 && !escaped) {
                neutralise(runs, start, i + 1);
                add_run(runs, start, i + 1 - start, Info::SYNTAX_TYPE_STRING);
                start = -1;
                --open_count;
            } else if (start < 0 && open_count == 0) {
                start = entry.start;
                ++open_count;
            }
            entry.matched = 0;
            entry.start = -1;
        }

        // Keywords of the three kinds, as whole words only.
        for (int k = 0; k < 3; ++k) {
            Matcher& words = m_tables[WORD_TABLES[k]];
            if (words.entries.is_empty()) continue;
            words.feed(c, i, m_completed);
            for (int const index : m_completed) {
                KeywordData& entry = words.entries[static_cast<unsigned int>(index)];
                bool const before = entry.start == 0 || !is_word(text[static_cast<size_t>(entry.start - 1)]);
                bool const after = i + 1 >= length || !is_word(text[static_cast<size_t>(i + 1)]);
                if (before && after) add_run(runs, entry.start, i + 1 - entry.start, WORD_TYPES[k]);
                entry.matched = 0;
                entry.start = -1;
            }
        }

        Matcher& operators = m_tables[TABLE_OPERATORS];
        operators.feed(c, i, m_completed);
        for (int const index : m_completed) {
            KeywordData& entry = operators.entries[static_cast<unsigned int>(index)];
            add_run(runs, entry.start, i + 1 - entry.start, Info::SYNTAX_TYPE_OPERATOR);
            entry.matched = 0;
            entry.start = -1;
        }
    }
    if (number_start >= 0) add_run(runs, number_start, length - number_start, Info::SYNTAX_TYPE_NUMBER);
    // An unterminated string runs to the end of the line.
    for (int const start : open)
        if (start >= 0) {
            neutralise(runs, start, length);
            add_run(runs, start, length - start, Info::SYNTAX_TYPE_STRING);
        }
    return 0;
}

int GuiTextSyntax::compute(GuiTextBuffer& buffer, int const& first, int const& last)
{
    int const count = buffer.get_line_count();
    int const end = std::min(last, count - 1);
    int const from = std::clamp(std::min(buffer.get_first_dirty_line(), first), 0, count - 1);
    if (end < from) return 0;
    int computed = 0;
    int previous_out = from == 0 ? 0 : buffer.get_info(from - 1).block_out;
    for (int line = from; line <= end; ++line) {
        GuiTextEditLineInfo& info = buffer.get_info(line);
        if (info.dirty || info.block_in != previous_out) {
            info.dirty = false;
            info.block_in = previous_out;
            info.block_out = compute_line(buffer.get_line(line), previous_out, info.syntax_colors);
            ++computed;
        }
        previous_out = info.block_out;
    }
    if (buffer.get_first_dirty_line() <= end) buffer.set_first_dirty_line(end + 1);
    return computed;
}
