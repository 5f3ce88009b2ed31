// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's look, shared by every window of the program: its colours, pixel-sized
// fonts, hints, counts in French and message boxes.
#pragma once

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <string>

namespace window_style {

inline const QColor kNavy(0, 0, 128);
inline const QColor kTeal(0, 128, 128);
inline const QColor kPaleYellow(255, 255, 225);      // the tooltip colour of the model and typing fields
inline const QColor kInactiveBorder(212, 208, 200);  // the information box
inline const QColor kErrorRed(192, 0, 0);            // error rates in the statistics
constexpr int kHintDurationMs = 10000;

// A font whose height is given in pixels, as the window's control table gives them
// (device-independent pixels: it follows QT_SCALE_FACTOR).
QFont PixelFont(const char* family, int pixels, bool bold = false);

// Text colour of a widget (window text, text and button text), and its base colour if given.
void SetColours(QWidget* widget, const QColor& text, const QColor* base = nullptr);

// A hint shown as a tool tip for 10 seconds.
void Hint(QWidget* widget, const char* utf8);

// "MS Sans Serif" is drawn with Arial's metrics (Liberation Sans), which keep every caption
// inside its control.
void SubstituteWindowFonts();

// "1 intervalle mesuré", "2 intervalles mesurés": a count with its words, singular for 0
// and 1 as French has it; thousands grouped the French way (UTF-8 words).
QString CountText(int64_t count, const char* singular, const char* plural);

// The parts that the course and "Vos textes" share under their model: the typing field's
// look; the result of the lesson or passage just typed, hidden until there is one; the
// information line.
void StyleTypingField(QWidget* field);
QLabel* NewResultLabel(QWidget* parent);
QLabel* NewInfoLabel(QWidget* parent);
// Shows a result (UTF-8), one sentence a line, the first (its figures) in bold.
void ShowResultText(QLabel* label, const std::string& utf8);

// A modal box with the text and one OK button, over the active window. It ignores the
// keyboard for its first half-second, so that a key typed on the run's momentum (a space
// after the last character) cannot dismiss it before it is read.
constexpr int kMessageBoxKeyDelayMs = 500;
void ShowMessageBox(const QString& title, const QString& text);

}  // namespace window_style
