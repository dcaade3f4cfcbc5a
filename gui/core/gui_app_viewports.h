#pragma once
// GuiAppViewports: the viewports of the application, and the pause of their automatic
// evaluation around work that must not be interrupted by re-evaluations. Viewports live in a
// layer above the core: they add themselves while they exist, and their layer lends the
// application the two calls that read and switch a viewport's automatic evaluation, and
// floating windows the calls that lay out and save the frames they hold.
#include <vector>

#include "gui/core/gui_export.h"
#include "host/core/core_vector.h"

class GuiViewport;
class GuiWidget;
class ParserEntry;
class ParserGroup;

class QN_GUI_API GuiAppViewports {
public:
    using AutoEvaluationGetter = bool (*)(GuiViewport const& viewport);
    using AutoEvaluationSetter = void (*)(GuiViewport& viewport, bool on);
    // Called once by the viewports' layer when the library loads.
    static void set_auto_evaluation_access(AutoEvaluationGetter getter, AutoEvaluationSetter setter);

    // What a window does with the frames it holds: show one alone and all again, write and
    // read their layout.
    struct FrameAccess {
        void (*show_alone)(GuiViewport& frame) = nullptr;
        void (*show_all)(GuiViewport& frame) = nullptr;
        void (*get_layout)(GuiViewport const& frame, ParserGroup& group, bool with_view) = nullptr;
        bool (*set_layout)(GuiViewport& frame, ParserEntry const& entry) = nullptr;
        GuiWidget* (*get_widget)(GuiViewport const& frame, unsigned int index) = nullptr;
    };
    static void set_frame_access(FrameAccess const& access);
    // The calls lent, or null ones (with an error logged naming `operation`) when the
    // viewports' layer is not loaded.
    static FrameAccess const* get_frame_access(char const* operation);

    // Registered viewports in creation order (not owned); adding one twice does nothing.
    void add(GuiViewport* viewport);
    void remove(GuiViewport* viewport);
    CoreVector<GuiViewport*> const& get_viewports() const { return m_viewports; }

    // Saves every viewport's automatic evaluation and switches it off.
    void disable_auto_evaluation();
    // Gives each viewport its saved flag back in the same order; restoring without a save
    // before gives the flags saved last.
    void restore_auto_evaluation();

private:
    CoreVector<GuiViewport*> m_viewports;
    std::vector<bool> m_saved;
};
