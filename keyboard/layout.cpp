// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "keyboard/layout.h"

#include <xkbcommon/xkbcommon.h>

#include <algorithm>

#include "common/cp1252.h"
#include "keyboard/xkb_layout.h"

namespace {

constexpr uint32_t kFirstDeadKeysym = 0xfe50;
constexpr uint32_t kLastDeadKeysym = 0xfe93;
constexpr uint32_t kSpaceKeysym = 0x20;

// The AZERTY variants that type the same characters on the same keys as classic AZERTY:
// their users keep the classic record.
constexpr std::string_view kClassicVariants[] = {"",
                                                 "oss",
                                                 "latin9",
                                                 "nodeadkeys",
                                                 "oss_latin9",
                                                 "oss_nodeadkeys",
                                                 "sundeadkeys",
                                                 "oss_sundeadkeys",
                                                 "latin9_sundeadkeys",
                                                 "latin9_nodeadkeys"};
// The other French variants of the XKB data, whose records have always been named by the
// variant alone ("progression1_9-bepo.dat"). "us" is not among them: it is a layout's name
// too, and fr(us) gets "progression1_9-fr-us.dat" like any layout not listed here.
constexpr std::string_view kShortFrenchVariants[] = {"afnor",  "bepo", "bepo_afnor", "bepo_latin9", "azerty",
                                                     "dvorak", "mac",  "bre",        "oci",         "geo"};

struct Label {
    const char* Name;
    const char* Text;
};
constexpr Label kLabels[] = {
    {"fr", "Français (AZERTY)"},
    {"fr(afnor)", "Français (AZERTY AFNOR)"},
    {"fr(bepo)", "Français (BÉPO)"},
    {"fr(bepo_afnor)", "Français (BÉPO AFNOR)"},
    {"be", "Belge (AZERTY)"},
    {"ch(fr)", "Suisse romand (QWERTZ)"},
    {"ca", "Français canadien"},
    {"ca(multix)", "Canadien multilingue (CSA)"},
    {"fr(oss)", "Français (AZERTY, variante)"},
};

// Cost of a way to type: fewer keystrokes, then lower levels, win.
int Cost(const std::vector<Keystroke>& strokes) {
    int cost = 0;
    for (const Keystroke& s : strokes) cost += 10 + s.Level + (s.CapsLock ? 5 : 0) + (s.Key() == 0 ? 3 : 0);
    return cost;
}

std::shared_ptr<const KeyboardLayout>& Active() {
    static std::shared_ptr<const KeyboardLayout> active;
    return active;
}

void AppendUtf8(std::string& out, char32_t u) {
    if (u < 0x80) {
        out += char(u);
    } else if (u < 0x800) {
        out += char(0xC0 | (u >> 6));
        out += char(0x80 | (u & 0x3F));
    } else if (u < 0x10000) {
        out += char(0xE0 | (u >> 12));
        out += char(0x80 | ((u >> 6) & 0x3F));
        out += char(0x80 | (u & 0x3F));
    } else {
        out += char(0xF0 | (u >> 18));
        out += char(0x80 | ((u >> 12) & 0x3F));
        out += char(0x80 | ((u >> 6) & 0x3F));
        out += char(0x80 | (u & 0x3F));
    }
}

}  // namespace

std::optional<LayoutName> LayoutName::Parse(std::string_view text) {
    auto trim = [](std::string_view s) {
        while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
        while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
        return s;
    };
    text = trim(text);
    LayoutName name;
    const std::size_t open = text.find_first_of("( ");
    name.Layout = std::string(trim(text.substr(0, open)));
    if (open != std::string_view::npos) {
        std::string_view rest = text.substr(open + 1);
        if (text[open] == '(') {
            if (rest.empty() || rest.back() != ')') return std::nullopt;
            rest.remove_suffix(1);
        }
        name.Variant = std::string(trim(rest));
    }
    auto valid = [](const std::string& s) {
        return std::all_of(s.begin(), s.end(), [](char c) {
            return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
        });
    };
    if (name.Layout.empty() || name.Layout.size() > 32 || name.Variant.size() > 32 || !valid(name.Layout) ||
        !valid(name.Variant))
        return std::nullopt;
    return name;
}

const std::vector<LayoutName>& FrenchLayouts() {
    static const std::vector<LayoutName> layouts = {
        {"fr", ""}, {"fr", "afnor"}, {"fr", "bepo"}, {"fr", "bepo_afnor"},
        {"be", ""}, {"ch", "fr"},    {"ca", ""},     {"ca", "multix"},
    };
    return layouts;
}

std::string LayoutLabel(const LayoutName& name) {
    std::string text = name.Text();
    for (const Label& label : kLabels)
        if (text == label.Name) return label.Text;
    return text;
}

std::string RecordFileName(const LayoutName& name) {
    const bool french = name.Layout == "fr";
    if (french && std::ranges::find(kClassicVariants, name.Variant) != std::end(kClassicVariants))
        return "progression1_9.dat";
    const bool shortVariant = std::ranges::find(kShortFrenchVariants, name.Variant) != std::end(kShortFrenchVariants);
    if (french && shortVariant) return "progression1_9-" + name.Variant + ".dat";
    // "xx" or "xx-var": the first dash ends the layout. A layout whose own name holds a dash
    // or is one of the short names above takes a "+" before its variant instead, which no
    // other name holds, so that no two layouts ever share a record.
    const bool plain = name.Layout.find('-') == std::string::npos &&
                       std::ranges::find(kShortFrenchVariants, name.Layout) == std::end(kShortFrenchVariants);
    const std::string separator = plain ? "-" : "+";
    const std::string id = name.Layout + (name.Variant.empty() && plain ? "" : separator + name.Variant);
    return "progression1_9-" + id + ".dat";
}

int Keystroke::Key() const { return Place < 0 ? 0 : PhysicalKeys()[std::size_t(Place)].Key(); }

KeyboardLayout::KeyboardLayout(LayoutName name, std::vector<KeySymbols> places, std::array<int, 256> placeOfKeycode,
                               std::map<std::pair<uint32_t, uint32_t>, char32_t> compositions, bool builtIn)
    : name_(std::move(name)),
      places_(std::move(places)),
      placeOfKeycode_(placeOfKeycode),
      compositions_(std::move(compositions)),
      builtIn_(builtIn) {
    places_.resize(PhysicalKeys().size());
    DeriveCharacterTables();
}

uint8_t KeyboardLayout::VirtualKeyOfKeycode(uint32_t keycode) const {
    const int place = PlaceOfKeycode(keycode);
    return place < 0 ? 0 : PhysicalKeys()[std::size_t(place)].Vk;
}

uint32_t KeyboardLayout::KeycodeOfPlace(int place) const {
    for (uint32_t k = 0; k < 256; ++k)
        if (placeOfKeycode_[k] == place) return k;
    return 0;
}

bool KeyboardLayout::IsDeadKeysym(uint32_t keysym) { return keysym >= kFirstDeadKeysym && keysym <= kLastDeadKeysym; }

bool KeyboardLayout::Gives(uint32_t keycode, uint32_t keysym) const {
    const int place = PlaceOfKeycode(keycode);
    if (place < 0) return false;
    const KeySymbols& symbols = places_[std::size_t(place)];
    for (uint32_t sym : symbols.Keysyms)
        if (sym == keysym && sym != 0) return true;
    // Caps Lock gives the capital of a level's letter.
    for (uint32_t sym : symbols.Keysyms)
        if (sym != 0 && xkb_keysym_to_upper(sym) == keysym) return true;
    return false;
}

std::optional<Keystroke> KeyboardLayout::StrokeOfKeysym(uint32_t keysym) const {
    if (keysym == 0) return std::nullopt;
    std::optional<Keystroke> best;
    for (int level = 0; level < kLevelCount; ++level)
        for (std::size_t p = 0; p < places_.size(); ++p)
            if (places_[p].Keysyms[std::size_t(level)] == keysym) {
                const Keystroke stroke{int(p), uint8_t(level), false};
                if (stroke.Key() != 0) return stroke;
                if (!best) best = stroke;
            }
    return best;
}

char32_t KeyboardLayout::Compose(uint32_t deadKeysym, uint32_t keysym) const {
    const auto found = compositions_.find({deadKeysym, keysym});
    return found == compositions_.end() ? 0 : found->second;
}

char32_t KeyboardLayout::SpacingOfDeadKey(uint32_t keysym) const {
    if (char32_t spacing = Compose(keysym, kSpaceKeysym)) return spacing;
    switch (keysym) {
        case 0xfe50: return U'`';
        case 0xfe51: return U'´';
        case 0xfe52: return U'^';
        case 0xfe53: return U'~';
        case 0xfe54: return U'¯';
        case 0xfe55: return U'˘';
        case 0xfe56: return U'˙';
        case 0xfe57: return U'¨';
        case 0xfe58: return U'°';
        case 0xfe59: return U'˝';
        case 0xfe5a: return U'ˇ';
        case 0xfe5b: return U'¸';
        case 0xfe5c: return U'˛';
        default: return 0;
    }
}

void KeyboardLayout::DeriveCharacterTables() {
    auto strokesOf = [this](uint32_t keysym) { return StrokeOfKeysym(keysym); };
    for (int b = 0x20; b < 256; ++b) {
        const char32_t u = Cp1252ToUnicode(static_cast<unsigned char>(b));
        if (u == 0 || (b >= 0x7F && b < 0xA0 && u < 0xA0)) continue;
        std::vector<Keystroke> best;
        auto consider = [&best](std::vector<Keystroke> way) {
            if (!way.empty() && (best.empty() || Cost(way) < Cost(best))) best = std::move(way);
        };
        // A key that gives the character at one of its levels.
        for (std::size_t p = 0; p < places_.size(); ++p)
            for (int level = 0; level < kLevelCount; ++level)
                if (places_[p].Chars[std::size_t(level)] == u && !IsDeadKeysym(places_[p].Keysyms[std::size_t(level)]))
                    consider({Keystroke{int(p), uint8_t(level), false}});
        // A dead key, then the key it composes with.
        if (best.empty())
            for (const auto& [pair, composed] : compositions_) {
                if (composed != u) continue;
                const std::optional<Keystroke> dead = strokesOf(pair.first);
                const std::optional<Keystroke> next = strokesOf(pair.second);
                if (dead && next) consider({*dead, *next});
            }
        strokes_[std::size_t(b)] = best;
    }
    // Capitals that Caps Lock gives on the small letter's key (É on classic AZERTY), where
    // that is simpler than any other way.
    for (int b = 0x20; b < 256; ++b) {
        const int lower = Cp1252Lower(static_cast<unsigned char>(b));
        if (lower == b) continue;
        const std::vector<Keystroke>& small = strokes_[std::size_t(lower)];
        if (small.size() != 1 || small[0].Level != 0) continue;
        std::vector<Keystroke> capsLock = {{small[0].Place, 0, true}};
        std::vector<Keystroke>& kept = strokes_[std::size_t(b)];
        if (kept.empty() || Cost(capsLock) < Cost(kept)) kept = std::move(capsLock);
    }
    // The no-break space is typed as a blank where the layout has no key for it.
    if (strokes_[0xA0].empty()) strokes_[0xA0] = strokes_[' '];
    for (int b = 0; b < 256; ++b)
        keyOfChar_[std::size_t(b)] =
            strokes_[std::size_t(b)].empty() ? 0 : uint8_t(strokes_[std::size_t(b)].back().Key());
}

std::vector<uint8_t> KeyboardLayout::KeyDowns(unsigned char ch) const {
    std::vector<uint8_t> downs;
    for (const Keystroke& stroke : strokes_[ch]) {
        if (stroke.Level & kShiftLevelBit) downs.push_back(VK_SHIFT);
        if (stroke.Level & kAltGrLevelBit) downs.push_back(VK_MENU);
        downs.push_back(PhysicalKeys()[std::size_t(stroke.Place)].Vk);
    }
    return downs;
}

bool KeyboardLayout::IsPlain(unsigned char ch) const {
    const std::vector<Keystroke>& strokes = strokes_[ch];
    return strokes.size() == 1 && strokes[0].Level == 0 && !strokes[0].CapsLock;
}

char KeyboardLayout::ByteAt(int place, int level) const {
    if (place < 0 || std::size_t(place) >= places_.size() || level < 0 || level >= kLevelCount) return 0;
    const KeySymbols& symbols = places_[std::size_t(place)];
    if (IsDeadKeysym(symbols.Keysyms[std::size_t(level)])) return 0;
    const char32_t u = symbols.Chars[std::size_t(level)];
    const int byte = u < 0x20 || u == 0x7F ? -1 : cp1252_detail::FromUnicode(u);
    return byte > 0 ? static_cast<char>(byte) : 0;
}

std::string KeyboardLayout::CapText(int place, int level) const {
    if (place < 0 || std::size_t(place) >= places_.size() || level < 0 || level >= kLevelCount) return {};
    const KeySymbols& symbols = places_[std::size_t(place)];
    const uint32_t keysym = symbols.Keysyms[std::size_t(level)];
    char32_t u = IsDeadKeysym(keysym) ? SpacingOfDeadKey(keysym) : symbols.Chars[std::size_t(level)];
    if (u < 0x20 || u == 0x7F) return {};
    std::string text;
    AppendUtf8(text, u);
    return text;
}

// The table lookups of every text read the layout: no reference count is touched for them.
const KeyboardLayout& ActiveLayout() {
    if (!Active()) Active() = BuiltInAzerty();
    return *Active();
}

std::shared_ptr<const KeyboardLayout> ActiveLayoutShared() {
    ActiveLayout();
    return Active();
}

void SetActiveLayout(std::shared_ptr<const KeyboardLayout> layout) {
    if (layout) Active() = std::move(layout);
}
