// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "form_fixture.h"

#include <sys/stat.h>
#include <climits>
#include <cstdlib>
#include <iterator>

#include "common/cp1252.h"
#include "keyboard/layout.h"

namespace {
// One QApplication for the whole test program.
class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "test_app";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<QApplication> app_;
};
[[maybe_unused]] auto* const kQtEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);
}  // namespace

bool FileExists(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0;
}

void WriteSmallLexicon(const std::string& folder) {
    std::string dictionary;
    auto line = [&](const std::string& utf8) { dictionary += Utf8ToCp1252(utf8) + "\r\n"; };
    const char* aimer[] = {"aime",    "aimes",    "aime",    "aimons",   "aimez",  "aiment",   "aimais",  "aimais",
                           "aimait",  "aimions",  "aimiez",  "aimaient", "aimai",  "aimas",    "aima",    "aimâmes",
                           "aimâtes", "aimèrent", "aimerai", "aimeras",  "aimera", "aimerons", "aimerez", "aimeront"};
    const char* codes[] = {"IPre", "IImp", "IPSim", "IFut"};
    const char* persons[] = {"SG+P1", "SG+P2", "SG+P3", "PL+P1", "PL+P2", "PL+P3"};
    for (int t = 0; t < 4; ++t)
        for (int p = 0; p < 6; ++p) line(std::string(aimer[t * 6 + p]) + "\taimer\tVer:" + codes[t] + "+" + persons[p]);
    line("aimerais\taimer\tVer:CPre+SG+P1:CPre+SG+P2");
    line("aimerait\taimer\tVer:CPre+SG+P3");
    line("aimerions\taimer\tVer:CPre+PL+P1");
    line("aimeriez\taimer\tVer:CPre+PL+P2");
    line("aimeraient\taimer\tVer:CPre+PL+P3");
    line("aime\taimer\tVer:ImPre+SG+P1");
    line("aimons\taimer\tVer:ImPre+PL+P1");
    line("aimez\taimer\tVer:ImPre+PL+P2");
    line("aimé\taimer\tVer:PPas+Mas+SG");
    line("maison\tmaison\tNom:Fem+SG");
    line("maisons\tmaison\tNom:Fem+PL");
    line("jardin\tjardin\tNom:Mas+SG");
    line("jardins\tjardin\tNom:Mas+PL");
    line("petit\tpetit\tAdj:Mas+SG");
    line("petite\tpetit\tAdj:Fem+SG");
    line("petits\tpetit\tAdj:Mas+PL");
    line("petites\tpetit\tAdj:Fem+PL");
    WriteBytes(folder + "/dictionnaire.txt", dictionary);
    WriteBytes(folder + "/prénomsf.txt", "Marie\r\nLucie\r\n");
    WriteBytes(folder + "/prénomsg.txt", "Paul\r\n");
}

void FormTest::SetUp() {
    char cwd[PATH_MAX];
    startFolder_ = ::getcwd(cwd, sizeof cwd) ? cwd : "/";
    dataFolder_ = MakeTempFolder("clavelle-data");
    homeFolder_ = MakeTempFolder("clavelle-home");
    setenv("HOME", homeFolder_.c_str(), 1);
    setenv("XDG_DATA_HOME", (homeFolder_ + "/deep/share").c_str(), 1);
    WriteSmallLexicon(dataFolder_);
    // A fixed time of day just after midnight: ticks during a test never see the clock
    // run backwards, whatever the real time is.
    SetClockSource([] { return TimeOfDay{0, 0, 1, 0}; });
}

void FormTest::TearDown() {
    if (form_) form_->close();
    form_.reset();
    SetClockSource({});
    if (::chdir(startFolder_.c_str()) != 0) ADD_FAILURE() << "cannot go back to " << startFolder_;
}

void FormTest::CreateForm() {
    ASSERT_EQ(::chdir(dataFolder_.c_str()), 0);
    FormServices services;
    services.ShowMessage = [this](const std::string& text) { messages_.push_back(text); };
    services.Beep = [this] { ++beeps_; };
    form_ = std::make_unique<TForm1>(services);
}

void FormTest::ShowAndLoad() {
    if (!form_) CreateForm();
    QSignalSpy done(form_.get(), &TForm1::firstPaintDone);
    form_->show();
    ASSERT_TRUE(done.wait(10000)) << "the first paint never ran";
}

void FormTest::SetModel(const std::string& text) { form_->Memo1->SetText(text); }

void FormTest::Type(unsigned char ch, uint8_t virtualKey) {
    if (virtualKey == 0) {
        const uint8_t key = KeyOfChar[ch];
        virtualKey = key ? KeyVirtualCodes[key] : 0;
    }
    form_->Edit2KeyDown(virtualKey);
    form_->Edit2KeyPress(ch);
}

void FormTest::TypeText(const std::string& text) {
    for (unsigned char ch : text) Type(ch);
}

std::string FormTest::ProgressPath() const { return homeFolder_ + "/deep/share/Clavelle/progression1_9.dat"; }
