#pragma once
// GuiTextReplaceBox: a modal "Replace text" dialog over a list of strings (names, paths):
// a search text and a replacement, and a preview of the original and resulting strings
// in which changed results stand out. "Apply" hands the results and one changed flag per
// string to the caller's vectors; "Cancel" leaves them; "Clear" empties both entries.
//
//     CoreVector<CoreString> renamed;
//     std::vector<bool> changed;
//     GuiTextReplaceBox box(app, 200, 200, names, renamed, changed);
//     if (box.run()) rename_all(renamed, changed);
#include <vector>

#include "gui/core/gui_window.h"

class GuiLineEdit;
class GuiPushButton;
class GuiTextEdit;

class QN_GUI_API GuiTextReplaceBox : public GuiWindow {
    CORE_DECLARE_CLASS(GuiTextReplaceBox, GuiWindow)

public:
    static constexpr int WIDTH = 520;
    static constexpr int HEIGHT = 360;

    GuiTextReplaceBox(GuiApp& app, int const& x, int const& y, CoreVector<CoreString> const& input,
                      CoreVector<CoreString>& output, std::vector<bool>& changed);
    ~GuiTextReplaceBox() override;

    // `in` split at every occurrence of `search` (empty pieces kept) and joined with
    // `replacement`. With an empty input, search or replacement `out` is `in`. True when
    // something was found.
    static bool compute_text_replacement(CoreString const& in, CoreString& out, CoreString const& search,
                                         CoreString const& replacement);
    // The same for every string, with one flag each; true when any changed.
    static bool compute_text_replacement(CoreVector<CoreString> const& in, CoreVector<CoreString>& out,
                                         std::vector<bool>& changed, CoreString const& search,
                                         CoreString const& replacement);

    // Recomputes the results and the preview from the two entries.
    void process_text_replacement();
    // Copies the results and flags to the caller's vectors and closes ("Apply").
    void validate_replacement();
    // Closes without a change ("Cancel").
    void cancel();
    // Empties both entries ("Clear").
    void clear();
    // Shows the dialog modally; true when it was applied.
    bool run();
    int on_modal_loop() override { return m_answer; }

    GuiLineEdit& get_search_edit() const { return *m_search; }
    GuiLineEdit& get_replace_edit() const { return *m_replace; }
    GuiTextEdit& get_original_view() const { return *m_original; }
    GuiTextEdit& get_result_view() const { return *m_result; }
    CoreVector<CoreString> const& get_results() const { return m_results; }
    std::vector<bool> const& get_changed() const { return m_changed_flags; }

    int process_event(CoreString const& name) override;

private:
    void on_edit(EventObject& sender, EventInfo const& info, void* data);
    void on_button(EventObject& sender, EventInfo const& info, void* data);

    CoreVector<CoreString> m_input;
    CoreVector<CoreString>* m_output;
    std::vector<bool>* m_changed;
    CoreVector<CoreString> m_results;
    std::vector<bool> m_changed_flags;
    GuiLineEdit* m_search = nullptr;
    GuiLineEdit* m_replace = nullptr;
    GuiTextEdit* m_original = nullptr;
    GuiTextEdit* m_result = nullptr;
    GuiPushButton* m_clear = nullptr;
    GuiPushButton* m_apply = nullptr;
    GuiPushButton* m_cancel = nullptr;
    int m_answer = -1;
};
