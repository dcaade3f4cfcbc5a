#include "host/glutils/glutils_program.h"

#include <GL/glew.h>

#include <vector>

#include "host/core/core_log.h"

namespace {

CoreString info_log(GLuint object, bool const& program)
{
    GLint length = 0;
    if (program)
        glGetProgramiv(object, GL_INFO_LOG_LENGTH, &length);
    else
        glGetShaderiv(object, GL_INFO_LOG_LENGTH, &length);
    std::vector<char> text(static_cast<size_t>(length > 0 ? length : 1) + 1, '\0');
    if (program)
        glGetProgramInfoLog(object, length, nullptr, text.data());
    else
        glGetShaderInfoLog(object, length, nullptr, text.data());
    return CoreString(text.data());
}

GLuint compile(GLenum kind, CoreString const& source, CoreString const& name)
{
    GLuint const shader = glCreateShader(kind);
    char const* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok == GL_TRUE) return shader;
    CORE_LOG_ERROR("GlProgram.create: the " << (kind == GL_VERTEX_SHADER ? "vertex" : "fragment") << " shader of '"
                                            << name << "' does not compile:\n"
                                            << info_log(shader, false) << "\n");
    glDeleteShader(shader);
    return 0;
}

}  // namespace

GlProgram* GlProgram::create(CoreString const& vertex_source, CoreString const& fragment_source,
                             CoreString const& name)
{
    if (!glCreateShader) {
        CORE_LOG_ERROR("GlProgram.create: '" << name << "': the OpenGL entry points are not loaded\n");
        return nullptr;
    }
    GLuint vertex = 0;
    if (!vertex_source.is_empty() && (vertex = compile(GL_VERTEX_SHADER, vertex_source, name)) == 0) return nullptr;
    GLuint const fragment = compile(GL_FRAGMENT_SHADER, fragment_source, name);
    if (fragment == 0) {
        if (vertex) glDeleteShader(vertex);
        return nullptr;
    }
    GLuint const program = glCreateProgram();
    if (vertex) glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glLinkProgram(program);
    // The program keeps what it needs of its shaders.
    if (vertex) glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint ok = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (ok != GL_TRUE) {
        CORE_LOG_ERROR("GlProgram.create: '" << name << "' does not link:\n" << info_log(program, true) << "\n");
        glDeleteProgram(program);
        return nullptr;
    }
    return new GlProgram(program, name);
}

GlProgram::~GlProgram()
{
    if (m_id != 0 && glDeleteProgram) glDeleteProgram(m_id);
}

void GlProgram::use() const
{
    glUseProgram(m_id);
}

void GlProgram::unuse()
{
    glUseProgram(0);
}

int GlProgram::get_uniform_location(char const* name) const
{
    return glGetUniformLocation(m_id, name);
}

void GlProgram::set_uniform(char const* name, int const& value) const
{
    GLint const location = get_uniform_location(name);
    if (location >= 0) glUniform1i(location, value);
}

void GlProgram::set_uniform(char const* name, float const& x, float const& y) const
{
    GLint const location = get_uniform_location(name);
    if (location >= 0) glUniform2f(location, x, y);
}

GlProgram* GlLazyProgram::get()
{
    if (!m_program && !m_failed) {
        m_program = GlProgram::create(m_vertex_source, m_fragment_source, m_name);
        m_failed = m_program == nullptr;
    }
    return m_program;
}

void GlLazyProgram::destroy()
{
    delete m_program;
    m_program = nullptr;
    m_failed = false;
}

void GlLazyProgram::forget()
{
    if (m_program) m_program->forget();
    destroy();
}
