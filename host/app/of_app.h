#pragma once
// The scene application: the application base with one scene (OfObjectFactory), its command
// history, and the visualisation root that item views start from. The interactive
// application object derives from it.
#include <memory>

#include "host/app/app_base.h"
#include "host/core/core_export.h"
#include "host/of/of_handle.h"

class OfCommandManager;
class OfContext;
class OfItem;
class OfObject;
class OfObjectFactory;

class QN_HOST_API OfApp : public AppBase {
    CORE_DECLARE_CLASS(OfApp, AppBase)

public:
    OfApp(int argc, char** argv);
    OfApp();
    ~OfApp() override;

    OfObjectFactory& get_factory() const { return *m_factory; }
    OfCommandManager& get_command_manager() const;

    // The context item views show the scene from: the root unless set otherwise; back to the
    // root when the context chosen is deleted.
    OfContext& get_vizroot() const;
    virtual void set_vizroot(OfContext& context);
    // True when the item is in the scene, not shadowed, and is the visualisation root or
    // lies inside it.
    bool is_visible_item(OfItem const& item) const;
    bool is_visible_object(OfObject const& object) const;

    size_t get_memory_size() const override;

private:
    std::unique_ptr<OfObjectFactory> m_factory;
    OfContextHandle m_vizroot;
};
