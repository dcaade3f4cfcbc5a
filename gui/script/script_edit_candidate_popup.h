#pragma once
// ScriptEditCandidatePopup: the completion list of a GuiScriptEdit, a borderless window at
// the caret holding the names offered and, beside them, a HelpTooltip with the help of the
// selected one (hidden when it has none). The editor keeps the keyboard and steers it.
#include "gui/core/gui_popup.h"

class GuiListView;
class GuiScriptEdit;
class GuiTextEdit;

// The help of a name, wrapped to the tooltip's width, in a read-only editor.
class QN_GUI_API HelpTooltip : public GuiWidget {
    CORE_DECLARE_CLASS(HelpTooltip, GuiWidget)

public:
    HelpTooltip(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h);
    // Shows `help` wrapped to the width; hides for an empty text.
    void set_help(CoreString const& help);
    CoreString get_help() const;
    GuiTextEdit& get_text_edit() const { return *m_text; }
    void resize(int const& x, int const& y, int const& w, int const& h) override;

private:
    GuiTextEdit* m_text = nullptr;
    CoreString m_help;
};

class QN_GUI_API ScriptEditCandidatePopup : public GuiPopup {
    CORE_DECLARE_CLASS(ScriptEditCandidatePopup, GuiPopup)

public:
    static constexpr int LIST_WIDTH = 220;
    static constexpr int HELP_WIDTH = 360;

    explicit ScriptEditCandidatePopup(GuiScriptEdit& edit);

    GuiScriptEdit& get_edit() const { return *m_edit; }
    GuiListView& get_list() const { return *m_list; }
    HelpTooltip& get_help() const { return *m_help; }
    // Lists `candidates` (the first selected) with its top-left corner at the screen point,
    // at most `max_rows` high.
    void show_candidates(CoreVector<CoreString> const& candidates, int const& x, int const& y,
                         int const& max_rows);
    // Shows the help of the selected name (the engine's), or hides the tooltip.
    void refresh_help();

protected:
    bool is_kept_when_closed() const override { return true; }

private:
    void on_select(EventObject& sender, EventInfo const& info, void* data);
    void on_validate(EventObject& sender, EventInfo const& info, void* data);

    GuiScriptEdit* m_edit;
    GuiListView* m_list;
    HelpTooltip* m_help;
    int m_list_height = 0;
};
