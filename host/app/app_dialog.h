#pragma once
// Answers and button styles of the application's message boxes. The answer codes are bit
// values so that a box can add the "apply to all" flag to the button that was pressed:
//
//     AppDialog answer = app.message_box("Overwrite the file?", "Save", AppDialog::no(),
//                                        AppDialog::STYLE_YES_NO);
//     if (answer.is_yes()) ...
#include "host/core/core_base_object.h"
#include "host/core/core_export.h"

// The answer of a dialog: which button closed it, and whether "apply to all" was ticked.
class QN_HOST_API AppDialog : public CoreBaseObject {
    CORE_DECLARE_CLASS(AppDialog, CoreBaseObject)

public:
    // Button codes; ANSWER_NONE when no button was pressed.
    enum Answer : int {
        ANSWER_NONE = 0,
        ANSWER_OK = 1,
        ANSWER_CANCEL = 2,
        ANSWER_ABORT = 4,
        ANSWER_RETRY = 8,
        ANSWER_IGNORE = 16,
        ANSWER_YES = 32,
        ANSWER_NO = 64,
    };
    // Added to the button code when the box's "apply to all" check box was ticked.
    static constexpr int APPLY_TO_ALL = 128;

    // Which buttons a message box offers (left to right); any other value shows Ok alone.
    // STYLE_APPLY_TO_ALL may be added to any style to show the "apply to all" check box.
    enum Style : int {
        STYLE_OK = 0,
        STYLE_OK_CANCEL = 2,
        STYLE_ABORT_RETRY_IGNORE = 4,
        STYLE_YES_NO_CANCEL = 8,
        STYLE_YES_NO = 16,
        STYLE_RETRY_CANCEL = 32,
        STYLE_APPLY_TO_ALL = 64,
    };

    // The constant's name ("ANSWER_YES"), or "ANSWER_UNKNOWN" for any other value (a code
    // carrying APPLY_TO_ALL included).
    static char const* get_answer_name(Answer const& answer);
    // The constant's name ("STYLE_YES_NO"), or "STYLE_UNKNOWN" for any other value.
    static char const* get_style_name(Style const& style);

    AppDialog() = default;
    // A dialog value made of a button code, with or without APPLY_TO_ALL.
    explicit AppDialog(int const& value) : m_value(value) {}

    static AppDialog ok() { return AppDialog(ANSWER_OK); }
    static AppDialog cancel() { return AppDialog(ANSWER_CANCEL); }
    static AppDialog abort() { return AppDialog(ANSWER_ABORT); }
    static AppDialog retry() { return AppDialog(ANSWER_RETRY); }
    static AppDialog ignore() { return AppDialog(ANSWER_IGNORE); }
    static AppDialog yes() { return AppDialog(ANSWER_YES); }
    static AppDialog no() { return AppDialog(ANSWER_NO); }

    // The code as stored, APPLY_TO_ALL included.
    int const& get_value() const { return m_value; }
    void set_value(int const& value) { m_value = value; }
    // The button alone, without APPLY_TO_ALL.
    Answer get_answer() const { return static_cast<Answer>(m_value & ~APPLY_TO_ALL); }
    bool is_apply_to_all() const { return (m_value & APPLY_TO_ALL) != 0; }
    void set_apply_to_all(bool const& apply);

    bool is_none() const { return get_answer() == ANSWER_NONE; }
    bool is_ok() const { return get_answer() == ANSWER_OK; }
    bool is_cancel() const { return get_answer() == ANSWER_CANCEL; }
    bool is_abort() const { return get_answer() == ANSWER_ABORT; }
    bool is_retry() const { return get_answer() == ANSWER_RETRY; }
    bool is_ignore() const { return get_answer() == ANSWER_IGNORE; }
    bool is_yes() const { return get_answer() == ANSWER_YES; }
    bool is_no() const { return get_answer() == ANSWER_NO; }

    bool operator==(AppDialog const& other) const { return m_value == other.m_value; }
    bool operator!=(AppDialog const& other) const { return m_value != other.m_value; }

    size_t get_memory_size() const override { return sizeof(AppDialog); }

private:
    int m_value = ANSWER_NONE;
};
