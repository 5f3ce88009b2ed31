// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The small closed word classes that the program holds itself. Each routine draws one
// member with one Random(n); lower case, no blank at either end.
#pragma once

#include <string_view>

// "vers", "dans", "sur", "dessous" (twice as likely), "derrière", "dessus", "par-dessus",
// "devant".
std::string_view DrawPlacePreposition();
// "avec", "contre", "jusqu'à", "vers".
std::string_view DrawMotionPreposition();
// "pour", "pour parvenir à", "pour réussir à", "jusqu'à".
std::string_view DrawPurposeLink();
// "souhaité", "voulu", "désiré".
std::string_view DrawWishParticiple();
