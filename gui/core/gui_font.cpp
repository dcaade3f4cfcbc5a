#include "gui/core/gui_font.h"

#include <FL/Enumerations.H>
#include <FL/Fl.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <array>
#include <string>
#include <unordered_map>
#include <vector>

#include "gui/core/gui.h"
#include "host/core/core_log.h"
#include "host/sys/sys_thread_lock.h"

CORE_IMPLEMENT_CREATABLE_CLASS(GuiFont, CoreBaseObject)

namespace {

using Faces = std::array<int, 4>;

int face_slot(GuiFont::Weight const& weight, GuiFont::Style const& style)
{
    if (weight < GuiFont::WEIGHT_NORMAL || weight > GuiFont::WEIGHT_BOLD) return -1;
    if (style < GuiFont::STYLE_NORMAL || style > GuiFont::STYLE_ITALIC) return -1;
    return weight + 2 * style;
}

// Every face the toolkit enumerated, and its families by lower-cased name.
struct FontTable {
    std::vector<CoreString> names;
    std::unordered_map<std::string, Faces> families;
    int stand_by = 0;

    Faces const* find(CoreString const& family) const
    {
        auto const it = families.find(family.get_lower_case().std_string());
        return it == families.end() ? nullptr : &it->second;
    }
};

// The toolkit appends " bold" and " italic" to a face's family name after its attributes.
CoreString family_of_face_name(char const* name, int attributes)
{
    std::string family = name ? name : "";
    auto strip = [&family](char const* suffix) {
        std::string const s(suffix);
        if (family.size() > s.size() && family.compare(family.size() - s.size(), s.size(), s) == 0)
            family.resize(family.size() - s.size());
    };
    if (attributes & FL_ITALIC) strip(" italic");
    if (attributes & FL_BOLD) strip(" bold");
    return CoreString(family);
}

FontTable* build_font_table()
{
    auto* table = new FontTable();
    // Enumerating the system's faces needs the display; without one, the toolkit's built-in
    // faces are all there is.
    int const count = Gui::open_display() ? Fl::set_fonts(nullptr) : static_cast<int>(FL_FREE_FONT);
    table->names.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        int attributes = 0;
        char const* name = Fl::get_font_name(static_cast<Fl_Font>(i), &attributes);
        table->names.emplace_back(name ? name : "");
        CoreString const family = family_of_face_name(name, attributes).get_lower_case();
        if (family.is_empty()) continue;
        auto [it, added] = table->families.try_emplace(family.std_string(), Faces{-1, -1, -1, -1});
        int const slot = ((attributes & FL_BOLD) ? 1 : 0) + ((attributes & FL_ITALIC) ? 2 : 0);
        // The first face the toolkit lists for a member wins.
        if (it->second[slot] < 0) it->second[slot] = i;
    }
    table->stand_by = fl_font();
    CORE_LOG_DEBUG("GuiFont.build_font_table: " << count << " faces in " << table->families.size()
                                                << " families, stand-by face " << table->stand_by << "\n");
    return table;
}

FontTable const& font_table()
{
    // Built once, on first use, and kept for the life of the process.
    static FontTable const* table = build_font_table();
    return *table;
}

// A family member's face: the member itself, else the family's regular face, else any face
// of the family.
int member_face(Faces const& faces, int slot)
{
    if (slot >= 0 && faces[static_cast<size_t>(slot)] >= 0) return faces[static_cast<size_t>(slot)];
    if (faces[0] >= 0) return faces[0];
    for (int face : faces)
        if (face >= 0) return face;
    return font_table().stand_by;
}

// All measures share the toolkit's single current font.
SysThreadLockRecursive& toolkit_font_lock()
{
    static SysThreadLockRecursive lock;
    return lock;
}

// Sets the toolkit's font for a scope and puts the previous font and size back after it.
class ToolkitFontScope {
public:
    ToolkitFontScope(int const& face, int const& size)
        : m_guard(toolkit_font_lock()), m_face(fl_font()), m_size(fl_size())
    {
        fl_font(static_cast<Fl_Font>(face), static_cast<Fl_Fontsize>(size));
    }
    ~ToolkitFontScope()
    {
        // A size of 0 means no font was ever set: -1 returns the toolkit to that state.
        if (m_size > 0)
            fl_font(m_face, m_size);
        else
            fl_font(static_cast<Fl_Font>(-1), 0);
    }
    ToolkitFontScope(ToolkitFontScope const&) = delete;
    ToolkitFontScope& operator=(ToolkitFontScope const&) = delete;

private:
    SysThreadLockGuard<SysThreadLockRecursive> m_guard;
    Fl_Font m_face;
    Fl_Fontsize m_size;
};

}  // namespace

char const* GuiFont::get_weight_name(Weight const& weight)
{
    switch (weight) {
        case WEIGHT_NORMAL:
            return "WEIGHT_NORMAL";
        case WEIGHT_BOLD:
            return "WEIGHT_BOLD";
    }
    return "WEIGHT_UNKNOWN";
}

char const* GuiFont::get_style_name(Style const& style)
{
    switch (style) {
        case STYLE_NORMAL:
            return "STYLE_NORMAL";
        case STYLE_ITALIC:
            return "STYLE_ITALIC";
    }
    return "STYLE_UNKNOWN";
}

GuiFont::GuiFont() : GuiFont(get_default()) {}

GuiFont::GuiFont(CoreString const& family, int const& size, Weight const& weight, Style const& style)
{
    reset(family, size, weight, style);
}

void GuiFont::reset(CoreString const& family, int const& size, Weight const& weight, Style const& style)
{
    FontTable const& table = font_table();
    m_family = family;
    m_size = size;
    m_weight = weight;
    m_style = style;
    Faces const* faces = table.find(family);
    for (int slot = 0; slot < 4; ++slot) m_faces[slot] = faces ? member_face(*faces, slot) : table.stand_by;
    if (!faces) {
        CORE_LOG_DEBUG("GuiFont.reset: no family \"" << family << "\", using the stand-by face "
                                                     << table.stand_by << "\n");
    }
}

void GuiFont::set_face(Weight const& weight, Style const& style, CoreString const& family, int const& size,
                       Weight const& face_weight, Style const& face_style)
{
    int const slot = face_slot(weight, style);
    Faces const* faces = font_table().find(family);
    if (slot < 0 || !faces) return;
    m_faces[slot] = member_face(*faces, face_slot(face_weight, face_style));
    m_size = size;
}

int GuiFont::get_index() const
{
    return get_face_index(m_weight, m_style);
}

int GuiFont::get_face_index(Weight const& weight, Style const& style) const
{
    int const slot = face_slot(weight, style);
    return slot < 0 ? -1 : m_faces[slot];
}

CoreString GuiFont::get_font_name() const
{
    return get_face_name(get_index());
}

CoreString GuiFont::get_face_name(int const& index)
{
    FontTable const& table = font_table();
    if (index < 0 || index >= static_cast<int>(table.names.size())) return CoreString();
    return table.names[static_cast<size_t>(index)];
}

void GuiFont::make_current() const
{
    int const face = get_index();
    if (face < 0 || !Gui::open_display()) return;
    fl_font(static_cast<Fl_Font>(face), static_cast<Fl_Fontsize>(m_size));
}

void GuiFont::get_text_size(CoreString const& text, int& width, int& height) const
{
    get_text_size(text.get_data(), width, height);
}

void GuiFont::get_text_size(char const* text, int& width, int& height) const
{
    width = 0;
    height = 0;
    int const face = get_index();
    if (!text || face < 0 || !Gui::open_display()) return;
    ToolkitFontScope scope(face, m_size);
    fl_measure(text, width, height, 1);
}

double GuiFont::get_text_width(char const* text, int const& length) const
{
    int const face = get_index();
    if (!text || length <= 0 || face < 0 || !Gui::open_display()) return 0.0;
    ToolkitFontScope scope(face, m_size);
    return fl_width(text, length);
}

int GuiFont::get_height() const
{
    int const face = get_index();
    if (face < 0 || !Gui::open_display()) return 0;
    ToolkitFontScope scope(face, m_size);
    return fl_height();
}

int GuiFont::get_descent() const
{
    int const face = get_index();
    if (face < 0 || !Gui::open_display()) return 0;
    ToolkitFontScope scope(face, m_size);
    return fl_descent();
}

GuiFont const& GuiFont::get_default()
{
    static GuiFont const* font = [] {
        FontTable const& table = font_table();
        GuiFont* made = nullptr;
        if (table.find("segoe ui")) {
            made = new GuiFont("Segoe UI", 12);
        } else if (table.find("tahoma")) {
            made = new GuiFont("Tahoma", 11);
            if (table.find("arial")) {
                made->set_face(WEIGHT_BOLD, STYLE_NORMAL, "Arial", 11, WEIGHT_BOLD, STYLE_NORMAL);
                made->set_face(WEIGHT_BOLD, STYLE_ITALIC, "Arial", 11, WEIGHT_BOLD, STYLE_ITALIC);
            }
        } else if (table.find("roboto")) {
            made = new GuiFont("Roboto", 12);
        } else {
            // The toolkit's own sans faces are always there, display or not.
            made = new GuiFont("sans", 12);
            made->m_faces[0] = FL_HELVETICA;
            made->m_faces[1] = FL_HELVETICA_BOLD;
            made->m_faces[2] = FL_HELVETICA_ITALIC;
            made->m_faces[3] = FL_HELVETICA_BOLD_ITALIC;
        }
        return made;
    }();
    return *font;
}

int GuiFont::get_face_count()
{
    return static_cast<int>(font_table().names.size());
}

bool GuiFont::get_family_faces(CoreString const& family, int faces[4])
{
    Faces const* found = font_table().find(family);
    if (!found) return false;
    std::copy(found->begin(), found->end(), faces);
    return true;
}

CoreVector<CoreString> GuiFont::get_family_names()
{
    std::vector<std::string> names;
    for (auto const& entry : font_table().families) names.push_back(entry.first);
    std::sort(names.begin(), names.end());
    CoreVector<CoreString> out;
    for (auto const& name : names) out.add(CoreString(name));
    return out;
}

int GuiFont::get_stand_by_face()
{
    return font_table().stand_by;
}
