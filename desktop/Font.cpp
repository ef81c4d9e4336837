#include "desktop/Font.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

#include "desktop/Codepage.h"

namespace desktop {
namespace {

// Guards the FreeType library object (face creation and destruction) and the font cache.
std::mutex& LibraryMutex()
{
    static std::mutex m;
    return m;
}

FT_Library Library()
{
    static FT_Library library = [] {
        FT_Library lib = nullptr;
        if (FT_Init_FreeType(&lib) != 0) throw FontError("FreeType could not be initialised");
        return lib;
    }();
    return library;
}

void InitFontconfig()
{
    static const bool ok = FcInit() == FcTrue;
    if (!ok) throw FontError("fontconfig could not be initialised");
}

std::string Lower(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return out;
}

struct Alias {
    const char* face;
    const char* family;
};
constexpr Alias kAliases[] = {
    {"ms sans serif", "Liberation Sans"},
    {"ms shell dlg", "Liberation Sans"},
    {"ms shell dlg 2", "Liberation Sans"},
    {"microsoft sans serif", "Liberation Sans"},
    {"tahoma", "Liberation Sans"},
    {"arial", "Liberation Sans"},
    {"helvetica", "Liberation Sans"},
    {"system", "Liberation Sans"},
    {"segoe ui", "Liberation Sans"},
    {"verdana", "Liberation Sans"},
    {"", "Liberation Sans"},
    {"times new roman", "Liberation Serif"},
    {"times", "Liberation Serif"},
    {"ms serif", "Liberation Serif"},
    {"courier new", "Liberation Mono"},
    {"courier", "Liberation Mono"},
    {"fixedsys", "Liberation Mono"},
    {"terminal", "Liberation Mono"},
};

const char* AliasFor(std::string_view face)
{
    const std::string lower = Lower(face);
    for (const Alias& a : kAliases)
        if (lower == a.face) return a.family;
    return nullptr;
}

// The size of the default GUI font.
constexpr int kDefaultEm = 11;
constexpr int kMaxEm = 2048;

int CeilScale(long value, int em, int upem) { return int((value * em + upem - 1) / upem); }
int RoundScale(long value, int em, int upem) { return int(std::lround(double(value) * em / upem)); }

struct Resolved {
    std::string file;
    int index = 0;
    std::string family;
    int weight = FC_WEIGHT_REGULAR;
    int slant = FC_SLANT_ROMAN;
};

Resolved Resolve(const std::string& family, const FontRequest& request)
{
    InitFontconfig();
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(request.weight));
    FcPatternAddInteger(pattern, FC_SLANT, request.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match) throw FontError("no font found for \"" + family + "\"");
    Resolved r;
    FcChar8* value = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &value) == FcResultMatch) r.file = reinterpret_cast<const char*>(value);
    if (FcPatternGetString(match, FC_FAMILY, 0, &value) == FcResultMatch)
        r.family = reinterpret_cast<const char*>(value);
    FcPatternGetInteger(match, FC_INDEX, 0, &r.index);
    FcPatternGetInteger(match, FC_WEIGHT, 0, &r.weight);
    FcPatternGetInteger(match, FC_SLANT, 0, &r.slant);
    FcPatternDestroy(match);
    if (r.file.empty()) throw FontError("no font file found for \"" + family + "\"");
    return r;
}

// Largest em whose cell (ceil'ed ascent + descent) still fits the requested cell height.
int EmForCellHeight(int cell, long winAscent, long winDescent, int upem)
{
    const long total = std::max(1L, winAscent + winDescent);
    int em = std::clamp(int(std::lround(double(cell) * upem / double(total))), 1, kMaxEm);
    const auto cellOf = [&](int e) { return CeilScale(winAscent, e, upem) + CeilScale(winDescent, e, upem); };
    while (em > 1 && cellOf(em) > cell) --em;
    while (em < kMaxEm && cellOf(em + 1) <= cell) ++em;
    return em;
}

void Overstrike(Glyph& g)
{
    const int w = g.width + 1;
    std::vector<std::uint8_t> out(std::size_t(w) * std::size_t(g.height), 0);
    for (int y = 0; y < g.height; ++y)
        for (int x = 0; x < w; ++x) {
            const std::uint8_t here =
                x < g.width ? g.coverage[std::size_t(y) * std::size_t(g.width) + std::size_t(x)] : 0;
            const std::uint8_t left =
                x > 0 ? g.coverage[std::size_t(y) * std::size_t(g.width) + std::size_t(x - 1)] : 0;
            out[std::size_t(y) * std::size_t(w) + std::size_t(x)] = std::max(here, left);
        }
    g.width = w;
    g.coverage = std::move(out);
}

}  // namespace

struct Font::Key {
    std::string family;
    int height;
    int weight;
    bool italic;
    bool antialiased;
    friend bool operator<(const Key& a, const Key& b)
    {
        return std::tie(a.family, a.height, a.weight, a.italic, a.antialiased) <
               std::tie(b.family, b.height, b.weight, b.italic, b.antialiased);
    }
};

std::shared_ptr<const Font> Font::Open(const FontRequest& request)
{
    const char* alias = AliasFor(request.face);
    const std::string family = alias ? std::string(alias) : Cp1252ToUtf8(request.face);
    const int weight = request.weight <= 0 ? 400 : std::clamp(request.weight, 1, 1000);
    const Key key{Lower(family), request.height, weight, request.italic, request.antialiased};

    std::lock_guard lock(LibraryMutex());
    static std::map<Key, std::shared_ptr<const Font>> cache;
    if (auto it = cache.find(key); it != cache.end()) return it->second;

    FontRequest normalized = request;
    normalized.weight = weight;
    const Resolved resolved = Resolve(family, normalized);
    if (alias && Lower(resolved.family) != Lower(family))
        throw FontError("font family \"" + family + "\" (for \"" + Cp1252ToUtf8(request.face) +
                        "\") is not installed (Debian package fonts-liberation2)");
    std::shared_ptr<Font> font(new Font());
    font->family_ = Utf8ToCp1252(resolved.family);
    font->emboldenSynthetic_ = weight >= 600 && resolved.weight < FC_WEIGHT_DEMIBOLD;
    font->obliqueSynthetic_ = request.italic && resolved.slant == FC_SLANT_ROMAN;
    font->Load(resolved.file, resolved.index, normalized);
    cache.emplace(key, font);
    return font;
}

void Font::Load(const std::string& file, int index, const FontRequest& request)
{
    FT_Face face = nullptr;
    if (FT_New_Face(Library(), file.c_str(), index, &face) != 0 || !face)
        throw FontError("font file \"" + file + "\" could not be opened");
    face_ = face;
    file_ = file;
    antialiased_ = request.antialiased;
    if (!FT_IS_SCALABLE(face)) throw FontError("font file \"" + file + "\" is not scalable");
    if (!face->charmap) FT_Select_Charmap(face, FT_ENCODING_MS_SYMBOL);

    const int upem = std::max<int>(1, face->units_per_EM);
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    const auto* hhea = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
    // The cell is bounded by the Windows ascent and descent where the font has them.
    const bool haveWin = os2 && os2->version != 0xFFFF && (os2->usWinAscent + os2->usWinDescent) > 0;
    const long winAscent = haveWin ? long(os2->usWinAscent) : long(face->ascender);
    const long winDescent = haveWin ? long(os2->usWinDescent) : -long(face->descender);

    int em = kDefaultEm;
    if (request.height < 0)
        em = std::min(-request.height, kMaxEm);
    else if (request.height > 0)
        em = EmForCellHeight(std::min(request.height, kMaxEm), winAscent, winDescent, upem);
    if (FT_Set_Pixel_Sizes(face, 0, FT_UInt(em)) != 0) throw FontError("font \"" + file + "\" cannot be sized");

    FontMetrics& m = metrics_;
    m.em = em;
    m.ascent = CeilScale(winAscent, em, upem);
    m.descent = CeilScale(winDescent, em, upem);
    m.height = m.ascent + m.descent;
    m.internalLeading = std::max(0, m.height - em);
    if (hhea) {
        const long lineSpacing = long(face->ascender) - long(face->descender) + long(hhea->Line_Gap);
        m.externalLeading = std::max(0, RoundScale(lineSpacing - (winAscent + winDescent), em, upem));
    }
    m.weight = request.weight;
    m.italic = request.italic;
    m.fixedPitch = FT_IS_FIXED_WIDTH(face);
    m.maxCharWidth = RoundScale(face->max_advance_width, em, upem);

    const double ulCentre = -double(face->underline_position) * em / upem;
    m.underlineThickness = std::max(1, RoundScale(face->underline_thickness, em, upem));
    m.underlineTop = std::max(0, int(std::lround(ulCentre - m.underlineThickness / 2.0)));
    if (m.descent >= m.underlineThickness) m.underlineTop = std::min(m.underlineTop, m.descent - m.underlineThickness);
    if (os2 && os2->yStrikeoutSize > 0) {
        m.strikeoutTop = RoundScale(os2->yStrikeoutPosition, em, upem);
        m.strikeoutThickness = std::max(1, RoundScale(os2->yStrikeoutSize, em, upem));
    } else {
        m.strikeoutTop = m.ascent / 3;
    }

    for (int c = 0x20; c < 256; ++c) {
        FT_UInt glyph = FT_Get_Char_Index(face, Cp1252ToUnicode(std::uint8_t(c)));
        if (glyph == 0 && face->charmap && face->charmap->encoding == FT_ENCODING_MS_SYMBOL)
            glyph = FT_Get_Char_Index(face, 0xF000u | FT_ULong(c));
        if (FT_Load_Glyph(face, glyph, FT_LOAD_DEFAULT) != 0) continue;
        if (emboldenSynthetic_) FT_GlyphSlot_Embolden(face->glyph);
        advances_[c] = int((face->glyph->advance.x + 32) >> 6);
    }
    m.maxCharWidth = std::max(m.maxCharWidth, *std::max_element(advances_.begin(), advances_.end()));
    if (os2 && os2->version != 0xFFFF && os2->xAvgCharWidth > 0)
        m.aveCharWidth = RoundScale(os2->xAvgCharWidth, em, upem);
    else
        m.aveCharWidth = advances_['x'];
}

Font::~Font()
{
    if (!face_) return;
    std::lock_guard lock(LibraryMutex());
    FT_Done_Face(static_cast<FT_Face>(face_));
}

int Font::TextWidth(std::string_view text) const
{
    int w = 0;
    for (char c : text) w += advances_[std::uint8_t(c)];
    return w;
}

const Glyph& Font::GlyphOf(unsigned char c) const
{
    std::lock_guard lock(glyphMutex_);
    if (glyphs_[c]) return *glyphs_[c];
    auto glyph = std::make_unique<Glyph>();
    FT_Face face = static_cast<FT_Face>(face_);
    if (c >= 0x20) {
        FT_UInt index = FT_Get_Char_Index(face, Cp1252ToUnicode(c));
        if (index == 0 && face->charmap && face->charmap->encoding == FT_ENCODING_MS_SYMBOL)
            index = FT_Get_Char_Index(face, 0xF000u | FT_ULong(c));
        if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT) == 0) {
            FT_GlyphSlot slot = face->glyph;
            if (emboldenSynthetic_) FT_GlyphSlot_Embolden(slot);
            if (obliqueSynthetic_) FT_GlyphSlot_Oblique(slot);
            if (FT_Render_Glyph(slot, antialiased_ ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO) == 0) {
                const FT_Bitmap& bm = slot->bitmap;
                glyph->left = slot->bitmap_left;
                glyph->top = slot->bitmap_top;
                glyph->width = int(bm.width);
                glyph->height = int(bm.rows);
                glyph->coverage.resize(std::size_t(glyph->width) * std::size_t(glyph->height));
                for (int y = 0; y < glyph->height; ++y) {
                    const unsigned char* row = bm.buffer + std::ptrdiff_t(y) * bm.pitch;
                    for (int x = 0; x < glyph->width; ++x) {
                        std::uint8_t v = 0;
                        if (bm.pixel_mode == FT_PIXEL_MODE_MONO)
                            v = (row[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
                        else if (bm.pixel_mode == FT_PIXEL_MODE_GRAY)
                            v = row[x];
                        glyph->coverage[std::size_t(y) * std::size_t(glyph->width) + std::size_t(x)] = v;
                    }
                }
            }
        }
    }
    // Hinted bold faces come out with one-pixel stems at small sizes when unsmoothed;
    // a one-pixel overstrike gives the heavy look bold text had on the original screen.
    if (!antialiased_ && metrics_.weight >= 600 && glyph->width > 0) Overstrike(*glyph);
    glyphs_[c] = std::move(glyph);
    return *glyphs_[c];
}

}  // namespace desktop
