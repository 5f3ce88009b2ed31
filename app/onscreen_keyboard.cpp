// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/onscreen_keyboard.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cstring>

#include "app/keyboard_drawing.h"
#include "app/window_style.h"
#include "common/cp1252.h"

using keyboard_drawing::LowerEnterPlace;
using keyboard_drawing::ValidPlace;

namespace {

constexpr double kHintRows = 0.75;  // height of the hint under the keyboard, in key units
const QColor kNoFinger(204, 202, 196);
const QColor kLockedFill(238, 237, 233);
const QColor kLockedInk(190, 190, 186);
const QColor kBorder(120, 120, 120);
const QColor kWrongFill(226, 62, 62);
const QColor kWrongBorder(140, 0, 0);
const QColor kSecondInk(104, 104, 168);  // the Alt Gr levels, quieter than the main caps

int Place(const char* xkbName) { return PhysicalKeyOfName(xkbName); }

int Owner(int place) { return keyboard_drawing::OwnerPlace(place); }

// One pastel colour per finger, the thumbs one more.
QColor FingerColour(Finger finger) {
    switch (finger) {
        case Finger::LeftPinky: return {247, 196, 206};
        case Finger::LeftRing: return {250, 213, 172};
        case Finger::LeftMiddle: return {244, 234, 160};
        case Finger::LeftIndex: return {196, 230, 170};
        case Finger::Thumb: return {228, 218, 198};
        case Finger::RightIndex: return {172, 226, 216};
        case Finger::RightMiddle: return {184, 210, 244};
        case Finger::RightRing: return {212, 198, 242};
        case Finger::RightPinky: return {238, 192, 232};
        case Finger::None: break;
    }
    return kNoFinger;
}

// The same hue, strong enough to stand out among the pastel keys.
QColor LitColour(Finger finger) {
    if (finger == Finger::None) return {160, 160, 160};
    float h = 0, s = 0, v = 0;
    FingerColour(finger).getHsvF(&h, &s, &v);
    return QColor::fromHsvF(h, 0.78f, 0.93f);
}

QString FingerName(int place) {
    const PhysicalKey& key = PhysicalKeys()[std::size_t(place)];
    switch (key.Hand) {
        case Finger::LeftPinky: return QStringLiteral("auriculaire gauche");
        case Finger::LeftRing: return QStringLiteral("annulaire gauche");
        case Finger::LeftMiddle: return QStringLiteral("majeur gauche");
        case Finger::LeftIndex: return QStringLiteral("index gauche");
        case Finger::Thumb:
            if (std::strcmp(key.XkbName, "SPCE") == 0) return QStringLiteral("pouce");
            return key.X < kKeyboardColumns / 2 ? QStringLiteral("pouce gauche") : QStringLiteral("pouce droit");
        case Finger::RightIndex: return QStringLiteral("index droit");
        case Finger::RightMiddle: return QStringLiteral("majeur droit");
        case Finger::RightRing: return QStringLiteral("annulaire droit");
        case Finger::RightPinky: return QStringLiteral("auriculaire droit");
        case Finger::None: break;
    }
    return {};
}

QString Capitalised(QString text) {
    if (!text.isEmpty()) text[0] = text[0].toUpper();
    return text;
}

// In touch typing Shift is pressed by the little finger of the other hand.
int ShiftPlaceFor(int place) {
    static const int left = Place("LFSH"), right = Place("RTSH");
    return PhysicalKeys()[std::size_t(place)].LeftHand() ? right : left;
}

// The keys a keystroke holds down besides its own.
std::vector<int> ModifierPlaces(const Keystroke& stroke) {
    std::vector<int> places;
    if (stroke.Level & kShiftLevelBit) places.push_back(ShiftPlaceFor(stroke.Place));
    if (stroke.Level & kAltGrLevelBit) places.push_back(Place("RALT"));
    if (stroke.CapsLock) places.push_back(Place("CAPS"));
    return places;
}

// What one step asks: the finger of the key, then the keys held with it.
QString StepText(const KeyboardLayout& layout, const Keystroke& stroke, bool withCap) {
    QString text = Capitalised(FingerName(stroke.Place));
    if (withCap) {
        const PhysicalKey& key = PhysicalKeys()[std::size_t(stroke.Place)];
        QString cap = QString::fromStdString(layout.CapText(stroke.Place, stroke.Level));
        if (std::strcmp(key.XkbName, "SPCE") == 0) cap = QStringLiteral("espace");
        if (stroke.CapsLock) cap = cap.toUpper();
        const bool dead = KeyboardLayout::IsDeadKeysym(layout.Symbols(stroke.Place).Keysyms[std::size_t(stroke.Level)]);
        if (!cap.isEmpty())
            text += QStringLiteral(" : ") + cap + (dead ? QStringLiteral(" (touche morte)") : QString());
    }
    if (stroke.Level & kShiftLevelBit)
        text += QStringLiteral(" + Maj (") + FingerName(ShiftPlaceFor(stroke.Place)) + QStringLiteral(")");
    if (stroke.Level & kAltGrLevelBit) text += QStringLiteral(" + Alt Gr (pouce droit)");
    if (stroke.CapsLock) text += QStringLiteral(" + Verr. maj (auriculaire gauche)");
    return text;
}

}  // namespace

OnscreenKeyboard::OnscreenKeyboard(QWidget* parent)
    : QWidget(parent),
      layout_(ActiveLayoutShared()),
      step_(PhysicalKeys().size(), 0),
      level_(PhysicalKeys().size(), -1),
      locked_(PhysicalKeys().size(), false) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setAccessibleName(QStringLiteral("Clavier visuel"));
    flashTimer_.setSingleShot(true);
    connect(&flashTimer_, &QTimer::timeout, this, [this] {
        flashing_ = false;
        update();
    });
}

void OnscreenKeyboard::SetLayout(std::shared_ptr<const KeyboardLayout> layout) {
    if (!layout) return;
    layout_ = std::move(layout);
    if (lockedByCharacters_) SetUnlockedCharacters(std::string(unlockedCharacters_));
    if (nextCharacter_ >= 0) next_ = layout_->Strokes(static_cast<unsigned char>(nextCharacter_));
    Relight();
    update();
}

std::vector<int> OnscreenKeyboard::RestingPlaces() {
    std::vector<int> places;
    for (const char* name : {"AC01", "AC02", "AC03", "AC04", "AC07", "AC08", "AC09", "AC10", "SPCE"})
        places.push_back(PhysicalKeyOfName(name));
    return places;
}

void OnscreenKeyboard::ShowResting() {
    next_.clear();
    nextCharacter_ = -1;
    resting_ = true;
    Relight();
    update();
}

void OnscreenKeyboard::ShowNext(const std::vector<Keystroke>& strokes) {
    resting_ = false;
    nextCharacter_ = -1;
    next_ = strokes;
    Relight();
    update();
}

void OnscreenKeyboard::ShowNextCharacter(unsigned char ch) {
    resting_ = false;
    next_ = ch == 0 ? std::vector<Keystroke>{} : layout_->Strokes(ch);
    nextCharacter_ = ch;
    Relight();
    update();
}

void OnscreenKeyboard::FlashWrong(int place) {
    wrongPlace_ = ValidPlace(place) ? Owner(place) : -1;
    flashing_ = true;
    flashTimer_.start(kFlashMs);
    update();
}

void OnscreenKeyboard::SetLocked(std::vector<bool> lockedPlaces) {
    lockedByCharacters_ = false;
    unlockedCharacters_.clear();
    locked_ = std::move(lockedPlaces);
    locked_.resize(PhysicalKeys().size(), false);
    update();
}

void OnscreenKeyboard::SetUnlockedCharacters(std::string_view cp1252) {
    const std::size_t count = PhysicalKeys().size();
    std::vector<bool> locked(count, false);
    for (std::size_t place = 0; place < count; ++place)
        for (int level = 0; level < kLevelCount && !locked[place]; ++level)
            locked[place] = !layout_->CapText(int(place), level).empty();
    for (const char* modifier : {"LFSH", "RTSH", "RALT", "CAPS"}) locked[std::size_t(Place(modifier))] = true;
    for (const char ch : cp1252)
        for (const Keystroke& stroke : layout_->Strokes(static_cast<unsigned char>(ch))) {
            if (!ValidPlace(stroke.Place)) continue;
            locked[std::size_t(stroke.Place)] = false;
            for (int modifier : ModifierPlaces(stroke)) locked[std::size_t(modifier)] = false;
        }
    locked_ = std::move(locked);
    unlockedCharacters_ = std::string(cp1252);
    lockedByCharacters_ = true;
    update();
}

void OnscreenKeyboard::UnlockAll() { SetLocked({}); }

void OnscreenKeyboard::Relight() {
    std::fill(step_.begin(), step_.end(), 0);
    std::fill(level_.begin(), level_.end(), -1);
    QStringList steps;
    const bool several = next_.size() > 1;
    for (std::size_t i = 0; i < next_.size(); ++i) {
        const Keystroke& stroke = next_[i];
        if (!ValidPlace(stroke.Place)) continue;
        const int step = int(i) + 1;
        auto light = [&](int place) {
            if (step_[std::size_t(place)] == 0) step_[std::size_t(place)] = step;
        };
        if (step_[std::size_t(stroke.Place)] == 0) level_[std::size_t(stroke.Place)] = stroke.Level;
        light(stroke.Place);
        for (int modifier : ModifierPlaces(stroke)) light(modifier);
        const QString text = StepText(*layout_, stroke, several);
        steps << (several ? QStringLiteral("%1. %2").arg(step).arg(text) : text);
    }
    fingerText_ = steps.join(QStringLiteral("   puis   "));
    if (resting_) {
        for (const int place : RestingPlaces())
            if (ValidPlace(place)) step_[std::size_t(place)] = 1;
        fingerText_ = QString::fromUtf8("Position de repos : chaque doigt sur sa touche, les index sur les reliefs");
    }
    const char32_t wanted = nextCharacter_ > 0 ? Cp1252ToUnicode(static_cast<unsigned char>(nextCharacter_)) : 0;
    if (next_.empty() && wanted >= 0x20 && wanted != 0x7F)
        fingerText_ =
            QStringLiteral("Aucune touche de cette disposition ne tape « %1 »").arg(QString::fromUcs4(&wanted, 1));
    setAccessibleDescription(fingerText_);
}

OnscreenKeyboard::Light OnscreenKeyboard::LightOf(int place) const {
    if (!ValidPlace(place)) return Light::None;
    place = Owner(place);
    if (flashing_ && place == wrongPlace_) return Light::Wrong;
    const int step = step_[std::size_t(place)];
    return step == 0 ? Light::None : step == 1 ? Light::Now : Light::Then;
}

int OnscreenKeyboard::StepOf(int place) const { return ValidPlace(place) ? step_[std::size_t(Owner(place))] : 0; }

std::vector<int> OnscreenKeyboard::LitPlaces() const {
    std::vector<int> places;
    for (std::size_t place = 0; place < step_.size(); ++place)
        if (step_[place] != 0) places.push_back(int(place));
    return places;
}

bool OnscreenKeyboard::Locked(int place) const { return ValidPlace(place) && locked_[std::size_t(Owner(place))]; }

QSize OnscreenKeyboard::sizeHint() const { return {600, int(40 * (kKeyboardRows + kHintRows))}; }
QSize OnscreenKeyboard::minimumSizeHint() const { return {420, int(28 * (kKeyboardRows + kHintRows))}; }

keyboard_drawing::Frame OnscreenKeyboard::Fitted() const { return {QSizeF(size()), kHintRows}; }
double OnscreenKeyboard::Unit() const { return Fitted().Unit; }
QPointF OnscreenKeyboard::Origin() const { return Fitted().Origin; }
QRectF OnscreenKeyboard::KeyRect(int place) const { return Fitted().KeyRect(place); }

void OnscreenKeyboard::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double u = Unit();
    for (std::size_t place = 0; place < PhysicalKeys().size(); ++place)
        if (int(place) != LowerEnterPlace()) PaintKey(painter, int(place));

    // The order of the steps, on the keys themselves, when there are several.
    if (next_.size() > 1) {
        const QFont digit = window_style::PixelFont("Arial", std::max(8, int(u * 0.24)), true);
        painter.setFont(digit);
        const double radius = std::max(6.0, u * 0.17);
        for (std::size_t place = 0; place < step_.size(); ++place) {
            if (step_[place] == 0) continue;
            const QRectF rect = KeyRect(int(place));
            const QPointF centre(rect.right() - radius * 0.6, rect.top() + radius * 0.6);
            const QRectF badge(centre - QPointF(radius, radius), QSizeF(2 * radius, 2 * radius));
            painter.setPen(QPen(Qt::white, 1.5));
            painter.setBrush(step_[place] == 1 ? window_style::kNavy : QColor(110, 110, 170));
            painter.drawEllipse(badge);
            painter.setPen(Qt::white);
            painter.drawText(badge, Qt::AlignCenter, QString::number(step_[place]));
        }
    }

    const QRectF hint(Origin() + QPointF(0, kKeyboardRows * u), QSizeF(kKeyboardColumns * u, kHintRows * u));
    painter.setFont(window_style::PixelFont("Arial", std::max(11, int(u * 0.32)), true));
    painter.setPen(flashing_ ? window_style::kErrorRed : window_style::kNavy);
    const QString text =
        flashing_ && wrongPlace_ < 0 && fingerText_.isEmpty() ? QStringLiteral("Mauvaise touche") : fingerText_;
    painter.drawText(hint, Qt::AlignCenter, painter.fontMetrics().elidedText(text, Qt::ElideRight, int(hint.width())));
}

void OnscreenKeyboard::PaintKey(QPainter& painter, int place) {
    const double u = Unit();
    const PhysicalKey& key = PhysicalKeys()[std::size_t(place)];
    const QRectF rect = KeyRect(place);
    const QPainterPath shape = Fitted().KeyShape(place);

    const Light light = LightOf(place);
    const bool locked = Locked(place) && light == Light::None;
    QColor fill = locked ? kLockedFill : FingerColour(key.Hand);
    QPen border(locked ? kLockedInk : kBorder, 1);
    QColor ink = locked ? kLockedInk : window_style::kNavy;
    switch (light) {
        case Light::Now:
            fill = LitColour(key.Hand);
            border = QPen(window_style::kNavy, std::max(2.0, u * 0.08));
            break;
        case Light::Then: border = QPen(window_style::kNavy, std::max(1.5, u * 0.05), Qt::DashLine); break;
        case Light::Wrong:
            fill = kWrongFill;
            border = QPen(kWrongBorder, std::max(2.0, u * 0.08));
            ink = Qt::white;
            break;
        case Light::None: break;
    }
    painter.setPen(border);
    painter.setBrush(fill);
    painter.drawPath(shape);

    if (key.HomeBump) {
        const QRectF bar(rect.center().x() - u * 0.14, rect.bottom() - u * 0.14, u * 0.28, u * 0.05);
        painter.setPen(Qt::NoPen);
        painter.setBrush(ink);
        painter.drawRoundedRect(bar, bar.height() / 2, bar.height() / 2);
    }
    PaintCaps(painter, place, rect, ink);
}

void OnscreenKeyboard::PaintCaps(QPainter& painter, int place, const QRectF& rect, const QColor& ink) {
    const double u = Unit();
    const PhysicalKey& key = PhysicalKeys()[std::size_t(place)];
    const QRectF inner = rect.adjusted(u * 0.1, u * 0.04, -u * 0.08, -u * 0.06);
    const int largePixels = std::max(9, int(u * 0.36)), smallPixels = std::max(7, int(u * 0.24));
    const int litLevel = level_[std::size_t(place)];
    if (const char* name = keyboard_drawing::FunctionKeyName(key.XkbName)) {
        const bool arrow = std::strcmp(key.XkbName, "BKSP") == 0;
        painter.setFont(
            window_style::PixelFont("Arial", arrow ? largePixels : smallPixels, step_[std::size_t(place)] > 0));
        painter.setPen(ink);
        painter.drawText(inner, Qt::AlignLeft | Qt::AlignVCenter, QString::fromUtf8(name));
        return;
    }
    const keyboard_drawing::Caps engraved = keyboard_drawing::CapsOf(*layout_, place);
    const auto& caps = engraved.Text;
    const auto& dead = engraved.Dead;
    const bool letter = engraved.Letter;
    // The plain and Shift levels in the cap's colour (dead keys in teal), the Alt Gr levels
    // quieter; the level to type now in bold.
    const bool plainInk = ink == window_style::kNavy && step_[std::size_t(place)] == 0;
    auto draw = [&](int level, bool large, Qt::Alignment where) {
        if (caps[level].isEmpty()) return;
        const bool lit = litLevel == level || (letter && level == 1 && litLevel == 0);
        painter.setFont(window_style::PixelFont("Arial", large ? largePixels : smallPixels, lit));
        QColor colour = ink;
        if (plainInk && dead[level])
            colour = window_style::kTeal;
        else if (plainInk && level >= 2 && !lit)
            colour = kSecondInk;
        painter.setPen(colour);
        painter.drawText(inner, where, caps[level]);
    };
    if (letter) {
        draw(1, true, Qt::AlignLeft | Qt::AlignVCenter);
    } else {
        draw(1, false, Qt::AlignLeft | Qt::AlignTop);
        draw(0, true, Qt::AlignLeft | Qt::AlignBottom);
    }
    draw(2, false, Qt::AlignRight | Qt::AlignBottom);
    // Shift+Alt Gr only when it is the level to type: four characters crowd a key cap.
    if (litLevel == 3) draw(3, false, Qt::AlignRight | Qt::AlignTop);
}
