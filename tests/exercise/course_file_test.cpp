// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The course's state file: kept per layout, stored by its keys so that the variants of a
// layout share it whole, former files read, damaged files kept aside.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "common/cp1252.h"
#include "common/io_error.h"
#include "exercise/course_test_support.h"

using course_test::Load;
using course_test::Practise;
using course_test::TempFolder;
using course_test::Type;

namespace {

std::string Learned(const Course& course) {
    std::string learned;
    for (int i = 0; i < int(course.Order().size()); ++i)
        if (course.IsUnlocked(i)) learned += course.Order()[std::size_t(i)].Chars;
    return learned;
}

// The names in the folder that start with the prefix.
int CountStartingWith(const std::string& folder, const std::string& prefix) {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        count += entry.path().filename().string().starts_with(prefix) ? 1 : 0;
    return count;
}

}  // namespace

TEST(CourseFileTest, StateSurvivesARestartPerLayout) {
    EXPECT_EQ(CourseFileName(*LayoutName::Parse("fr")), "cours.txt");
    EXPECT_EQ(CourseFileName(*LayoutName::Parse("fr(bepo)")), "cours-bepo.txt");
    EXPECT_EQ(CourseFileName(*LayoutName::Parse("ch(fr)")), "cours-ch-fr.txt");

    const TempFolder folder;
    const auto bepo = Load("fr(bepo)");
    Course course(*bepo);
    course.SetTarget(52);
    course.UnlockNext();
    course.UnlockNext();
    Practise(course, 333, 45, 6);  // 85 %: the lesson unlocks nothing
    course.Record(uint8_t(course.Order()[7].Chars[0]), 0, false);
    course.EndLesson();
    course.Save(folder.Path);

    Course again(*bepo);
    const CourseLoadResult loaded = again.Load(folder.Path);
    EXPECT_EQ(loaded.State, CourseLoadResult::Status::Read);
    EXPECT_EQ(loaded.Message(), "");
    EXPECT_EQ(again.StateText(), course.StateText());
    EXPECT_NE(again.StateText().find("\napprises=e t a i s n r u o l\n"), std::string::npos);
    EXPECT_EQ(again.Target(), 52);
    EXPECT_EQ(again.UnlockedCount(), kStartLetters + 2);
    EXPECT_EQ(again.Lessons(), 1);
    EXPECT_EQ(again.Figures(3).Samples, kRecentKeystrokes);

    Course azerty(*Load("fr"));  // another layout, another file
    EXPECT_EQ(azerty.Load(folder.Path).State, CourseLoadResult::Status::Missing);
    EXPECT_EQ(azerty.UnlockedCount(), kStartLetters);
    EXPECT_EQ(LessonLevel(again.Order()[0]), "leçon e");
}

TEST(CourseFileTest, FormerFilesUnlockTheKeysTheyCounted) {
    // A file of former versions on classic AZERTY: nine steps of their order, e s l a i r t n u.
    Course course(*Load("fr"));
    EXPECT_EQ(course.ReadStateText("objectif=30\nleçons=12\ndébloquées=9\ntouche=t 250 260*\n"), 0);
    EXPECT_EQ(Learned(course), "fjeaisldrutn");  // the start of today, and what was learned
    EXPECT_EQ(course.Order()[std::size_t(course.NextToUnlock())].Chars, ".");
    EXPECT_EQ(course.Figures(course.StepOf('t')).Samples, 2);
    EXPECT_EQ(course.StateText().find("débloquées"), std::string::npos);
    EXPECT_NE(course.StateText().find("\napprises=f j e a i s l d r u t n\n"), std::string::npos);
}

TEST(CourseFileTest, VariantsOfALayoutReadTheSharedFileWhole) {
    // fr(oss) types œ, fr does not; both keep cours.txt.
    const TempFolder folder;
    const auto oss = Load("fr(oss)");
    const auto fr = Load("fr");
    ASSERT_EQ(CourseFileName(oss->Name()), CourseFileName(fr->Name()));
    Course course(*oss);
    while (course.UnlockNext()) {}
    const int ligature = course.StepOf(0x9C);
    ASSERT_GE(ligature, 0);
    ASSERT_LT(Course(*fr).StepOf(0x9C), 0);
    Type(course, ligature, 400, 5, 1);
    course.CutLesson();
    course.Save(folder.Path);

    Course classic(*fr);
    EXPECT_EQ(classic.Load(folder.Path).State, CourseLoadResult::Status::Read);
    EXPECT_EQ(classic.UnlockedCount(), int(classic.Order().size()));
    classic.Save(folder.Path);
    Course back(*oss);
    EXPECT_EQ(back.Load(folder.Path).State, CourseLoadResult::Status::Read);
    EXPECT_TRUE(back.IsUnlocked(ligature));
    EXPECT_EQ(back.Figures(ligature).Samples, 5);
    EXPECT_EQ(back.StateText(), course.StateText());

    // A course of classic AZERTY unlocks nothing more on the variant.
    Course few(*fr);
    few.UnlockNext();
    few.Save(folder.Path);
    Course variant(*oss);
    variant.Load(folder.Path);
    EXPECT_EQ(Learned(variant), Learned(few));
}

TEST(CourseFileTest, DamagedStateIsReadAsFarAsItIsValid) {
    const auto azerty = Load("fr");
    struct Case {
        std::string_view Text;
        int Skipped;
    };
    const Case cases[] = {
        {"objectif=500\r\nleçons=7\ndébloquées=999\n", 0},
        {"objectif=-4\nobjectif=3,5\nleçons=99999999999999\ndébloquées=\nrien\n=\n", 6},
        {"touche=e 200 300* abc 400\ntouche=\xff 100\ntouche=e\ntouche=\xe2\x82\n", 3},
        {"touche=e 70000\ntouche=s 250 250\ntouche=", 2},
        {std::string_view("d\0b\0\xc3\xa9=\n\n\n#\x01", 11), 1},
        {"apprises=i r \x01\nprécédente=20\nprécédente=20 101\nprécédente=-1 50\nprécédente=21 93.5\n", 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Cp1252ToUtf8(c.Text));
        Course course(*azerty);
        EXPECT_EQ(course.ReadStateText(c.Text), c.Skipped);
        EXPECT_GE(course.Target(), kMinTargetWpm);
        EXPECT_LE(course.Target(), kMaxTargetWpm);
        EXPECT_GE(course.UnlockedCount(), kStartLetters);
        Course again(*azerty);  // what was read is written back the same
        EXPECT_EQ(again.ReadStateText(course.StateText()), 0);
        EXPECT_EQ(again.StateText(), course.StateText());
    }
    Course course(*azerty);
    course.ReadStateText(cases[0].Text);
    EXPECT_EQ(course.Target(), kMaxTargetWpm);
    EXPECT_EQ(course.UnlockedCount(), int(course.Order().size()));
    course.ReadStateText(cases[2].Text);
    EXPECT_EQ(course.Figures(course.StepOf('e')).Samples, 0);  // the last "touche=e" line wins
    course.ReadStateText(cases[3].Text);
    EXPECT_EQ(course.Figures(course.StepOf('s')).Samples, 2);
    course.ReadStateText(cases[5].Text);
    EXPECT_TRUE(course.IsUnlocked(course.StepOf('r')));  // the words before the bad one
    EXPECT_NE(course.StateText().find("\nprécédente=21 93.5\n"), std::string::npos);
}

TEST(CourseFileTest, FileKeptByTheRecordsRules) {
    const TempFolder folder;
    const std::string path = folder.Path + "/cours.txt";
    const auto azerty = Load("fr");
    // What a save cut short left is removed.
    test_support::WriteBytes(path + ".tmp-a1B2c3", "leçons=");
    Course course(*azerty);
    EXPECT_EQ(course.Load(folder.Path).State, CourseLoadResult::Status::Missing);
    EXPECT_EQ(CountStartingWith(folder.Path, "cours.txt.tmp-"), 0);

    // A file partly read is copied aside before anything replaces it.
    const std::string damaged = "objectif=40\nobjectif=quarante\n";
    test_support::WriteBytes(path, damaged);
    CourseLoadResult result = course.Load(folder.Path);
    EXPECT_EQ(result.State, CourseLoadResult::Status::PartlyRead);
    EXPECT_EQ(course.Target(), 40);
    EXPECT_EQ(test_support::ReadBytes(result.Aside), damaged);
    EXPECT_NE(result.Aside.find("/cours.txt.endommagé-"), std::string::npos);
    EXPECT_NE(result.Message().find(result.Aside), std::string::npos);
    course.Save(folder.Path);
    EXPECT_EQ(course.Load(folder.Path).State, CourseLoadResult::Status::Read);
    std::filesystem::remove(result.Aside);

    // Larger than any course: said so, set aside whole, and a new course saved.
    const std::string big(std::size_t(1 << 20) + 1, '#');
    test_support::WriteBytes(path, big);
    result = course.Load(folder.Path);
    EXPECT_EQ(result.State, CourseLoadResult::Status::TooBig);
    EXPECT_NE(result.Message().find("trop gros"), std::string::npos);
    EXPECT_EQ(result.Message().find("E/S"), std::string::npos);
    EXPECT_EQ(std::filesystem::file_size(result.Aside), big.size());
    EXPECT_EQ(course.Target(), kDefaultTargetWpm);
    course.Save(folder.Path);
    EXPECT_EQ(course.Load(folder.Path).State, CourseLoadResult::Status::Read);
    std::filesystem::remove(result.Aside);

    // Something that cannot be read stands there, even behind a link: never replaced.
    std::filesystem::remove(path);
    ASSERT_EQ(::mkfifo((folder.Path + "/tube").c_str(), 0600), 0);
    ASSERT_EQ(::symlink("tube", path.c_str()), 0);
    result = course.Load(folder.Path);
    EXPECT_EQ(result.State, CourseLoadResult::Status::Unreadable);
    EXPECT_NE(result.Message().find(path), std::string::npos);
    EXPECT_THROW(course.Save(folder.Path), IoError);
    struct stat info {};
    EXPECT_TRUE(::stat((folder.Path + "/tube").c_str(), &info) == 0 && S_ISFIFO(info.st_mode));
    std::filesystem::remove(path);
    ASSERT_EQ(::mkdir(path.c_str(), 0700), 0);
    EXPECT_EQ(course.Load(folder.Path).State, CourseLoadResult::Status::Unreadable);
    EXPECT_THROW(course.Save(folder.Path), IoError);
}
