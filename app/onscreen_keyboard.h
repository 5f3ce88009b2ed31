// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The "clavier visuel": the keyboard of a layout drawn key by key, coloured by the finger
// that strikes each key in touch typing, lighting the keys that type the next character
// (with the Shift of the other hand, Alt Gr, Caps Lock, and a dead key before its
// letter), flashing a wrong key in red for a moment, and dimming the keys not yet learned.
#pragma once

#include <QRectF>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <string_view>
#include <vector>

#include "app/keyboard_drawing.h"
#include "keyboard/layout.h"

class OnscreenKeyboard : public QWidget {
    Q_OBJECT
public:
    // How a key is lit: the key to press now (with its modifiers), the one to press after
    // it (the letter after a dead key), or the wrong key just struck.
    enum class Light : uint8_t { None, Now, Then, Wrong };
    static constexpr int kFlashMs = 300;

    explicit OnscreenKeyboard(QWidget* parent = nullptr);

    // The layout drawn; the active layout until one is set (a null one keeps the present).
    // The lit character and the unlocked characters are looked up again in the new layout.
    void SetLayout(std::shared_ptr<const KeyboardLayout> layout);
    const KeyboardLayout& Layout() const { return *layout_; }

    // The keystrokes of the next character, in order (a dead key first); empty lights
    // nothing.
    void ShowNext(const std::vector<Keystroke>& strokes);
    // The next character (Windows-1252) by the layout's keystrokes; nothing is lit for 0
    // or a character the layout cannot type.
    void ShowNextCharacter(unsigned char ch);
    // The keys where the fingers rest (the home row's four keys of each hand and the space
    // bar), all lit, until the next character is shown.
    void ShowResting();
    // The places of those keys.
    static std::vector<int> RestingPlaces();
    // A wrong key was struck at this place (KeyboardLayout::PlaceOfKeycode of the event's
    // scan code; -1 when unknown): it is drawn red for kFlashMs, the right keys stay lit.
    // Without a place the hint under the keyboard turns red instead.
    void FlashWrong(int place);

    // Locked keys, one flag per place of PhysicalKeys() (missing places are unlocked).
    void SetLocked(std::vector<bool> lockedPlaces);
    // Locks every key that types a character or is a modifier, except the keys (and
    // modifiers) that type the given characters (Windows-1252).
    void SetUnlockedCharacters(std::string_view cp1252);
    // Nothing locked.
    void UnlockAll();

    // What is drawn now, for tests and for the windows that hold it.
    Light LightOf(int place) const;
    // The step (1, 2...) at which a lit key is pressed, 0 when it is not lit.
    int StepOf(int place) const;
    std::vector<int> LitPlaces() const;  // lit for the next character, in place order
    int FlashingPlace() const { return flashing_ ? wrongPlace_ : -1; }
    bool Flashing() const { return flashing_; }
    bool Locked(int place) const;
    // The hint under the keyboard: the finger of each key to press ("Index gauche").
    QString FingerText() const { return fingerText_; }
    // Where a place is drawn (the Enter key as its upper part's rectangle).
    QRectF KeyRect(int place) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    keyboard_drawing::Frame Fitted() const;
    double Unit() const;
    QPointF Origin() const;
    void Relight();
    void PaintKey(class QPainter& painter, int place);
    void PaintCaps(QPainter& painter, int place, const QRectF& rect, const QColor& ink);

    std::shared_ptr<const KeyboardLayout> layout_;
    std::vector<Keystroke> next_;
    int nextCharacter_ = -1;  // the character shown by ShowNextCharacter, -1 for strokes given
    bool resting_ = false;    // the resting keys are lit
    std::vector<int> step_;   // per place: 0, or the step at which it is pressed
    std::vector<int> level_;  // per place: the level its keystroke types, -1 for none
    std::vector<bool> locked_;
    std::string unlockedCharacters_;
    bool lockedByCharacters_ = false;
    QString fingerText_;
    int wrongPlace_ = -1;
    bool flashing_ = false;
    QTimer flashTimer_;
};
