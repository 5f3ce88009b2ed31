// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "stats/key_report.h"

#include <algorithm>
#include <array>

#include "common/cp1252.h"
#include "common/rounding.h"
#include "keyboard/layout.h"

namespace {

constexpr int kSpaceKey = 38;

bool Slower(const PairFigure& a, const PairFigure& b) {
    if (a.MeanMs != b.MeanMs) return a.MeanMs > b.MeanMs;
    if (a.Samples != b.Samples) return a.Samples > b.Samples;
    return a.Previous != b.Previous ? a.Previous < b.Previous : a.Current < b.Current;
}

// Adds the figure of the pair when its cell holds samples that count.
void AddMeasured(std::vector<PairFigure>& pairs, const ProgressRecord& record, int previous, int current) {
    const KeyPairStats& cell = record.Cell(previous, current);
    const int32_t samples = CountedSamples(cell);
    if (samples > 0) pairs.push_back({previous, current, MeanInterval(cell), samples});
}

// Characters typed by one key without Shift or a dead key: lower-case letters, é è ç à
// ù and the unshifted symbols. Words made of them type as the pairs of their keys.
struct PlainKeys {
    uint8_t Key[256]{};
    explicit PlainKeys(const KeyboardLayout& layout) {
        for (int c = 0; c < 256; ++c) {
            const unsigned char ch = static_cast<unsigned char>(c);
            if (ch != ' ' && layout.IsPlain(ch)) Key[c] = layout.KeyOfChar()[c];
        }
    }
};

// Nouns, adjectives and verb forms among the most frequent of written French. The lexicon
// has no frequencies: a lexicon word on this list is preferred as an example.
constexpr std::string_view kFrequentWords =
    "être avoir faire dire pouvoir aller voir vouloir venir devoir prendre trouver donner parler mettre "
    "savoir passer regarder aimer croire demander rester répondre entendre penser arriver connaître "
    "devenir sentir vivre sortir tenir porter chercher comprendre attendre partir finir jouer écrire lire "
    "ouvrir monter appeler marcher tomber rentrer entrer rire courir perdre suivre servir montrer "
    "est sont fait dit peut veut va vient doit prend sait voit met tient part sort vit suit "
    "homme femme jour temps main chose vie yeux heure monde enfant fois moment tête père mère fille fils "
    "terre voix maison porte coup air mot nuit pays nom ville rue eau soleil ciel mer feu route table "
    "lettre livre travail histoire question guerre ami amie corps cœur âme regard pied bras dos visage "
    "bouche fenêtre chambre voiture jardin arbre fleur chien chat cheval matin soir année semaine "
    "école classe pain vin lit mur salle prix point côté fond bout milieu vent pluie neige froid "
    "grand petit bon beau belle jeune vieux seul premier dernier autre noir blanc long vrai plein haut "
    "bas gros doux fort simple sûr libre prêt triste heureux rouge vert bleu joli facile rapide lent "
    "nouveau nouvelle dur clair calme riche pauvre juste chaud frais mauvais léger propre";

struct FrequentWords {
    std::vector<std::string> Words;  // Windows-1252, sorted
    FrequentWords() {
        std::string_view list = kFrequentWords;
        while (!list.empty()) {
            const std::size_t blank = list.find(' ');
            Words.push_back(Utf8ToCp1252(list.substr(0, blank)));
            list.remove_prefix(blank == std::string_view::npos ? list.size() : blank + 1);
        }
        std::sort(Words.begin(), Words.end());
    }
    bool Contains(std::string_view word) const {
        return std::binary_search(Words.begin(), Words.end(), word,
                                  [](std::string_view a, std::string_view b) { return a < b; });
    }
};

// Score of a word as an example (lower is better): frequent words first, then short
// words, but none shorter than three letters.
int WordScore(std::string_view word, const FrequentWords& frequent) {
    const int length = int(word.size());
    if (length < 3) return 1000 + length;
    return frequent.Contains(word) ? length : 100 + length;
}

}  // namespace

KeyReport BuildKeyReport(const ProgressRecord& record) {
    KeyReport report;
    // Sums of mean x samples and samples, into and out of every key, in one pass.
    std::array<int64_t, kKeyCount + 1> weightedIn{}, weightedOut{};
    for (int previous = 1; previous <= kKeyCount; ++previous)
        for (int current = 1; current <= kKeyCount; ++current) {
            const KeyPairStats& cell = record.Cell(previous, current);
            const int32_t counted = CountedSamples(cell);
            if (counted == 0) continue;
            const int64_t weighted = int64_t(MeanInterval(cell)) * counted;
            KeyFigures& from = report.Keys[std::size_t(previous)];
            KeyFigures& to = report.Keys[std::size_t(current)];
            weightedOut[std::size_t(previous)] += weighted;
            from.SamplesOut += counted;
            ++from.PairsOut;
            weightedIn[std::size_t(current)] += weighted;
            to.SamplesIn += counted;
            ++to.PairsIn;
            report.TotalSamples += counted;
            ++report.MeasuredPairs;
        }
    std::vector<int32_t> means;
    for (int k = 1; k <= kKeyCount; ++k) {
        KeyFigures& key = report.Keys[std::size_t(k)];
        key.ByPairsOut = key.SamplesIn == 0 && key.SamplesOut > 0;
        key.Samples = key.ByPairsOut ? key.SamplesOut : key.SamplesIn;
        if (key.Samples == 0) continue;
        const int64_t weighted = key.ByPairsOut ? weightedOut[std::size_t(k)] : weightedIn[std::size_t(k)];
        key.MeanMs = RoundHalfEven(double(weighted) / key.Samples);
        if (!report.AnySamples || key.MeanMs < report.FastestMs) report.FastestMs = key.MeanMs;
        if (!report.AnySamples || key.MeanMs > report.SlowestMs) {
            report.SlowestMs = key.MeanMs;
            report.SlowestKey = k;
        }
        report.AnySamples = true;
        means.push_back(key.MeanMs);
    }
    if (!means.empty()) {
        std::nth_element(means.begin(), means.begin() + std::ptrdiff_t(means.size() / 2), means.end());
        const int64_t cap = int64_t(means[means.size() / 2]) * 3;
        report.ScaleTopMs = int32_t(std::min<int64_t>(report.SlowestMs, std::max<int64_t>(cap, report.FastestMs)));
    }
    return report;
}

std::vector<PairFigure> PairsInto(const ProgressRecord& record, int key) {
    std::vector<PairFigure> pairs;
    for (int previous = 1; previous <= kKeyCount; ++previous) AddMeasured(pairs, record, previous, key);
    std::sort(pairs.begin(), pairs.end(), Slower);
    return pairs;
}

std::vector<PairFigure> PairsOutOf(const ProgressRecord& record, int key) {
    std::vector<PairFigure> pairs;
    for (int current = 1; current <= kKeyCount; ++current) AddMeasured(pairs, record, key, current);
    std::sort(pairs.begin(), pairs.end(), Slower);
    return pairs;
}

std::vector<PairFigure> SlowestPairs(const ProgressRecord& record, int count, int32_t minSamples) {
    std::vector<PairFigure> pairs;
    for (int previous = 1; previous <= kKeyCount; ++previous)
        for (int current = 1; current <= kKeyCount; ++current) AddMeasured(pairs, record, previous, current);
    std::erase_if(pairs, [minSamples](const PairFigure& pair) { return pair.Samples < minSamples; });
    const std::size_t n = std::min(pairs.size(), std::size_t(count < 0 ? 0 : count));
    std::partial_sort(pairs.begin(), pairs.begin() + std::ptrdiff_t(n), pairs.end(), Slower);
    pairs.resize(n);
    return pairs;
}

std::vector<std::string> ExampleWords(const Lexicon& lexicon, const std::vector<PairFigure>& pairs) {
    const PlainKeys plain(ActiveLayout());
    static const FrequentWords frequent;
    std::vector<std::string> words(pairs.size());
    std::vector<int> scores(pairs.size(), 1 << 20);
    // wanted[a][b]: index + 1 of the pair (a, b) in `pairs`, 0 when not asked for.
    std::vector<uint16_t> wanted((kKeyCount + 1) * (kKeyCount + 1), 0);
    bool any = false;
    for (std::size_t i = 0; i < pairs.size() && i < 65535; ++i) {
        const PairFigure& p = pairs[i];
        if (p.Previous < 1 || p.Previous > kKeyCount || p.Current < 1 || p.Current > kKeyCount) continue;
        wanted[p.Previous * (kKeyCount + 1) + p.Current] = static_cast<uint16_t>(i + 1);
        any = true;
    }
    if (!any) return words;
    auto consider = [&](int a, int b, std::string_view word, bool spaceBefore, bool spaceAfter) {
        const uint16_t slot = wanted[a * (kKeyCount + 1) + b];
        if (!slot) return;
        const int score = WordScore(word, frequent);
        if (score >= scores[slot - 1]) return;
        scores[slot - 1] = score;
        std::string& example = words[slot - 1];
        example.clear();
        if (spaceBefore) example.push_back(' ');
        example.append(word);
        if (spaceAfter) example.push_back(' ');
    };
    auto scan = [&](const ShortString& s) {
        const std::string_view word = s.View();
        if (word.empty()) return;
        uint8_t keys[kShortStringCapacity];
        for (std::size_t i = 0; i < word.size(); ++i) {
            keys[i] = plain.Key[static_cast<unsigned char>(word[i])];
            if (!keys[i]) return;  // a character that needs Shift, a dead key or no key
        }
        for (std::size_t i = 0; i + 1 < word.size(); ++i) consider(keys[i], keys[i + 1], word, false, false);
        consider(kSpaceKey, keys[0], word, true, false);
        consider(keys[word.size() - 1], kSpaceKey, word, false, true);
    };
    // The common forms are enough: infinitives and present tense, singular nouns and adjectives.
    for (int v = 1; v <= lexicon.VerbCount; ++v)
        for (int slot = kVerbInfinitive; slot < kImperfectSlot; ++slot) scan(lexicon.Verb(v).Slots[slot]);
    for (int n = 1; n <= lexicon.NounCount; ++n) {
        scan(lexicon.Noun(n).Slots[kFemSg]);
        scan(lexicon.Noun(n).Slots[kMasSg]);
    }
    for (int a = 1; a <= lexicon.AdjectiveCount; ++a) scan(lexicon.Adjective(a).Slots[kMasSg]);
    return words;
}

std::string KeyName(int key) {
    if (key < 1 || key > kKeyCount) return "?";
    switch (KeyVirtualCodes[std::size_t(key)]) {
        case VK_SHIFT: return "Maj";
        case VK_MENU: return "Alt";
        case VK_SPACE: return "Espace";
        default: break;
    }
    // What the key types alone on the user's layout; a letter by its capital, as on its cap.
    const KeyboardLayout& layout = ActiveLayout();
    const int place = PhysicalKeyOfKey(key);
    const char plain = layout.ByteAt(place, 0);
    if (plain >= 'a' && plain <= 'z') return std::string(1, char(plain - 'a' + 'A'));
    const std::string text = layout.CapText(place, 0);
    return text.empty() ? "?" : text;
}
