#include "Raster.h"

#include <algorithm>
#include <cstdlib>

namespace {

uint32_t Mix(uint32_t from, uint32_t to, int32_t step, int32_t steps) {
    uint32_t result = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const int32_t a = static_cast<int32_t>((from >> shift) & 0xFF);
        const int32_t b = static_cast<int32_t>((to >> shift) & 0xFF);
        const int32_t channel = steps <= 1 ? a : a + (b - a) * step / (steps - 1);
        result |= static_cast<uint32_t>(channel) << shift;
    }
    return result;
}

// Twice the signed area of the triangle (a, b, p): which side of a-b p is on.
int64_t Side(int32_t ax, int32_t ay, int32_t bx, int32_t by, int32_t px, int32_t py) {
    return static_cast<int64_t>(bx - ax) * (py - ay) - static_cast<int64_t>(by - ay) * (px - ax);
}

}  // namespace

Raster::Raster(int32_t width, int32_t height, uint32_t colour)
    : m_width(std::max(width, 0)), m_height(std::max(height, 0)),
      m_pixels(static_cast<size_t>(m_width) * static_cast<size_t>(m_height), colour) {}

uint32_t Raster::At(int32_t x, int32_t y) const {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) return kTransparent;
    return m_pixels[static_cast<size_t>(y) * static_cast<size_t>(m_width) + static_cast<size_t>(x)];
}

void Raster::Plot(int32_t x, int32_t y, uint32_t colour) {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) return;
    m_pixels[static_cast<size_t>(y) * static_cast<size_t>(m_width) + static_cast<size_t>(x)] = colour;
}

void Raster::FillRect(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t colour) {
    const int32_t left = std::max(x, 0);
    const int32_t top = std::max(y, 0);
    const int32_t right = std::min(x + width, m_width);
    const int32_t bottom = std::min(y + height, m_height);
    for (int32_t row = top; row < bottom; ++row) {
        for (int32_t column = left; column < right; ++column) Plot(column, row, colour);
    }
}

void Raster::FrameRect(int32_t x, int32_t y, int32_t width, int32_t height, int32_t thickness, uint32_t colour) {
    FillRect(x, y, width, thickness, colour);
    FillRect(x, y + height - thickness, width, thickness, colour);
    FillRect(x, y, thickness, height, colour);
    FillRect(x + width - thickness, y, thickness, height, colour);
}

void Raster::Line(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t colour) {
    const int32_t dx = std::abs(x1 - x0);
    const int32_t dy = -std::abs(y1 - y0);
    const int32_t stepX = x0 < x1 ? 1 : -1;
    const int32_t stepY = y0 < y1 ? 1 : -1;
    int32_t error = dx + dy;
    while (true) {
        Plot(x0, y0, colour);
        if (x0 == x1 && y0 == y1) break;
        const int32_t doubled = 2 * error;
        if (doubled >= dy) {
            error += dy;
            x0 += stepX;
        }
        if (doubled <= dx) {
            error += dx;
            y0 += stepY;
        }
    }
}

void Raster::FillDisc(int32_t centreX, int32_t centreY, int32_t radius, uint32_t colour) {
    const int32_t top = std::max(-radius, -centreY);
    const int32_t bottom = std::min(radius, m_height - 1 - centreY);
    const int32_t left = std::max(-radius, -centreX);
    const int32_t right = std::min(radius, m_width - 1 - centreX);
    for (int32_t dy = top; dy <= bottom; ++dy) {
        for (int32_t dx = left; dx <= right; ++dx) {
            if (dx * dx + dy * dy <= radius * radius + radius) Plot(centreX + dx, centreY + dy, colour);
        }
    }
}

void Raster::FillTriangle(const int32_t xs[3], const int32_t ys[3], uint32_t colour) {
    const int32_t left = std::max(std::min({xs[0], xs[1], xs[2]}), 0);
    const int32_t right = std::min(std::max({xs[0], xs[1], xs[2]}), m_width - 1);
    const int32_t top = std::max(std::min({ys[0], ys[1], ys[2]}), 0);
    const int32_t bottom = std::min(std::max({ys[0], ys[1], ys[2]}), m_height - 1);
    for (int32_t y = top; y <= bottom; ++y) {
        for (int32_t x = left; x <= right; ++x) {
            const int64_t a = Side(xs[0], ys[0], xs[1], ys[1], x, y);
            const int64_t b = Side(xs[1], ys[1], xs[2], ys[2], x, y);
            const int64_t c = Side(xs[2], ys[2], xs[0], ys[0], x, y);
            const bool inside = (a >= 0 && b >= 0 && c >= 0) || (a <= 0 && b <= 0 && c <= 0);
            if (inside) Plot(x, y, colour);
        }
    }
}

void Raster::Gradient(int32_t x, int32_t y, int32_t width, int32_t height, bool vertical, uint32_t from, uint32_t to,
                      int32_t bands) {
    const int32_t length = vertical ? height : width;
    if (length <= 0 || bands <= 0) return;
    for (int32_t i = 0; i < length; ++i) {
        const uint32_t colour = Mix(from, to, static_cast<int32_t>(static_cast<int64_t>(i) * bands / length), bands);
        if (vertical) {
            FillRect(x, y + i, width, 1, colour);
        } else {
            FillRect(x + i, y, 1, height, colour);
        }
    }
}

void Raster::Blit(const Raster& source, int32_t x, int32_t y, int32_t scale) {
    for (int32_t row = 0; row < source.Height(); ++row) {
        for (int32_t column = 0; column < source.Width(); ++column) {
            const uint32_t colour = source.At(column, row);
            if (colour != kTransparent) FillRect(x + column * scale, y + row * scale, scale, scale, colour);
        }
    }
}
