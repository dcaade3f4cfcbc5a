#pragma once
// GuiScriptEdit: the text editor bound to a scripting language. The language's tables colour
// the text, and Ctrl+Space opens the completion popup (ScriptEditCandidatePopup): the names
// the language offers and the variables the text assigns, narrowed to those holding the word
// typed before the caret, with the help of the selected name beside them.
//
//     GuiScriptEdit* edit = new GuiScriptEdit(*panel, 0, 0, 400, 300);
//     edit->set_module(ModuleScripting::get_engine(app, "Python"));
//
// While the popup is open the editor keeps the keyboard: Up, Down, Page Up and Page Down
// move in the list, Return or keypad Enter insert the selected name, Escape closes it, and
// other keys edit the text and narrow the list again.
#include "gui/text/gui_text_edit.h"

class ModuleLanguage;
class ModuleScripting;
class ScriptEditCandidatePopup;

class QN_GUI_API GuiScriptEdit : public GuiTextEdit {
    CORE_DECLARE_CLASS(GuiScriptEdit, GuiTextEdit)

public:
    // Rows the completion list shows at most.
    static constexpr int DEFAULT_CANDIDATE_ROWS = 15;

    GuiScriptEdit(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h);
    ~GuiScriptEdit() override;

    // Takes the language's colouring tables (all empty for null) and colours every line again.
    void set_module(ModuleLanguage* language);
    // The engine's language, or none.
    void set_module(ModuleScripting* scripting);
    ModuleLanguage* get_language() const { return m_language; }
    ModuleScripting* get_scripting() const { return m_scripting; }

    int const& get_candidate_rows() const { return m_candidate_rows; }
    void set_candidate_rows(int const& rows) { m_candidate_rows = rows < 1 ? 1 : rows; }

    // --- Completion ---
    // The run of word characters (letters, digits, '_' and non-ASCII) that ends at the caret.
    CoreString get_typed_word() const;
    // The names offered for `typed`: first those that hold it as typed, then those that hold
    // it ignoring case; `candidates` keep their order, `variables` follow sorted. Each once,
    // `typed` itself left out.
    static CoreVector<CoreString> filter_candidates(CoreVector<CoreString> const& candidates,
                                                    CoreVector<CoreString> const& variables,
                                                    CoreString const& typed);
    // The assigned names of the text cut into runs of letters and '_'.
    CoreVector<CoreString> get_variable_candidates() const;
    // Ctrl+Space: builds the engine's list when it asks for it and shows the popup; false
    // when there is nothing to offer (no popup then).
    bool open_completion();
    // Lists the names for the word at the caret again; closes the popup when none is left.
    bool refill_completion();
    // Replaces the typed word by `candidate` and closes the popup.
    void choose_candidate(CoreString const& candidate);
    void close_completion();
    // The popup while it is shown; null otherwise.
    ScriptEditCandidatePopup* get_candidate_popup() const;

    // --- Drops ---
    // With drops on, a drag over the editor is accepted and its release raises
    // EVT_ID_DND_RELEASE on the editor with the drop point kept (get_drop_location): the owner
    // turns the dragged widget into text.
    void set_accept_drops(bool const& accept) { m_accept_drops = accept; }
    bool const& is_accepting_drops() const { return m_accept_drops; }
    void get_drop_location(int& line, int& column) const;

    int process_event(CoreString const& name) override;

private:
    // Handles a key while the popup is shown; false when the editor should get it.
    bool on_popup_key(int const& key);

    ModuleScripting* m_scripting = nullptr;
    ModuleLanguage* m_language = nullptr;
    int m_candidate_rows = DEFAULT_CANDIDATE_ROWS;
    ScriptEditCandidatePopup* m_popup = nullptr;
    bool m_accept_drops = false;
    int m_drop_line = 0;
    int m_drop_column = 0;
    // The language's names, copied when the popup opened.
    CoreVector<CoreString> m_candidates;
};
