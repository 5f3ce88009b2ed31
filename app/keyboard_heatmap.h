// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The active layout's keyboard drawn key by key, each tracked key coloured by its figure
// of the key report (the pairs ending on it, or leaving it for Shift, AltGr and the dead
// key), with a legend in milliseconds. Clicking a tracked key chooses it.
#pragma once

#include <QRectF>
#include <QWidget>

#include <memory>

#include "app/keyboard_drawing.h"
#include "keyboard/layout.h"
#include "stats/key_report.h"

// "Touche « Maj » : 130 ms en moyenne sur 12 frappes, de cette touche à la suivante (...)", or
// "... : aucune mesure pour l'instant": a key's figures in words, without a final stop.
QString KeyFiguresText(int key, const KeyFigures& figures);

class KeyboardHeatmap : public QWidget {
    Q_OBJECT
public:
    explicit KeyboardHeatmap(QWidget* parent = nullptr);

    // The figures drawn; the caps are read again from the active layout, which the
    // report's keys follow.
    void SetReport(const KeyReport& report);
    void SetChosenKey(int key);
    int ChosenKey() const { return chosen_; }

    // The tracked key (1..51) under a point, 0 when none.
    int KeyAt(QPointF point) const;
    // Where a tracked key is drawn (its first place: the left Shift, the left Alt).
    QRectF KeyRect(int key) const;
    // The caps drawn on a tracked key: "B" for a letter, the Shift character and the plain
    // one for another ("1 &"), the name of a key that types nothing ("Maj").
    QString CapsText(int key) const;
    // Fill colour of a tracked key as drawn now.
    QColor KeyColour(int key) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void keyChosen(int key);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

private:
    // The keyboard fitted in the present size, the legend below it.
    keyboard_drawing::Frame Fitted() const;
    void PaintLegend(class QPainter& painter, double top);

    KeyReport report_;
    std::shared_ptr<const KeyboardLayout> layout_;
    int chosen_ = 0;
};
