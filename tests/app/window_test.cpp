// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The window's controls, its default and cancel keys, change events and memo lines.
#include "form_fixture.h"

#include <QElapsedTimer>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextDocument>
#include <QTimer>
#include <QTranslator>

#include "app/stats_window.h"
#include "app/toolkit_french.h"
#include "app/window_style.h"

#include "common/cp1252.h"

namespace {
struct Expected {
    const char* name;
    QWidget* widget;
    QWidget* parent;
    QRect geometry;
    const char* caption;  // UTF-8, nullptr when not checked
    const char* hint;     // UTF-8, nullptr for none
};

QString CaptionOf(QWidget* w) {
    if (auto* label = qobject_cast<QLabel*>(w)) return label->text();
    if (auto* box = qobject_cast<QGroupBox*>(w)) return box->title();
    if (auto* button = qobject_cast<QAbstractButton*>(w)) return button->text();
    if (auto* edit = qobject_cast<QLineEdit*>(w)) return edit->text();
    return {};
}
}  // namespace

using Window = FormTest;

TEST_F(Window, EveryControlHasItsPlaceCaptionAndHint) {
    CreateForm();
    TForm1& f = *form_;
    EXPECT_EQ(f.windowTitle(), QString::fromUtf8("Entraînement dactylographique (Version 1.9)"));
    EXPECT_EQ(f.size(), QSize(616, 463));
    EXPECT_EQ(f.minimumSize(), f.maximumSize()) << "fixed size";
    EXPECT_FALSE(f.windowFlags() & Qt::WindowMaximizeButtonHint);
    const std::vector<Expected> table = {
        {"Label1",
         f.Label1,
         &f,
         {8, 56, 480, 15},
         "Texte d'entraînement (vous pouvez saisir un texte ou cliquer sur le bouton en bas à gauche) ",
         nullptr},
        {"Label2",
         f.Label2,
         &f,
         {8, 152, 392, 15},
         "Saisissez le texte ci-dessus (le compteur se déclenchera automatiquement)",
         nullptr},
        {"Label5", f.Label5, &f, {8, 216, 142, 15}, "Statistiques de l'ordinateur", nullptr},
        {"GroupBox5", f.GroupBox5, &f, {232, 0, 153, 49}, "", nullptr},
        {"GroupBox1", f.GroupBox1, &f, {8, 320, 601, 137}, "Informations de l'ordinateur", nullptr},
        {"GroupBox3", f.GroupBox3, f.GroupBox1, {304, 56, 113, 73}, "Nombre de phrases", nullptr},
        {"GroupBox2", f.GroupBox2, f.GroupBox1, {176, 56, 113, 73}, "Options", nullptr},
        {"CheckBox2",
         f.CheckBox2,
         f.GroupBox2,
         {12, 50, 93, 17},
         "Etre interrompu",
         "Si vous ignorez le temps qu'il vous faut pour taper le texte, activez cette case pour que votre vitesse soit "
         "évaluée à une heure précise."},
        {"CheckBox3",
         f.CheckBox3,
         f.GroupBox2,
         {12, 33, 93, 17},
         "Niveau difficile",
         "Régler le niveau de difficulté : l'ordinateur connaît vos points faibles à force de vous voir taper !"},
        {"Button1",
         f.Button1,
         f.GroupBox1,
         {8, 62, 153, 28},
         "Recommencer (Echap)",
         "Cliquez-ici pour vous entraîner à recopier le texte ci-dessus."},
        {"CheckBox1",
         f.CheckBox1,
         f.GroupBox1,
         {188, 72, 73, 17},
         "Son activé",
         "Permet d'activer (ou désactiver) le son émis par l'ordinateur lors d'une faute de frappe."},
        {"SpinEdit1",
         f.SpinEdit1,
         f.GroupBox1,
         {323, 82, 70, 37},
         nullptr,
         "Cliquez-ici pour changer le nombre de phrases inventées par l'ordinateur (999 maximum)."},
        {"GroupBox4", f.GroupBox4, f.GroupBox1, {432, 56, 161, 73}, "Vous désirez être interrompu à", nullptr},
        {"Memo3", f.Memo3, f.GroupBox4, {8, 27, 145, 33}, nullptr, nullptr},
        {"OK",
         f.OK,
         &f,
         {16, 420, 153, 28},
         "Inventer un texte (Entrée)",
         "Cliquez-ici pour que l'ordinateur invente un texte inconnu."},
        {"Edit1",
         f.Edit1,
         &f,
         {16, 336, 585, 21},
         "Chargement en mémoire des informations du dictionnaire...",
         "Informations pratiques de l'ordinateur."},
        {"Memo1",
         f.Memo1,
         &f,
         {8, 72, 601, 65},
         nullptr,
         "Pour diversifier le vocabulaire, vous pouvez modifier le dictionnaire."},
        {"ProgressBar1", f.ProgressBar1, &f, {16, 363, 585, 9}, nullptr, nullptr},
        {"Edit2", f.Edit2, &f, {8, 168, 601, 31}, " ", "Vous devez recopier le texte ci-dessus."},
        {"Memo2", f.Memo2, &f, {8, 232, 601, 73}, nullptr, nullptr},
        {"StaticText1", f.StaticText1, &f, {240, 10, 137, 33}, "00:00:00", nullptr},
    };
    for (const Expected& e : table) {
        SCOPED_TRACE(e.name);
        ASSERT_NE(e.widget, nullptr);
        EXPECT_EQ(e.widget->parentWidget(), e.parent);
        EXPECT_EQ(e.widget->geometry(), e.geometry);
        if (e.caption) {
            EXPECT_EQ(CaptionOf(e.widget), QString::fromUtf8(e.caption));
        }
        EXPECT_EQ(e.widget->toolTip(), e.hint ? QString::fromUtf8(e.hint) : QString());
        if (e.hint) {
            EXPECT_EQ(e.widget->toolTipDuration(), 10000);
        }
    }
    EXPECT_EQ(f.Memo3->toPlainText(), QStringLiteral("00:00:00"));
    EXPECT_FALSE(f.Memo3->isEnabled());
    EXPECT_TRUE(f.CheckBox1->isChecked());
    EXPECT_TRUE(f.CheckBox3->isChecked());
    EXPECT_FALSE(f.CheckBox2->isChecked());
    EXPECT_EQ(f.SpinEdit1->minimum(), 1);
    EXPECT_EQ(f.SpinEdit1->maximum(), 999);
    EXPECT_EQ(f.SpinEdit1->value(), 1);
    EXPECT_TRUE(f.Edit1->isReadOnly());
    EXPECT_TRUE(f.Edit2->isReadOnly());
    // No input method composes for the typing field: dead keys reach it as key presses.
    EXPECT_FALSE(f.Edit2->inputMethodQuery(Qt::ImEnabled).toBool());
    EXPECT_EQ(f.Timer1->interval(), 10);
    EXPECT_TRUE(f.Timer1->isActive());
    EXPECT_EQ(f.Memo1->font().family(), QStringLiteral("Arial"));
    EXPECT_EQ(f.Memo1->font().pixelSize(), 19);
    EXPECT_EQ(f.SpinEdit1->font().pixelSize(), 24);
}

TEST(HintTiming, HintsAppearAfter100Milliseconds) {
    HintTimingStyle style;
    EXPECT_EQ(style.styleHint(QStyle::SH_ToolTip_WakeUpDelay, nullptr, nullptr, nullptr), 100);
}

TEST_F(Window, EnterAndEscapePressTheButtonsAndNeverReachTheFields) {
    ShowAndLoad();
    QSignalSpy ok(form_->OK, &QPushButton::clicked);
    QSignalSpy restart(form_->Button1, &QPushButton::clicked);
    const std::string model = Cp1252ToUtf8(form_->Memo1->Text());

    form_->Edit2->setFocus();
    QTest::keyClick(form_->Edit2, Qt::Key_Escape);
    EXPECT_EQ(restart.count(), 1);
    EXPECT_EQ(form_->Edit2->text(), QStringLiteral(" "));
    QTest::keyClick(form_->Edit2, Qt::Key_Return);
    EXPECT_EQ(ok.count(), 1);
    EXPECT_EQ(form_->Edit2->text(), QStringLiteral(" "));
    EXPECT_EQ(form_->Run().ErrorCount, 0);

    form_->Memo1->setFocus();
    const QString before = form_->Memo1->toPlainText();
    QTest::keyClick(form_->Memo1, Qt::Key_Escape);
    EXPECT_EQ(restart.count(), 2);
    QTest::keyClick(form_->Memo1, Qt::Key_Enter);
    EXPECT_EQ(ok.count(), 2);
    EXPECT_FALSE(form_->Memo1->toPlainText().contains(QLatin1Char('\n')));
    EXPECT_TRUE(form_->isVisible()) << "Escape never closes the window";
}

TEST_F(Window, ChangeEventsFireForProgramChangesButNotForTheSameText) {
    CreateForm();
    QSignalSpy edit2(form_->Edit2, &QLineEdit::textChanged);
    form_->Edit2->SetText(" ");
    EXPECT_EQ(edit2.count(), 0);
    form_->Edit2->SetText(" a");
    EXPECT_EQ(edit2.count(), 1);

    QSignalSpy memo1(form_->Memo1, &QPlainTextEdit::textChanged);
    form_->Memo1->SetText("un texte");
    EXPECT_GE(memo1.count(), 1);
    const int after = int(memo1.count());
    form_->Memo1->SetText("un texte");
    EXPECT_EQ(memo1.count(), after);
    EXPECT_EQ(
        FromQString(form_->Edit1->text()),
        std::string(
            "Vous pouvez vous entraîner sur ce texte de 2 mots, mais votre vitesse ne sera pas significative..."_cp))
        << "the memo's change handler ran";
}

TEST_F(Window, MemoLinesAreTheDisplayLinesWithTheWrappingBlankKept) {
    ShowAndLoad();
    std::string text;
    for (int i = 0; i < 40; ++i) text += "mot" + std::to_string(i) + " ";
    text += "fin\xA0!";
    form_->Memo1->SetText(text);
    const int count = form_->Memo1->LineCount();
    ASSERT_GE(count, 2);
    std::string joined;
    for (int i = 0; i < count; ++i) {
        const std::string& line = form_->Memo1->Line(i);
        if (i + 1 < count) {
            EXPECT_EQ(line.back(), ' ') << "line " << i;
        }
        joined += line;
    }
    EXPECT_EQ(joined, text) << "lines cover the text exactly, the no-break space included";
    EXPECT_EQ(form_->Memo1->Line(count), "");

    form_->Memo1->SetText("un\r\n\r\ndeux\r\n");
    EXPECT_EQ(form_->Memo1->LineCount(), 3) << "the final line break adds no line";
    EXPECT_EQ(form_->Memo1->Line(1), "");
    EXPECT_EQ(form_->Memo1->Text(), "un\r\n\r\ndeux\r\n");
    form_->Memo1->SetText("");
    EXPECT_EQ(form_->Memo1->LineCount(), 0);
}

TEST_F(Window, TheClickThatEntersTheModelKeepsItSelectedAndALaterClickPlacesTheCaret) {
    ShowAndLoad();
    form_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form_.get()));
    form_->Memo1->SetText("un texte assez long pour la souris");
    ASSERT_TRUE(form_->Edit2->hasFocus());
    QWidget* area = form_->Memo1->viewport();
    const QPoint inside(60, 10);
    QTest::mouseClick(area, Qt::LeftButton, Qt::NoModifier, inside);
    ASSERT_TRUE(form_->Memo1->hasFocus());
    EXPECT_EQ(form_->Memo1->textCursor().selectedText(), form_->Memo1->toPlainText()) << "typing replaces it all";
    QTest::mouseClick(area, Qt::LeftButton, Qt::NoModifier, inside);
    EXPECT_FALSE(form_->Memo1->textCursor().hasSelection());
    EXPECT_EQ(form_->Memo1->textCursor().position(), form_->Memo1->cursorForPosition(inside).position());
}

TEST_F(Window, ButtonsUseTheWindowTextColourAndTheOptionsTabInTheirOrder) {
    CreateForm();
    const QColor windowText = QGuiApplication::palette().color(QPalette::WindowText);
    EXPECT_EQ(form_->OK->palette().color(QPalette::ButtonText), windowText);
    EXPECT_EQ(form_->Button1->palette().color(QPalette::ButtonText), windowText);
    EXPECT_EQ(form_->Edit2->nextInFocusChain(), form_->CheckBox2);
    EXPECT_EQ(form_->CheckBox2->nextInFocusChain(), form_->CheckBox3);
}

TEST(VerdictBox, KeysOfItsFirstHalfSecondDoNotDismissIt) {
    QElapsedTimer clock;
    qint64 earlyKeysAt = -1;
    bool openAfterEarlyKeys = false;
    bool closedByLateKey = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        QAbstractButton* ok = box->button(QMessageBox::Ok);
        earlyKeysAt = clock.elapsed();
        // Typing on after the last character: a space, Enter, Escape, the O of "OK".
        QTest::keyClick(ok, Qt::Key_Space);
        QTest::keyClick(ok, Qt::Key_Return);
        QTest::keyClick(ok, Qt::Key_Escape);
        QTest::keyClick(ok, Qt::Key_O);
        openAfterEarlyKeys = box->isVisible();
        QTimer::singleShot(window_style::kMessageBoxKeyDelayMs + 100, box, [&, box, ok] {
            QTest::keyClick(ok, Qt::Key_Space);
            closedByLateKey = !box->isVisible();
            if (!closedByLateKey) box->done(0);
        });
    });
    clock.start();
    window_style::ShowMessageBox(QStringLiteral("Titre"),
                                 QString::fromUtf8("Votre vitesse moyenne est de 40 mots/min"));
    ASSERT_GE(earlyKeysAt, 0) << "the box was shown";
    ASSERT_LT(earlyKeysAt, window_style::kMessageBoxKeyDelayMs) << "the machine was too slow to test this";
    EXPECT_TRUE(openAfterEarlyKeys);
    EXPECT_TRUE(closedByLateKey) << "keys work again after half a second";
}

namespace {

// The widgets of a window that do not lie inside their parent, a scroll area's page apart.
std::vector<std::string> OutsideTheirParent(QWidget* window) {
    std::vector<std::string> outside;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        QWidget* parent = widget->parentWidget();
        if (!widget->isVisibleTo(window) || widget->isWindow() || !parent) continue;
        if (qobject_cast<QScrollArea*>(parent->parentWidget())) continue;  // scrolls by design
        if (!parent->rect().contains(widget->geometry()))
            outside.push_back(widget->metaObject()->className() + (" " + widget->objectName().toStdString()));
    }
    return outside;
}

}  // namespace

// Run by LargeScales below in a process of its own, the scale being read at start.
TEST_F(Window, AtTheScaleGivenEverythingLiesInsideTheScreen) {
    if (!getenv("CLAVELLE_SCALE_CHECK")) GTEST_SKIP() << "run by LargeScales.EverythingLiesInsideTheScreen";
    ShowAndLoad();
    const QRect area = form_->screen()->availableGeometry();
    SCOPED_TRACE("screen " + std::to_string(area.width()) + " x " + std::to_string(area.height()));
    EXPECT_LE(form_->height() + 32, area.height()) << "the main window and its title bar";
    EXPECT_LE(form_->width(), area.width());
    EXPECT_EQ(OutsideTheirParent(form_.get()), std::vector<std::string>());
    // The model box shows two whole lines and the start of the third, as at scale 1.
    const int line = QFontMetrics(form_->Memo1->font()).lineSpacing();
    const double margin = form_->Memo1->document()->documentMargin();
    EXPECT_GE(form_->Memo1->viewport()->height() - margin, 2 * line + line / 2);

    form_->StatsButton->click();
    StatsWindow* stats = form_->Statistics();
    ASSERT_NE(stats, nullptr);
    EXPECT_LE(stats->height() + 32, area.height());
    EXPECT_LE(stats->width(), area.width());
    EXPECT_EQ(OutsideTheirParent(stats), std::vector<std::string>());
}

TEST(LargeScales, EverythingLiesInsideTheScreen) {
    if (getenv("CLAVELLE_SCALE_CHECK")) GTEST_SKIP();
    // The offscreen screen has 800 x 800 pixels: 533 device-independent pixels each way at
    // 1.5, 400 at 2, about the room that a scale of 2 leaves on a 1024 x 768 screen.
    for (const char* scale : {"1.5", "2"}) {
        const std::string command = "CLAVELLE_SCALE_CHECK=1 QT_SCALE_FACTOR=" + std::string(scale) +
                                    " QT_QPA_PLATFORM=offscreen /proc/" + std::to_string(getpid()) +
                                    "/exe --gtest_filter=Window.AtTheScaleGivenEverythingLiesInsideTheScreen "
                                    ">/dev/null 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0) << "at scale " << scale << ": run " << command;
    }
}

// The right-click menus of the model box and the typing field speak French.
TEST_F(Window, TheToolkitsOwnMenusAreInFrench) {
    QTranslator* french = InstallToolkitFrench(*qApp);
    ASSERT_NE(french, nullptr) << "qtbase_fr.qm: scripts/install-deps installs qt6-translations-l10n";
    CreateForm();
    const std::unique_ptr<QMenu> model(form_->Memo1->createStandardContextMenu());
    const std::unique_ptr<QMenu> typing(form_->Edit2->createStandardContextMenu());
    auto texts = [](QMenu* menu) {
        QStringList shown;  // without the shortcut after the tab
        for (const QAction* action : menu->actions())
            shown << action->text().remove(QLatin1Char('&')).section(QLatin1Char('\t'), 0, 0);
        return shown.join(QLatin1Char('|')).toStdString();
    };
    EXPECT_NE(texts(model.get()).find("|Coller|"), std::string::npos) << texts(model.get());
    EXPECT_NE(texts(typing.get()).find("Copier|"), std::string::npos) << texts(typing.get());
    QCoreApplication::removeTranslator(french);
    delete french;
}
