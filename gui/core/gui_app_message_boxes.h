#pragma once
// GuiAppMessageBoxes: how the application's message boxes are answered. A handler may stand
// in for the user (scripted runs); otherwise the presenter that the message box's layer
// registers shows the box; without either, or without a display, the request is logged and
// answered with its default value. A request made on another thread is handed to the
// application thread, and its caller waits for the answer.
#include "gui/core/gui_export.h"
#include "host/app/app_dialog.h"
#include "host/core/core_string.h"
#include "host/core/core_vector.h"

class GuiApp;

class QN_GUI_API GuiAppMessageBoxes {
public:
    // What a message box is asked to show.
    struct Request {
        CoreString message;
        CoreString title;
        AppDialog default_value;
        int style = 0;
        bool has_geometry = false;
        int geometry[4] = {0, 0, 0, 0};  // x, y, w, h: in with has_geometry, out when answered
        CoreVector<CoreString> list;
    };
    // Gets the request and returns the answer; it may write the geometry back.
    using Handler = AppDialog (*)(GuiApp& app, Request& request, void* data);
    // Builds and runs a message box window.
    using Presenter = AppDialog (*)(GuiApp& app, Request& request);

    // Null gives the boxes back to the presenter.
    void set_handler(Handler handler, void* data);
    // Registered once by the layer that holds the message box widget.
    static void set_presenter(Presenter presenter);

    // The answer on the application thread: the handler's, the presenter's, or the default.
    AppDialog show(GuiApp& app, Request& request) const;
    // Has app.show_message_box answer the request on the application thread: directly there,
    // through a timer from another thread, the caller waiting. A geometry of zero width or
    // height is not used for placing; a geometry passed gets the final one back.
    static AppDialog ask(GuiApp& app, CoreString const& message, CoreString const& title,
                         AppDialog const& default_value, int const& style, int* geometry,
                         CoreVector<CoreString> const& list);

private:
    Handler m_handler = nullptr;
    void* m_handler_data = nullptr;
};
