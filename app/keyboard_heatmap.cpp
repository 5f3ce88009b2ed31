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

#include "app/window_style.h"
#include "keyboard/keyboard.h"

namespace {

// One key cap of the drawn keyboard, in key units: column, row, width, the virtual-key
// code of the key (0 for a key the keyboard module does not know) and its two engravings
// (shifted above).
struct KeyPlace {
    double X;
    int Row;
    double W;
    uint8_t Vk;
    const char* Top;
    const char* Bottom;

    // The tracked key it stands for, 0 for an untracked key.
    int Key() const { return KeyOfVirtualKey[Vk]; }
};

constexpr KeyPlace kPlaces[] = {
    // Digit row.
    {0, 0, 1, VK_OEM_7, "", "²"},
    {1, 0, 1, '1', "1", "&"},
    {2, 0, 1, '2', "2", "é"},
    {3, 0, 1, '3', "3", "\""},
    {4, 0, 1, '4', "4", "'"},
    {5, 0, 1, '5', "5", "("},
    {6, 0, 1, '6', "6", "-"},
    {7, 0, 1, '7', "7", "è"},
    {8, 0, 1, '8', "8", "_"},
    {9, 0, 1, '9', "9", "ç"},
    {10, 0, 1, '0', "0", "à"},
    {11, 0, 1, VK_OEM_4, "°", ")"},
    {12, 0, 1, VK_OEM_PLUS, "+", "="},
    {13, 0, 2, 0, "", "←"},
    // Top letter row.
    {0, 1, 1.5, 0, "", "Tab"},
    {1.5, 1, 1, 'A', "", "A"},
    {2.5, 1, 1, 'Z', "", "Z"},
    {3.5, 1, 1, 'E', "", "E"},
    {4.5, 1, 1, 'R', "", "R"},
    {5.5, 1, 1, 'T', "", "T"},
    {6.5, 1, 1, 'Y', "", "Y"},
    {7.5, 1, 1, 'U', "", "U"},
    {8.5, 1, 1, 'I', "", "I"},
    {9.5, 1, 1, 'O', "", "O"},
    {10.5, 1, 1, 'P', "", "P"},
    {11.5, 1, 1, VK_OEM_6, "¨", "^"},
    {12.5, 1, 1, VK_OEM_1, "£", "$"},
    {13.5, 1, 1.5, 0, "", "Entrée"},
    // Home row.
    {0, 2, 1.75, 0, "", "Verr. maj"},
    {1.75, 2, 1, 'Q', "", "Q"},
    {2.75, 2, 1, 'S', "", "S"},
    {3.75, 2, 1, 'D', "", "D"},
    {4.75, 2, 1, 'F', "", "F"},
    {5.75, 2, 1, 'G', "", "G"},
    {6.75, 2, 1, 'H', "", "H"},
    {7.75, 2, 1, 'J', "", "J"},
    {8.75, 2, 1, 'K', "", "K"},
    {9.75, 2, 1, 'L', "", "L"},
    {10.75, 2, 1, 'M', "", "M"},
    {11.75, 2, 1, VK_OEM_3, "%", "ù"},
    {12.75, 2, 1, VK_OEM_5, "µ", "*"},
    {13.75, 2, 1.25, 0, "", ""},
    // Bottom letter row.
    {0, 3, 1.25, VK_SHIFT, "", "Maj"},
    {1.25, 3, 1, VK_OEM_102, ">", "<"},
    {2.25, 3, 1, 'W', "", "W"},
    {3.25, 3, 1, 'X', "", "X"},
    {4.25, 3, 1, 'C', "", "C"},
    {5.25, 3, 1, 'V', "", "V"},
    {6.25, 3, 1, 'B', "", "B"},
    {7.25, 3, 1, 'N', "", "N"},
    {8.25, 3, 1, VK_OEM_COMMA, "?", ","},
    {9.25, 3, 1, VK_OEM_PERIOD, ".", ";"},
    {10.25, 3, 1, VK_OEM_2, "/", ":"},
    {11.25, 3, 1, VK_OEM_8, "§", "!"},
    {12.25, 3, 2.75, VK_SHIFT, "", "Maj"},
    // Space row.
    {0, 4, 1.25, 0, "", "Ctrl"},
    {1.25, 4, 1.25, 0, "", ""},
    {2.5, 4, 1.25, VK_MENU, "", "Alt"},
    {3.75, 4, 6.25, VK_SPACE, "", "Espace"},
    {10, 4, 1.25, VK_MENU, "", "Alt Gr"},
    {11.25, 4, 1.25, 0, "", ""},
    {12.5, 4, 1.25, 0, "", ""},
    {13.75, 4, 1.25, 0, "", "Ctrl"},
};
constexpr int kPlaceCount = int(sizeof kPlaces / sizeof kPlaces[0]);
constexpr double kColumns = 15;
constexpr double kRows = 5;
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

KeyboardHeatmap::KeyboardHeatmap(QWidget* parent) : QWidget(parent) {
    setMouseTracking(false);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void KeyboardHeatmap::SetReport(const KeyReport& report) {
    report_ = report;
    update();
}

void KeyboardHeatmap::SetChosenKey(int key) {
    chosen_ = key;
    update();
}

void KeyboardHeatmap::resizeEvent(QResizeEvent* event) {
    // No taller than the keyboard drawn at the present width: the room left goes to the
    // tables below.
    setMaximumHeight(std::max(minimumSizeHint().height(), int(std::ceil(width() * (kRows + kLegendRows) / kColumns))));
    QWidget::resizeEvent(event);
}

QSize KeyboardHeatmap::sizeHint() const { return {600, int(40 * (kRows + kLegendRows))}; }
QSize KeyboardHeatmap::minimumSizeHint() const { return {360, int(24 * (kRows + kLegendRows))}; }

double KeyboardHeatmap::Unit() const { return std::min(width() / kColumns, height() / (kRows + kLegendRows)); }

QPointF KeyboardHeatmap::Origin() const {
    const double u = Unit();
    return {(width() - u * kColumns) / 2, (height() - u * (kRows + kLegendRows)) / 2};
}

QRectF KeyboardHeatmap::PlaceRect(int place) const {
    const double u = Unit();
    const KeyPlace& p = kPlaces[place];
    const double gap = u * 0.06;
    return QRectF(Origin() + QPointF(p.X * u + gap, p.Row * u + gap), QSizeF(p.W * u - 2 * gap, u - 2 * gap));
}

int KeyboardHeatmap::KeyAt(QPointF point) const {
    for (int i = 0; i < kPlaceCount; ++i)
        if (kPlaces[i].Key() && PlaceRect(i).contains(point)) return kPlaces[i].Key();
    return 0;
}

QRectF KeyboardHeatmap::KeyRect(int key) const {
    for (int i = 0; i < kPlaceCount; ++i)
        if (kPlaces[i].Key() == key) return PlaceRect(i);
    return {};
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
    const double u = Unit();
    const QFont label = window_style::PixelFont("Arial", std::max(9, int(u * 0.34)));
    const QFont small = window_style::PixelFont("Arial", std::max(8, int(u * 0.24)));
    const QFont figure = window_style::PixelFont("Arial", std::max(8, int(u * 0.26)), true);
    for (int i = 0; i < kPlaceCount; ++i) {
        const KeyPlace& p = kPlaces[i];
        const QRectF rect = PlaceRect(i);
        const bool tracked = p.Key() != 0;
        const bool measured = tracked && report_.Keys[std::size_t(p.Key())].Samples > 0;
        const bool chosen = tracked && p.Key() == chosen_;
        painter.setPen(QPen(chosen ? window_style::kNavy : QColor(110, 110, 110), chosen ? 3 : 1));
        painter.setBrush(KeyColour(p.Key()));
        painter.drawRoundedRect(rect, u * 0.1, u * 0.1);
        if (tracked && !measured) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(QBrush(kHatch, Qt::BDiagPattern));
            painter.drawRoundedRect(rect.adjusted(1, 1, -1, -1), u * 0.1, u * 0.1);
        }
        const QColor ink = tracked ? window_style::kNavy : QColor(120, 120, 120);
        const QRectF inner = rect.adjusted(u * 0.1, u * 0.04, -u * 0.08, -u * 0.04);
        painter.setPen(ink);
        if (*p.Top) {
            painter.setFont(small);
            painter.drawText(inner, Qt::AlignLeft | Qt::AlignTop, Utf8(p.Top));
        }
        painter.setFont(p.W > 1.2 ? small : label);
        painter.drawText(inner, Qt::AlignLeft | (*p.Top ? Qt::AlignBottom : Qt::AlignTop), Utf8(p.Bottom));
        if (measured) {
            const KeyFigures& figures = report_.Keys[std::size_t(p.Key())];
            painter.setFont(figure);
            painter.setPen(Qt::black);
            painter.drawText(inner, Qt::AlignRight | Qt::AlignBottom, QString::number(figures.MeanMs));
            // A key judged by the pairs leaving it (Shift, AltGr, the dead key) shows an arrow.
            if (figures.ByPairsOut) painter.drawText(inner, Qt::AlignRight | Qt::AlignTop, Utf8("→"));
        }
    }
    PaintLegend(painter, Origin().y() + kRows * u + u * 0.2);
}

void KeyboardHeatmap::PaintLegend(QPainter& painter, double top) {
    const double u = Unit();
    const double left = Origin().x() + u * 0.1;
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
