// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's controls: their captions, places and sizes in pixels, fonts, colours,
// hints and tab order.
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cmath>

#include "app/form1.h"
#include "app/window_style.h"

using namespace window_style;

namespace {

constexpr int kClientWidth = 616;
constexpr int kClientHeight = 463;
// Room left for the window manager's title bar and borders, and for the side borders, in
// device-independent pixels.
constexpr int kFrameAllowance = 32;
constexpr int kSideAllowance = 8;

// The factor by which places and fonts shrink so that the window fits the screen: 1 where
// it fits as the control table gives it; less at a large scale (QT_SCALE_FACTOR 2 on a
// 768-pixel screen leaves 384 device-independent pixels) or on a small screen.
double ZoomToFit() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return 1.0;
    const QRect area = screen->availableGeometry();
    const double zoom = std::min({1.0, double(area.height() - kFrameAllowance) / kClientHeight,
                                  double(area.width() - kSideAllowance) / kClientWidth});
    return std::max(zoom, 0.5);
}

// Places and font heights of the control table, shrunk by the zoom. Edges are rounded, so
// that controls that touch at full size still touch; fonts round down, so that a caption
// never outgrows its control.
struct Zoomed {
    double Zoom;
    int Pixels(int value) const { return int(std::lround(value * Zoom)); }
    void Place(QWidget* widget, int left, int top, int width, int height) const {
        const int x = Pixels(left), y = Pixels(top);
        widget->setGeometry(x, y, Pixels(left + width) - x, Pixels(top + height) - y);
    }
    QFont Font(const char* family, int pixels) const {
        return PixelFont(family, std::max(7, int(std::floor(pixels * Zoom + 0.01))));
    }
};

}  // namespace

void TForm1::BuildControls() {
    SubstituteWindowFonts();
    setWindowTitle(QString::fromUtf8(kWindowTitle));
    const Zoomed zoomed{ZoomToFit()};
    auto place = [&zoomed](QWidget* widget, int left, int top, int width, int height) {
        zoomed.Place(widget, left, top, width, height);
    };
    auto zoomedFont = [&zoomed](const char* family, int pixels) { return zoomed.Font(family, pixels); };
    setFixedSize(zoomed.Pixels(kClientWidth), zoomed.Pixels(kClientHeight));
    QFont base = zoomedFont("MS Sans Serif", 11);
    setFont(base);
    SetColours(this, kNavy);

    const QFont times13 = zoomedFont("Times New Roman", 13);
    const QFont sans11 = zoomedFont("MS Sans Serif", 11);

    Label1 =
        new QLabel(QString::fromUtf8(
                       "Texte d'entraînement (vous pouvez saisir un texte ou cliquer sur le bouton en bas à gauche) "),
                   this);
    place(Label1, 8, 56, 480, 15);
    Label1->setFont(times13);
    SetColours(Label1, Qt::black);

    Label2 = new QLabel(QString::fromUtf8("Saisissez le texte ci-dessus (le compteur se déclenchera automatiquement)"),
                        this);
    place(Label2, 8, 152, 392, 15);
    Label2->setFont(times13);
    SetColours(Label2, Qt::black);

    Label5 = new QLabel(QString::fromUtf8("Statistiques de l'ordinateur"), this);
    place(Label5, 8, 216, 142, 15);
    Label5->setFont(times13);
    SetColours(Label5, Qt::black);

    GroupBox5 = new QGroupBox(this);
    place(GroupBox5, 232, 0, 153, 49);

    GroupBox1 = new QGroupBox(QString::fromUtf8("Informations de l'ordinateur"), this);
    place(GroupBox1, 8, 320, 601, 137);
    GroupBox1->setFont(sans11);
    SetColours(GroupBox1, Qt::black);
    {
        QPalette palette = GroupBox1->palette();
        palette.setColor(QPalette::Window, kInactiveBorder);
        GroupBox1->setPalette(palette);
        GroupBox1->setAutoFillBackground(true);
    }

    GroupBox3 = new QGroupBox(QString::fromUtf8("Nombre de phrases"), GroupBox1);
    place(GroupBox3, 304, 56, 113, 73);
    GroupBox3->setFont(sans11);
    SetColours(GroupBox3, Qt::black);

    GroupBox2 = new QGroupBox(QString::fromUtf8("Options"), GroupBox1);
    place(GroupBox2, 176, 56, 113, 73);
    GroupBox2->setFont(sans11);
    SetColours(GroupBox2, Qt::black);

    CheckBox2 = new QCheckBox(QString::fromUtf8("Etre interrompu"), GroupBox2);
    place(CheckBox2, 12, 50, 93, 17);
    CheckBox2->setFont(sans11);
    SetColours(CheckBox2, Qt::black);
    Hint(CheckBox2,
         "Si vous ignorez le temps qu'il vous faut pour taper le texte, activez cette case pour que votre vitesse soit "
         "évaluée à une heure précise.");

    CheckBox3 = new QCheckBox(QString::fromUtf8("Niveau difficile"), GroupBox2);
    place(CheckBox3, 12, 33, 93, 17);
    CheckBox3->setFont(sans11);
    SetColours(CheckBox3, Qt::black);
    CheckBox3->setChecked(true);
    Hint(CheckBox3,
         "Régler le niveau de difficulté : l'ordinateur connaît vos points faibles à force de vous voir taper !");

    Button1 = new QPushButton(QString::fromUtf8("Recommencer (Echap)"), GroupBox1);
    place(Button1, 8, 62, 153, 28);
    Button1->setFont(times13);
    SetColours(Button1, QGuiApplication::palette().color(QPalette::WindowText));
    Button1->setFocusPolicy(Qt::NoFocus);
    Button1->setAutoDefault(false);
    Hint(Button1, "Cliquez-ici pour vous entraîner à recopier le texte ci-dessus.");

    CheckBox1 = new QCheckBox(QString::fromUtf8("Son activé"), GroupBox1);
    place(CheckBox1, 188, 72, 73, 17);
    CheckBox1->setFont(sans11);
    SetColours(CheckBox1, Qt::black);
    CheckBox1->setChecked(true);
    CheckBox1->raise();  // drawn over the frame of the options box
    Hint(CheckBox1, "Permet d'activer (ou désactiver) le son émis par l'ordinateur lors d'une faute de frappe.");

    SpinEdit1 = new ClickSpinBox(GroupBox1);
    place(SpinEdit1, 323, 82, 70, 37);
    SpinEdit1->setFont(zoomedFont("Times New Roman", 24));
    {
        QColor white(Qt::white);
        SetColours(SpinEdit1, kNavy, &white);
    }
    SpinEdit1->setRange(1, 999);
    SpinEdit1->setValue(1);
    Hint(SpinEdit1, "Cliquez-ici pour changer le nombre de phrases inventées par l'ordinateur (999 maximum).");

    GroupBox4 = new QGroupBox(QString::fromUtf8("Vous désirez être interrompu à"), GroupBox1);
    place(GroupBox4, 432, 56, 161, 73);
    GroupBox4->setFont(sans11);
    SetColours(GroupBox4, Qt::black);

    Memo3 = new CentredMemo(GroupBox4);
    place(Memo3, 8, 27, 145, 33);
    Memo3->setFont(zoomedFont("MS Sans Serif", 24));
    SetColours(Memo3, Qt::red);
    Memo3->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo3->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo3->document()->setDocumentMargin(1);
    Memo3->setEnabled(false);

    OK = new QPushButton(QString::fromUtf8("Inventer un texte (Entrée)"), this);
    place(OK, 16, 420, 153, 28);
    OK->setFont(times13);
    SetColours(OK, QGuiApplication::palette().color(QPalette::WindowText));
    OK->setFocusPolicy(Qt::NoFocus);
    OK->setAutoDefault(false);
    OK->setDefault(true);
    Hint(OK, "Cliquez-ici pour que l'ordinateur invente un texte inconnu.");

    Edit1 = new QLineEdit(this);
    place(Edit1, 16, 336, 585, 21);
    Edit1->setFont(sans11);
    SetColours(Edit1, Qt::black);
    Edit1->setReadOnly(true);
    Edit1->setFocusPolicy(Qt::ClickFocus);
    Hint(Edit1, "Informations pratiques de l'ordinateur.");

    Memo1 = new MemoEdit(this);
    place(Memo1, 8, 72, 601, 65);
    Memo1->setFont(zoomedFont("Arial", 19));
    SetColours(Memo1, kNavy, &kPaleYellow);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    Memo1->setTabChangesFocus(true);
    Memo1->setCenterOnScroll(true);  // lets the last lines, too, scroll to the top
    Hint(Memo1, "Pour diversifier le vocabulaire, vous pouvez modifier le dictionnaire.");

    ProgressBar1 = new QProgressBar(this);
    place(ProgressBar1, 16, 363, 585, 9);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);

    Edit2 = new TypingEdit(this);
    place(Edit2, 8, 168, 601, 31);
    Edit2->setFont(zoomedFont("Arial", 19));
    SetColours(Edit2, kTeal, &kPaleYellow);
    Edit2->setText(QStringLiteral("Edit2"));
    Hint(Edit2, "Vous devez recopier le texte ci-dessus.");

    Memo2 = new MemoEdit(this);
    place(Memo2, 8, 232, 601, 73);
    Memo2->setFont(zoomedFont("Times New Roman", 16));
    {
        QPalette palette = Memo2->palette();
        palette.setColor(QPalette::Base, kNavy);
        palette.setColor(QPalette::Text, Qt::white);
        Memo2->setPalette(palette);
    }
    Memo2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo2->setTabChangesFocus(true);

    StaticText1 = new QLabel(QStringLiteral("00:00:00"), this);
    place(StaticText1, 240, 10, 137, 33);
    StaticText1->setFont(zoomedFont("MS Sans Serif", 24));
    StaticText1->setAlignment(Qt::AlignCenter);
    StaticText1->setFrameStyle(QFrame::Box | QFrame::Plain);
    StaticText1->setAutoFillBackground(true);
    {
        QPalette palette = StaticText1->palette();
        palette.setColor(QPalette::Window, Qt::white);
        palette.setColor(QPalette::WindowText, Qt::black);
        StaticText1->setPalette(palette);
    }

    // The check boxes are as narrow as their captions: keep the gap after the box small.
    for (QCheckBox* box : {CheckBox1, CheckBox2, CheckBox3}) {
        box->setStyleSheet(QStringLiteral("QCheckBox { spacing: 3px; }"));
        // The box drawn by the style does not shrink with the zoom: the caption takes the
        // room it needs, as far as the frame around it.
        if (zoomed.Zoom < 1.0)
            box->resize(std::min(box->sizeHint().width(), box->parentWidget()->width() - box->x() - 2), box->height());
    }

    Timer1 = new QTimer(this);
    Timer1->setInterval(10);
    Timer1->setTimerType(Qt::PreciseTimer);

    // Tab order of the window: the memo, the typing field, then the options.
    setTabOrder(Memo1, Edit2);
    setTabOrder(Edit2, CheckBox2);
    setTabOrder(CheckBox2, CheckBox3);
    setTabOrder(CheckBox3, CheckBox1);
    setTabOrder(CheckBox1, SpinEdit1);
    setTabOrder(SpinEdit1, Memo3);
    setTabOrder(Memo3, Memo2);

    // The buttons to the other windows: none takes the focus, so a click leaves the typing
    // field as it is.
    auto windowButton = [&](const char* caption, int x, int y, int w, int h, const char* hint) {
        auto* button = new QPushButton(QString::fromUtf8(caption), this);
        place(button, x, y, w, h);
        button->setFont(times13);
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoDefault(false);
        Hint(button, hint);
        return button;
    };
    // The way to the detailed statistics, in the free space right of the clock.
    StatsButton =
        windowButton("Statistiques détaillées (F2)", 400, 12, 200, 28,
                     "Voir les touches et les paires de touches où vous êtes lent, et vos progrès au fil des séances.");

    // The course and the on-screen keyboard, in the free space left of the clock; neither
    // takes the focus from the typing field.
    CourseButton = windowButton("Apprendre à taper (F3)", 16, 6, 200, 26,
                                "Un cours qui ajoute les touches une à une, avec de vrais mots et de vraies phrases.");
    KeyboardBox = new QCheckBox(QString::fromUtf8("Clavier visuel (F4)"), this);
    place(KeyboardBox, 20, 34, 200, 17);
    KeyboardBox->setFont(sans11);
    KeyboardBox->setFocusPolicy(Qt::NoFocus);
    Hint(KeyboardBox, "Montrer sous la saisie le clavier, la touche à frapper et le doigt qui la frappe.");
    // Your own texts and books, under the statistics button, right of the model's caption.
    TextsButton =
        windowButton("Vos textes (F5)", 492, 43, 108, 24,
                     "S'entraîner sur vos propres textes et livres (EPUB), repris là où vous vous êtes arrêté.");

    // Centred on the screen when shown (the position is the frame's), the title bar inside it.
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        const QPoint corner = area.center() - QPoint(width() / 2, height() / 2);
        move(std::max(corner.x(), area.left()), std::max(corner.y(), area.top()));
    }
}
