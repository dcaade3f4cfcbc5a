#pragma once
// The node-graph view's undoable changes, recorded in the host's command history after the
// user made them: moving boxes, and the links a gesture added and removed. Commands name
// boxes and plugs through end references, which lead nowhere once their box has left the
// view, so that a command outliving its items changes nothing rather than touch freed ones;
// a command outliving its view does nothing either.
#include <cstdint>
#include <memory>
#include <vector>

#include "gui/core/gui_export.h"
#include "host/gmath/gmath_vec.h"
#include "host/of/of_command_manager.h"

class GuiNodal;
class GuiNodalNodeBase;

// A box or plug, by the top-level box it belongs to (and the serial that box got from its
// view), the zone holding the plug (-1 for the box's own) and the plug's anchor slot (-1 for
// the box itself).
struct GuiNodalEndRef {
    GuiNodalNodeBase* box = nullptr;
    uint64_t serial = 0;
    int zone = -1;
    int slot = -1;
    bool operator==(GuiNodalEndRef const& other) const
    {
        return box == other.box && serial == other.serial && zone == other.zone && slot == other.slot;
    }
};

// Boxes moved, each by its own amount (a stretched move carries linked boxes part of the
// way); undo moves them back.
class QN_GUI_API GuiNodalMoveCommand : public OfCommand {
    CORE_DECLARE_CLASS(GuiNodalMoveCommand, OfCommand)

public:
    using Moves = std::vector<std::pair<GuiNodalNodeBase*, GMathVec2<int>>>;
    // The boxes have already moved by their deltas.
    GuiNodalMoveCommand(GuiNodal& view, Moves const& moves, CoreString const& label = "Move Nodes");
    bool run() override { return true; }
    void undo() override { apply(-1); }
    void redo() override { apply(1); }
    CoreString get_label() const override { return m_label; }

private:
    void apply(int const& sign);

    CoreString m_label;
    std::weak_ptr<GuiNodal*> m_view;
    std::vector<std::pair<GuiNodalEndRef, GMathVec2<int>>> m_moves;
};

// A backdrop's or subnet's title or a note's text changed; undo puts the old one back.
class QN_GUI_API GuiNodalTextCommand : public OfCommand {
    CORE_DECLARE_CLASS(GuiNodalTextCommand, OfCommand)

public:
    // The box already shows `after`.
    GuiNodalTextCommand(GuiNodal& view, GuiNodalNodeBase& box, CoreString const& label, CoreString const& before,
                        CoreString const& after);
    bool run() override { return true; }
    void undo() override { apply(m_before); }
    void redo() override { apply(m_after); }
    CoreString get_label() const override { return m_label; }

private:
    void apply(CoreString const& text);

    std::weak_ptr<GuiNodal*> m_view;
    GuiNodalEndRef m_box;
    CoreString m_label;
    CoreString m_before;
    CoreString m_after;
};

// The links a gesture made and took away, by their ends; undo takes the made ones away and
// makes the others again.
class QN_GUI_API GuiNodalLinkCommand : public OfCommand {
    CORE_DECLARE_CLASS(GuiNodalLinkCommand, OfCommand)

public:
    using Ends = std::pair<GuiNodalEndRef, GuiNodalEndRef>;
    // The changes have already been made.
    GuiNodalLinkCommand(GuiNodal& view, CoreString const& label, std::vector<Ends> const& added,
                        std::vector<Ends> const& removed);
    bool run() override { return true; }
    void undo() override;
    void redo() override;
    CoreString get_label() const override { return m_label; }

private:
    void apply(std::vector<Ends> const& remove, std::vector<Ends> const& add);

    std::weak_ptr<GuiNodal*> m_view;
    CoreString m_label;
    std::vector<Ends> m_added;
    std::vector<Ends> m_removed;
};
