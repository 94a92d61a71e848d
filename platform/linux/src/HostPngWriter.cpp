#include "HostPngWriter.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

namespace {

// libpng's words go into the reason the program gives for a screenshot it
// could not write, one line in all, not to standard error on their own:
// the error that ends the write, else a warning before it, with the
// system's reason when a call of the C library failed.
void KeepPngWords(png_structp png, png_const_charp message, bool error) {
    auto* said = static_cast<std::string*>(png_get_error_ptr(png));
    if (said == nullptr || message == nullptr || (!error && !said->empty())) return;
    *said = message;
    if (error && errno != 0) *said += std::string(": ") + std::strerror(errno);
}

[[noreturn]] void OnPngError(png_structp png, png_const_charp message) {
    KeepPngWords(png, message, true);
    png_longjmp(png, 1);
}

void OnPngWarning(png_structp png, png_const_charp message) { KeepPngWords(png, message, false); }

// Closes the file and frees the writer on every way out.
class PngFile {
public:
    explicit PngFile(const std::string& path) : m_file(std::fopen(path.c_str(), "wb")), m_made(m_file != nullptr) {
        if (m_file == nullptr) {
            m_said = std::strerror(errno);
            return;
        }
        m_png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &m_said, OnPngError, OnPngWarning);
        if (m_png != nullptr) m_info = png_create_info_struct(m_png);
    }
    ~PngFile() {
        if (m_png != nullptr) png_destroy_write_struct(&m_png, m_info != nullptr ? &m_info : nullptr);
        if (m_file != nullptr) std::fclose(m_file);
    }
    PngFile(const PngFile&) = delete;
    PngFile& operator=(const PngFile&) = delete;

    bool IsReady() const { return m_info != nullptr; }
    bool WasMade() const { return m_made; }
    // Why the file could not be written; empty when nothing said why.
    const std::string& Said() const { return m_said; }
    // False when what was written may not all be in the file.
    bool Close() { return std::fclose(std::exchange(m_file, nullptr)) == 0 || SaySystemError(); }

    // Rows of tightly packed RGB bytes; false when libpng reports an error
    // or the file cannot be completed.
    bool WriteRgb(int32_t width, int32_t height, std::vector<png_bytep>& rows) {
        // A reason left from before would be taken for the write's.
        errno = 0;
        if (setjmp(png_jmpbuf(m_png)) != 0) return false;
        png_init_io(m_png, m_file);
        png_set_IHDR(m_png, m_info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                     PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(m_png, m_info);
        png_write_image(m_png, rows.data());
        png_write_end(m_png, nullptr);
        return (std::fflush(m_file) == 0 && std::ferror(m_file) == 0) || SaySystemError();
    }

private:
    bool SaySystemError() {
        if (m_said.empty() && errno != 0) m_said = std::strerror(errno);
        return false;
    }

    std::string m_said;
    FILE* m_file = nullptr;
    bool m_made = false;
    png_structp m_png = nullptr;
    png_infop m_info = nullptr;
};

uint32_t Expand(uint32_t value, uint32_t bits) { return (value << (8 - bits)) | (value >> (2 * bits - 8)); }

// A stored pixel value of the format as 0xRRGGBB.
uint32_t RgbOf(uint32_t pixel, uint32_t format) {
    if (format != HostFrame::kR5G6B5) return pixel & 0xFFFFFF;
    return Expand(pixel >> 11 & 0x1F, 5) << 16 | Expand(pixel >> 5 & 0x3F, 6) << 8 | Expand(pixel & 0x1F, 5);
}

// Row y as tight RGB bytes, read straight from the frame's bytes: a run
// that keeps a screenshot of every frame converts every pixel it shows.
void ConvertRow(const HostFrame& frame, int32_t y, png_bytep rgb) {
    const uint32_t format = frame.Format();
    const int32_t bytesPerPixel = HostFrame::BytesPerPixel(format);
    const int32_t width = frame.Width();
    const uint8_t* pixel = frame.Bytes().data() + static_cast<size_t>(y) * static_cast<size_t>(frame.Pitch());
    for (int32_t x = 0; x < width; ++x, pixel += bytesPerPixel, rgb += 3) {
        uint32_t value = 0;
        for (int32_t i = bytesPerPixel - 1; i >= 0; --i) value = value << 8 | pixel[i];
        const uint32_t colour = RgbOf(value, format);
        rgb[0] = static_cast<png_byte>(colour >> 16);
        rgb[1] = static_cast<png_byte>(colour >> 8);
        rgb[2] = static_cast<png_byte>(colour);
    }
}

}  // namespace

uint32_t HostPngWriter::RgbAt(const HostFrame& frame, int32_t x, int32_t y) {
    return RgbOf(frame.PixelAt(x, y), frame.Format());
}

bool HostPngWriter::Write(const HostFrame& frame, const std::string& path, std::string* error) {
    if (frame.IsEmpty()) {
        *error = "no frame has been presented";
        return false;
    }
    const int32_t width = frame.Width();
    const int32_t height = frame.Height();
    std::vector<png_byte> rgb(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
    std::vector<png_bytep> rows(static_cast<size_t>(height));
    for (int32_t y = 0; y < height; ++y) {
        png_bytep row = &rgb[static_cast<size_t>(y) * static_cast<size_t>(width) * 3];
        rows[static_cast<size_t>(y)] = row;
        ConvertRow(frame, y, row);
    }
    PngFile file(path);
    if (file.IsReady() && file.WriteRgb(width, height, rows) && file.Close()) return true;
    // A picture cut short on a full disk is no screenshot.
    if (file.WasMade()) std::remove(path.c_str());
    *error = "cannot write " + path + (file.Said().empty() ? std::string() : " (" + file.Said() + ")");
    return false;
}
