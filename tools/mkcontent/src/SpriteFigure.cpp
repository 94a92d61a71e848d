#include "SpriteFigure.h"

#include <algorithm>
#include <map>

namespace {

// A filled part with its outline.
void Part(Raster& raster, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t fill, uint32_t ink) {
    if (w <= 0 || h <= 0) return;
    raster.FillRect(x, y, w, h, ink);
    if (w > 2 && h > 2) raster.FillRect(x + 1, y + 1, w - 2, h - 2, fill);
}

void Ball(Raster& raster, int32_t cx, int32_t cy, int32_t r, uint32_t fill, uint32_t ink) {
    raster.FillDisc(cx, cy, r, ink);
    if (r > 1) raster.FillDisc(cx, cy, r - 1, fill);
}

void Triangle(Raster& raster, int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
              uint32_t colour) {
    const int32_t xs[3] = {x0, x1, x2};
    const int32_t ys[3] = {y0, y1, y2};
    raster.FillTriangle(xs, ys, colour);
}

// How a walker's parts move in a pose.
struct WalkerPose {
    int32_t drop = 0;        // head and torso lowered by this much
    int32_t legShrink = 0;   // legs shortened, the body lowered with them (crouching)
    int32_t tuck = 0;        // feet drawn up under the body (jumping)
    int32_t frontLeg = 0;    // horizontal shift of the front and back leg
    int32_t backLeg = 0;
    int32_t lift = 0;        // back leg raised
    int32_t shift = 0;       // the whole figure moved sideways
    enum Arm { Down, Forward, Back, Up, Gun } arm = Down;
    bool hurt = false;
};

WalkerPose PoseOfWalker(const std::string& pose, int32_t height) {
    WalkerPose p;
    const int32_t unit = std::max(1, height / 16);
    if (pose == "idle") p.drop = 1;
    if (pose == "step1") { p.frontLeg = 2 * unit; p.backLeg = -2 * unit; p.lift = unit; }
    if (pose == "step2") { p.frontLeg = -2 * unit; p.backLeg = 2 * unit; p.lift = unit; }
    if (pose == "crouch") { p.drop = 2 * unit; p.legShrink = 3 * unit; p.arm = WalkerPose::Forward; }
    if (pose == "jump") { p.tuck = 2 * unit; p.lift = unit; p.arm = WalkerPose::Up; }
    if (pose == "fall") { p.frontLeg = unit; p.backLeg = -unit; p.arm = WalkerPose::Up; }
    if (pose == "windup") { p.drop = unit; p.arm = WalkerPose::Back; p.shift = -unit; }
    if (pose == "strike") { p.arm = WalkerPose::Forward; p.frontLeg = 2 * unit; p.backLeg = -unit; p.shift = unit; }
    if (pose == "shoot") p.arm = WalkerPose::Gun;
    if (pose == "use") p.arm = WalkerPose::Up;
    if (pose == "hurt") { p.hurt = true; p.shift = -2 * unit; p.drop = unit; p.arm = WalkerPose::Back; }
    return p;
}

}  // namespace

bool SpriteFigure::KindOf(const std::string& name, Kind& kind) {
    static const std::map<std::string, Kind> kinds = {{"walker", Kind::Walker}, {"flyer", Kind::Flyer}, {"orb", Kind::Orb}};
    const auto found = kinds.find(name);
    if (found == kinds.end()) return false;
    kind = found->second;
    return true;
}

const std::vector<std::string>& SpriteFigure::Poses(Kind kind) {
    static const std::vector<std::string> walker = {"stand",  "idle",   "step1",  "step2", "crouch", "jump", "fall",
                                                    "windup", "strike", "shoot", "use",    "hurt",   "down"};
    static const std::vector<std::string> flyer = {"hover1", "hover2", "dive", "strike", "hurt", "down"};
    static const std::vector<std::string> orb = {"idle", "blink", "armed", "blast", "hurt"};
    switch (kind) {
        case Kind::Walker:
            return walker;
        case Kind::Flyer:
            return flyer;
        default:
            return orb;
    }
}

bool SpriteFigure::IsAttackPose(const std::string& pose) {
    return pose == "strike" || pose == "shoot" || pose == "blast" || pose == "dive";
}

bool SpriteFigure::IsLowPose(const std::string& pose) { return pose == "crouch"; }

Raster SpriteFigure::Draw(Kind kind, const std::string& pose, int32_t width, int32_t height, const Colours& colours) {
    switch (kind) {
        case Kind::Walker:
            return DrawWalker(pose, width, height, colours);
        case Kind::Flyer:
            return DrawFlyer(pose, width, height, colours);
        default:
            return DrawOrb(pose, width, height, colours);
    }
}

Raster SpriteFigure::DrawWalker(const std::string& pose, int32_t width, int32_t height, const Colours& c) {
    Raster raster(width, height);
    const int32_t unit = std::max(1, height / 16);
    if (pose == "down") {
        // Lying on its back along the floor, head to the right.
        const int32_t bodyH = std::max(4, height / 5);
        const int32_t bodyW = width * 3 / 5;
        const int32_t left = (width - bodyW) / 2 - bodyH / 2;
        Part(raster, left, height - bodyH, bodyW, bodyH, c.body, c.ink);
        raster.FillRect(left + 2, height - bodyH / 2 - 1, bodyW - 4, 1, c.trim);
        Ball(raster, left + bodyW + bodyH / 2, height - bodyH / 2 - 1, bodyH / 2 + 1, c.body, c.ink);
        raster.FillRect(left + bodyW + bodyH / 2 - 1, height - bodyH + 1, 2, 2, c.flash);
        return raster;
    }
    const WalkerPose p = PoseOfWalker(pose, height);
    const uint32_t eye = p.hurt ? c.flash : c.eye;
    const uint32_t trim = p.hurt ? c.flash : c.trim;
    const int32_t cx = width / 2 + p.shift;
    const int32_t legW = std::max(3, width / 8);
    const int32_t legStand = height * 6 / 16;
    const int32_t legH = std::max(3, legStand - p.legShrink - p.tuck);
    const int32_t torsoW = std::max(6, width * 3 / 8);
    const int32_t torsoH = std::max(4, height * 5 / 16);
    const int32_t headW = std::max(5, width * 5 / 16);
    const int32_t headH = std::max(4, height * 4 / 16);
    const int32_t armW = std::max(2, width / 10);
    const int32_t armH = std::max(3, height * 4 / 16);
    const int32_t hip = height - legStand + p.legShrink;
    const int32_t feet = hip + legH;
    const int32_t torsoTop = hip - torsoH + p.drop;
    const int32_t headTop = torsoTop - headH + 1;

    // Back leg first, behind the body.
    Part(raster, cx - legW - 1 + p.backLeg, hip - p.lift, legW, legH, c.trim, c.ink);
    Part(raster, cx + 1 + p.frontLeg, hip, legW, legH, c.body, c.ink);
    raster.FillRect(cx + 1 + p.frontLeg, feet - 2, legW + 1, 2, c.ink);
    raster.FillRect(cx - legW - 1 + p.backLeg, feet - 2 - p.lift, legW + 1, 2, c.ink);
    Part(raster, cx - torsoW / 2, torsoTop, torsoW, hip - torsoTop + 1, c.body, c.ink);
    raster.FillRect(cx - torsoW / 2 + 1, torsoTop + torsoH / 2, torsoW - 2, std::max(1, unit), trim);
    Part(raster, cx - headW / 2, headTop, headW, headH, c.body, c.ink);
    raster.FillRect(cx, headTop + headH / 3, headW / 2 - 1, std::max(2, headH / 3), eye);
    raster.FillRect(cx - 1, headTop - unit, 2, unit, c.ink);  // antenna
    const int32_t shoulder = torsoTop + 1;
    const int32_t front = cx + torsoW / 2 - 1;
    switch (p.arm) {
        case WalkerPose::Down:
            Part(raster, front - armW + 1, shoulder, armW, armH, trim, c.ink);
            break;
        case WalkerPose::Forward:
            Part(raster, front, shoulder + 1, std::min(armH, width - front - 2), armW + 1, trim, c.ink);
            Ball(raster, std::min(width - 3, front + armH), shoulder + 1 + armW / 2, std::max(2, armW), c.trim, c.ink);
            break;
        case WalkerPose::Gun:
            Part(raster, front, shoulder + 1, std::min(armH + 2 * unit, width - front - 1), armW + 2, c.ink, c.ink);
            raster.FillRect(front + 1, shoulder + 2, std::min(armH + 2 * unit, width - front - 1) - 2, armW, trim);
            break;
        case WalkerPose::Back:
            Part(raster, std::max(1, cx - torsoW / 2 - armH + 2), shoulder + 1, armH, armW + 1, trim, c.ink);
            break;
        case WalkerPose::Up:
            Part(raster, front - armW + 1, std::max(0, shoulder - armH + 2), armW, armH, trim, c.ink);
            break;
    }
    return raster;
}

Raster SpriteFigure::DrawFlyer(const std::string& pose, int32_t width, int32_t height, const Colours& c) {
    Raster raster(width, height);
    const bool hurt = pose == "hurt";
    const bool down = pose == "down";
    const int32_t r = std::max(3, std::min(width, height) * 3 / 10);
    const int32_t cx = width / 2;
    const int32_t cy = down ? height - r - 1 : (pose == "dive" ? height * 3 / 5 : height / 2);
    const int32_t wingTip = pose == "hover1" ? 1 : (pose == "hover2" || down ? cy : cy - r);
    // Wings behind the body.
    Triangle(raster, cx - r / 2, cy, 1, wingTip, cx - r, cy + r / 2, c.trim);
    Triangle(raster, cx + r / 2, cy, width - 2, wingTip, cx + r, cy + r / 2, c.trim);
    raster.Line(cx - r / 2, cy, 1, wingTip, c.ink);
    raster.Line(cx + r / 2, cy, width - 2, wingTip, c.ink);
    if (pose == "strike" || pose == "dive") {
        Triangle(raster, cx - r / 2, cy + r - 1, cx + r / 2, cy + r - 1, cx, std::min(height - 1, cy + 2 * r), c.ink);
    }
    Ball(raster, cx, cy, r, c.body, c.ink);
    raster.FillRect(cx - r + 2, cy + r / 3, 2 * r - 4, std::max(1, r / 4), hurt ? c.flash : c.trim);
    Ball(raster, cx + r / 2, cy - r / 4, std::max(1, r / 3), hurt ? c.flash : c.eye, c.ink);
    return raster;
}

Raster SpriteFigure::DrawOrb(const std::string& pose, int32_t width, int32_t height, const Colours& c) {
    Raster raster(width, height);
    const int32_t cx = width / 2;
    const int32_t cy = height / 2;
    const int32_t r = std::max(2, std::min(width, height) / 2 - 2);
    if (pose == "blast") {
        Ball(raster, cx, cy, std::min(width, height) / 2 - 1, c.flash, c.trim);
        Ball(raster, cx, cy, r * 2 / 3, c.eye, c.flash);
        return raster;
    }
    const int32_t spike = std::max(1, r / 3);
    const uint32_t shell = pose == "armed" ? c.flash : c.body;
    raster.FillRect(cx - spike, 0, 2 * spike, height, c.ink);
    raster.FillRect(0, cy - spike, width, 2 * spike, c.ink);
    Ball(raster, cx, cy, r, shell, c.ink);
    raster.FillRect(cx - r + 2, cy + r / 3, 2 * r - 4, std::max(1, r / 4), c.trim);
    const uint32_t eye = pose == "blink" ? c.trim : (pose == "hurt" ? c.flash : c.eye);
    Ball(raster, cx + r / 3, cy - r / 4, std::max(1, r / 3), eye, c.ink);
    return raster;
}
