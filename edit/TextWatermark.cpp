#include "edit/TextWatermark.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <mutex>
#include <tuple>
#include <vector>

#include "platform/Text.h"

namespace vexlo {
namespace {

std::vector<char32_t> DecodeUtf8(const std::string& s) {
    std::vector<char32_t> out;
    for (size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        char32_t cp = extra == 0 ? c : extra == 1 ? (c & 0x1F) : extra == 2 ? (c & 0x0F) : (c & 0x07);
        bool ok = extra >= 0 && i + static_cast<size_t>(extra) < s.size();
        for (int k = 1; ok && k <= extra; ++k) {
            const auto cc = static_cast<unsigned char>(s[i + k]);
            if ((cc >> 6) != 2) ok = false;
            else cp = (cp << 6) | (cc & 0x3F);
        }
        if (cp > 0x10FFFF) ok = false;
        if (!ok) {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        out.push_back(cp);
        i += static_cast<size_t>(extra) + 1;
    }
    return out;
}

struct LoadedFace {
    FT_Face face = nullptr;
    std::string file;
    bool emboldenItself = false;  // the matched face is lighter than asked for
    bool slantItself = false;     // the matched face is upright where italic was asked for
};

// FreeType faces are not safe to share between threads, and the hooks of several threads
// may draw text: one lock covers the library, the face cache and every drawing.
class FontCache {
public:
    static FontCache& Instance() {
        static FontCache cache;
        return cache;
    }
    std::mutex& Lock() { return mutex_; }

    LoadedFace& Face(const TWatermarkFont& font) {
        auto key = std::make_tuple(font.Name, font.Bold, font.Italic);
        auto it = faces_.find(key);
        if (it != faces_.end()) return it->second;
        LoadedFace loaded = Open(font);
        return faces_.emplace(key, loaded).first->second;
    }

    ~FontCache() {
        for (auto& [key, f] : faces_) FT_Done_Face(f.face);
        if (library_) FT_Done_FreeType(library_);
    }

private:
    FontCache() {
        if (FT_Init_FreeType(&library_) != 0) library_ = nullptr;
    }

    LoadedFace Open(const TWatermarkFont& font) {
        if (!library_) throw EFontError("Cannot initialize the font library");
        FcPattern* pattern = FcPatternCreate();
        if (!pattern) throw EFontError("Cannot initialize the font library");
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(font.Name.c_str()));
        FcPatternAddInteger(pattern, FC_WEIGHT, font.Bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
        FcPatternAddInteger(pattern, FC_SLANT, font.Italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
        FcPatternAddBool(pattern, FC_OUTLINE, FcTrue);
        FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result;
        FcPattern* match = FcFontMatch(nullptr, pattern, &result);
        FcPatternDestroy(pattern);
        LoadedFace loaded;
        FcChar8* file = nullptr;
        int index = 0, weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
        if (match && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
            loaded.file = reinterpret_cast<const char*>(file);
            FcPatternGetInteger(match, FC_INDEX, 0, &index);
            FcPatternGetInteger(match, FC_WEIGHT, 0, &weight);
            FcPatternGetInteger(match, FC_SLANT, 0, &slant);
        }
        if (match) FcPatternDestroy(match);
        if (loaded.file.empty() || FT_New_Face(library_, loaded.file.c_str(), index, &loaded.face) != 0)
            throw EFontError(Format("Cannot load font \"%s\"", font.Name.c_str()));
        loaded.emboldenItself = font.Bold && weight < FC_WEIGHT_DEMIBOLD;
        loaded.slantItself = font.Italic && slant == FC_SLANT_ROMAN;
        return loaded;
    }

    std::mutex mutex_;
    FT_Library library_ = nullptr;
    std::map<std::tuple<std::string, bool, bool>, LoadedFace> faces_;
};

inline int Ceil26(FT_Pos v) { return static_cast<int>((v + 63) >> 6); }
inline int Round26(FT_Pos v) { return static_cast<int>((v + 32) >> 6); }

// Lays out one line and hands every rendered glyph to draw(slot, x, y of its top-left).
// Returns the line's extent.
template <class DrawGlyph>
TTextExtent LayOut(LoadedFace& lf, const std::string& text, int pixelSize, DrawGlyph draw) {
    FT_Face face = lf.face;
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize)) != 0)
        throw EFontError(Format("Cannot size font to %d pixels", pixelSize));
    const int ascent = Ceil26(face->size->metrics.ascender);
    const int descent = Ceil26(-face->size->metrics.descender);
    FT_Pos pen = 0;  // 26.6
    FT_UInt previous = 0;
    for (char32_t cp : DecodeUtf8(text)) {
        const FT_UInt glyph = FT_Get_Char_Index(face, cp);
        if (previous && glyph && FT_HAS_KERNING(face)) {
            FT_Vector delta;
            if (FT_Get_Kerning(face, previous, glyph, FT_KERNING_DEFAULT, &delta) == 0) pen += delta.x;
        }
        previous = glyph;
        if (FT_Load_Glyph(face, glyph, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) != 0) continue;
        if (lf.slantItself) FT_GlyphSlot_Oblique(face->glyph);
        if (lf.emboldenItself) FT_GlyphSlot_Embolden(face->glyph);
        if (FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) != 0) continue;
        const FT_GlyphSlot slot = face->glyph;
        draw(slot, Round26(pen) + slot->bitmap_left, ascent - slot->bitmap_top);
        pen += slot->advance.x;
    }
    return {Round26(pen), ascent + descent, ascent};
}

// Coverage-weighted mix of the colour into one pixel, skipping pixels outside the frame.
inline void Mix(TBitmap& bitmap, int64_t x, int64_t y, const uint8_t bgr[3], unsigned coverage) {
    if (coverage == 0 || x < 0 || y < 0 || x >= bitmap.Width() || y >= bitmap.Height()) return;
    uint8_t* p = bitmap.ScanLine(static_cast<int>(y)) + x * 3;
    for (int c = 0; c < 3; ++c) p[c] = static_cast<uint8_t>((p[c] * (255 - coverage) + bgr[c] * coverage + 127) / 255);
}

void FillBand(TBitmap& bitmap, int64_t x0, int64_t x1, int64_t y0, int thickness, const uint8_t bgr[3]) {
    const int64_t left = std::max<int64_t>(x0, 0), right = std::min<int64_t>(x1, bitmap.Width());
    for (int64_t y = y0; y < y0 + thickness; ++y)
        for (int64_t x = left; x < right; ++x) Mix(bitmap, x, y, bgr, 255);
}

}  // namespace

int FontPixelSize(int points) {
    const int64_t p = std::abs(static_cast<int64_t>(points));
    return static_cast<int>(std::clamp<int64_t>((p * 96 + 36) / 72, 1, 2048));
}

std::string WatermarkFontFile(const TWatermarkFont& font) {
    auto& cache = FontCache::Instance();
    std::lock_guard lock(cache.Lock());
    return cache.Face(font).file;
}

TTextExtent MeasureWatermarkText(const std::string& text, const TWatermarkFont& font) {
    auto& cache = FontCache::Instance();
    std::lock_guard lock(cache.Lock());
    return LayOut(cache.Face(font), text, FontPixelSize(font.Size), [](FT_GlyphSlot, int, int) {});
}

void DrawWatermarkText(TBitmap& bitmap, const std::string& text, const TWatermarkFont& font, int Left, int Top) {
    if (text.empty() || bitmap.Empty()) return;
    const uint8_t bgr[3] = {ColorBlue(font.Color), ColorGreen(font.Color), ColorRed(font.Color)};
    auto& cache = FontCache::Instance();
    std::lock_guard lock(cache.Lock());
    LoadedFace& lf = cache.Face(font);
    const int pixelSize = FontPixelSize(font.Size);
    const TTextExtent extent = LayOut(lf, text, pixelSize, [&](FT_GlyphSlot slot, int gx, int gy) {
        const FT_Bitmap& g = slot->bitmap;
        for (unsigned row = 0; row < g.rows; ++row) {
            const int64_t y = static_cast<int64_t>(Top) + gy + row;
            if (y < 0 || y >= bitmap.Height()) continue;
            const unsigned char* src = g.buffer + static_cast<int64_t>(row) * g.pitch;
            for (unsigned col = 0; col < g.width; ++col)
                Mix(bitmap, static_cast<int64_t>(Left) + gx + col, y, bgr, src[col]);
        }
    });
    if (!font.Underline && !font.StrikeOut) return;

    FT_Face face = lf.face;
    const FT_Fixed yScale = face->size->metrics.y_scale;
    const int64_t baseline = static_cast<int64_t>(Top) + extent.Ascent;
    const int64_t x0 = Left, x1 = static_cast<int64_t>(Left) + extent.Width;
    if (font.Underline) {
        const int thickness = std::max(1, Round26(FT_MulFix(face->underline_thickness, yScale)));
        const int below = std::max(1, Round26(FT_MulFix(-face->underline_position, yScale)));
        FillBand(bitmap, x0, x1, baseline + below - thickness / 2, thickness, bgr);
    }
    if (font.StrikeOut) {
        int thickness = std::max(1, pixelSize / 14), above = pixelSize / 4;
        if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2)); os2 && os2->yStrikeoutSize > 0) {
            thickness = std::max(1, Round26(FT_MulFix(os2->yStrikeoutSize, yScale)));
            above = Round26(FT_MulFix(os2->yStrikeoutPosition, yScale));
        }
        FillBand(bitmap, x0, x1, baseline - above, thickness, bgr);
    }
}

}  // namespace vexlo
