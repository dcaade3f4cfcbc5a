#include "gui/text/gui_text_buffer.h"

#include <algorithm>

#include "gui/core/gui.h"

namespace {

constexpr char REPLACEMENT[] = "\xef\xbf\xbd";  // U+FFFD

bool is_continuation(char const& c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

char lower(char const& c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

char const* GuiTextEditLineInfo::get_syntax_type_name(SyntaxType const& type)
{
    switch (type) {
        case SYNTAX_TYPE_NONE: return "SYNTAX_TYPE_NONE";
        case SYNTAX_TYPE_LINE_COMMENT: return "SYNTAX_TYPE_LINE_COMMENT";
        case SYNTAX_TYPE_BLOCK_COMMENT: return "SYNTAX_TYPE_BLOCK_COMMENT";
        case SYNTAX_TYPE_NUMBER: return "SYNTAX_TYPE_NUMBER";
        case SYNTAX_TYPE_STRING: return "SYNTAX_TYPE_STRING";
        case SYNTAX_TYPE_KEYWORD: return "SYNTAX_TYPE_KEYWORD";
        case SYNTAX_TYPE_PREPROCESSOR_KEYWORD: return "SYNTAX_TYPE_PREPROCESSOR_KEYWORD";
        case SYNTAX_TYPE_RESERVED_KEYWORD: return "SYNTAX_TYPE_RESERVED_KEYWORD";
        case SYNTAX_TYPE_OPERATOR: return "SYNTAX_TYPE_OPERATOR";
        default: return "SYNTAX_TYPE_COUNT";
    }
}

GuiTextBuffer::GuiTextBuffer()
{
    clear();
}

// --- UTF-8 ------------------------------------------------------------------------------------

CoreString GuiTextBuffer::clean_utf8(std::string_view text, bool& replaced)
{
    std::string out;
    out.reserve(text.size());
    replaced = false;
    for (size_t i = 0; i < text.size();) {
        size_t const length = text[i] == '\0' ? 0 : Gui::get_valid_character_length(text, i);
        if (length == 0) {
            out += REPLACEMENT;
            replaced = true;
            ++i;
            continue;
        }
        out.append(text.substr(i, length));
        i += length;
    }
    return CoreString(std::move(out));
}

CoreString GuiTextBuffer::expand_tabs(CoreString const& line, int const& tab_width)
{
    if (!line.contains('\t')) return line;
    int const width = std::max(1, tab_width);
    std::string out;
    int characters = 0;
    for (char const c : line.view()) {
        if (c == '\t') {
            int const spaces = width - characters % width;
            out.append(static_cast<size_t>(spaces), ' ');
            characters += spaces;
            continue;
        }
        out += c;
        if (!is_continuation(c)) ++characters;
    }
    return CoreString(std::move(out));
}

int GuiTextBuffer::get_next_character_increment(CoreString const& line, int const& column)
{
    int const length = static_cast<int>(line.get_length());
    if (column < 0 || column >= length) return 0;
    int step = 1;
    while (column + step < length && is_continuation(line[static_cast<unsigned int>(column + step)])) ++step;
    return step;
}

int GuiTextBuffer::get_previous_character_increment(CoreString const& line, int const& column)
{
    int const end = std::min(column, static_cast<int>(line.get_length()));
    if (end <= 0) return 0;
    int p = end - 1;
    while (p > 0 && is_continuation(line[static_cast<unsigned int>(p)])) --p;
    return end - p;
}

int GuiTextBuffer::get_character_count_from_position(CoreString const& line, int const& column)
{
    int const end = std::clamp(column, 0, static_cast<int>(line.get_length()));
    int count = 0;
    for (int p = 0; p < end; ++p)
        if (!is_continuation(line[static_cast<unsigned int>(p)])) ++count;
    return count;
}

int GuiTextBuffer::get_position_from_character_count(CoreString const& line, int const& count)
{
    int p = 0;
    int const length = static_cast<int>(line.get_length());
    for (int k = 0; k < count && p < length; ++k) p += get_next_character_increment(line, p);
    return p;
}

int GuiTextBuffer::snap_to_character(CoreString const& line, int const& column)
{
    int p = std::clamp(column, 0, static_cast<int>(line.get_length()));
    while (p > 0 && p < static_cast<int>(line.get_length()) && is_continuation(line[static_cast<unsigned int>(p)])) --p;
    return p;
}

// --- Whole text -------------------------------------------------------------------------------

std::vector<CoreString> GuiTextBuffer::split_lines(CoreString const& text, int const& tab_width, char const* who)
{
    bool replaced = false;
    CoreString const clean = clean_utf8(text.view(), replaced);
    if (replaced) CORE_LOG_WARNING(who << ": invalid UTF-8 or NUL bytes were replaced by U+FFFD\n");
    std::vector<CoreString> lines;
    std::string_view const view = clean.view();
    size_t start = 0;
    for (size_t i = 0; i <= view.size(); ++i) {
        if (i < view.size() && view[i] != '\n' && view[i] != '\r') continue;
        lines.push_back(expand_tabs(CoreString(view.substr(start, i - start)), tab_width));
        if (i < view.size() && view[i] == '\r' && i + 1 < view.size() && view[i + 1] == '\n') ++i;
        start = i + 1;
    }
    return lines;
}

void GuiTextBuffer::set_text(CoreString const& text, int const& tab_width, char const* who)
{
    std::vector<CoreString> lines = split_lines(text, tab_width, who);
    m_blocks.clear();
    for (size_t i = 0; i < lines.size(); i += MAX_BLOCK / 2) {
        Block block;
        size_t const end = std::min(lines.size(), i + MAX_BLOCK / 2);
        block.lines.reserve(end - i);
        for (size_t k = i; k < end; ++k) block.lines.push_back(Line{std::move(lines[k]), GuiTextEditLineInfo()});
        m_blocks.push_back(std::move(block));
    }
    m_line_count = static_cast<int>(lines.size());
    m_first_dirty = 0;
    invalidate_starts(0);
}

CoreString GuiTextBuffer::get_text() const
{
    size_t size = 0;
    for (Block const& block : m_blocks)
        for (Line const& line : block.lines) size += line.text.get_length() + 1;
    std::string out;
    out.reserve(size);
    bool first = true;
    for (Block const& block : m_blocks)
        for (Line const& line : block.lines) {
            if (!first) out += '\n';
            out += line.text.view();
            first = false;
        }
    return CoreString(std::move(out));
}

void GuiTextBuffer::clear()
{
    m_blocks.assign(1, Block());
    m_blocks[0].lines.push_back(Line());
    m_line_count = 1;
    m_first_dirty = 0;
    invalidate_starts(0);
}

// --- Lines --------------------------------------------------------------------------------------

void GuiTextBuffer::invalidate_starts(size_t const& from)
{
    m_starts_valid = std::min(m_starts_valid, from);
}

void GuiTextBuffer::update_starts() const
{
    if (m_starts_valid >= m_blocks.size() && m_starts.size() == m_blocks.size()) return;
    m_starts.resize(m_blocks.size());
    size_t b = std::min(m_starts_valid, m_blocks.size());
    int start = b == 0 ? 0 : m_starts[b - 1] + static_cast<int>(m_blocks[b - 1].lines.size());
    for (; b < m_blocks.size(); ++b) {
        m_starts[b] = start;
        start += static_cast<int>(m_blocks[b].lines.size());
    }
    m_starts_valid = m_blocks.size();
}

void GuiTextBuffer::locate(int const& line, size_t& block, size_t& index) const
{
    update_starts();
    int const target = std::clamp(line, 0, m_line_count - 1);
    auto it = std::upper_bound(m_starts.begin(), m_starts.end(), target);
    block = static_cast<size_t>(it - m_starts.begin()) - 1;
    // Empty blocks never stay, so the block found holds the line.
    index = static_cast<size_t>(target - m_starts[block]);
}

GuiTextBuffer::Line& GuiTextBuffer::at(int const& line)
{
    size_t block, index;
    locate(line, block, index);
    return m_blocks[block].lines[index];
}

GuiTextBuffer::Line const& GuiTextBuffer::at(int const& line) const
{
    size_t block, index;
    locate(line, block, index);
    return m_blocks[block].lines[index];
}

CoreString const& GuiTextBuffer::get_line(int const& line) const
{
    return at(line).text;
}

GuiTextEditLineInfo& GuiTextBuffer::get_info(int const& line)
{
    return at(line).info;
}

GuiTextEditLineInfo const& GuiTextBuffer::get_info(int const& line) const
{
    return at(line).info;
}

void GuiTextBuffer::insert_text(int const& line, int const& column, CoreString const& text)
{
    Line& target = at(line);
    int const at_column = std::clamp(column, 0, static_cast<int>(target.text.get_length()));
    target.text.replace_range(static_cast<unsigned int>(at_column), 0, text);
    target.info.dirty = true;
    m_first_dirty = std::min(m_first_dirty, std::max(0, line));
}

CoreString GuiTextBuffer::remove_text(int const& line, int const& column, int const& length)
{
    Line& target = at(line);
    int const size = static_cast<int>(target.text.get_length());
    int const start = std::clamp(column, 0, size);
    int const count = std::clamp(length, 0, size - start);
    CoreString removed = target.text.sub_string(static_cast<unsigned int>(start), static_cast<unsigned int>(count));
    target.text.replace_range(static_cast<unsigned int>(start), static_cast<unsigned int>(count), CoreString());
    target.info.dirty = true;
    m_first_dirty = std::min(m_first_dirty, std::max(0, line));
    return removed;
}

void GuiTextBuffer::swap_line(int const& line, CoreString& text)
{
    Line& target = at(line);
    std::swap(target.text, text);
    target.info.dirty = true;
    m_first_dirty = std::min(m_first_dirty, std::max(0, line));
}

void GuiTextBuffer::insert_line(int const& line, CoreString const& text, GuiTextEditLineInfo const& info)
{
    int const where = std::clamp(line, 0, m_line_count);
    size_t block, index;
    if (where == m_line_count) {
        block = m_blocks.size() - 1;
        index = m_blocks[block].lines.size();
    } else {
        locate(where, block, index);
    }
    std::vector<Line>& lines = m_blocks[block].lines;
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(index), Line{text, info});
    lines[index].info.dirty = true;
    m_first_dirty = std::min(m_first_dirty, where);
    ++m_line_count;
    if (lines.size() > MAX_BLOCK) {
        // Split in two halves so that neither fills up again at once.
        Block second;
        second.lines.assign(std::make_move_iterator(lines.begin() + MAX_BLOCK / 2), std::make_move_iterator(lines.end()));
        lines.resize(MAX_BLOCK / 2);
        m_blocks.insert(m_blocks.begin() + static_cast<std::ptrdiff_t>(block) + 1, std::move(second));
    }
    invalidate_starts(block + 1);
}

GuiTextBuffer::Line GuiTextBuffer::remove_line(int const& line)
{
    m_first_dirty = std::min(m_first_dirty, std::clamp(line, 0, m_line_count - 1));
    if (m_line_count == 1) {
        Line removed = std::move(m_blocks[0].lines[0]);
        m_blocks[0].lines[0] = Line();
        return removed;
    }
    size_t block, index;
    locate(line, block, index);
    std::vector<Line>& lines = m_blocks[block].lines;
    Line removed = std::move(lines[index]);
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(index));
    --m_line_count;
    if (lines.empty()) {
        m_blocks.erase(m_blocks.begin() + static_cast<std::ptrdiff_t>(block));
        invalidate_starts(block);
    } else {
        invalidate_starts(block + 1);
    }
    return removed;
}

void GuiTextBuffer::mark_dirty(int const& line)
{
    at(line).info.dirty = true;
    m_first_dirty = std::min(m_first_dirty, std::clamp(line, 0, m_line_count - 1));
}

void GuiTextBuffer::mark_all_dirty()
{
    m_first_dirty = 0;
    for (Block& block : m_blocks)
        for (Line& line : block.lines) line.info.dirty = true;
}

// --- Search -------------------------------------------------------------------------------------

int GuiTextBuffer::find_in_line(CoreString const& line, CoreString const& text, bool const& case_sensitive,
                                int const& column)
{
    std::string_view const hay = line.view();
    std::string_view const needle = text.view();
    if (needle.empty() || column < 0 || static_cast<size_t>(column) + needle.size() > hay.size()) return -1;
    if (case_sensitive) {
        size_t const found = hay.find(needle, static_cast<size_t>(column));
        return found == std::string_view::npos ? -1 : static_cast<int>(found);
    }
    auto const equal = [](char a, char b) { return lower(a) == lower(b); };
    auto const it = std::search(hay.begin() + column, hay.end(), needle.begin(), needle.end(), equal);
    return it == hay.end() ? -1 : static_cast<int>(it - hay.begin());
}

bool GuiTextBuffer::find(CoreString const& text, bool const& case_sensitive, int& line, int& column) const
{
    if (text.is_empty()) return false;
    update_starts();
    int const start_line = std::clamp(line, 0, m_line_count - 1);
    int const start_column = std::max(0, column);
    // From the start point to the end, then from the top to the start point.
    for (int pass = 0; pass < 2; ++pass) {
        int const first = pass == 0 ? start_line : 0;
        int const last = pass == 0 ? m_line_count - 1 : start_line;
        size_t block, index;
        locate(first, block, index);
        for (int l = first; l <= last; ++l) {
            CoreString const& candidate = m_blocks[block].lines[index].text;
            int const from = pass == 0 && l == start_line ? start_column : 0;
            int const found = find_in_line(candidate, text, case_sensitive, from);
            if (found >= 0 && !(pass == 1 && l == start_line && found >= start_column)) {
                line = l;
                column = found;
                return true;
            }
            if (++index == m_blocks[block].lines.size()) {
                ++block;
                index = 0;
            }
        }
    }
    return false;
}
