// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Which layout the user types on: the names the system gives (the X server's XKB rule
// names, the system's keyboard configuration), and the evidence of the keys typed, which
// confirms a layout or points at another.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "keyboard/layout.h"

// The layout of group `group` among comma-separated layouts and variants ("fr,us" and
// "bepo," give fr(bepo) for group 0); nothing when there is no such group.
std::optional<LayoutName> LayoutOfGroup(std::string_view layouts, std::string_view variants, int group);
// The first layout of a keyboard configuration file in the form of /etc/default/keyboard
// (XKBLAYOUT="fr" and XKBVARIANT="bepo" lines, quotes optional).
std::optional<LayoutName> LayoutOfKeyboardConfig(std::string_view text);

// The layouts of a keymap in XKB's text format, by group, as a Wayland compositor sends it:
// its symbols are named "pc+us+fr(bepo):2+inet(evdev)" (the first layout after the base,
// then those numbered :2 to :4, the options after). Empty when the keymap names none (a
// virtual keyboard's own keymap).
std::vector<LayoutName> LayoutsOfKeymap(std::string_view keymap);

// Keys seen typed: each a keycode and the keysym it gave.
class LayoutEvidence {
public:
    void Observe(uint32_t keycode, uint32_t keysym);
    std::size_t Size() const { return seen_.size(); }
    // How many of the keys seen agree with the layout.
    std::size_t Agreeing(const KeyboardLayout& layout) const;
    // When the given layout disagrees with at least `minDisagreeing` of the keys seen, the
    // candidates that the keys point at: those that agree with all but one in ten of them,
    // with more than the given layout does, and with as many as the best candidate, in the
    // candidates' order. One when the keys tell it; several when the keys typed so far
    // cannot tell them apart (BÉPO and BÉPO AFNOR on letters alone), until a key that one
    // of them types and the other does not is seen. Empty otherwise.
    std::vector<const KeyboardLayout*> Contradicts(const KeyboardLayout& layout,
                                                   const std::vector<std::shared_ptr<const KeyboardLayout>>& candidates,
                                                   std::size_t minDisagreeing = 8) const;

private:
    static constexpr std::size_t kKept = 200;  // the latest keys
    std::vector<std::pair<uint32_t, uint32_t>> seen_;
    std::size_t next_ = 0;
};
