// Scalable fonts through fontconfig and FreeType, sized and measured the way
// the original platform sizes its fonts, with cached advances and glyphs.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace desktop {

class FontError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct FontRequest {
    std::string face;  // as the program names it, e.g. "MS Sans Serif"; empty = default
    int height = 0;    // < 0: character (em) height; > 0: cell height; 0: default size
    int weight = 400;
    bool italic = false;
    // Grey-level edges; off by default like the unsmoothed fonts of the original screen,
    // which also keeps every drawn text pixel exactly the text colour.
    bool antialiased = false;
};

struct FontMetrics {
    int height = 0;  // ascent + descent
    int ascent = 0;
    int descent = 0;
    int internalLeading = 0;
    int externalLeading = 0;
    int aveCharWidth = 0;
    int maxCharWidth = 0;
    int em = 0;  // pixels per em
    int weight = 400;
    bool italic = false;
    bool fixedPitch = false;
    int underlineTop = 0;  // rows below the baseline (0 = first row under it)
    int underlineThickness = 1;
    int strikeoutTop = 0;  // rows above the baseline of the stroke's top row
    int strikeoutThickness = 1;
};

// Coverage mask of one character, placed relative to the pen on the baseline.
struct Glyph {
    int left = 0;  // x offset of the mask from the pen
    int top = 0;   // rows of the mask above the baseline
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> coverage;  // width * height, 255 = fully covered
};

class Font {
public:
    // Opens (or finds in the cache) the font; throws FontError when no font file can be used.
    static std::shared_ptr<const Font> Open(const FontRequest& request);

    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;
    ~Font();

    const FontMetrics& Metrics() const { return metrics_; }
    const std::string& Family() const { return family_; }
    const std::string& File() const { return file_; }

    // Whole-pixel advance of a code page 1252 byte; control characters advance 0.
    int Advance(unsigned char c) const { return advances_[c]; }
    int TextWidth(std::string_view text) const;
    const Glyph& GlyphOf(unsigned char c) const;

private:
    struct Key;
    Font() = default;
    void Load(const std::string& file, int index, const FontRequest& request);

    std::string family_;
    std::string file_;
    FontMetrics metrics_;
    std::array<int, 256> advances_{};
    bool antialiased_ = false;
    bool emboldenSynthetic_ = false;
    bool obliqueSynthetic_ = false;
    void* face_ = nullptr;  // FT_Face, kept out of this header
    mutable std::mutex glyphMutex_;
    mutable std::array<std::unique_ptr<Glyph>, 256> glyphs_;
};

}  // namespace desktop
