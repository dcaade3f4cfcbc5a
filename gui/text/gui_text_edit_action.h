#pragma once
// GuiTextEditAction: one reversible primitive change of a text editor's lines, recorded
// for undo. redo applies it, undo reverts it; both leave in (line, column) where the caret
// belongs afterwards. Every edit of a GuiTextEdit is made of these six kinds.
#include "gui/core/gui_export.h"
#include "gui/text/gui_text_buffer.h"

class QN_GUI_API GuiTextEditAction {
public:
    enum Type : int {
        TYPE_NONE = 0,
        TYPE_REMOVE_TEXT = 1,
        TYPE_INSERT_TEXT = 2,
        TYPE_SET_LINE = 3,
        TYPE_INSERT_LINE = 4,
        TYPE_REMOVE_LINE = 5,
        TYPE_SET_CURSOR_POSITION = 6,
    };

    GuiTextEditAction(int const& line, int const& column) : m_line(line), m_column(column) {}
    virtual ~GuiTextEditAction() = default;
    virtual int get_type() const { return TYPE_NONE; }
    virtual void redo(GuiTextBuffer& buffer, int& line, int& column) = 0;
    virtual void undo(GuiTextBuffer& buffer, int& line, int& column) = 0;
    int const& get_line() const { return m_line; }
    int const& get_column() const { return m_column; }

protected:
    int m_line;
    int m_column;
};

// Text put into a line at (line, column).
class QN_GUI_API GuiTextEditActionInsertText : public GuiTextEditAction {
public:
    GuiTextEditActionInsertText(int const& line, int const& column, CoreString const& text)
        : GuiTextEditAction(line, column), m_text(text) {}
    int get_type() const override { return TYPE_INSERT_TEXT; }
    void redo(GuiTextBuffer& buffer, int& line, int& column) override;
    void undo(GuiTextBuffer& buffer, int& line, int& column) override;

private:
    CoreString m_text;
};

// Bytes taken out of a line at (line, column); the text is filled in when first applied.
class QN_GUI_API GuiTextEditActionRemoveText : public GuiTextEditAction {
public:
    GuiTextEditActionRemoveText(int const& line, int const& column, int const& length)
        : GuiTextEditAction(line, column), m_length(length) {}
    int get_type() const override { return TYPE_REMOVE_TEXT; }
    void redo(GuiTextBuffer& buffer, int& line, int& column) override;
    void undo(GuiTextBuffer& buffer, int& line, int& column) override;
    CoreString const& get_text() const { return m_text; }

private:
    int m_length;
    CoreString m_text;
};

// A line's whole text replaced; redo and undo both swap the stored text with the line's.
class QN_GUI_API GuiTextEditActionSetLine : public GuiTextEditAction {
public:
    GuiTextEditActionSetLine(int const& line, CoreString const& text) : GuiTextEditAction(line, 0), m_text(text) {}
    int get_type() const override { return TYPE_SET_LINE; }
    void redo(GuiTextBuffer& buffer, int& line, int& column) override;
    void undo(GuiTextBuffer& buffer, int& line, int& column) override { redo(buffer, line, column); }

private:
    CoreString m_text;
};

// A new line before index `line`.
class QN_GUI_API GuiTextEditActionInsertLine : public GuiTextEditAction {
public:
    GuiTextEditActionInsertLine(int const& line, CoreString const& text, GuiTextEditLineInfo const& info)
        : GuiTextEditAction(line, 0), m_text(text), m_info(info) {}
    int get_type() const override { return TYPE_INSERT_LINE; }
    void redo(GuiTextBuffer& buffer, int& line, int& column) override;
    void undo(GuiTextBuffer& buffer, int& line, int& column) override;

private:
    CoreString m_text;
    GuiTextEditLineInfo m_info;
};

// The line at index `line` taken out; its text and info are kept when first applied.
class QN_GUI_API GuiTextEditActionRemoveLine : public GuiTextEditAction {
public:
    explicit GuiTextEditActionRemoveLine(int const& line) : GuiTextEditAction(line, 0) {}
    int get_type() const override { return TYPE_REMOVE_LINE; }
    void redo(GuiTextBuffer& buffer, int& line, int& column) override;
    void undo(GuiTextBuffer& buffer, int& line, int& column) override;

private:
    CoreString m_text;
    GuiTextEditLineInfo m_info;
    // The buffer's only line was emptied rather than removed.
    bool m_emptied = false;
};

// Where the caret was; recorded first and last in every list.
class QN_GUI_API GuiTextEditActionSetCursorPosition : public GuiTextEditAction {
public:
    using GuiTextEditAction::GuiTextEditAction;
    int get_type() const override { return TYPE_SET_CURSOR_POSITION; }
    void redo(GuiTextBuffer& buffer, int& line, int& column) override;
    void undo(GuiTextBuffer& buffer, int& line, int& column) override { redo(buffer, line, column); }
};
