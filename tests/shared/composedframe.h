#pragma once

// The frame an OpenGL widget holds for Qt to compose into its window: what the window
// shows of it next, read without the display, so other windows over it do not count.

#include <QImage>
#include <QOpenGLContext>
#include <QOpenGLExtraFunctions>
#include <QOpenGLWidget>

namespace vyrtest {

// The widget's (multisampled) frame buffer resolved into a buffer of our own and read
// back; call it from aboutToCompose or any time after a frame.
inline QImage composedFrame(QOpenGLWidget& widget)
{
    widget.makeCurrent();
    QOpenGLExtraFunctions* gl = widget.context()->extraFunctions();
    const QSize size = widget.size() * widget.devicePixelRatioF();
    GLuint buffer = 0;
    GLuint colour = 0;
    gl->glGenRenderbuffers(1, &colour);
    gl->glBindRenderbuffer(GL_RENDERBUFFER, colour);
    gl->glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, size.width(), size.height());
    gl->glGenFramebuffers(1, &buffer);
    gl->glBindFramebuffer(GL_FRAMEBUFFER, buffer);
    gl->glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
    gl->glBindFramebuffer(GL_READ_FRAMEBUFFER, widget.defaultFramebufferObject());
    gl->glBlitFramebuffer(0, 0, size.width(), size.height(), 0, 0, size.width(), size.height(), GL_COLOR_BUFFER_BIT,
                          GL_NEAREST);
    gl->glBindFramebuffer(GL_FRAMEBUFFER, buffer);
    QImage image(size, QImage::Format_RGBA8888);
    gl->glReadPixels(0, 0, size.width(), size.height(), GL_RGBA, GL_UNSIGNED_BYTE, image.bits());
    gl->glBindFramebuffer(GL_FRAMEBUFFER, widget.defaultFramebufferObject());
    gl->glDeleteFramebuffers(1, &buffer);
    gl->glDeleteRenderbuffers(1, &colour);
    widget.doneCurrent();
    return image.mirrored().convertToFormat(QImage::Format_RGB32);
}

} // namespace vyrtest
