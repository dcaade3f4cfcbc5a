#pragma once
// ImageHandle: a shared, reference-counted handle on an image held in memory. Copies refer
// to the same pixels, which are never changed once made, so handles may be read from any
// thread; equality means "the same image", not "equal pixels".
//
//     ImageHandle render = ImageHandle::load("beauty.exr");       // null, with a warning, on failure
//     if (render) {
//         ImageHandle copy = render;                               // copy == render
//         ImageHandle small = render.make_thumbnail(128, 72);      // 8-bit RGB(A)
//         small.write("/tmp/beauty_thumb.png");
//     }
#include <memory>
#include <utility>

#include "host/core/core_export.h"
#include "host/core/core_string.h"
#include "host/core/core_vector.h"

class QN_HOST_API ImageHandle {
public:
    // Name and value pairs written into a file's header (EXR keeps them all, PNG the
    // comment and other text entries).
    using Metadata = CoreVector<std::pair<CoreString, CoreString>>;

    // A null handle: no image.
    ImageHandle() = default;

    // Reads an image file (any format OpenImageIO reads), its colours as the file stores them
    // (a PNG's are not multiplied by its alpha). A file that cannot be read gives a null
    // handle and one warning.
    static ImageHandle load(CoreBasicString const& path);
    // Copies interleaved pixels, rows top first: `channels` is 3 (RGB) or 4 (RGBA). Other
    // channel counts, a size of 0 or less and null data give a null handle and one warning.
    static ImageHandle from_pixels(int const& width, int const& height, int const& channels,
                                   unsigned char const* data);
    static ImageHandle from_pixels(int const& width, int const& height, int const& channels, float const* data);
    // The same with named float channels ("R", "G", "B", "A", "Z", "N.x", ...), one per name.
    static ImageHandle from_pixels(int const& width, int const& height, CoreVector<CoreString> const& channel_names,
                                   float const* data);

    bool is_null() const { return !m_data; }
    explicit operator bool() const { return !is_null(); }
    // The same image: both null or sharing one buffer.
    bool operator==(ImageHandle const& other) const { return m_data == other.m_data; }
    bool operator!=(ImageHandle const& other) const { return !(*this == other); }

    // 0 for a null handle.
    int get_width() const;
    int get_height() const;
    int get_channel_count() const;
    // Channel names in storage order; empty for a null handle.
    CoreVector<CoreString> get_channel_names() const;
    // True when a channel is other than R, G, B and A (depth, normals, render layers, ...).
    bool has_custom_channels() const;
    // Every pixel as float, interleaved, rows top first (8-bit values divided by 255); empty
    // for a null handle.
    CoreVector<float> get_pixels() const;
    // Bytes of pixel memory, shared by every copy of the handle.
    size_t get_memory_size() const;

    // Writes the image as PNG (8-bit) or EXR (float) by the path's extension, through a
    // temporary file renamed when complete. False, with one warning, for a null handle,
    // another extension or a failed write.
    bool write(CoreBasicString const& path, Metadata const& metadata = Metadata()) const;
    // A copy scaled down to fit within max_width × max_height, aspect ratio kept, never
    // enlarged, at least 1 × 1: 8-bit RGB, or RGBA when the image has alpha (grey images are
    // spread over R, G and B). Null for a null handle, or a maximum below 1 (with a warning).
    ImageHandle make_thumbnail(int const& max_width, int const& max_height) const;

    struct Data;

private:
    explicit ImageHandle(std::shared_ptr<Data const> data) : m_data(std::move(data)) {}

    std::shared_ptr<Data const> m_data;
};
