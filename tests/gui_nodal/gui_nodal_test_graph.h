#pragma once
// The fixture of the node-graph suites: a shown 400 × 300 view of the given class, made on
// first use in a window of its own.
#include "gui/nodal/gui_nodal.h"
#include "tests/support/gui_test_app.h"

template <class View = GuiNodal>
class NodalTestBase : public GuiTest {
protected:
    // `simplify` is the view's first construction flag; it counts only on the first call.
    View& graph(bool simplify = false)
    {
        if (!m_graph) {
            m_graph = new View(make_window(400, 300), 0, 0, 400, 300, simplify);
            m_graph->show();
        }
        return *m_graph;
    }

private:
    View* m_graph = nullptr;
};
