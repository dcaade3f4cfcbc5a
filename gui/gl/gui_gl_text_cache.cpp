#include <GL/glew.h>

#include "gui/gl/gui_gl_text_cache.h"

#include <algorithm>
#include <functional>
#include <unordered_map>

#include "host/core/core_log.h"
#include "host/glutils/glutils_program.h"

namespace {

// Images are stacked on shelves of a few heights, so that texts of one font share a shelf.
constexpr int SHELF_STEP = 4;

char const* const PAGE_SHADER_SOURCE = R"(#version 120
uniform sampler2D u_texture;

void main()
{
    gl_FragColor = vec4(gl_Color.rgb, gl_Color.a * texture2D(u_texture, gl_TexCoord[0].xy).r);
}
)";

}  // namespace

bool GuiGlTextCache::Key::operator==(Key const& other) const
{
    return font == other.font && texture == other.texture && scale == other.scale &&
           fraction_x == other.fraction_x && fraction_y == other.fraction_y && codes == other.codes;
}

struct GuiGlTextCache::Page {
    struct Shelf {
        int y = 0;
        int height = 0;
        int next_x = 0;
    };
    unsigned int texture = 0;
    uint64_t stamp = 0;  // the batch that last drew from it
    std::vector<Shelf> shelves;
    int top = 0;  // where the next shelf starts

    // A free spot of `width` × `height` texels, or false.
    bool take(int width, int height, int size, int& x, int& y)
    {
        int const shelf_height = (height + SHELF_STEP - 1) / SHELF_STEP * SHELF_STEP;
        for (Shelf& shelf : shelves)
            if (shelf.height == shelf_height && shelf.next_x + width <= size) {
                x = shelf.next_x;
                y = shelf.y;
                shelf.next_x += width;
                return true;
            }
        if (top + shelf_height > size) return false;
        shelves.push_back(Shelf{top, shelf_height, width});
        x = 0;
        y = top;
        top += shelf_height;
        return true;
    }
};

struct GuiGlTextCache::Entry {
    int page = -1;  // -1: seen once, not kept
    int x = 0;
    int y = 0;
};

struct GuiGlTextCache::Table {
    struct Hash {
        size_t operator()(Key const& key) const
        {
            size_t hash = std::hash<std::string>()(key.codes);
            hash ^= std::hash<void const*>()(key.font) + 0x9e3779b97f4a7c15ull + (hash << 6) + (hash >> 2);
            uint64_t const packed = (static_cast<uint64_t>(static_cast<uint32_t>(key.scale)) << 16) |
                                    (static_cast<uint64_t>(key.fraction_x) << 8) | key.fraction_y;
            hash ^= std::hash<uint64_t>()(packed) + 0x9e3779b97f4a7c15ull + (hash << 6) + (hash >> 2);
            return hash;
        }
    };
    std::unordered_map<Key, Entry, Hash> entries;
};

GuiGlTextCache& GuiGlTextCache::get()
{
    static GuiGlTextCache cache;
    return cache;
}

GuiGlTextCache::GuiGlTextCache()
    : m_table(std::make_unique<Table>()),
      m_page_shader(std::make_unique<GlLazyProgram>("", PAGE_SHADER_SOURCE, "text cache page"))
{
}

// The pages die with the process's context; deleting them here would need it current.
GuiGlTextCache::~GuiGlTextCache() = default;

size_t GuiGlTextCache::get_page_count() const
{
    return m_pages.size();
}

bool GuiGlTextCache::find(Key const& key, int width, int height, Place& place)
{
    if (!m_enabled || width <= 0 || height <= 0 || width > m_page_size || height > m_page_size / 4)
        return false;
    auto found = m_table->entries.find(key);
    if (found == m_table->entries.end()) {
        if (m_seen_once >= MAX_SEEN_ONCE) {
            // Texts that change every frame would fill the table: forget those seen once.
            for (auto at = m_table->entries.begin(); at != m_table->entries.end();)
                at = at->second.page < 0 ? m_table->entries.erase(at) : std::next(at);
            m_seen_once = 0;
        }
        m_table->entries.emplace(key, Entry{});
        ++m_seen_once;
        return false;
    }
    Entry& entry = found->second;
    bool const placed_now = entry.page < 0;
    if (placed_now) {
        if (!has_render_targets()) return false;
        int x = 0;
        int y = 0;
        int const page = find_room(width, height, x, y);
        if (page < 0) return false;
        entry = Entry{page, x, y};
        --m_seen_once;
        ++m_kept;
    }
    Page& page = *m_pages[static_cast<size_t>(entry.page)];
    page.stamp = m_stamp;
    place.texture = page.texture;
    place.page = entry.page;
    place.x = entry.x;
    place.y = entry.y;
    place.needs_fill = placed_now;
    place.entry = &entry;  // entries live in the table's nodes: their addresses stay
    return true;
}

int GuiGlTextCache::find_room(int width, int height, int& x, int& y)
{
    for (size_t i = 0; i < m_pages.size(); ++i)
        if (m_pages[i]->take(width, height, m_page_size, x, y)) return static_cast<int>(i);
    if (m_pages.size() < static_cast<size_t>(m_max_pages)) {
        auto page = std::make_unique<Page>();
        glGenTextures(1, &page->texture);
        glBindTexture(GL_TEXTURE_2D, page->texture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_R8, m_page_size, m_page_size, 0, GL_RED, GL_UNSIGNED_BYTE, nullptr);
        // Texels are read one to one at pixel centres.
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        glBindTexture(GL_TEXTURE_2D, 0);
        m_to_clear.push_back(page->texture);
        m_pages.push_back(std::move(page));
        if (m_pages.back()->take(width, height, m_page_size, x, y))
            return static_cast<int>(m_pages.size() - 1);
        return -1;
    }
    // Every page is full: the one drawn from least recently makes room, unless the batch
    // being built draws from it too.
    size_t oldest = 0;
    for (size_t i = 1; i < m_pages.size(); ++i)
        if (m_pages[i]->stamp < m_pages[oldest]->stamp) oldest = i;
    if (m_pages.empty() || m_pages[oldest]->stamp == m_stamp) return -1;
    drop_page(oldest);
    return m_pages[oldest]->take(width, height, m_page_size, x, y) ? static_cast<int>(oldest) : -1;
}

void GuiGlTextCache::drop_page(size_t index)
{
    int const page = static_cast<int>(index);
    for (auto& entry : m_table->entries)
        if (entry.second.page == page) {
            // Seen before: kept again at its next sighting.
            entry.second.page = -1;
            --m_kept;
            ++m_seen_once;
        }
    ++m_dropped_pages;
    Page& dropped = *m_pages[index];
    dropped.shelves.clear();
    dropped.top = 0;
    m_to_clear.push_back(dropped.texture);
}

void GuiGlTextCache::release()
{
    if (m_holders > 0 && --m_holders == 0) ++m_stamp;
}

void GuiGlTextCache::give_back(std::vector<void*> const& entries, uint64_t const& generation)
{
    if (generation != m_generation) return;
    for (void* handle : entries) {
        Entry* const entry = static_cast<Entry*>(handle);
        if (entry->page < 0) continue;
        // Its spot stays taken until the page is dropped.
        entry->page = -1;
        --m_kept;
        ++m_seen_once;
    }
}

void GuiGlTextCache::refuse_render_targets()
{
    if (m_render_targets != 0)
        CORE_LOG_WARNING("GuiGlTextCache: the driver cannot render into a text page; texts are drawn glyph by "
                         "glyph\n");
    m_render_targets = 0;
}

std::vector<unsigned int> GuiGlTextCache::take_pages_to_clear()
{
    std::vector<unsigned int> pages;
    pages.swap(m_to_clear);
    return pages;
}

GlProgram* GuiGlTextCache::get_page_shader()
{
    return m_page_shader->get();
}

bool GuiGlTextCache::has_render_targets()
{
    if (m_render_targets < 0) {
        bool const targets = GLEW_VERSION_3_0 || (GLEW_ARB_framebuffer_object && GLEW_ARB_texture_rg);
        m_render_targets = targets && get_page_shader() ? 1 : 0;
        if (!m_render_targets)
            CORE_LOG_INFO(
                "GuiGlTextCache: the driver renders into no one-channel texture; texts are drawn "
                "glyph by glyph\n");
    }
    return m_render_targets == 1;
}

void GuiGlTextCache::set_limits(int page_size, int max_pages)
{
    if (page_size < 16 || max_pages < 1) {
        CORE_LOG_WARNING("GuiGlTextCache.set_limits: pages of " << page_size << " texels, " << max_pages
                                                                << " of them: kept as they are\n");
        return;
    }
    clear();
    m_page_size = page_size;
    m_max_pages = max_pages;
}

void GuiGlTextCache::set_enabled(bool enabled)
{
    m_enabled = enabled;
}

void GuiGlTextCache::clear()
{
    for (auto const& page : m_pages)
        if (page->texture) glDeleteTextures(1, &page->texture);
    m_page_shader->destroy();
    forget_gl_resources();
}

void GuiGlTextCache::forget_gl_resources()
{
    m_page_shader->forget();
    m_pages.clear();
    m_table->entries.clear();
    m_kept = 0;
    m_seen_once = 0;
    m_dropped_pages = 0;
    m_to_clear.clear();
    ++m_generation;
    m_render_targets = -1;
}
