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

#include "PeerScene.h"

namespace peer {

class OSMesaPeer {
public:
    OSMesaPeer(int32_t width, int32_t height) : m_width(width), m_height(height), m_pixels(width * height) {
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

    // A 64 x 64 r5g6b5 texture with its mip chain, nearest texel of the
    // nearest level, repeating.
    void SetTexture(const std::vector<std::vector<uint16_t>>& levels) {
        if (m_texture == 0) glGenTextures(1, &m_texture);
        glBindTexture(GL_TEXTURE_2D, m_texture);
        int32_t size = 64;
        for (size_t level = 0; level < levels.size(); ++level, size = size > 1 ? size / 2 : 1) {
            glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), GL_RGB, size, size, 0, GL_RGB,
                         GL_UNSIGNED_SHORT_5_6_5, levels[level].data());
        }
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST_MIPMAP_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    }

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
                m_uv.insert(m_uv.end(), {t.uv[k][0] / 64, t.uv[k][1] / 64});
            }
        }
        glVertexPointer(3, GL_FLOAT, 0, m_xyz.data());
        glColorPointer(3, GL_UNSIGNED_BYTE, 0, m_rgb.data());
        if (textured) {
            glEnable(GL_TEXTURE_2D);
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
            glTexCoordPointer(2, GL_FLOAT, 0, m_uv.data());
        }
        glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(scene.size() * 3));
        if (textured) {
            glDisableClientState(GL_TEXTURE_COORD_ARRAY);
            glDisable(GL_TEXTURE_2D);
        }
    }

    void Finish() { glFinish(); }

    uint16_t Pixel(int32_t x, int32_t y) const { return m_pixels[y * m_width + x]; }

    bool ok = false;

private:
    int32_t m_width;
    int32_t m_height;
    std::vector<uint16_t> m_pixels;
    OSMesaContext m_context = nullptr;
    GLuint m_texture = 0;
    std::vector<float> m_xyz;
    std::vector<uint8_t> m_rgb;
    std::vector<float> m_uv;
};

}  // namespace peer

#endif
