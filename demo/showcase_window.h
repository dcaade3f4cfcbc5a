#pragma once
// The showcase's main window: nested panels that follow the window through their edge
// constraints, a row of tiles to Tab through, scene items to drag onto a drop target, and
// the foundation tour with the sample scene's undo history.
#include <memory>

#include "demo/foundation_tour.h"
#include "gui/core/gui_window.h"

class GuiApp;
class DemoText;

class ShowcaseWindow {
public:
    ShowcaseWindow(GuiApp& app, int width, int height);
    ~ShowcaseWindow();

    GuiWindow& get_window() { return *m_window; }
    void show();

private:
    void build_focus_panel(GuiWidget& parent, int x, int y, int w, int h);
    void build_dnd_panel(GuiWidget& parent, int x, int y, int w, int h);
    void build_scene_panel(GuiWidget& parent, int x, int y, int w, int h);
    void refresh_scene_text();

    GuiApp& m_app;
    GuiWindow* m_window = nullptr;
    std::unique_ptr<SceneTour> m_tour;
    DemoText* m_scene_text = nullptr;
};
