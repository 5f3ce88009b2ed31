// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// What the tracked keys and pairs type on the active layout, to practise them.
#pragma once

#include <string>

// The characters (Windows-1252) to practise a key on the active layout: what it types
// alone; empty for a key that types nothing alone (Maj, Alt, a dead key).
std::string KeyPractiseCharacters(int key);
// The characters to practise a pair: those of its two keys one after the other; after Maj
// the next key's Shift character, after Alt its Alt Gr one, after a dead key what the
// dead key composes with it. Empty when the pair types nothing this way.
std::string PairPractiseCharacters(int previous, int current);
