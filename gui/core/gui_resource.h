#pragma once
// GuiResource: the built-in pictures of the interface, drawn in code on first use and kept
// until the process ends. Each picture exists as a 16 × 16 RGBA image and as an icon with
// the same design at every icon size; a few exist only as icons. Glyphs are light grey with
// a soft dark outline, so that they read on dark and light backgrounds alike; the
// "_selected" variants are drawn in the accent colour. A widget that recolours a picture
// fills a copy of it:
//
//     GuiImage arrow(GuiResource::small_down_triangle());
//     arrow.fill(text_color[0], text_color[1], text_color[2]);
//     GuiResource::trash_iconrc().get_image(ImageIcon::IMAGE_ICON_SIZE_32).draw(x, y);
//
// The accessors may be called from any thread: each picture is made once. Asking an icon
// for its images and drawing belong to the interface thread.
#include "gui/core/gui_export.h"
#include "host/core/core_string.h"
#include "host/core/core_vector.h"
#include "host/gmath/gmath_vec.h"

class GuiColorScheme;
class GuiIcon;
class GuiImage;

class QN_GUI_API GuiResource {
public:
    static GuiImage const& checker();
    static GuiImage const& checker_selected();
    static GuiImage const& clear();
    static GuiImage const& down_triangle_label();
    static GuiImage const& down_triangle_label_selected();
    static GuiImage const& down_triangle_text();
    static GuiImage const& horizontal_minislider();
    static GuiImage const& horizontal_minislider_selected();
    static GuiImage const& left_navigator_arrow();
    static GuiImage const& left_triangle_label();
    static GuiImage const& left_triangle_label_selected();
    static GuiImage const& left_triangle_text();
    static GuiImage const& magnifier();
    static GuiImage const& mb_info();
    static GuiImage const& navigator_lock();
    static GuiImage const& navigator_refresh();
    static GuiImage const& open();
    static GuiImage const& radio_menu();
    static GuiImage const& radio_menu_empty();
    static GuiImage const& radio_menu_empty_selected();
    static GuiImage const& radio_menu_selected();
    static GuiImage const& right_navigator_arrow();
    static GuiImage const& right_triangle_label();
    static GuiImage const& right_triangle_label_selected();
    static GuiImage const& right_triangle_text();
    static GuiImage const& save();
    static GuiImage const& small_down_triangle();
    static GuiImage const& small_left_triangle();
    static GuiImage const& small_right_triangle();
    static GuiImage const& small_up_triangle();
    static GuiImage const& trash();
    static GuiImage const& up_triangle_label();
    static GuiImage const& up_triangle_label_selected();
    static GuiImage const& up_triangle_text();
    static GuiImage const& viewport_close();
    static GuiImage const& viewport_maximize();
    static GuiImage const& viewport_restore();
    static GuiImage const& viewport_split_horizontal();
    static GuiImage const& viewport_split_quad();
    static GuiImage const& viewport_split_vertical();

    static GuiIcon const& checker_iconrc();
    static GuiIcon const& checker_selected_iconrc();
    static GuiIcon const& clear_iconrc();
    static GuiIcon const& down_triangle_label_iconrc();
    static GuiIcon const& down_triangle_label_selected_iconrc();
    static GuiIcon const& down_triangle_text_iconrc();
    static GuiIcon const& horizontal_minislider_iconrc();
    static GuiIcon const& horizontal_minislider_selected_iconrc();
    static GuiIcon const& left_navigator_arrow_iconrc();
    static GuiIcon const& left_triangle_label_iconrc();
    static GuiIcon const& left_triangle_label_selected_iconrc();
    static GuiIcon const& left_triangle_text_iconrc();
    static GuiIcon const& magnifier_iconrc();
    static GuiIcon const& mb_info_iconrc();
    static GuiIcon const& navigator_lock_iconrc();
    static GuiIcon const& navigator_refresh_iconrc();
    static GuiIcon const& open_iconrc();
    static GuiIcon const& radio_menu_iconrc();
    static GuiIcon const& radio_menu_empty_iconrc();
    static GuiIcon const& radio_menu_empty_selected_iconrc();
    static GuiIcon const& radio_menu_selected_iconrc();
    static GuiIcon const& right_navigator_arrow_iconrc();
    static GuiIcon const& right_triangle_label_iconrc();
    static GuiIcon const& right_triangle_label_selected_iconrc();
    static GuiIcon const& right_triangle_text_iconrc();
    static GuiIcon const& save_iconrc();
    static GuiIcon const& small_down_triangle_iconrc();
    static GuiIcon const& small_left_triangle_iconrc();
    static GuiIcon const& small_right_triangle_iconrc();
    static GuiIcon const& small_up_triangle_iconrc();
    static GuiIcon const& trash_iconrc();
    static GuiIcon const& up_triangle_label_iconrc();
    static GuiIcon const& up_triangle_label_selected_iconrc();
    static GuiIcon const& up_triangle_text_iconrc();
    static GuiIcon const& viewport_close_iconrc();
    static GuiIcon const& viewport_maximize_iconrc();
    static GuiIcon const& viewport_restore_iconrc();
    static GuiIcon const& viewport_split_horizontal_iconrc();
    static GuiIcon const& viewport_split_quad_iconrc();
    static GuiIcon const& viewport_split_vertical_iconrc();

    // Pictures that exist only as icons.
    static GuiIcon const& attribute_iconrc();
    static GuiIcon const& class_icon_iconrc();
    static GuiIcon const& context_iconrc();
    static GuiIcon const& eye_iconrc();
    static GuiIcon const& eye_selected_iconrc();
    static GuiIcon const& flag_added_iconrc();
    static GuiIcon const& flag_instance_iconrc();
    static GuiIcon const& flag_localized_iconrc();
    static GuiIcon const& flag_reference_iconrc();
    static GuiIcon const& flag_source_iconrc();
    static GuiIcon const& unknown_iconrc();

    // The names of the 16 × 16 pictures ("checker", ...), in alphabetical order.
    static CoreVector<CoreString> const& get_picture_names();
    // The 16 × 16 picture of that name; null for other names.
    static GuiImage const* get_picture(CoreString const& name);
    // Recolours the glyphs to the scheme: the triangles, checker, radio marks, slider and
    // viewport close pictures take its text colour, their "_selected" variants its accent
    // colour. The application does it when the scheme changes. Interface thread only.
    static void recolor_glyphs(GuiColorScheme const& scheme);
};
