#pragma once
// GuiAppColorTags: the colour tags of scene items, read from the colour-tag configuration
// file: a group "color_tags" with one group per tag holding "tip" (a string), "weight" (a
// number) and "color" (three integers 0..255).
#include "gui/core/gui_export.h"
#include "host/core/core_string.h"
#include "host/core/core_vector.h"
#include "host/gmath/gmath_vec.h"

// A colour tag of scene items.
struct GuiColorTag {
    CoreString name;
    CoreString tip;
    double weight = 0.0;
    GMathVec3<unsigned char> color = GMathVec3<unsigned char>(0, 0, 0);
};

class QN_GUI_API GuiAppColorTags {
public:
    // Replaces the tags with those of the file; inconsistent tags are skipped with a warning.
    // False, and the tags kept, when the file cannot be read.
    bool load(CoreString const& path);
    CoreVector<GuiColorTag> const& get_tags() const { return m_tags; }

private:
    CoreVector<GuiColorTag> m_tags;
};
