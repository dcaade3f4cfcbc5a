#pragma once
// GuiTextEdit: the multi-line plain-text editor of the library. It edits UTF-8 lines held in
// a GuiTextBuffer with an undo history of reversible primitive actions, by keyboard and
// mouse, with the clipboard and the primary selection, line comments, line duplication,
// indentation with spaces, incremental search and replace, zoom by font size and syntax
// colouring. In read-only console mode appended lines are coloured by log level and the
// oldest lines are dropped beyond a limit.
//
//     GuiTextEdit* edit = new GuiTextEdit(*panel, 0, 0, 400, 300);
//     edit->set_text(script);
//     edit->set_keywords({"if", "else", "for"});
//     edit->set_line_comments({"#"});
//     panel->connect(*edit, EVT_ID_TEXT_EDIT_MODIFIED, &MyPanel::on_script_modified);
//
// The caret and selection are four ints: anchor column, anchor line, cursor column, cursor
// line. Anchor column -1: no caret. Cursor column -1: no selection, the anchor is the caret;
// otherwise the selection runs between anchor and cursor and the caret is the cursor.
// Columns are byte offsets that always fall between UTF-8 characters.
#include "gui/core/gui_color_scheme.h"
#include "gui/core/gui_export.h"
#include "gui/core/gui_font.h"
#include "gui/core/gui_widget.h"
#include "gui/text/gui_text_buffer.h"
#include "gui/text/gui_text_edit_history.h"
#include "gui/text/gui_text_syntax.h"

// After typing, pasting and other edits from the keyboard (on_changed).
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_TEXT_EDIT_CHANGED);
// After every recorded change, undo and redo.
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_TEXT_EDIT_MODIFIED);
// Every time the caret and selection are validated.
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_TEXT_EDIT_CURSOR_CHANGED);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_TEXT_EDIT_FONT_SIZE_CHANGED);
// The focus left after at least one modification.
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_TEXT_EDIT_VALIDATE);

class GuiMenu;
class GuiWidgetDc;
class GuiScrollbar;

class QN_GUI_API GuiTextEdit : public GuiWidget {
    CORE_DECLARE_CLASS(GuiTextEdit, GuiWidget)

public:
    using ActionList = GuiTextEditHistory::ActionList;
    using KeywordData = GuiTextSyntax::KeywordData;

    static constexpr int SCROLLBAR_SIZE = 14;
    static constexpr int LEFT_MARGIN = 5;
    static constexpr int TOP_MARGIN = 1;
    // Lines longer than this many characters are cut when drawn.
    static constexpr unsigned int MAX_DRAWN_LINE_LENGTH = 1024;
    static constexpr int DEFAULT_FONT_SIZE = 12;
    static constexpr int WHEEL_LINES = 3;

    GuiTextEdit(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h);
    ~GuiTextEdit() override;

    // --- Text ---
    // Replaces the text (line ends, tabs and bad bytes cleaned as GuiTextBuffer does), clears
    // the history and the caret.
    void set_text(CoreString const& text);
    CoreString get_text() const { return m_buffer.get_text(); }
    // Every line removed, recorded for undo; read-only editors too (a console is emptied so).
    void clear();
    // Console: lines added at the end with their log level (one final "\n" ignored), then the
    // max-lines limit applied in a read-only editor. Not recorded for undo.
    void append(CoreString const& text, int const& level = CORE_LOG_LEVEL_INFO);
    // Inserted at the caret (at the end without one), recorded as a paste.
    void append_after_cursor(CoreString const& text);
    // Inserted at (line, column), recorded as a paste; the caret goes after it.
    void insert(CoreString const& text, int const& line, int const& column);
    CoreString get_current_line() const;
    // Replaces the caret's line, recorded; the caret goes to the end of the new text.
    void set_current_line(CoreString const& text);
    CoreString get_text_selected() const;
    // The caret's line and column (0-based, the column in characters) and the line count.
    void get_infos(int& line, int& column, int& lines) const;
    // The identifiers assigned in the text ("name =" not followed by "="), without duplicates.
    CoreVector<CoreString> get_variables_from_text() const;
    // Trailing spaces of every line removed, recorded; returns the count of lines changed.
    int remove_whitespaces();
    // The text wrapped at spaces so that no line is wider than `width` pixels in `font`.
    static CoreString get_word_warp(CoreString const& text, int const& width, GuiFont const& font);
    int get_line_count() const { return m_buffer.get_line_count(); }
    CoreString const& get_line(int const& line) const { return m_buffer.get_line(line); }
    GuiTextBuffer const& get_buffer() const { return m_buffer; }

    // --- Caret, selection and view ---
    void select_all();
    void deselect_all();
    // Sets the four ints and validates them.
    void set_selection(int const& anchor_column, int const& anchor_line, int const& cursor_column,
                       int const& cursor_line);
    void get_selection(int& anchor_column, int& anchor_line, int& cursor_column, int& cursor_line) const;
    bool has_selection() const { return m_anchor_column >= 0 && m_cursor_column >= 0; }
    // The caret point (the cursor point with a selection); false without a caret.
    bool get_caret(int& line, int& column) const;
    // Clamps lines and columns to the text and to character boundaries; raises
    // EVT_ID_TEXT_EDIT_CURSOR_CHANGED.
    void valid_text_selection();
    // Caret at column 0 of the line (clamped), nothing selected, scrolled into view.
    void goto_line(int const& line);
    // The caret at the pointer of the current event.
    void set_cursor_on_mouse();
    // Line and column under the pointer of the current event.
    void get_current_mouse_location(int& line, int& column);
    // Line and column under window point (x, y).
    void get_location_at(int const& x, int const& y, int& line, int& column);
    // Scrolls so that the caret is visible.
    void focus_on_cursor();
    // Window position of the caret's top-left corner.
    void get_cursor_pixel_position(int& x, int& y);
    int const& get_first_visible_line() const { return m_first_visible_line; }
    int const& get_horizontal_scroll() const { return m_horizontal_scroll; }
    // Whole lines that fit in the text area.
    int get_visible_line_count();
    int get_line_height();
    GuiScrollbar& get_vertical_scrollbar() const { return *m_vertical_scrollbar; }
    GuiScrollbar& get_horizontal_scrollbar() const { return *m_horizontal_scrollbar; }

    // --- Zoom and font ---
    void zoom_in();
    void zoom_out();
    void zoom_default();
    void set_zoom_enabled(bool const& enabled) { m_zoom_enabled = enabled; }
    // Refuses sizes below 1.
    void set_font_size(int const& size);
    int get_font_size() const { return m_font.get_size(); }
    void set_text_font(GuiFont const& font);
    GuiFont const& get_text_font() const { return m_font; }

    // --- Editing commands (1 when handled; read-only editors refuse changes) ---
    int on_edit_undo();
    int on_edit_redo();
    int on_edit_copy(bool const& cut = false);
    int on_edit_cut();
    // Asks the toolkit for the clipboard; it arrives through paste().
    int on_edit_paste();
    // Deletes the selection or the character after the caret (joining lines at the end).
    int on_edit_delete();
    int on_edit_select_all();
    int on_comment_lines();
    int on_uncomment_lines();
    int on_duplicate_lines();
    // Pastes text at the caret over the selection, recorded as one step; 0 when read only.
    int do_paste(CoreString const& text);
    // The text typed at the caret over the selection, as the keyboard does it.
    void type_text(CoreString const& text);
    void paste(CoreString const& text) override;

    // --- Search and replace ---
    // Selects the next match from the caret, wrapping once; false when none (or empty text).
    bool find_next_text(CoreString const& text, bool const& case_sensitive);
    // Replaces the selection when it is a match, then selects the next match; true when
    // something was replaced.
    bool find_next_and_replace_text(CoreString const& text, CoreString const& replacement,
                                    bool const& case_sensitive);
    // Every match replaced in one undo step; returns the count. Replacements are never
    // searched again, so a replacement holding the text is no loop.
    int replace_all_text(CoreString const& text, CoreString const& replacement, bool const& case_sensitive);

    // --- Undo history ---
    int const& get_modification_count() const { return m_history.get_modification_count(); }
    void set_modification_count(int const& count) { m_history.set_modification_count(count); }
    GuiTextEditHistory const& get_history() const { return m_history; }

    // --- Settings ---
    // With `disabled_look` the text is drawn in the disabled colours.
    void set_read_only(bool const& read_only, bool const& disabled_look = false);
    bool const& is_read_only() const { return m_read_only; }
    // Console limit: 0 keeps every line.
    void set_max_lines(unsigned int const& max_lines) { m_max_lines = max_lines; }
    unsigned int const& get_max_lines() const { return m_max_lines; }
    void set_show_line_number_column(bool const& show);
    bool const& is_show_line_number_column() const { return m_show_line_number_column; }
    int const& get_line_number_column_width() const { return m_line_number_column_width; }
    // Off empties every line's colour runs.
    void set_show_syntax_color(bool const& show);
    bool const& is_show_syntax_color() const { return m_show_syntax_color; }
    void set_draw_decoration(bool const& draw);
    bool const& is_draw_decoration() const { return m_draw_decoration; }
    void set_background_color(GuiColorScheme::Role const& role);
    void set_text_color(GuiColorScheme::Role const& role);
    void set_tab_width(int const& width);
    int const& get_tab_width() const { return m_tab_width; }
    void set_line_spacing(int const& spacing);
    // A band behind the caret's line.
    void set_highlight_current_line(bool const& highlight);
    void set_highlighted_word(CoreString const& word, bool const& fixed = false);
    void disable_highlighted_word();
    CoreString const& get_highlighted_word() const { return m_highlighted_word; }

    // --- Syntax tables ---
    void set_operators(CoreVector<CoreString> const& entries);
    void set_strings(CoreVector<CoreString> const& entries);
    void set_line_comments(CoreVector<CoreString> const& entries);
    // Pairs: opening marker, closing marker.
    void set_block_comments(CoreVector<CoreString> const& entries);
    void set_keywords(CoreVector<CoreString> const& entries);
    void set_reserved_keywords(CoreVector<CoreString> const& entries);
    void set_preprocessor_keywords(CoreVector<CoreString> const& entries);
    GuiTextSyntax const& get_syntax() const { return m_syntax; }
    // Marks every line dirty and colours the visible ones now.
    void recompute_all_syntax_color();
    // Colours the dirty lines first..last (drawing does it for the visible lines).
    void compute_syntax_color(int const& first, int const& last);
    // The colour of a syntax type and of a console line's log level.
    GMathVec3<unsigned char> get_syntax_color(GuiTextEditLineInfo::SyntaxType const& type) const;
    GMathVec3<unsigned char> get_log_level_color(int const& level) const;

    // --- Hooks ---
    // Called with the popup menu before the standard entries are added.
    virtual void add_to_popup_menu(GuiMenu& menu);
    // Raises EVT_ID_TEXT_EDIT_CHANGED.
    virtual void on_changed();
    // Opens the popup menu at the pointer.
    void popup_menu();
    GuiMenu* get_popup_menu() const { return m_menu; }

    void draw(GuiDc& dc) override;
    int process_event(CoreString const& name) override;
    void resize(int const& x, int const& y, int const& w, int const& h) override;
    void show() override;
    void widget_update() override;

protected:
    // Handles a key while focused; false when it goes on to the generic handling.
    bool on_key(int const& key);
    // --- Recording: every change of the text goes through these ---
    void start_undo(GuiTextEditHistory::Type const& type);
    void stop_undo();
    void insert_text(int const& line, int const& column, CoreString const& text);
    void remove_text(int const& line, int const& column, int const& length);
    void insert_line(int const& line, CoreString const& text);
    void remove_line(int const& line);
    void set_line(int const& line, CoreString const& text);

private:
    // Replaces a token table; the lines are coloured again when colouring is on.
    void set_syntax_table(GuiTextSyntax::Table const& table, CoreVector<CoreString> const& entries);
    // The ordered selection; false without one.
    bool get_selection_range(int& first_line, int& first_column, int& last_line, int& last_column) const;
    // Removes the selection (recording) and leaves the caret at its start.
    void delete_selection();
    // Inserts multi-line text at the caret (recording) and leaves the caret after it.
    void insert_at_caret(CoreString const& text);
    // The lines the selection touches, or the caret's line.
    void get_touched_lines(int& first, int& last) const;
    // Undoes (or redoes, `forward`) one step and shows where it happened.
    int step_history(bool const& forward);
    // After a keyboard edit: layout, caret, highlighted word, redraw, on_changed.
    void after_text_change();
    // Moves the caret point (extending the selection with `extend`).
    void move_caret(int const& line, int const& column, bool const& extend, bool const& keep_preferred = false);
    void key_backspace();
    void key_enter();
    void key_tab(bool const& shift);
    void remove_touched_lines();
    void refresh_layout();
    void update_scrollbars();
    void apply_max_lines();
    int get_text_left() const;
    // Pixels from a line's start to a column, as drawn (the line cut to the drawn length).
    int get_column_x(int const& line, int const& column) const;
    int get_drawn_length(CoreString const& line) const;
    void on_scroll(EventObject& sender, EventInfo const& info, void* data);
    void on_menu_click(EventObject& sender, EventInfo const& info, void* data);
    void draw_line(GuiWidgetDc& dc, int const& line, int const& x, int const& y, int const& baseline);

    GuiScrollbar* m_horizontal_scrollbar = nullptr;
    GuiScrollbar* m_vertical_scrollbar = nullptr;
    GuiFont m_font;
    int m_default_font_size = DEFAULT_FONT_SIZE;
    bool m_read_only = false;
    bool m_disabled_look = false;
    bool m_zoom_enabled = true;
    bool m_draw_decoration = true;
    bool m_layout_dirty = true;
    int m_line_number_column_width = 0;
    bool m_show_line_number_column = false;
    bool m_show_syntax_color = true;
    bool m_highlight_current_line = false;
    int m_horizontal_scroll = 0;
    int m_first_visible_line = 0;
    int m_line_spacing = 0;
    unsigned int m_max_lines = 0;
    GuiColorScheme::Role m_background_role = GuiColorScheme::ROLE_FIELD;
    GuiColorScheme::Role m_text_role = GuiColorScheme::ROLE_FIELD_TEXT;
    int m_tab_width = 4;
    // The widest line seen, in characters, for the horizontal range.
    int m_widest_line = 0;
    // Set while the view moves the scrollbars itself.
    bool m_syncing_scrollbars = false;
    // Selected text from a drag: copied to the primary selection on release.
    bool m_dragging = false;

    int m_anchor_column = -1;
    int m_anchor_line = 0;
    int m_cursor_column = -1;
    int m_cursor_line = 0;
    // The caret's character count kept across vertical moves.
    int m_preferred_column = 0;

    GuiTextBuffer m_buffer;
    GuiTextEditHistory m_history;
    GuiTextSyntax m_syntax;
    CoreString m_highlighted_word;
    bool m_highlighted_word_fixed = false;
    GuiMenu* m_menu = nullptr;
};
