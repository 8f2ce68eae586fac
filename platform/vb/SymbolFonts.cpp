// The symbols that stand for the glyphs of the symbol fonts.
#include <map>

#include "platform/vb/Conversions.h"
#include "platform/vb/Intrinsics.h"

namespace vb {

namespace {

using Glyphs = std::map<unsigned char, const char*>;

// The glyphs the player's captions use, by character code, each as the symbols of its role.
// Transport glyphs that have no single symbol in the stand-in font are made of two.
const Glyphs& GlyphsOf(const std::string& fontName) {
    static const Glyphs webdings = {
        {0x30, "\u2013"},        // minimise
        {0x31, "\u25A1"},        // restore
        {0x33, "\u25C0"},        // rewind
        {0x34, "\u25B6"},        // forward
        {0x35, "\u23CF"},        // eject: browse
        {0x37, "\u25AE\u25C0"},  // to the start
        {0x38, "\u25B6\u25B6"},  // fast forward
        {0x39, "\u25C0\u25C0"},  // fast rewind, previous track
        {0x3A, "\u25B6\u25AE"},  // next track
        {0x3B, "\u25AE\u25AE"},  // pause
        {0x3C, "\u25A0"},        // stop
        {0x3D, "\u2715"},        // close
        {0x4C, "\u266B"},        // music
        {0x72, "\u2715"},        // close
        {0x9D, "\u2630"},        // list
    };
    static const Glyphs wingdings = {
        {0x31, "\u23CF"},  // open folder: the open symbol of players
        {0x5D, "\u25BA"},  // play
        {0xE9, "\u2191"},  // arrow up
        {0xEA, "\u2193"},  // arrow down
    };
    static const Glyphs symbol = {
        {0xAC, "\u2190"},  // arrow left
        {0xAD, "\u2191"},  // arrow up
        {0xAE, "\u2192"},  // arrow right
        {0xAF, "\u2193"},  // arrow down
    };
    static const Glyphs none;
    const std::string name = LCase(fontName);
    if (name == "webdings") return webdings;
    if (name == "wingdings") return wingdings;
    if (name == "symbol") return symbol;
    return none;
}

}  // namespace

bool IsSymbolFont(const std::string& fontName) {
    return !GlyphsOf(fontName).empty();
}

std::string SymbolFontText(const std::string& fontName, const std::string& caption) {
    const Glyphs& glyphs = GlyphsOf(fontName);
    if (glyphs.empty()) return caption;
    std::string out;
    for (unsigned char c : caption) {
        auto it = glyphs.find(c);
        out += it != glyphs.end() ? std::string(it->second) : std::string(1, static_cast<char>(c));
    }
    return out;
}

}  // namespace vb
