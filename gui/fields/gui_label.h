#pragma once
// GuiLabel: one line of text in a box. A double click activates it (EVT_ID_LABEL_ACTIVATE);
// an editable label that has the focus turns into a line edit on a slow second click and
// takes the edited text back when the edit ends (EVT_ID_LABEL_RENAMED when it changed).
//
//     GuiLabel* name = new GuiLabel(*panel, 10, 10, 120, 18, "camera1");
//     name->set_editable(true);
//     panel->connect(*name, EVT_ID_LABEL_RENAMED, &MyPanel::on_rename);
//
// A click on a focused editable label waits 250 ms: a second click within that time makes a
// double click (activation); otherwise the label raises EVT_ID_LABEL_EDIT and opens its
// editor (on_edit). All labels share one line edit as their editor.
#include "gui/core/gui_export.h"
#include "gui/core/gui_widget.h"

EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_LABEL_ACTIVATE);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_LABEL_EDIT);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_LABEL_RENAMED);

class GuiLineEdit;

class QN_GUI_API GuiLabel : public GuiWidget {
    CORE_DECLARE_CLASS(GuiLabel, GuiWidget)

public:
    // How long a click on a focused editable label waits for a second one, in seconds.
    static constexpr double CLICK_DECISION_DELAY = 0.25;

    GuiLabel(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h, CoreString const& label);
    ~GuiLabel() override;

    // Raises EVT_ID_LABEL_RENAMED and redraws when the text differs.
    void set_label(CoreString const& label);
    CoreString const& get_label() const { return m_label; }
    // The text's width in the label's font.
    int get_label_width();

    // An editable label takes the focus when clicked.
    void set_editable(bool const& editable);
    bool const& is_editable() const { return m_editable; }
    bool const& is_editing() const { return m_editing; }

    void set_justification(Justify const& justify);
    Justify const& get_justification() const { return m_justify; }
    // Colours of the text; until set they follow the colour scheme.
    void set_text_color(unsigned char const& r, unsigned char const& g, unsigned char const& b);
    void set_text_color(GMathVec3<unsigned char> const& color);
    void set_text_selected_color(unsigned char const& r, unsigned char const& g, unsigned char const& b);
    void set_text_selected_color(GMathVec3<unsigned char> const& color);
    GMathVec3<unsigned char> get_text_color() const;
    // The text's colour while the label has the focus.
    GMathVec3<unsigned char> get_text_selected_color() const;
    GMathVec3<unsigned char> get_text_disabled_color() const;

    // Opens the shared editor over the label with its text selected.
    virtual void on_edit();
    // Ends an edit: the editor's text becomes the label's unless the event is a press on the
    // label itself.
    virtual void on_edit_end(GuiWidget& sender, EventInfo const& info, void* data);
    // The editor shared by all labels; null until a label first edits.
    static GuiLineEdit* get_editor();
    // A click decision is waiting for its timer.
    static bool is_click_pending();

    int process_event(CoreString const& name) override;
    void draw(GuiDc& dc) override;

protected:
    // Called when a delayed click turned out to be a double click; nothing here.
    virtual void on_delayed_double_click();

private:
    static void on_click_timer(void* data);
    void cancel_click_decision();

    CoreString m_label;
    bool m_editable = false;
    bool m_editing = false;
    Justify m_justify = JUSTIFY_LEFT;
    bool m_has_text_color = false;
    bool m_has_selected_color = false;
    GMathVec3<unsigned char> m_text_color;
    GMathVec3<unsigned char> m_selected_color;
};
