#pragma once
// GuiGlTextCache: keeps the coverage of texts drawn again and again (node titles, labels)
// as images in a few one-channel texture pages, so that a label costs one quad sampled once
// per pixel instead of a quad per glyph through the distance-field shader. A text is kept
// from its second sighting on at the same scale and sub-pixel position; the first draws its
// glyphs as usual, so that zooming or text that changes every frame costs no extra work.
// The batch (GuiGlBatch) asks the cache where a text lies and renders the glyphs of new
// entries into their pages before it draws. A page that is full makes room by dropping the
// least recently used page.
//
//     GuiGlTextCache& cache = GuiGlTextCache::get();
//     cache.set_enabled(false);   // every text drawn glyph by glyph, as before
//
// All calls are made on the drawing thread, with the shared OpenGL context current where
// they create or clear pages.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gui/core/gui_export.h"

class GlLazyProgram;
class GlProgram;

class QN_GUI_API GuiGlTextCache {
public:
    // What makes two drawings of a text the same picture: the font, the atlas codes, the
    // scale from font units to pixels and the origin's position inside its pixel.
    struct Key {
        void const* font = nullptr;
        unsigned int texture = 0;
        std::string codes;
        int32_t scale = 0;       // in 1/4096 of a pixel per unit
        uint8_t fraction_x = 0;  // in eighths of a pixel
        uint8_t fraction_y = 0;
        bool operator==(Key const& other) const;
    };
    // Where a kept text's image lies: its page's texture and the lower-left corner, in
    // texels of the page (rows from the bottom, as the page is rendered).
    struct Place {
        unsigned int texture = 0;
        int page = -1;
        int x = 0;
        int y = 0;
        bool needs_fill = false;  // placed now: its glyphs must be rendered into the page
        void* entry = nullptr;    // the text's entry, to give it back (give_back)
    };

    static constexpr int DEFAULT_PAGE_SIZE = 2048;
    static constexpr int DEFAULT_MAX_PAGES = 4;
    // Above this many texts seen once, the ones seen once are forgotten.
    static constexpr size_t MAX_SEEN_ONCE = 65536;

    static GuiGlTextCache& get();

    GuiGlTextCache();
    ~GuiGlTextCache();
    GuiGlTextCache(GuiGlTextCache const&) = delete;
    GuiGlTextCache& operator=(GuiGlTextCache const&) = delete;

    // Where the text of `width` × `height` pixels lies, placed now if it was seen before and
    // there is room. False: draw it glyph by glyph (first sighting, too large, every page in
    // use by the frame, the driver lacks render targets, or the cache is off).
    bool find(Key const& key, int width, int height, Place& place);
    // A batch drawing from the pages holds them from its first cached text until it is flushed
    // or emptied: no page drawn from since the first hold is dropped while any batch holds.
    void hold() { ++m_holders; }
    void release();
    // Texts placed (Place::entry) but never rendered into their page, as their batch was
    // emptied first or the page could not be rendered into: they are placed again at their
    // next sighting. Entries of an earlier generation (the cache was cleared since) are
    // ignored.
    void give_back(std::vector<void*> const& entries, uint64_t const& generation);
    uint64_t get_generation() const { return m_generation; }
    // The driver cannot render into the pages after all: texts stay glyph by glyph.
    void refuse_render_targets();
    // Pages whose texels must be cleared before anything is rendered into them.
    std::vector<unsigned int> take_pages_to_clear();
    // The fragment program that draws a page's texels as the opacity of the vertex colour
    // (uniform "u_texture"); null if the driver cannot build it (said once).
    GlProgram* get_page_shader();

    int get_page_size() const { return m_page_size; }
    size_t get_page_count() const;
    size_t get_kept_count() const { return m_kept; }
    // Pages emptied to make room since the cache was last cleared: a count that keeps
    // rising with a steady picture means the pages are too few for it.
    size_t get_dropped_page_count() const { return m_dropped_pages; }
    // Drops everything and sets the size and number of pages (for tests and small memory).
    void set_limits(int page_size, int max_pages);
    void set_enabled(bool enabled);
    bool is_enabled() const { return m_enabled; }
    // Deletes the pages and the program (the context must be current) and forgets every text.
    void clear();
    // Forgets the pages' names without OpenGL calls: their context is gone.
    void forget_gl_resources();

private:
    struct Page;
    struct Entry;
    struct Table;

    // A page with a free spot of that size, dropping the least recently used one if needed;
    // -1 when none can be had.
    int find_room(int width, int height, int& x, int& y);
    void drop_page(size_t page);
    bool has_render_targets();

    std::vector<std::unique_ptr<Page>> m_pages;
    std::unique_ptr<Table> m_table;
    int m_page_size = DEFAULT_PAGE_SIZE;
    int m_max_pages = DEFAULT_MAX_PAGES;
    uint64_t m_stamp = 1;
    size_t m_kept = 0;
    size_t m_seen_once = 0;
    size_t m_dropped_pages = 0;
    bool m_enabled = true;
    int m_render_targets = -1;  // -1 unknown, 0 missing, 1 present
    std::vector<unsigned int> m_to_clear;
    int m_holders = 0;
    uint64_t m_generation = 0;  // counts clears: entries of another generation are gone
    std::unique_ptr<GlLazyProgram> m_page_shader;
};
