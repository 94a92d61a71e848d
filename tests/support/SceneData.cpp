#include "SceneData.h"

#include <vector>

#include "BigArchiveWriter.h"
#include "CDrawUtil.h"
#include "CGraphics.h"
#include "CGraphics2d_Lite.h"
#include "CRect.h"
#include "CResourceFactory.h"
#include "CResourceRenderSurface.h"
#include "ImageFileBuilder.h"
#include "MountedArchive.h"
#include "SceneReference.h"

namespace scenetest {

namespace {

constexpr uint32_t kBmpType = 0xB717945F;
constexpr uint32_t kImageType = 0xE179EFBE;
constexpr uint32_t kDirectoryId = 271;
constexpr uint32_t kBitmapId = 0x30;
constexpr uint32_t kAbsentBitmapId = 0x7777;
constexpr int32_t kPictureWidth = 6;
constexpr int32_t kPictureHeight = 4;
// Attributes of an image resource: colour format (all ones: the display's)
// and the bitmap's id.
constexpr uint32_t kAttrColorFormat = 6;
constexpr uint32_t kAttrImage = 14;
constexpr uint32_t kBlendAlpha = 0x80;
constexpr int32_t kManagerBuckets = 20;
constexpr uint32_t kManagerBlocks = 8;

class ImageFactory : public CResourceFactory {
public:
    bool Create(uint32_t typeKey, CResource** outResource) override {
        *outResource = typeKey == kImageType ? new CResourceRenderSurface() : nullptr;
        return *outResource != nullptr;
    }
};

// The archive's directory, the picture's bitmap and the two image resources.
bool AddSceneResources(BigArchiveWriter& writer, std::string* error) {
    const std::vector<uint8_t> picture =
        imagetest::BuildBmp(imagetest::TrueColourBmp(kPictureWidth, kPictureHeight, PictureRgb));
    const std::vector<uint8_t> image =
        imagetest::BuildAttributePairs({{kAttrColorFormat, 0xFFFFFFFF}, {kAttrImage, kBitmapId}});
    const std::vector<uint8_t> missing =
        imagetest::BuildAttributePairs({{kAttrColorFormat, 0xFFFFFFFF}, {kAttrImage, kAbsentBitmapId}});
    return writer.AddPayload(kDirectoryId, 0, std::vector<uint8_t>(20, 0), false, 4, *error) &&
           writer.AddPayload(kBitmapId, kBmpType, picture, true, 4, *error) &&
           writer.AddPayload(kImageId, kImageType, image, false, 4, *error) &&
           writer.AddPayload(kMissingImageId, kImageType, missing, false, 4, *error);
}

void MoveTo(CGraphics2d_Lite* renderer, int32_t xFixed, int32_t yFixed) {
    renderer->LoadIdentity();
    renderer->Translate(xFixed, yFixed);
}

// The whole picture at (x, y), drawn and painted alike.
void DrawPicture(CGraphics2d_Lite* renderer, CRenderSurface* picture, SceneReference* expected, int32_t x, int32_t y,
                 uint32_t flip, SceneReference::Ink ink) {
    MoveTo(renderer, x * 65536, y * 65536);
    renderer->DrawImage(picture, flip, nullptr);
    expected->Image(x, y, 0, 0, kPictureWidth, kPictureHeight, (flip & CGraphics2d_Lite::kFlipX) != 0,
                    (flip & CGraphics2d_Lite::kFlipY) != 0, ink, kBlendAlpha);
}

}  // namespace

uint32_t PictureRgb(int32_t x, int32_t y) {
    if (x == y || x == y + 2) return kTransparentRgb;
    return static_cast<uint32_t>(40 * x + 10) << 16 | static_cast<uint32_t>(60 * y + 5) << 8 |
           static_cast<uint32_t>(200 - 25 * x);
}

bool MountScene(CAppBase* app, MountedArchive* archive, const std::string& stem, std::string* error) {
    new ImageFactory();
    BigArchiveWriter writer(IdTableForm::List);
    return AddSceneResources(writer, error) &&
           archive->Mount(app, writer, stem, kManagerBuckets, kManagerBlocks, error);
}

void PaintOpenScene(CGraphics* device, CGraphics2d_Lite* renderer, CRenderSurface* picture,
                    SceneReference* expected) {
    device->SetClearColor(kClearArgb);
    device->Clear(CGraphics::kClearColor);
    CDrawUtil::FillRect(2, 2, 20, 10, 0xFFFFC000u);
    expected->Fill(2, 2, 20, 10, 0xFFC000);
    CDrawUtil::DrawLine(0, 30, 40, 30, 0xFF00FFFFu);
    expected->Fill(0, 30, 41, 31, 0x00FFFF);
    CDrawUtil::DrawLine(50, 0, 50, 20, 0xFFFFFFFFu);
    expected->Fill(50, 0, 51, 21, 0xFFFFFF);
    CRect frame;
    frame.Set(44, 24, 10, 6);
    CDrawUtil::DrawRectFrame(frame, 0xFF0000FFu, 1, 0);
    expected->Fill(44, 24, 54, 25, 0x0000FF);
    expected->Fill(44, 29, 54, 30, 0x0000FF);
    expected->Fill(44, 24, 45, 30, 0x0000FF);
    expected->Fill(53, 24, 54, 30, 0x0000FF);

    // Plain, under a translation whose half pixels are dropped.
    MoveTo(renderer, 0x48000, 0xC8000);
    renderer->DrawImage(picture, 0, nullptr);
    expected->Image(4, 12, 0, 0, kPictureWidth, kPictureHeight, false, false, SceneReference::Ink::Plain, 0);

    renderer->Enable(CGraphics2d_Lite::kCapColorKey);
    DrawPicture(renderer, picture, expected, 12, 12, 0, SceneReference::Ink::Keyed);

    // Constant alpha over the orange rectangle.
    renderer->PushState(CGraphics2d_Lite::kGroupBlend);
    renderer->Enable(CGraphics2d_Lite::kCapBlend);
    renderer->SetBlendMode(CGraphics2d_Lite::kBlendConstant);
    renderer->SetColor(kBlendAlpha << 24 | 0xFFFFFF);
    DrawPicture(renderer, picture, expected, 16, 4, 0, SceneReference::Ink::Blended);
    renderer->PopState(CGraphics2d_Lite::kGroupBlend);

    DrawPicture(renderer, picture, expected, 28, 12, CGraphics2d_Lite::kFlipX | CGraphics2d_Lite::kFlipY,
                SceneReference::Ink::Keyed);
    DrawPicture(renderer, picture, expected, 36, 12, CGraphics2d_Lite::kFlipX, SceneReference::Ink::Keyed);
}

void PaintClippedScene(CGraphics2d_Lite* renderer, CRenderSurface* picture, SceneReference* expected) {
    const int32_t w = expected->Width();
    const int32_t h = expected->Height();
    renderer->Disable(CGraphics2d_Lite::kCapColorKey);
    renderer->SetClip(0, 0, static_cast<int16_t>(w - 4), static_cast<int16_t>(h - 4));
    expected->Clip(0, 0, w - 4, h - 4);
    DrawPicture(renderer, picture, expected, w - 7, h - 6, 0, SceneReference::Ink::Plain);
    DrawPicture(renderer, picture, expected, -3, h - 8, CGraphics2d_Lite::kFlipY, SceneReference::Ink::Plain);
    CRect source;
    source.Set(1, 1, 4, 3);
    MoveTo(renderer, 40 << 16, 36 << 16);
    renderer->DrawImage(picture, CGraphics2d_Lite::kFlipX, &source);
    expected->Image(40, 36, 1, 1, 4, 3, true, false, SceneReference::Ink::Plain, 0);
    renderer->LoadIdentity();
    CDrawUtil::FillRect(w - 6, 0, w, 3, 0xFFFFFFFFu);
    expected->Fill(w - 6, 0, w, 3, 0xFFFFFF);
}

}  // namespace scenetest
