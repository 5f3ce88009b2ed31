// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/keyboard_heatmap.h"

#include <QHelpEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "app/keyboard_drawing.h"
#include "app/window_style.h"
#include "keyboard/keys.h"

namespace {

constexpr double kLegendRows = 1.5;  // legend height, in key units
const QColor kUntracked(198, 196, 190);
const QColor kUnmeasured(Qt::white);
const QColor kHatch(170, 170, 170);

QColor SlownessColour(double t) {
    // Green for the fastest keys through yellow to red for the slowest.
    return QColor::fromHsvF(float((1.0 - t) * 120.0 / 360.0), 0.55f, 0.97f);
}

QString Utf8(const char* text) { return QString::fromUtf8(text); }

}  // namespace

QString KeyFiguresText(int key, const KeyFigures& figures) {
    const QString name = QString::fromStdString(KeyName(key));
    if (figures.Samples == 0) return Utf8("Touche « %1 » : aucune mesure pour l'instant").arg(name);
    return Utf8("Touche « %1 » : %2 ms en moyenne sur %3%4")
        .arg(name)
        .arg(figures.MeanMs)
        .arg(window_style::CountText(figures.Samples, "frappe", "frappes"))
        .arg(figures.ByPairsOut ? Utf8(", de cette touche à la suivante (aucune paire ne finit sur elle)") : QString());
}

KeyboardHeatmap::KeyboardHeatmap(QWidget* parent) : QWidget(parent), layout_(ActiveLayoutShared()) {
    setMouseTracking(false);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void KeyboardHeatmap::SetReport(const KeyReport& report) {
    report_ = report;
    layout_ = ActiveLayoutShared();
    update();
}

void KeyboardHeatmap::SetChosenKey(int key) {
    chosen_ = key;
    update();
}

void KeyboardHeatmap::resizeEvent(QResizeEvent* event) {
    // No taller than the keyboard drawn at the present width: the room left goes to the
    // tables below.
    setMaximumHeight(std::max(minimumSizeHint().height(),
                              int(std::ceil(width() * (kKeyboardRows + kLegendRows) / kKeyboardColumns))));
    QWidget::resizeEvent(event);
}

QSize KeyboardHeatmap::sizeHint() const { return {600, int(40 * (kKeyboardRows + kLegendRows))}; }
QSize KeyboardHeatmap::minimumSizeHint() const { return {360, int(24 * (kKeyboardRows + kLegendRows))}; }

keyboard_drawing::Frame KeyboardHeatmap::Fitted() const { return {QSizeF(size()), kLegendRows}; }

int KeyboardHeatmap::KeyAt(QPointF point) const {
    const keyboard_drawing::Frame frame = Fitted();
    for (std::size_t place = 0; place < PhysicalKeys().size(); ++place)
        if (PhysicalKeys()[place].Key() && frame.KeyShape(int(place)).contains(point))
            return PhysicalKeys()[place].Key();
    return 0;
}

QRectF KeyboardHeatmap::KeyRect(int key) const { return Fitted().KeyRect(PhysicalKeyOfKey(key)); }

QString KeyboardHeatmap::CapsText(int key) const {
    const int place = PhysicalKeyOfKey(key);
    if (place < 0) return {};
    if (const char* name = keyboard_drawing::FunctionKeyName(PhysicalKeys()[std::size_t(place)].XkbName))
        return Utf8(name);
    const keyboard_drawing::Caps caps = keyboard_drawing::CapsOf(*layout_, place);
    if (caps.Letter) return caps.Text[1];
    return caps.Text[1].isEmpty() ? caps.Text[0] : caps.Text[1] + QLatin1Char(' ') + caps.Text[0];
}

QColor KeyboardHeatmap::KeyColour(int key) const {
    if (key < 1 || key > kKeyCount) return kUntracked;
    const KeyFigures& figures = report_.Keys[std::size_t(key)];
    if (figures.Samples == 0) return kUnmeasured;
    const int span = report_.ScaleTopMs - report_.FastestMs;
    const double t = span > 0 ? std::min(1.0, double(figures.MeanMs - report_.FastestMs) / span) : 0.5;
    return SlownessColour(t);
}

void KeyboardHeatmap::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const keyboard_drawing::Frame frame = Fitted();
    const double u = frame.Unit;
    const QFont label = window_style::PixelFont("Arial", std::max(9, int(u * 0.34)));
    const QFont small = window_style::PixelFont("Arial", std::max(8, int(u * 0.24)));
    const QFont figure = window_style::PixelFont("Arial", std::max(8, int(u * 0.26)), true);
    for (std::size_t place = 0; place < PhysicalKeys().size(); ++place) {
        if (int(place) == keyboard_drawing::LowerEnterPlace()) continue;  // drawn with the upper part
        const PhysicalKey& physical = PhysicalKeys()[place];
        const int key = physical.Key();
        const QRectF rect = frame.KeyRect(int(place));
        const QPainterPath shape = frame.KeyShape(int(place));
        const bool measured = key != 0 && report_.Keys[std::size_t(key)].Samples > 0;
        const bool chosen = key != 0 && key == chosen_;
        painter.setPen(QPen(chosen ? window_style::kNavy : QColor(110, 110, 110), chosen ? 3 : 1));
        painter.setBrush(KeyColour(key));
        painter.drawPath(shape);
        if (key != 0 && !measured) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(QBrush(kHatch, Qt::BDiagPattern));
            painter.drawPath(shape);
        }
        const QColor ink = key != 0 ? window_style::kNavy : QColor(120, 120, 120);
        const QRectF inner = rect.adjusted(u * 0.1, u * 0.04, -u * 0.08, -u * 0.04);
        painter.setPen(ink);
        // The caps of the layout: a letter once, as its capital; else Shift above the plain
        // character (the Alt Gr levels are left out: the figure takes that corner).
        if (const char* name = keyboard_drawing::FunctionKeyName(physical.XkbName)) {
            painter.setFont(std::strcmp(physical.XkbName, "BKSP") == 0 ? label : small);
            painter.drawText(inner, Qt::AlignLeft | Qt::AlignTop, Utf8(name));
        } else {
            const keyboard_drawing::Caps caps = keyboard_drawing::CapsOf(*layout_, int(place));
            if (caps.Letter) {
                painter.setFont(label);
                painter.drawText(inner, Qt::AlignLeft | Qt::AlignTop, caps.Text[1]);
            } else {
                painter.setFont(small);
                painter.drawText(inner, Qt::AlignLeft | Qt::AlignTop, caps.Text[1]);
                painter.setFont(label);
                painter.drawText(inner, Qt::AlignLeft | Qt::AlignBottom, caps.Text[0]);
            }
        }
        if (measured) {
            const KeyFigures& figures = report_.Keys[std::size_t(key)];
            painter.setFont(figure);
            painter.setPen(Qt::black);
            painter.drawText(inner, Qt::AlignRight | Qt::AlignBottom, QString::number(figures.MeanMs));
            // A key judged by the pairs leaving it (Shift, AltGr, the dead key) shows an arrow.
            if (figures.ByPairsOut) painter.drawText(inner, Qt::AlignRight | Qt::AlignTop, Utf8("→"));
        }
    }
    PaintLegend(painter, frame.Bottom() + u * 0.2);
}

void KeyboardHeatmap::PaintLegend(QPainter& painter, double top) {
    const keyboard_drawing::Frame frame = Fitted();
    const double u = frame.Unit;
    const double left = frame.Origin.x() + u * 0.1;
    const QFont text = window_style::PixelFont("MS Sans Serif", std::max(8, int(u * 0.28)));
    painter.setFont(text);
    const double barHeight = u * 0.32;
    const double textHeight = u * 0.5;
    if (report_.AnySamples) {
        const double barWidth = u * 6;
        QLinearGradient gradient(left, 0, left + barWidth, 0);
        for (int i = 0; i <= 10; ++i) gradient.setColorAt(i / 10.0, SlownessColour(i / 10.0));
        painter.setPen(QPen(QColor(110, 110, 110), 1));
        painter.setBrush(gradient);
        painter.drawRect(QRectF(left, top, barWidth, barHeight));
        painter.setPen(window_style::kNavy);
        const int fast = report_.FastestMs, slow = report_.ScaleTopMs;
        const QRectF below(left, top + barHeight + 1, barWidth, textHeight);
        painter.drawText(below, Qt::AlignLeft | Qt::AlignTop, QStringLiteral("%1 ms (rapide)").arg(fast));
        if (slow != fast) {
            painter.drawText(below, Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("%1 ms").arg((fast + slow) / 2));
            painter.drawText(below, Qt::AlignRight | Qt::AlignTop,
                             QString::fromUtf8(slow < report_.SlowestMs ? "≥ %1 ms (lent)" : "%1 ms (lent)").arg(slow));
        }
    } else {
        painter.setPen(window_style::kNavy);
        painter.drawText(QRectF(left, top, u * 7, textHeight * 2), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap,
                         Utf8("Aucune mesure pour l'instant : tapez un texte pour colorer le clavier."));
    }
    // Swatches for the keys without colour.
    double x = left + u * 7.8;
    auto swatch = [&](const QBrush& fill, bool hatched, const QString& caption) {
        const QRectF box(x, top, barHeight * 1.6, barHeight * 1.6);
        painter.setPen(QPen(QColor(110, 110, 110), 1));
        painter.setBrush(fill);
        painter.drawRect(box);
        if (hatched) {
            painter.setBrush(QBrush(kHatch, Qt::BDiagPattern));
            painter.drawRect(box);
        }
        painter.setPen(window_style::kNavy);
        painter.drawText(QRectF(box.right() + u * 0.15, top, u * 3, box.height()), Qt::AlignLeft | Qt::AlignVCenter,
                         caption);
        x += u * 3.6;
    };
    swatch(kUnmeasured, true, Utf8("sans mesure"));
    swatch(kUntracked, false, Utf8("touche non suivie"));
}

void KeyboardHeatmap::mousePressEvent(QMouseEvent* event) {
    const int key = KeyAt(event->position());
    if (key == 0) return;
    SetChosenKey(key);
    emit keyChosen(key);
}

bool KeyboardHeatmap::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int key = KeyAt(help->pos());
        if (key == 0) {
            QToolTip::hideText();
            event->ignore();
            return true;
        }
        QToolTip::showText(help->globalPos(), KeyFiguresText(key, report_.Keys[std::size_t(key)]), this);
        return true;
    }
    return QWidget::event(event);
}
