#pragma once
// GuiTextEditHistory: the undo and redo stacks of a text editor, through which every edit
// of its lines goes (console appends aside, which are not undone). Between start_undo and stop_undo every primitive (insert or remove text, insert,
// remove or set a line) is applied to the buffer at once and recorded; stop_undo pushes the
// list on the undo stack and empties the redo stack. Undo and redo replay a list backwards
// or forwards and take its neighbours along while they are typing, Backspace, Delete or
// Enter lists of the same type, so that a run of keystrokes goes back in one step.
//
//     history.start_undo(GuiTextEditHistory::TYPE_TYPING, line, column);
//     history.insert_text(line, column, "x");
//     history.stop_undo(line, column + 1);
//     history.undo(line, column);             // the "x" is gone, caret back
#include <memory>
#include <vector>

#include "gui/core/gui_export.h"
#include "gui/text/gui_text_edit_action.h"

class QN_GUI_API GuiTextEditHistory {
public:
    // What a recorded list did; kinds 2, 3, 5 and 8 merge with their neighbours of the
    // same kind on undo and redo.
    enum Type : int {
        TYPE_NONE = 0,
        TYPE_INDENT = 1,
        TYPE_BACKSPACE = 2,
        TYPE_DELETE = 3,
        TYPE_REMOVE_LINES = 4,
        TYPE_TYPING = 5,
        TYPE_PASTE = 6,
        TYPE_CUT = 7,
        TYPE_ENTER = 8,
        TYPE_DUPLICATE = 9,
        TYPE_REPLACE = 10,
        TYPE_COMMENT = 11,
    };
    // The merging kinds as a bit mask over the types 0..8.
    static constexpr unsigned int MERGED_TYPES = 300;
    static bool is_merged_type(Type const& type)
    {
        return type >= 0 && type <= 8 && ((MERGED_TYPES >> type) & 1u) != 0;
    }

    // The actions recorded between start_undo and stop_undo, in order; the first and the
    // last set the cursor position.
    struct ActionList {
        Type type = TYPE_NONE;
        std::vector<std::unique_ptr<GuiTextEditAction>> actions;
    };

    explicit GuiTextEditHistory(GuiTextBuffer& buffer) : m_buffer(&buffer) {}
    GuiTextEditHistory(GuiTextEditHistory const&) = delete;
    GuiTextEditHistory& operator=(GuiTextEditHistory const&) = delete;

    // --- Recording ---
    void start_undo(Type const& type, int const& line, int const& column);
    // Pushes the list (dropped when it changed nothing), empties the redo stack and counts
    // one modification. False when nothing was recorded.
    bool stop_undo(int const& line, int const& column);
    bool is_recording() const { return m_recording; }

    // --- Primitives: applied at once, recorded while recording ---
    void insert_text(int const& line, int const& column, CoreString const& text);
    CoreString remove_text(int const& line, int const& column, int const& length);
    void set_line(int const& line, CoreString const& text);
    void insert_line(int const& line, CoreString const& text);
    void remove_line(int const& line);

    // --- Undo and redo: false when the stack is empty; (line, column) gets the caret ---
    bool undo(int& line, int& column);
    bool redo(int& line, int& column);
    int get_undo_count() const { return static_cast<int>(m_undo.size()); }
    int get_redo_count() const { return static_cast<int>(m_redo.size()); }
    Type get_undo_type() const { return m_undo.empty() ? TYPE_NONE : m_undo.back().type; }
    // Both stacks emptied (the modification count is kept).
    void clear();

    // +1 per recorded change, -1 per undone one, +1 per redone one; never wraps.
    int const& get_modification_count() const { return m_modifications; }
    void set_modification_count(int const& count) { m_modifications = count; }

private:
    void record(std::unique_ptr<GuiTextEditAction> action);
    void count(int const& step);

    GuiTextBuffer* m_buffer;
    std::vector<ActionList> m_undo;
    std::vector<ActionList> m_redo;
    ActionList m_current;
    bool m_recording = false;
    int m_modifications = 0;
};
