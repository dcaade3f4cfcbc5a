#include <GL/glew.h>

#include "gui/gl/gui_gl_pick_buffer.h"

#include "host/core/core_log.h"

bool GuiGlPickBuffer::begin(int const& width, int const& height)
{
    if (width < 1 || height < 1) return false;
    if (m_frame_buffer && (width != m_width || height != m_height)) release();
    if (!m_render_buffer) {
        glGenRenderbuffers(1, &m_render_buffer);
        if (!m_render_buffer) {
            CORE_LOG_WARNING("GuiGlPickBuffer.begin: glGenRenderbuffers failed, picking aborted \n");
            return false;
        }
        glBindRenderbuffer(GL_RENDERBUFFER, m_render_buffer);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGB8, width, height);
        glBindRenderbuffer(GL_RENDERBUFFER, 0);
    }
    if (!m_frame_buffer) {
        glGenFramebuffers(1, &m_frame_buffer);
        if (!m_frame_buffer) {
            CORE_LOG_WARNING("GuiGlPickBuffer.begin: glGenFrameBuffers failed, picking aborted \n");
            return false;
        }
        glBindFramebuffer(GL_FRAMEBUFFER, m_frame_buffer);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, m_render_buffer);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
    }
    m_width = width;
    m_height = height;
    glBindFramebuffer(GL_FRAMEBUFFER, m_frame_buffer);
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_VIEWPORT_BIT);
    glViewport(0, 0, width, height);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_FOG);
    glDisable(GL_LIGHTING);
    glDisable(GL_LINE_SMOOTH);
    glDisable(GL_POINT_SMOOTH);
    glDisable(GL_POLYGON_SMOOTH);
    glDisable(GL_BLEND);
    glDisable(GL_DITHER);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    return true;
}

GMathVec3<unsigned char> GuiGlPickBuffer::read(int const& x, int const& y) const
{
    unsigned char pixel[4] = {0, 0, 0, 0};
    if (m_frame_buffer && x >= 0 && y >= 0 && x < m_width && y < m_height) {
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, pixel);
    }
    return GMathVec3<unsigned char>(pixel[0], pixel[1], pixel[2]);
}

void GuiGlPickBuffer::end()
{
    glPopAttrib();
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void GuiGlPickBuffer::release(bool const& context_alive)
{
    if (context_alive) {
        if (m_frame_buffer) glDeleteFramebuffers(1, &m_frame_buffer);
        if (m_render_buffer) glDeleteRenderbuffers(1, &m_render_buffer);
    }
    m_frame_buffer = m_render_buffer = 0;
    m_width = m_height = 0;
}
