#pragma once
// GlProgram: a linked GLSL program made of a vertex and a fragment shader. Made and used
// with an OpenGL context current and the GL entry points loaded (GLEW initialised).
//
//     GlProgram* program = GlProgram::create(vertex_source, fragment_source, "font");
//     program->use();
//     program->set_uniform("u_texture", 0);
//     ... draw ...
//     GlProgram::unuse();
//
// GlLazyProgram holds a program made when first asked for:
//
//     GlLazyProgram s_font("", FONT_SOURCE, "font");
//     if (GlProgram* program = s_font.get()) program->use();
#include "host/core/core_export.h"
#include "host/core/core_string.h"

class QN_HOST_API GlProgram {
public:
    // Compiles and links; null, with the compiler's or linker's log, when either fails. An
    // empty vertex source uses the fixed-function vertex stage.
    static GlProgram* create(CoreString const& vertex_source, CoreString const& fragment_source,
                             CoreString const& name);
    // Deletes the program: the context it was made in must be current.
    ~GlProgram();
    GlProgram(GlProgram const&) = delete;
    GlProgram& operator=(GlProgram const&) = delete;

    // Lets go of the program without deleting it: its context is gone.
    void forget() { m_id = 0; }
    unsigned int const& get_id() const { return m_id; }
    CoreString const& get_name() const { return m_name; }
    void use() const;
    static void unuse();
    // -1 when the program has no active uniform of that name.
    int get_uniform_location(char const* name) const;
    void set_uniform(char const* name, int const& value) const;
    void set_uniform(char const* name, float const& x, float const& y) const;

private:
    GlProgram(unsigned int id, CoreString const& name) : m_id(id), m_name(name) {}

    unsigned int m_id = 0;
    CoreString m_name;
};

// A program made from its sources when first asked for and kept; sources the driver refuses
// are not tried again (their log comes once) until the program is destroyed or forgotten.
class QN_HOST_API GlLazyProgram {
public:
    // The sources and name are kept by pointer: string literals.
    GlLazyProgram(char const* vertex_source, char const* fragment_source, char const* name)
        : m_vertex_source(vertex_source), m_fragment_source(fragment_source), m_name(name)
    {
    }
    // Makes no OpenGL call: holders live until the process ends, when no context is current.
    ~GlLazyProgram() { forget(); }
    GlLazyProgram(GlLazyProgram const&) = delete;
    GlLazyProgram& operator=(GlLazyProgram const&) = delete;

    // The program, made now if it must be (its context current); null when it cannot be made.
    GlProgram* get();
    // Deletes the program (its context current); the next get makes it again.
    void destroy();
    // Drops the program without OpenGL calls, its context being gone; the next get makes it again.
    void forget();

private:
    char const* m_vertex_source;
    char const* m_fragment_source;
    char const* m_name;
    GlProgram* m_program = nullptr;
    bool m_failed = false;
};
