#include "host/of/of_module.h"

CORE_IMPLEMENT_CLASS(OfModule, CoreBaseObject)
