// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "keyboard/detect.h"

#include <string>

namespace {

// Field `index` of a comma-separated list, blanks trimmed.
std::string_view Field(std::string_view list, int index) {
    for (int i = 0; i < index; ++i) {
        const std::size_t comma = list.find(',');
        if (comma == std::string_view::npos) return {};
        list.remove_prefix(comma + 1);
    }
    list = list.substr(0, list.find(','));
    while (!list.empty() && list.front() == ' ') list.remove_prefix(1);
    while (!list.empty() && list.back() == ' ') list.remove_suffix(1);
    return list;
}

// The value of KEY=value or KEY="value" on a line of a shell-style file.
std::optional<std::string_view> ValueOf(std::string_view text, std::string_view key) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
        if (!line.starts_with(key) || line.size() <= key.size() || line[key.size()] != '=') continue;
        std::string_view value = line.substr(key.size() + 1);
        while (!value.empty() && (value.back() == '\r' || value.back() == ' ')) value.remove_suffix(1);
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        return value;
    }
    return std::nullopt;
}

}  // namespace

std::optional<LayoutName> LayoutOfGroup(std::string_view layouts, std::string_view variants, int group) {
    if (group < 0 || group > 3) return std::nullopt;
    const std::string_view layout = Field(layouts, group);
    if (layout.empty()) return std::nullopt;
    const std::string_view variant = Field(variants, group);
    return LayoutName::Parse(std::string(layout) + (variant.empty() ? "" : "(" + std::string(variant) + ")"));
}

std::optional<LayoutName> LayoutOfKeyboardConfig(std::string_view text) {
    const std::optional<std::string_view> layouts = ValueOf(text, "XKBLAYOUT");
    if (!layouts) return std::nullopt;
    return LayoutOfGroup(*layouts, ValueOf(text, "XKBVARIANT").value_or(""), 0);
}

std::vector<LayoutName> LayoutsOfKeymap(std::string_view keymap) {
    constexpr std::string_view kSymbols = "xkb_symbols";
    const std::size_t at = keymap.find(kSymbols);
    if (at == std::string_view::npos) return {};
    const std::size_t open = keymap.find('"', at + kSymbols.size());
    const std::size_t close = open == std::string_view::npos ? open : keymap.find('"', open + 1);
    if (close == std::string_view::npos || keymap.find('{', at) < open) return {};
    std::string_view names = keymap.substr(open + 1, close - open - 1);
    std::vector<LayoutName> groups;
    bool first = true;
    while (!names.empty()) {
        const std::size_t plus = names.find_first_of("+|");
        std::string_view part = names.substr(0, plus);
        names = plus == std::string_view::npos ? std::string_view() : names.substr(plus + 1);
        if (part == "pc" || part.empty()) continue;
        int group = 1;
        if (const std::size_t colon = part.find(':'); colon != std::string_view::npos) {
            const std::string_view number = part.substr(colon + 1);
            group = number.size() == 1 && number[0] >= '1' && number[0] <= '4' ? number[0] - '0' : 0;
            part = part.substr(0, colon);
        } else if (!first) {
            continue;  // an option's symbols ("inet(evdev)", "group(alt_shift_toggle)")
        }
        first = false;
        const std::optional<LayoutName> name = LayoutName::Parse(part);
        if (group < 1 || !name) continue;
        if (groups.size() < std::size_t(group)) groups.resize(std::size_t(group));
        groups[std::size_t(group - 1)] = *name;
    }
    // A group left unnamed ends the list.
    for (std::size_t i = 0; i < groups.size(); ++i)
        if (groups[i].Layout.empty()) groups.resize(i);
    return groups;
}

void LayoutEvidence::Observe(uint32_t keycode, uint32_t keysym) {
    if (keycode == 0 || keysym == 0) return;
    if (seen_.size() < kKept) {
        seen_.emplace_back(keycode, keysym);
    } else {
        seen_[next_] = {keycode, keysym};
        next_ = (next_ + 1) % kKept;
    }
}

std::size_t LayoutEvidence::Agreeing(const KeyboardLayout& layout) const {
    std::size_t agreeing = 0;
    for (const auto& [keycode, keysym] : seen_)
        if (layout.Gives(keycode, keysym)) ++agreeing;
    return agreeing;
}

std::vector<const KeyboardLayout*> LayoutEvidence::Contradicts(
    const KeyboardLayout& layout, const std::vector<std::shared_ptr<const KeyboardLayout>>& candidates,
    std::size_t minDisagreeing) const {
    std::vector<const KeyboardLayout*> best;
    const std::size_t own = Agreeing(layout);
    if (seen_.size() - own < minDisagreeing) return best;
    std::size_t bestAgreeing = 0;
    for (const auto& candidate : candidates) {
        if (!candidate || candidate->Name() == layout.Name()) continue;
        const std::size_t agreeing = Agreeing(*candidate);
        if (agreeing * 10 < seen_.size() * 9 || agreeing <= own || agreeing < bestAgreeing) continue;
        // Equally likely candidates are all kept: naming the first would be a guess.
        if (agreeing > bestAgreeing) best.clear();
        best.push_back(candidate.get());
        bestAgreeing = agreeing;
    }
    return best;
}
