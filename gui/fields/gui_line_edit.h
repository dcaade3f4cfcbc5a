#pragma once
// GuiLineEdit: the one-line text entry of the library, drawn by itself. It keeps UTF-8 text,
// a caret and a selection (byte positions that always fall between characters), moves by
// characters or by groups of characters (Ctrl), copies, cuts and pastes through the
// clipboard and the selection buffer, shows a placeholder (the null value) while empty,
// offers completion candidates in a popup list, and reports edits, validation and
// cancellation through events.
//
//     GuiLineEdit* name = new GuiLineEdit(*panel, 10, 10, 200, 20);
//     name->set_text("camera1");
//     name->set_candidate_values(names);            // Down arrow or Ctrl+Space lists them
//     panel->connect(*name, EVT_ID_LINE_EDIT_CHANGED, &MyPanel::on_rename);
//
// The committed text is the text at the last validation or focus-in: Escape brings it back,
// and leaving the edit with another text calls on_changed (EVT_ID_LINE_EDIT_CHANGED).
// Unchanged text validated with Return or Enter calls on_validate (EVT_ID_LINE_EDIT_VALIDATE).
#include "gui/core/gui_color_scheme.h"
#include "gui/core/gui_export.h"
#include "gui/core/gui_font.h"
#include "gui/core/gui_popup.h"
#include "gui/core/gui_widget.h"

// The text changed by typing, cutting, pasting or deleting; also raised on Return.
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_LINE_EDIT_KEY_PRESSED);
// A paste event arrived (even an empty one), or a key was released while focused.
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_LINE_EDIT_VALUE_EDITED);
// The committed text changed (on_changed).
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_LINE_EDIT_CHANGED);
// The text was validated unchanged (on_validate); get_last_validation tells how.
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_LINE_EDIT_VALIDATE);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_LINE_EDIT_ESCAPE_PRESSED);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_LINE_EDIT_CANDIDATES_POPUP_OPENING);
// The context menu: shown, an entry chosen (event data: the GuiMenuItem), hidden.
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_LINE_EDIT_MENU_SHOW);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_LINE_EDIT_MENU_ITEM_SELECTED);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_LINE_EDIT_MENU_HIDE);

class GuiListView;
class GuiMenu;
class GuiLineEditCandidatePopup;

class QN_GUI_API GuiLineEdit : public GuiWidget {
    CORE_DECLARE_CLASS(GuiLineEdit, GuiWidget)

public:
    enum Style : int { STYLE_FLAT = 0, STYLE_ROUND = 1, STYLE_COUNT };
    // How the last validation came: leaving the edit, keypad Enter or Return.
    enum Validation : int {
        VALIDATION_NONE = 0,
        VALIDATION_FOCUS_OUT = 1,
        VALIDATION_KEY_ENTER = 2,
        VALIDATION_KEY_RETURN = 3,
        VALIDATION_COUNT
    };
    // "STYLE_FLAT", ...; "STYLE_COUNT" for other values.
    static char const* get_style_name(Style const& style);
    // "VALIDATION_NONE", ...; "VALIDATION_COUNT" for other values.
    static char const* get_validation_name(Validation const& validation);

    // The 20 characters that bound a group of characters: space ( ) [ ] : ; , . \ / + * - ' "
    // < > = !
    static char const* get_characters_groupe();
    static bool is_characters_group(char const& c);

    // A child of `parent` at (x, y), w × h; `label` is drawn at the left of the text.
    GuiLineEdit(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h,
                CoreString const& label = CoreString());
    ~GuiLineEdit() override;

    // --- Text ---
    // Replaces the text (line breaks removed, invalid UTF-8 bytes replaced by U+FFFD with a
    // warning), clears caret and selection, makes it the committed text and redraws. With
    // `cursor_at_end` the caret goes to the end and the view scrolls to it.
    void set_text(CoreString const& text, bool const& cursor_at_end = false);
    CoreString const& get_text() const { return m_text; }
    // The text at the last validation or focus-in.
    CoreString const& get_committed_text() const { return m_committed_text; }
    // The text differs from the committed text.
    bool is_modified() const { return m_text != m_committed_text; }
    CoreString get_selected_text() const;
    // The text before the selection (before the caret without one), the selected text and the
    // text after it.
    void split_selection(CoreString& before, CoreString& selected, CoreString& after) const;

    // --- Caret and selection (byte positions; -1 for none) ---
    void select_all();
    // The caret at the end, nothing selected.
    void select_end();
    void deselect_all();
    int const& get_cursor_index() const { return m_cursor; }
    int const& get_selection_end_index() const { return m_selection_end; }
    // Both positions are moved back to the start of the character they fall in and clamped to
    // the text; the selection end equal to the caret means no selection.
    void set_selection(int const& cursor, int const& selection_end);
    bool has_selection() const;
    // The selected byte range [start, end); false without a selection.
    bool get_selection_range(int& start, int& end) const;
    // Byte position of the caret for window x (the nearest character boundary).
    int get_cursor_index_from_mouse(int const& window_x);
    // The caret at the pointer of the current event, nothing selected.
    void set_cursor_on_mouse();
    // Scrolls so that the selection end (or the caret) is in view.
    void focus_on_cursor();
    int const& get_scroll_offset() const { return m_scroll_offset; }

    // --- Character groups (Ctrl + arrows, double click) ---
    int get_next_group_position(int const& position) const;
    int get_previous_group_position(int const& position) const;
    // The same group boundaries in any UTF-8 text (byte positions, clamped to it).
    static int get_next_group_position(std::string_view text, int const& position);
    static int get_previous_group_position(std::string_view text, int const& position);
    // Off: the next group is the end and the previous one the start.
    void enable_group_movement(bool const& enable) { m_group_movement = enable; }
    bool const& is_group_movement_enabled() const { return m_group_movement; }
    // Character counts and byte positions of the text.
    int get_character_count_from_position(int const& position) const;
    int get_position_from_character_count(int const& count) const;

    // --- Editing (as the keys do them; read-only edits refuse the changes) ---
    // Replaces the selection (or inserts at the caret) with text, caret after it.
    void insert_text(CoreString const& text);
    // Deletes the selection, or the character after the caret.
    void on_edit_delete();
    // Deletes the selection, or the character before the caret.
    void on_edit_backspace();
    void copy_selection() const;
    void cut_selection();
    // A pasted text arrives (the toolkit's paste event): line breaks and control characters
    // are removed and the result replaces the selection or goes in at the caret.
    void paste(CoreString const& text) override;

    // --- Look ---
    void set_label(CoreString const& label);
    CoreString const& get_label() const { return m_label; }
    void set_read_only(bool const& read_only);
    bool const& is_read_only() const { return m_read_only; }
    // Every character drawn as a bullet; copying and cutting are refused.
    void set_password_mode(bool const& password);
    bool const& is_password_mode() const { return m_password; }
    void set_style(Style const& style);
    Style const& get_style() const { return m_style; }
    void set_draw_decoration(bool const& draw);
    bool const& is_draw_decoration() const { return m_draw_decoration; }
    // The text's font: the widget's font (set_font).
    void set_text_font(GuiFont const& font);
    GuiFont& get_text_font() { return get_font(); }
    void set_background_color(GuiColorScheme::Role const& role);
    GuiColorScheme::Role const& get_background_color() const { return m_background_role; }
    // Text shorter than the box is drawn against its right side.
    void align_text_on_the_right(bool const& right);
    // Shown (faded) while the text is empty and the edit has no focus.
    virtual void set_null_value(CoreString const& value);
    virtual CoreString const& get_null_value() const { return m_null_value; }
    // Width of the label in pixels, 0 without one.
    virtual int get_label_width();

    // --- Validation and focus hooks ---
    // Whether a typed character may go in; every character in the base class.
    virtual bool accept_character(CoreString const& character);
    virtual void on_focus_in();
    virtual void on_focus_out();
    // The committed text becomes the text; raises EVT_ID_LINE_EDIT_CHANGED.
    virtual void on_changed();
    virtual void on_validate(Validation const& validation);
    Validation const& get_last_validation() const { return m_last_validation; }

    // --- Completion ---
    void add_candidate_value(CoreString const& text, void* data = nullptr);
    void set_candidate_values(CoreVector<CoreString> const& texts);
    void set_candidate_values(CoreVector<CoreString> const& texts, CoreVector<void*> const& data);
    void remove_all_candidate_values();
    CoreVector<CoreString> const& get_candidate_values() const { return m_candidates; }
    void* get_candidate_data(CoreString const& text) const;
    // Lists the candidates that the text (before the caret when `filtered`) selects under
    // the edit; hides the list when none does.
    void show_candidate_popup(bool const& filtered);
    void hide_candidate_popup();
    // The popup while it is shown; null otherwise.
    GuiLineEditCandidatePopup* get_candidate_popup() const;
    // Puts a chosen candidate in the edit as if typed over the whole text, then validates it.
    void choose_candidate(CoreString const& text);

    // --- Context menu ---
    // Opens the context menu (Cut, Copy, Paste, Delete, Select All) at the pointer.
    void popup_menu();
    GuiMenu* get_context_menu() const { return m_menu; }

    void set_item_data(void* data) { m_item_data = data; }
    void* get_item_data() const { return m_item_data; }

    int process_event(CoreString const& name) override;
    void draw(GuiDc& dc) override;
    void resize(int const& x, int const& y, int const& w, int const& h) override;

protected:
    // The text as drawn: bullets in password mode.
    CoreString get_display_text() const;
    // Left edge of the text area in window coordinates.
    int get_text_area_x();
    // Handles a key while focused; false when it goes on to the generic handling.
    bool on_key(int const& key);
    // After an edit that changed the text: redraw, refilter the candidates, raise
    // EVT_ID_LINE_EDIT_KEY_PRESSED.
    void on_text_edited();

private:
    // The text with replaced bytes and the given characters removed.
    static CoreString clean_text(CoreString const& text, bool const& strip_controls, char const* who);
    // Replaces [start, end) by text; the caret goes after it.
    void replace_range(int const& start, int const& end, CoreString const& text);
    // Pixel x of each character boundary of the display text, from the text area's left.
    int get_boundary_x(int const& position);
    void invalidate_boundaries(int const& from);
    int next_character(int const& position) const;
    int previous_character(int const& position) const;
    void on_menu_click(EventObject& sender, EventInfo const& info, void* data);
    void on_menu_hide(EventObject& sender, EventInfo const& info, void* data);

    CoreString m_text;
    CoreString m_committed_text;
    CoreString m_label;
    CoreString m_null_value;
    int m_cursor = -1;
    int m_selection_end = -1;
    int m_scroll_offset = 0;
    int m_label_width = -1;
    bool m_read_only = false;
    bool m_password = false;
    bool m_draw_decoration = true;
    bool m_align_right = false;
    bool m_group_movement = true;
    // Set while the candidate popup is shown: the focus goes to it and back, which is not a
    // focus change for the edit.
    bool m_keeping_focus = false;
    Style m_style = STYLE_FLAT;
    GuiColorScheme::Role m_background_role = GuiColorScheme::ROLE_FIELD;
    Validation m_last_validation = VALIDATION_NONE;
    CoreVector<CoreString> m_candidates;
    CoreVector<void*> m_candidate_data;
    GuiLineEditCandidatePopup* m_candidate_popup = nullptr;
    GuiMenu* m_menu = nullptr;
    void* m_item_data = nullptr;
    // x of the character boundaries, valid for positions below m_boundary_valid_to.
    CoreVector<int> m_boundary_x;
    int m_boundary_valid_to = 0;
};

// The list of completion candidates under a line edit. It stays hidden between uses; the
// edit keeps the keyboard focus while it is shown and steers it with Up, Down and Return.
class QN_GUI_API GuiLineEditCandidatePopup : public GuiPopup {
    CORE_DECLARE_CLASS(GuiLineEditCandidatePopup, GuiPopup)

public:
    explicit GuiLineEditCandidatePopup(GuiLineEdit& edit);
    GuiListView& get_list() const { return *m_list; }
    GuiLineEdit& get_edit() const { return *m_edit; }
    // Lists `candidates` under the edit, at most 12 rows high.
    void show_candidates(CoreVector<CoreString> const& candidates);

protected:
    bool is_kept_when_closed() const override { return true; }

private:
    void on_list_choice(EventObject& sender, EventInfo const& info, void* data);

    GuiLineEdit* m_edit;
    GuiListView* m_list;
};
