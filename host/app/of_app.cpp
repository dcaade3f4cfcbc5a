#include "host/app/of_app.h"

#include "host/core/core_log.h"
#include "host/of/of_command_manager.h"
#include "host/of/of_context.h"
#include "host/of/of_object.h"
#include "host/of/of_object_factory.h"

CORE_IMPLEMENT_CREATABLE_CLASS(OfApp, AppBase)

OfApp::OfApp(int argc, char** argv) : AppBase(argc, argv), m_factory(std::make_unique<OfObjectFactory>(this))
{
}

OfApp::OfApp() : m_factory(std::make_unique<OfObjectFactory>(this)) {}

OfApp::~OfApp() = default;

OfCommandManager& OfApp::get_command_manager() const
{
    return m_factory->get_command_manager();
}

OfContext& OfApp::get_vizroot() const
{
    OfContext* context = m_vizroot.to_context();
    return context ? *context : m_factory->get_root();
}

void OfApp::set_vizroot(OfContext& context)
{
    if (!context.is_in_scene() || &context.get_factory() != m_factory.get()) {
        CORE_LOG_WARNING("OfApp.set_vizroot: " << context.get_full_name() << " is not in the scene\n");
        return;
    }
    m_vizroot = OfContextHandle(context);
}

bool OfApp::is_visible_item(OfItem const& item) const
{
    if (!item.is_in_scene() || &item.get_factory() != m_factory.get()) return false;
    OfContext const& root = get_vizroot();
    bool inside = false;
    for (OfItem const* current = &item; current; current = current->get_holder()) {
        if (current->is_shadowed()) return false;
        if (current == &root) inside = true;
    }
    return inside;
}

bool OfApp::is_visible_object(OfObject const& object) const
{
    return is_visible_item(object);
}

size_t OfApp::get_memory_size() const
{
    return AppBase::get_memory_size() - sizeof(AppBase) + sizeof(OfApp) + m_factory->get_memory_size();
}
