#pragma once
// GuiBasicViewportWidget: an editor shown in a tab of a viewport frame (GuiViewport), and
// GuiViewportEditors, the registry that makes editors from their class names, so that a
// saved layout can make them again.
//
//     class MyGraphEditor : public GuiBasicViewportWidget {
//     public:
//         explicit MyGraphEditor(GuiWidget& parent) : GuiBasicViewportWidget(parent) {}
//         void refresh_selection() override;   // F5 over the frame
//     };
//     GuiViewportEditors::register_editor("MyGraphEditor", "Graph",
//                                         [](GuiWidget& parent) -> GuiBasicViewportWidget* { return new MyGraphEditor(parent); });
//     viewport->create_and_add_widget("MyGraphEditor");
//
// An editor's state goes into layouts through the widget's save_settings and load_settings.
#include <functional>

#include "gui/core/gui_export.h"
#include "gui/core/gui_widget.h"
#include "host/core/core_string.h"
#include "host/core/core_vector.h"

class QN_GUI_API GuiBasicViewportWidget : public GuiWidget {
    CORE_DECLARE_CLASS(GuiBasicViewportWidget, GuiWidget)

public:
    // Placed and sized by the frame that shows it.
    explicit GuiBasicViewportWidget(GuiWidget& parent);

    // The registered class name it was made from (empty when made directly).
    CoreString const& get_editor_name() const { return m_editor_name; }
    // The name of its tab.
    CoreString const& get_title() const { return m_title; }
    void set_title(CoreString const& title) { m_title = title; }
    // Saved with its settings, so that a newer editor can read an older layout.
    virtual double get_editor_version() const { return 1.0; }

    // The toolbar switches the editor uses; the others are greyed out while its tab shows.
    virtual bool is_selection_lock_controlled() const { return true; }
    virtual bool is_evaluation_controlled() const { return false; }
    virtual bool is_shadowed_controlled() const { return false; }
    // Told when its tab's switches change, and when they are restored from a layout.
    virtual void on_selection_lock_changed(bool const&) {}
    virtual void on_evaluation_changed(bool const&) {}
    virtual void on_shadowed_changed(bool const&) {}
    // The toolbar's commands and the F5 key.
    virtual void refresh_selection() {}
    virtual void force_evaluation() {}
    virtual void set_global_selection_from_sticky() {}

    size_t get_memory_size() const override;

private:
    friend class GuiViewportEditors;
    CoreString m_editor_name;
    CoreString m_title;
};

class QN_GUI_API GuiViewportEditors {
public:
    using Maker = std::function<GuiBasicViewportWidget*(GuiWidget& parent)>;

    // Registers (or replaces) an editor class; false, with a warning, for an empty name or
    // maker.
    static bool register_editor(CoreString const& name, CoreString const& title, Maker maker);
    static bool unregister_editor(CoreString const& name);
    static bool is_registered(CoreString const& name);
    static CoreVector<CoreString> get_editor_names();
    // A new editor of the class inside `parent`, named and titled; null, with a warning,
    // when the class is not registered or its maker made nothing.
    static GuiBasicViewportWidget* create(CoreString const& name, GuiWidget& parent);
};
