// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The course and the main window typing through the one keyboard edge: a dead key and
// Escape, a change of layout in the middle of a lesson.
#include <xkbcommon/xkbcommon-keysyms.h>

#include <xkbcommon/xkbcommon.h>

#include "app/course_window.h"
#include "common/cp1252.h"
#include "form_fixture.h"
#include "keyboard/xkb_layout.h"

namespace {

constexpr uint32_t kKeycodeAD11 = 34;  // AZERTY's dead circumflex

class CourseFlow : public FormTest {
protected:
    // The course opened for the first time: its page on where the hands rest, then, after
    // Enter, the first lesson.
    CourseWindow* OpenCourse() {
        ShowAndLoad();
        form_->ShowCourse();
        CourseWindow* course = form_->Course();
        EXPECT_TRUE(course->ShowingPage());
        EXPECT_NE(course->Model->text().indexOf(QString::fromUtf8("«\u00A0q s d f\u00A0»")), -1);
        course->Key(KeyPress{0, 0, Qt::Key_Return, U"\r"}, 0);
        EXPECT_FALSE(course->ShowingPage());
        return course;
    }
    static void Strike(CourseWindow* course, char32_t ch) {
        const std::u32string text(1, ch);
        course->Key(KeyPress{0, 0, 0, text}, 0);
    }
    static void StrikeDeadCircumflex(const std::function<void(const KeyPress&)>& strike) {
        strike(KeyPress{kKeycodeAD11, XKB_KEY_dead_circumflex, 0, U""});
    }
    std::string CourseFile() const { return homeFolder_ + "/deep/share/Clavelle/cours.txt"; }
};

// Escape after a dead key: the first key of the restarted run or lesson is itself.
TEST_F(CourseFlow, EscapeForgetsADeadKeyInBothWindows) {
    CourseWindow* course = OpenCourse();
    ASSERT_NE(course, nullptr);
    const std::string lesson = course->Session().Text();
    StrikeDeadCircumflex([&](const KeyPress& press) { course->Key(press, 0); });
    course->Key(KeyPress{0, 0, Qt::Key_Escape, U"\x1b"}, 0);
    Strike(course, char32_t(static_cast<unsigned char>(lesson[0])));
    EXPECT_EQ(course->Session().Typed(), 1);

    SetModel("e");
    form_->Edit2->setFocus();
    StrikeDeadCircumflex([&](const KeyPress& press) { form_->Edit2Key(press, 0); });
    form_->Button1Click();
    const std::u32string e = U"e";
    form_->Edit2Key(KeyPress{0, 0, 0, e}, 0);
    EXPECT_EQ(form_->Run().ErrorCount, 0);
    EXPECT_EQ(form_->Run().CorrectCount, 1);
}

// A layout chosen in the middle of a lesson: what was typed stays in the old layout's
// course file, and the course goes on with the new layout's.
TEST_F(CourseFlow, ALessonCutByAChangeOfLayoutKeepsWhatWasTyped) {
    CourseWindow* course = OpenCourse();
    ASSERT_NE(course, nullptr);
    const std::string lesson = course->Session().Text();
    for (std::size_t i = 0; i < 6 && i < lesson.size(); ++i)
        Strike(course, char32_t(static_cast<unsigned char>(lesson[i])));
    ASSERT_EQ(course->Session().Typed(), 6);
    ASSERT_TRUE(form_->Edge().Choose(LayoutName{"fr", "bepo"}));
    EXPECT_NE(ReadBytes(CourseFile()).find("touche="), std::string::npos);
    EXPECT_EQ(course->Session().State().Layout().Text(), "fr(bepo)");
    EXPECT_EQ(course->Session().Typed(), 0);
    form_->Edge().ChooseSystem();
}

// A lesson typed on BÉPO while AZERTY is counted: the course says so at its end, as the
// main window does after a run.
TEST_F(CourseFlow, ALessonTypedOnAnotherLayoutIsSaid) {
    CourseWindow* course = OpenCourse();
    ASSERT_NE(course, nullptr);
    const std::unique_ptr<KeyboardLayout> bepo = LoadXkbLayout(LayoutName{"fr", "bepo"});
    ASSERT_TRUE(bepo);
    const std::string lesson = course->Session().Text();
    for (const char c : lesson) {
        const unsigned char ch = static_cast<unsigned char>(c);
        const std::vector<Keystroke>& strokes = bepo->Strokes(ch == 0xA0 ? ' ' : ch);
        ASSERT_EQ(strokes.size(), 1u) << c;
        const std::u32string text(1, Cp1252ToUnicode(ch));
        course->Key(KeyPress{bepo->KeycodeOfPlace(strokes[0].Place), xkb_utf32_to_keysym(text[0]), 0, text}, 0);
    }
    ASSERT_FALSE(messages_.empty());
    EXPECT_NE(messages_.back().find("semble être Français (BÉPO)"), std::string::npos) << messages_.back();
}

}  // namespace
