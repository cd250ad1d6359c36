#include "fontface/FontFaces.h"

#include <fontconfig/fontconfig.h>
#include <strings.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>
#include <tuple>

#include <freetype/ftfntfmt.h>
#include <freetype/ftsnames.h>
#include <freetype/ttnameid.h>
#include <freetype/tttables.h>
#include <ft2build.h>

#include "FreeTypeLibrary.h"
#include "win32/nls.h"

namespace fontface {

namespace {

struct FontSet {
    bool useFiles = false;
    std::vector<std::string> files;
    // Faces read from each file, keyed by path, size and modification time.
    std::map<std::tuple<std::string, long long, long long>, std::vector<Face>> fileCache;
    std::vector<std::string> lastFiles;
    std::shared_ptr<std::vector<std::shared_ptr<const Face>>> faces;
};

FontSet& fontSet() {
    static FontSet set;
    return set;
}

// The layer's own fontconfig configuration, loaded once and released at exit.
struct FontConfig {
    FcConfig* config = FcInitLoadConfigAndFonts();
    ~FontConfig() {
        if (config != nullptr) FcConfigDestroy(config);
        FcFini();
    }
};

FontConfig& fontConfig() {
    static FontConfig fc;
    return fc;
}

// True when the system's font set may have changed since the last listing: fonts installed
// while the program runs are seen at the next listing. Reloads the configuration then.
bool systemFontsChanged() {
    FontConfig& fc = fontConfig();
    if (fc.config != nullptr && FcConfigUptoDate(fc.config)) return false;
    if (fc.config != nullptr) FcConfigDestroy(fc.config);
    fc.config = FcInitLoadConfigAndFonts();
    return true;
}

// (file, face index) of every outline face fontconfig knows, or of the test's files.
std::vector<std::pair<std::string, long>> fontFiles(FontSet& set) {
    std::vector<std::pair<std::string, long>> out;
    if (set.useFiles) {
        for (const std::string& f : set.files)
            out.emplace_back(f, -1);
        return out;
    }
    FontConfig& fc = fontConfig();
    if (fc.config == nullptr) return out;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddBool(pattern, FC_OUTLINE, FcTrue);
    FcObjectSet* objects = FcObjectSetBuild(FC_FILE, FC_INDEX, nullptr);
    FcFontSet* fs = FcFontList(fc.config, pattern, objects);
    if (fs != nullptr) {
        for (int i = 0; i < fs->nfont; ++i) {
            FcChar8* file = nullptr;
            int index = 0;
            if (FcPatternGetString(fs->fonts[i], FC_FILE, 0, &file) != FcResultMatch) continue;
            FcPatternGetInteger(fs->fonts[i], FC_INDEX, 0, &index);
            if (index < 0 || (index >> 16) != 0) continue; // named instances of variable fonts
            out.emplace_back(reinterpret_cast<const char*>(file), index);
        }
        FcFontSetDestroy(fs);
    }
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

// ANSI text of at most `size - 1` bytes, cut at a character boundary.
void copyAnsi(const std::u16string& text, void* dst, std::size_t size) {
    std::string bytes;
    if (!text.empty()) {
        int n = WideCharToMultiByte(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0, nullptr,
                                    nullptr);
        bytes.resize(std::size_t(n > 0 ? n : 0));
        if (n > 0)
            WideCharToMultiByte(CP_ACP, 0, text.data(), int(text.size()), bytes.data(), n, nullptr,
                                nullptr);
    }
    std::size_t cut = 0;
    for (std::size_t i = 0; i < bytes.size();) {
        std::size_t len = IsDBCSLeadByte(BYTE(bytes[i])) && i + 1 < bytes.size() ? 2 : 1;
        if (i + len > size - 1) break;
        i += len;
        cut = i;
    }
    std::memset(dst, 0, size);
    std::memcpy(dst, bytes.data(), cut);
}

std::u16string latin1(const char* s) {
    std::u16string out;
    for (; s != nullptr && *s; ++s)
        out.push_back(char16_t(static_cast<unsigned char>(*s)));
    return out;
}

// The English name record of an sfnt: Windows Unicode (US English, then any English), then
// Macintosh Roman English.
std::optional<std::u16string> sfntName(FT_Face face, FT_UShort id) {
    std::optional<std::u16string> windowsAny, mac;
    FT_UInt count = FT_Get_Sfnt_Name_Count(face);
    for (FT_UInt i = 0; i < count; ++i) {
        FT_SfntName n;
        if (FT_Get_Sfnt_Name(face, i, &n) != 0 || n.name_id != id) continue;
        if (n.platform_id == TT_PLATFORM_MICROSOFT &&
            (n.encoding_id == TT_MS_ID_UNICODE_CS || n.encoding_id == TT_MS_ID_SYMBOL_CS)) {
            if ((n.language_id & 0xFF) != 0x09) continue;
            std::u16string s;
            for (FT_UInt k = 0; k + 1 < n.string_len; k += 2)
                s.push_back(char16_t((n.string[k] << 8) | n.string[k + 1]));
            if (n.language_id == 0x0409) return s;
            if (!windowsAny) windowsAny = s;
        } else if (n.platform_id == TT_PLATFORM_MACINTOSH && n.encoding_id == TT_MAC_ID_ROMAN &&
                   n.language_id == TT_MAC_LANGID_ENGLISH) {
            std::u16string s;
            for (FT_UInt k = 0; k < n.string_len; ++k)
                s.push_back(char16_t(n.string[k] < 0x80 ? n.string[k] : u'?'));
            if (!mac) mac = s;
        }
    }
    if (windowsAny) return windowsAny;
    return mac;
}

// Reads every face of a file (or the one given); nothing for a file FreeType cannot read.
std::vector<Face> readFaces(const std::string& file, long onlyIndex) {
    std::vector<Face> faces;
    FT_Library library = FreeTypeLibrary();
    if (library == nullptr) return faces;
    long count = onlyIndex >= 0 ? onlyIndex + 1 : 1;
    for (long index = onlyIndex >= 0 ? onlyIndex : 0; index < count; ++index) {
        FT_Face ft = nullptr;
        if (FT_New_Face(library, file.c_str(), index, &ft) != 0) break;
        if (onlyIndex < 0) count = ft->num_faces;
        const char* format = FT_Get_Font_Format(ft);
        bool outline = FT_IS_SCALABLE(ft) && format != nullptr;
        Face f{};
        f.file = file;
        f.index = index;
        if (outline && std::strcmp(format, "TrueType") == 0) {
            f.kind = FaceKind::TrueType;
            f.fontType = TRUETYPE_FONTTYPE;
        } else if (outline && (std::strcmp(format, "CFF") == 0)) {
            f.kind = FaceKind::Cff;
            f.ntm.ntmFlags = NTM_PS_OPENTYPE;
        } else if (outline &&
                   (std::strcmp(format, "Type 1") == 0 || std::strcmp(format, "CID Type 1") == 0)) {
            f.kind = FaceKind::Type1;
            f.ntm.ntmFlags = NTM_TYPE1;
        } else {
            outline = false;
        }
        if (!outline || ft->units_per_EM == 0) {
            FT_Done_Face(ft);
            if (onlyIndex >= 0) break;
            continue;
        }
        std::u16string family, style;
        if (FT_IS_SFNT(ft)) {
            family = sfntName(ft, TT_NAME_ID_FONT_FAMILY).value_or(latin1(ft->family_name));
            style = sfntName(ft, TT_NAME_ID_FONT_SUBFAMILY).value_or(latin1(ft->style_name));
        } else {
            family = latin1(ft->family_name);
            style = latin1(ft->style_name);
        }
        if (style.empty()) style = u"Regular";
        auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(ft, FT_SFNT_OS2));
        auto* hhea = static_cast<TT_HoriHeader*>(FT_Get_Sfnt_Table(ft, FT_SFNT_HHEA));
        bool bold = (ft->style_flags & FT_STYLE_FLAG_BOLD) != 0;
        bool italic = (ft->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
        LONG weight = bold ? FW_BOLD : FW_NORMAL;
        int ascent = ft->ascender, descent = -ft->descender;
        BYTE charset = ANSI_CHARSET;
        bool symbolCmap = false, unicodeCmap = false;
        for (int i = 0; i < ft->num_charmaps; ++i) {
            if (ft->charmaps[i]->encoding == FT_ENCODING_MS_SYMBOL) symbolCmap = true;
            if (ft->charmaps[i]->encoding == FT_ENCODING_UNICODE) unicodeCmap = true;
        }
        if (symbolCmap && !unicodeCmap) charset = SYMBOL_CHARSET;
        if (hhea != nullptr && hhea->Ascender - hhea->Descender > 0) {
            ascent = hhea->Ascender;
            descent = -hhea->Descender;
        }
        if (os2 != nullptr && os2->version != 0xFFFF) {
            if (os2->usWeightClass >= 1 && os2->usWeightClass <= 1000) weight = os2->usWeightClass;
            italic = (os2->fsSelection & 1) != 0;
            if (os2->usWinAscent + os2->usWinDescent > 0) {
                ascent = os2->usWinAscent;
                descent = os2->usWinDescent;
            }
            std::uint32_t pages = std::uint32_t(os2->ulCodePageRange1);
            if (os2->version >= 1 && pages != 0) {
                if (pages & 1u)
                    charset = ANSI_CHARSET;
                else if (pages & (1u << 17))
                    charset = SHIFTJIS_CHARSET;
                else if (pages & (1u << 31))
                    charset = SYMBOL_CHARSET;
            }
        }
        f.unitsPerEm = ft->units_per_EM;
        f.cellHeight = ascent + descent > 0 ? ascent + descent : f.unitsPerEm;
        LOGFONTA& lf = f.elf.elfLogFont;
        lf.lfHeight = f.cellHeight;
        lf.lfWidth = 0;
        lf.lfWeight = weight;
        lf.lfItalic = italic ? 1 : 0;
        lf.lfCharSet = charset;
        lf.lfOutPrecision = OUT_TT_PRECIS;
        lf.lfPitchAndFamily = BYTE((FT_IS_FIXED_WIDTH(ft) ? FIXED_PITCH : VARIABLE_PITCH));
        copyAnsi(family, lf.lfFaceName, LF_FACESIZE);
        copyAnsi(style, f.elf.elfStyle, LF_FACESIZE);
        copyAnsi(family + u" " + style, f.elf.elfFullName, LF_FULLFACESIZE);
        NEWTEXTMETRICA& tm = f.ntm;
        tm.tmHeight = f.cellHeight;
        tm.tmAscent = ascent;
        tm.tmDescent = descent;
        tm.tmInternalLeading = f.cellHeight - f.unitsPerEm > 0 ? f.cellHeight - f.unitsPerEm : 0;
        tm.tmAveCharWidth = os2 != nullptr && os2->version != 0xFFFF ? os2->xAvgCharWidth
                                                                     : ft->max_advance_width / 2;
        tm.tmMaxCharWidth = ft->max_advance_width;
        tm.tmWeight = weight;
        tm.tmDigitizedAspectX = tm.tmDigitizedAspectY = 96;
        tm.tmFirstChar = 0x20;
        tm.tmLastChar = 0xFF;
        tm.tmDefaultChar = 0x1F;
        tm.tmBreakChar = 0x20;
        tm.tmItalic = lf.lfItalic;
        tm.tmPitchAndFamily = BYTE(0x02 | (f.kind == FaceKind::TrueType ? 0x04 : 0) |
                                   (FT_IS_FIXED_WIDTH(ft) ? 0 : 0x01));
        tm.tmCharSet = charset;
        tm.ntmFlags |= italic ? NTM_ITALIC : 0;
        tm.ntmFlags |= weight >= FW_BOLD ? NTM_BOLD : 0;
        tm.ntmFlags |= (!italic && weight < FW_BOLD) ? NTM_REGULAR : 0;
        tm.ntmSizeEM = UINT(f.unitsPerEm);
        tm.ntmCellHeight = UINT(f.cellHeight);
        tm.ntmAvgWidth = UINT(tm.tmAveCharWidth > 0 ? tm.tmAveCharWidth : 0);
        FT_Done_Face(ft);
        if (f.elf.elfLogFont.lfFaceName[0] != 0) faces.push_back(f);
        if (onlyIndex >= 0) break;
    }
    return faces;
}

int kindRank(FaceKind k) {
    return k == FaceKind::Type1 ? 1 : 0;
}

std::shared_ptr<std::vector<std::shared_ptr<const Face>>> currentFaces() {
    FontSet& set = fontSet();
    if (set.faces && !set.useFiles && !systemFontsChanged()) return set.faces;
    std::vector<std::pair<std::string, long>> files = fontFiles(set);
    std::vector<std::string> signature;
    std::vector<Face> all;
    for (const auto& [file, index] : files) {
        struct stat st {};
        if (::stat(file.c_str(), &st) != 0) continue;
        auto key =
            std::make_tuple(file + "#" + std::to_string(index), (long long)st.st_size,
                            (long long)st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec);
        auto it = set.fileCache.find(key);
        if (it == set.fileCache.end())
            it = set.fileCache.emplace(key, readFaces(file, index)).first;
        all.insert(all.end(), it->second.begin(), it->second.end());
        signature.push_back(std::get<0>(key) + "/" + std::to_string(std::get<1>(key)) + "/" +
                            std::to_string(std::get<2>(key)));
    }
    if (set.faces && signature == set.lastFiles) return set.faces;
    std::stable_sort(all.begin(), all.end(), [](const Face& a, const Face& b) {
        int c = strcasecmp(a.elf.elfLogFont.lfFaceName, b.elf.elfLogFont.lfFaceName);
        if (c != 0) return c < 0;
        if (a.elf.elfLogFont.lfWeight != b.elf.elfLogFont.lfWeight)
            return a.elf.elfLogFont.lfWeight < b.elf.elfLogFont.lfWeight;
        if (a.elf.elfLogFont.lfItalic != b.elf.elfLogFont.lfItalic)
            return a.elf.elfLogFont.lfItalic < b.elf.elfLogFont.lfItalic;
        c = std::strcmp(reinterpret_cast<const char*>(a.elf.elfStyle),
                        reinterpret_cast<const char*>(b.elf.elfStyle));
        if (c != 0) return c < 0;
        return kindRank(a.kind) < kindRank(b.kind);
    });
    auto faces = std::make_shared<std::vector<std::shared_ptr<const Face>>>();
    for (const Face& f : all) {
        bool twin = false;
        for (const auto& g : *faces)
            twin = twin ||
                   (std::strcmp(g->elf.elfLogFont.lfFaceName, f.elf.elfLogFont.lfFaceName) == 0 &&
                    std::strcmp(reinterpret_cast<const char*>(g->elf.elfStyle),
                                reinterpret_cast<const char*>(f.elf.elfStyle)) == 0);
        if (!twin) faces->push_back(std::make_shared<const Face>(f));
    }
    set.faces = faces;
    set.lastFiles = signature;
    return faces;
}

} // namespace

std::vector<Face> ListFaces() {
    std::lock_guard<std::mutex> lock(FreeTypeLock());
    std::vector<Face> out;
    for (const auto& f : *currentFaces())
        out.push_back(*f);
    return out;
}

std::shared_ptr<const Face> MatchFace(const LOGFONTA& lf) {
    std::lock_guard<std::mutex> lock(FreeTypeLock());
    auto faces = currentFaces();
    if (faces->empty()) return nullptr;
    char wanted[LF_FACESIZE + 1] = {};
    std::memcpy(wanted, lf.lfFaceName, LF_FACESIZE);
    std::shared_ptr<const Face> best;
    long bestScore = 0;
    for (const auto& f : *faces) {
        if (strcasecmp(f->elf.elfLogFont.lfFaceName, wanted) != 0) continue;
        long weight = lf.lfWeight == FW_DONTCARE ? FW_NORMAL : lf.lfWeight;
        long score = std::labs(f->elf.elfLogFont.lfWeight - weight) +
                     ((f->elf.elfLogFont.lfItalic != 0) != (lf.lfItalic != 0) ? 10000 : 0);
        if (!best || score < bestScore) {
            best = f;
            bestScore = score;
        }
    }
    if (best) return best;
    // Names no face has (the stock fonts' "System" among them) take the default face.
    for (const auto& f : *faces)
        if (std::strcmp(f->elf.elfLogFont.lfFaceName, "DejaVu Sans") == 0 &&
            f->elf.elfLogFont.lfWeight == FW_NORMAL && !f->elf.elfLogFont.lfItalic)
            return f;
    return faces->front();
}

void UseFontFiles(const std::vector<std::string>& files) {
    std::lock_guard<std::mutex> lock(FreeTypeLock());
    FontSet& set = fontSet();
    set.useFiles = true;
    set.files = files;
    set.faces.reset();
}

void UseSystemFonts() {
    std::lock_guard<std::mutex> lock(FreeTypeLock());
    FontSet& set = fontSet();
    set.useFiles = false;
    set.files.clear();
    set.faces.reset();
}

} // namespace fontface
