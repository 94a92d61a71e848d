#ifndef OSMESAPEER_H
#define OSMESAPEER_H

// Mesa's off-screen renderer set up as our renderer's peer: an r5g6b5
// target with a depth buffer, row 0 at the top, the frustum x, y in [-1, 1]
// at z = -1 to -9 over the whole target, depth test "nearer wins", flat
// shading, rasterising on the calling thread only.

#include <GL/osmesa.h>
#include <GL/gl.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "CColor.h"
#include "PeerScene.h"

namespace peer {

class OSMesaPeer {
public:
    OSMesaPeer(int32_t width, int32_t height) : m_width(width), m_pixels(width * height) {
        // One rasterising thread: the comparison is single-threaded.
        setenv("LP_NUM_THREADS", "0", 1);
        m_context = OSMesaCreateContextExt(OSMESA_RGB_565, 24, 0, 0, nullptr);
        ok = m_context != nullptr &&
             OSMesaMakeCurrent(m_context, m_pixels.data(), GL_UNSIGNED_SHORT_5_6_5, width, height) != 0;
        if (!ok) return;
        OSMesaPixelStore(OSMESA_Y_UP, 0);
        glViewport(0, 0, width, height);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glFrustum(-1, 1, -1, 1, 1, 9);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LESS);
        glShadeModel(GL_FLAT);
        glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_COLOR_ARRAY);
    }
    ~OSMesaPeer() {
        if (m_texture != 0) glDeleteTextures(1, &m_texture);
        if (m_context != nullptr) OSMesaDestroyContext(m_context);
    }
    OSMesaPeer(const OSMesaPeer&) = delete;
    OSMesaPeer& operator=(const OSMesaPeer&) = delete;

    void Clear() {
        glClearColor(0, 0, 0, 0);
        glClearDepth(1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }

    // The texture with its mip chain, its texels replacing the colour; our
    // filter modes become their OpenGL filters (nearest texel of level 0 or
    // of the nearest level or of the two nearest levels blended; bilinear on
    // level 0, on the nearest level or on the two nearest blended; BilinearOrMip,
    // bilinear when magnified and nearest on a level when minified, the
    // nearest of these, bilinear on the nearest level) and our wrap modes
    // OpenGL's. Texels of alpha 0 are not drawn, as our textured
    // span leaves them out.
    void SetTexture(const PeerTexture& texture) {
        if (m_texture == 0) glGenTextures(1, &m_texture);
        glBindTexture(GL_TEXTURE_2D, m_texture);
        const GlFormat gl = GlFormatOf(texture.format);
        // Levels are packed rows, of a byte a texel for L8.
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        int32_t size = texture.size;
        for (size_t level = 0; level < texture.levels.size(); ++level, size = size > 1 ? size / 2 : 1) {
            glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), gl.internal, size, size, 0, gl.format, gl.type,
                         texture.levels[level].data());
        }
        const GLint minFilter = MinFilterOf(texture.filter);
        const bool linear = minFilter != GL_NEAREST && minFilter != GL_NEAREST_MIPMAP_NEAREST &&
                            minFilter != GL_NEAREST_MIPMAP_LINEAR;
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, linear ? GL_LINEAR : GL_NEAREST);
        const GLint wrap = texture.wrap == TextureWrap::Clamp    ? GL_CLAMP_TO_EDGE
                           : texture.wrap == TextureWrap::Mirror ? GL_MIRRORED_REPEAT
                                                         : GL_REPEAT;
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
        glAlphaFunc(GL_GREATER, 0);
        m_alphaTest = gl.internal == GL_RGBA;
        m_textureSize = static_cast<float>(texture.size);
    }

    // The implementation drawing, as it names itself.
    static const char* RendererName() { return reinterpret_cast<const char*>(glGetString(GL_RENDERER)); }

    // Flat triangles in their own colours, or textured with the texture.
    void Draw(const std::vector<SceneTriangle>& scene, bool textured) {
        m_xyz.clear();
        m_rgb.clear();
        m_uv.clear();
        for (const SceneTriangle& t : scene) {
            uint8_t rgb[3];
            Channels(t.colour, rgb);
            for (int32_t k = 0; k < 3; ++k) {
                m_xyz.insert(m_xyz.end(), {t.p[k][0], t.p[k][1], t.p[k][2]});
                m_rgb.insert(m_rgb.end(), {rgb[0], rgb[1], rgb[2]});
                m_uv.insert(m_uv.end(), {t.uv[k][0] / m_textureSize, t.uv[k][1] / m_textureSize});
            }
        }
        glVertexPointer(3, GL_FLOAT, 0, m_xyz.data());
        glColorPointer(3, GL_UNSIGNED_BYTE, 0, m_rgb.data());
        if (textured) {
            glEnable(GL_TEXTURE_2D);
            if (m_alphaTest) glEnable(GL_ALPHA_TEST);
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
            glTexCoordPointer(2, GL_FLOAT, 0, m_uv.data());
        }
        glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(scene.size() * 3));
        if (textured) {
            glDisableClientState(GL_TEXTURE_COORD_ARRAY);
            glDisable(GL_TEXTURE_2D);
            glDisable(GL_ALPHA_TEST);
        }
    }

    void Finish() { glFinish(); }

    uint16_t Pixel(int32_t x, int32_t y) const { return m_pixels[y * m_width + x]; }

    bool ok = false;

private:
    struct GlFormat {
        GLint internal;
        GLenum format;
        GLenum type;
    };

    static GLint MinFilterOf(TextureFilter filter) {
        switch (filter) {
            case TextureFilter::Nearest: return GL_NEAREST;
            case TextureFilter::NearestBlend: return GL_NEAREST_MIPMAP_LINEAR;
            case TextureFilter::Bilinear: return GL_LINEAR;
            case TextureFilter::BilinearOrMip:
            case TextureFilter::BilinearMip: return GL_LINEAR_MIPMAP_NEAREST;
            case TextureFilter::Trilinear: return GL_LINEAR_MIPMAP_LINEAR;
            default: return GL_NEAREST_MIPMAP_NEAREST;
        }
    }

    // Our texel layouts as OpenGL names them (little-endian words, alpha or
    // red in the high bits).
    static GlFormat GlFormatOf(uint32_t format) {
        switch (format) {
            case RSBFormat_A1R5G5B5: return {GL_RGBA, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV};
            case RSBFormat_A4R4G4B4: return {GL_RGBA, GL_BGRA, GL_UNSIGNED_SHORT_4_4_4_4_REV};
            case RSBFormat_X8R8G8B8: return {GL_RGB, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV};
            case RSBFormat_A8R8G8B8: return {GL_RGBA, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV};
            case RSBFormat_L8: return {GL_LUMINANCE, GL_LUMINANCE, GL_UNSIGNED_BYTE};
            default: return {GL_RGB, GL_RGB, GL_UNSIGNED_SHORT_5_6_5};
        }
    }

    int32_t m_width;
    std::vector<uint16_t> m_pixels;
    OSMesaContext m_context = nullptr;
    GLuint m_texture = 0;
    bool m_alphaTest = false;
    float m_textureSize = 64;
    std::vector<float> m_xyz;
    std::vector<uint8_t> m_rgb;
    std::vector<float> m_uv;
};

}  // namespace peer

#endif
