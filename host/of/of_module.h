#pragma once
// OfModule: the code behind a class of the scene, shared by every object of the class
// (OfClass::set_module). Engines derive from it; the class only points to its module and
// never owns it.
//
//     scripting_class->set_module(&python_engine);
//     OfModule* module = object->get_module();   // the engine, for any object of the class
#include "host/core/core_base_object.h"
#include "host/core/core_export.h"

class QN_HOST_API OfModule : public CoreBaseObject {
    CORE_DECLARE_CLASS(OfModule, CoreBaseObject)

public:
    OfModule() = default;
    ~OfModule() override = default;
    OfModule(OfModule const&) = delete;
    OfModule& operator=(OfModule const&) = delete;

    size_t get_memory_size() const override { return sizeof(OfModule); }
};
