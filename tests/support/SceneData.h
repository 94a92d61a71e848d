#ifndef SCENEDATA_H
#define SCENEDATA_H

// The scene that the renderer is checked with, on an off-screen surface and
// in the handset's window: a picture kept in a resource archive, and the
// shapes and images drawn with it, each painted alike into a reference frame.

#include <cstdint>
#include <string>

class CAppBase;
class CGraphics;
class CGraphics2d_Lite;
class CRenderSurface;
class MountedArchive;
class SceneReference;

namespace scenetest {

constexpr uint32_t kImageId = 0x31;         // an image resource showing the picture
constexpr uint32_t kMissingImageId = 0x32;  // one whose bitmap is not in the archive
constexpr uint32_t kTransparentRgb = 0xFF00FF;
constexpr uint32_t kClearArgb = 0xFF203040;

// The picture, 6 × 4: a gradient with a transparent (magenta) diagonal.
uint32_t PictureRgb(int32_t x, int32_t y);

// Mounts the scene's archive (the picture as a 24-bit BMP and the two image
// resources) for the application, in a file named after `stem`, and has a
// factory serve the image resources' type as the game's does; the
// singleton table owns the factory.
bool MountScene(CAppBase* app, MountedArchive* archive, const std::string& stem, std::string* error);

// Clears the frame, then draws shapes and the picture plain, keyed,
// blended and mirrored, at fixed places near the top left.
void PaintOpenScene(CGraphics* device, CGraphics2d_Lite* renderer, CRenderSurface* picture,
                    SceneReference* expected);
// The picture clipped by the clip rectangle, by the edge of a surface of
// the reference's size and by a source rectangle, then a white corner
// rectangle.
void PaintClippedScene(CGraphics2d_Lite* renderer, CRenderSurface* picture, SceneReference* expected);

}  // namespace scenetest

#endif
