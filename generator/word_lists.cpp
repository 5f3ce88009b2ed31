// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/word_lists.h"

#include "common/cp1252.h"
#include "generator/random.h"

namespace {

constexpr std::string_view kPlacePrepositions[9] = {"vers",   "dans",       "sur",     "dessous", "derrière"_cp,
                                                    "dessus", "par-dessus", "dessous", "devant"};
constexpr std::string_view kMotionPrepositions[4] = {"avec", "contre", "jusqu'à"_cp, "vers"};
constexpr std::string_view kPurposeLinks[4] = {"pour", "pour parvenir à"_cp, "pour réussir à"_cp, "jusqu'à"_cp};
constexpr std::string_view kWishParticiples[3] = {"souhaité"_cp, "voulu", "désiré"_cp};

}  // namespace

std::string_view DrawPlacePreposition() { return kPlacePrepositions[Random(9)]; }
std::string_view DrawMotionPreposition() { return kMotionPrepositions[Random(4)]; }
std::string_view DrawPurposeLink() { return kPurposeLinks[Random(4)]; }
std::string_view DrawWishParticiple() { return kWishParticiples[Random(3)]; }
