#pragma once
// GlProgram: a linked GLSL program made of a vertex and a fragment shader. Made and used
// with an OpenGL context current and the GL entry points loaded (GLEW initialised).
//
//     GlProgram* program = GlProgram::create(vertex_source, fragment_source, "font");
//     program->use();
//     program->set_uniform("u_texture", 0);
//     ... draw ...
//     GlProgram::unuse();
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
