// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A window under test: offscreen, in a temporary data folder holding a small lexicon,
// with message boxes and beeps recorded instead of shown.
#pragma once

#include <gtest/gtest.h>
#include <QApplication>
#include <QSignalSpy>
#include <QTest>

#include <unistd.h>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/form1.h"
#include "app/qt_text.h"

std::string MakeTempFolder(const char* prefix);
void WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);
bool FileExists(const std::string& path);
// A small but complete lexicon (Windows-1252, CR LF) in the folder.
void WriteSmallLexicon(const std::string& folder);

// A clock for the window that moves only when the test moves it.
struct SteppedClock {
    explicit SteppedClock(int32_t start) : now(start) {
        SetClockSource([this] { return TimeOfDayFromStamp(now); });
    }
    ~SteppedClock() { SetClockSource({}); }
    int32_t now;
};

class FormTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates the window with the current directory at the data folder.
    void CreateForm();
    // Shows it and waits for the first paint's loading to end.
    void ShowAndLoad();
    // Puts a model text (Windows-1252) into the memo, as a paste would.
    void SetModel(const std::string& text);
    // Types a character as the key-down then the key press of the typing field.
    void Type(unsigned char ch, uint8_t virtualKey = 0);
    void TypeText(const std::string& text);
    std::string ProgressPath() const;

    std::string dataFolder_;
    std::string homeFolder_;
    std::string startFolder_;
    std::vector<std::string> messages_;
    int beeps_ = 0;
    std::unique_ptr<TForm1> form_;
};
