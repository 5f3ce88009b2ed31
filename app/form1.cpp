// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/form1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QShortcut>
#include <QStyle>

#include <unistd.h>
#include <cerrno>

#include "app/error_sound.h"
#include "app/onscreen_keyboard.h"
#include "app/qt_text.h"
#include "app/system_layout.h"
#include "app/window_style.h"
#include "common/cp1252.h"
#include "common/folders.h"
#include "common/io_error.h"
#include "generator/driver.h"
#include "generator/random.h"
#include "keyboard/xkb_layout.h"
#include "lexicon/loader.h"
#include "stats/estimate.h"
#include "stats/verdict.h"

const char* const kWindowTitle = "Entraînement dactylographique (Version 1.9)";

namespace {

// The locale's decimal separator as one Windows-1252 character; a comma when the locale's
// cannot be written that way.
char DecimalSeparator() {
    const std::string separator = FromQString(QLocale::system().decimalPoint());
    return separator.size() == 1 && separator != "?" ? separator[0] : ',';
}

}  // namespace

FormServices MessageServices() {
    FormServices services;
    services.ShowMessage = [](const std::string& text) {
        QString q = QString::fromUtf8(text.data(), qsizetype(text.size()));
        q.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        window_style::ShowMessageBox(QString::fromUtf8(kWindowTitle), q);
    };
    return services;
}

FormServices DefaultFormServices() {
    FormServices services = MessageServices();
    // Prepared now, at start, so that the first wrong key is heard without delay.
    services.Beep = [sound = std::make_shared<ErrorSound>()] { sound->Play(); };
    return services;
}

TForm1::TForm1(FormServices services, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      services_(std::move(services)) {
    BuildControls();
    BindHandlers();
    FormCreate();
}

TForm1::~TForm1() {
    qApp->removeEventFilter(this);
    // Storage goes in this order: adjectives, nouns and verbs with the lexicon, then the record.
    lexicon_.reset();
    delete edge_;
    edge_ = nullptr;
    ReleaseProgress(record_);
}

void TForm1::BindHandlers() {
    connect(OK, &QPushButton::clicked, this, [this] { Guarded([this] { OKClick(); }); });
    connect(Button1, &QPushButton::clicked, this, [this] { Guarded([this] { Button1Click(); }); });
    connect(CheckBox1, &QCheckBox::toggled, this, [this] { Guarded([this] { CheckBox1Click(); }); });
    connect(CheckBox2, &QCheckBox::toggled, this, [this] { Guarded([this] { CheckBox2Click(); }); });
    connect(SpinEdit1, &ClickSpinBox::clicked, this, [this] { Guarded([this] { SpinEdit1Click(); }); });
    connect(SpinEdit1, &QSpinBox::valueChanged, this, [this] { Guarded([this] { SpinEdit1Change(); }); });
    connect(Memo1, &MemoEdit::entered, this, [this] { Guarded([this] { Memo1Enter(); }); });
    connect(Memo1, &QPlainTextEdit::textChanged, this, [this] { Guarded([this] { Memo1Change(); }); });
    connect(Edit2, &TypingEdit::keyStruck, this,
            [this](quint32 keycode, quint32 keysym, int qtKey, const QString& text, quint64 time) {
                const std::u32string chars = text.toStdU32String();
                Guarded([&] { Edit2Key(KeyPress{keycode, keysym, qtKey, chars}, time); });
            });
    connect(Edit2, &TypingEdit::committed, this, [this](const QString& text) { Guarded([&] { Edit2Commit(text); }); });
    connect(Edit2, &QLineEdit::textChanged, this, [this] { Guarded([this] { Edit2Change(); }); });
    connect(Edit2, &QLineEdit::textChanged, this, [this] { ShowNext(); });
    connect(Edit2, &TypingEdit::exited, this, [this] { Guarded([this] { Edit2Exit(); }); });
    connect(Timer1, &QTimer::timeout, this, [this] { Guarded([this] { Timer1Timer(); }); });
    connect(StatsButton, &QPushButton::clicked, this, [this] { Guarded([this] { ShowStatistics(); }); });
    connect(CourseButton, &QPushButton::clicked, this, [this] { Guarded([this] { ShowCourse(); }); });
    connect(KeyboardBox, &QCheckBox::toggled, this, [this](bool shown) { ShowKeyboard(shown); });
    connect(TextsButton, &QPushButton::clicked, this, [this] { Guarded([this] { ShowTexts(); }); });
    auto* f3 = new QShortcut(QKeySequence(Qt::Key_F3), this);
    f3->setContext(Qt::WindowShortcut);
    connect(f3, &QShortcut::activated, this, [this] { Guarded([this] { ShowCourse(); }); });
    auto* f5 = new QShortcut(QKeySequence(Qt::Key_F5), this);
    f5->setContext(Qt::WindowShortcut);
    connect(f5, &QShortcut::activated, this, [this] { Guarded([this] { ShowTexts(); }); });
    auto* f4 = new QShortcut(QKeySequence(Qt::Key_F4), this);
    f4->setContext(Qt::WindowShortcut);
    connect(f4, &QShortcut::activated, this, [this] { KeyboardBox->toggle(); });
    auto* f2 = new QShortcut(QKeySequence(Qt::Key_F2), this);
    f2->setContext(Qt::WindowShortcut);
    connect(f2, &QShortcut::activated, this, [this] { Guarded([this] { ShowStatistics(); }); });
    // Enter and Escape press the default and cancel buttons from anywhere in the window.
    qApp->installEventFilter(this);
}

std::string TForm1::TextOf(const QLineEdit* edit) const { return FromQString(edit->text()); }

void TForm1::SetTextOf(QLineEdit* edit, const std::string& text) {
    QString q = ToQString(text);
    if (edit->text() != q) edit->setText(q);
    edit->setCursorPosition(0);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (OK->isEnabled()) OK->click();
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            if (Button1->isEnabled()) Button1->click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TForm1::FormCreate() {
    record_ = ReserveProgress();
    dataDirectory_ = CurrentDirectory();
    // A folder that cannot be made or entered is reported at the first paint.
    programFolder_ = ProgramFolderPath();
    edge_ = new KeyboardEdge(
        *record_, programFolder_, [this](const std::string& text) { ShowMessage(text); }, this);
    connect(edge_, &KeyboardEdge::layoutChanged, this, [this] { Guarded([this] { LayoutChanged(); }); });
    lexicon_ = std::make_unique<Lexicon>();
    folderError_ = CreateFolders(programFolder_);
    if (folderError_ == 0 && ::chdir(programFolder_.c_str()) != 0) folderError_ = errno;
    Memo3->SetText("00:00:00");
    run_.ClearCounters();
    Edit2->SetText(" ");
    Memo1->SetText("");
    SetTextOf(Edit1, std::string("Chargement en mémoire des informations du dictionnaire..."_cp));
    Timer1->start();
}

void TForm1::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    FormPaint();
}

void TForm1::FormPaint() {
    if (!edge_->Keeper().StartupPending) return;
    edge_->Keeper().StartupPending = false;
    // Loading starts once this paint has reached the screen, so the window shows the
    // loading message meanwhile.
    QTimer::singleShot(0, this, [this] {
        Guarded([this] { FirstPaint(); });
        emit firstPaintDone();
    });
}

void TForm1::FirstPaint() {
    if (folderError_ != 0) throw IoError(IoCodeFromErrno(folderError_), programFolder_);
    LoadCallbacks callbacks;
    callbacks.SetProgressPosition = [this](int position) { ProgressBar1->setValue(position > 100 ? 100 : position); };
    callbacks.ProcessEvents = [] { QCoreApplication::processEvents(); };
    // While loading, handlers that run between lines see no lexicon yet.
    loading_ = true;
    try {
        LoadLexicon(dataDirectory_, *lexicon_, callbacks);
    } catch (...) {
        loading_ = false;
        throw;
    }
    loading_ = false;
    if (closed_) return;
    ProgressBar1->setValue(100);
    SetTextOf(Edit1, LexiconSummary(*lexicon_));
    edge_->SetUp();
    GenerateText();
    ResetTyping();
    edge_->Keeper().PrepareProgress([this](const std::string& notice) { ShowMessage(notice); });
    EstimateTextSpeed();
    edge_->FollowSystem();
}

void TForm1::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}

void TForm1::FormClose() {
    if (closed_) return;
    closed_ = true;
    Timer1->stop();
    Guarded([this] { edge_->Keeper().SaveProgress(); });
}

void TForm1::GenerateText() {
    SeedRandomFromClock();
    Memo1->SetText("");
    const int count = SpinEdit1->value();
    SetTextOf(Edit1, WaitingMessage(count));
    Edit1->repaint();
    if (!LexiconReady()) {
        SetTextOf(Edit1, std::string(kRefusalMessage));
        OK->setFocus(Qt::OtherFocusReason);
        return;
    }
    std::string text = GenerateSentences(*lexicon_, *record_, count, CheckBox3->isChecked(),
                                         [this](int position) { ProgressBar1->setValue(position); });
    SetTextOf(Edit1, DoneMessage(count));
    Memo1->SetText(text);
}

void TForm1::OKClick() {
    GenerateText();
    SetEdit2Blank();
    Edit2->setFocus(Qt::OtherFocusReason);
    run_.CorrectCount = 0;
    run_.ErrorCount = 0;
    EstimateTextSpeed();
}

void TForm1::ResetTyping() {
    if (!Edit2->isEnabled()) return;
    SetEdit2Blank();
    run_.ClearCounters();
    TimeStamp(run_.RunStartTime);
    Edit2->setFocus(Qt::OtherFocusReason);
    Edit2->SetCaret(1);
    Memo1->ScrollToTop();
    ShowNext();
}

void TForm1::Button1Click() {
    edge_->ForgetDeadKey();
    if (!Edit2->isEnabled()) return;
    SetEdit2Blank();
    run_.ClearCounters();
    Edit2->setFocus(Qt::OtherFocusReason);
    Edit2->SetCaret(1);
    Memo1->ScrollToTop();
    ShowNext();
}

void TForm1::CheckBox1Click() { ResetTyping(); }
void TForm1::SpinEdit1Click() { ShortReset(); }
void TForm1::SpinEdit1Change() { ShortReset(); }
void TForm1::Edit2Exit() { ShortReset(); }
void TForm1::Memo1Enter() { Memo1->selectAll(); }

void TForm1::Memo1Change() {
    const std::string& text = Memo1->Text();
    TextAssessment assessment = AssessText(text);
    if (assessment.RunEstimate) {
        EstimateTextSpeed();
    } else {
        Memo2->SetText(assessment.StatisticsText);
    }
    SetTextOf(Edit1, assessment.InformationLine);
    Edit2->setEnabled(assessment.TypingEnabled);
    SetEdit2Blank();
    ShowNext();
}

void TForm1::Edit2KeyDown(uint8_t virtualKey) { run_.KeyDown(virtualKey); }

void TForm1::Edit2Key(const KeyPress& press, uint64_t eventMs) {
    const KeyboardEdge::Key struck = edge_->Press(Edit2, press, eventMs);
    const TranslatedKey& key = struck.Translated;
    lastPlace_ = key.Place;
    Edit2KeyDown(key.VirtualKey);
    keyTime_ = struck.At;
    for (char32_t u : key.Characters) Edit2KeyPress(cp1252_detail::FromUnicode(u));
    if (key.Cancelled) Edit2KeyPress(kNotCp1252);
    keyTime_.reset();
}

void TForm1::Edit2Commit(const QString& text) {
    for (int ch : TypedCharacters(text)) {
        if (ch != kNotCp1252)
            for (uint8_t key : Layout().KeyDowns(static_cast<unsigned char>(ch))) Edit2KeyDown(key);
        Edit2KeyPress(ch);
    }
}

void TForm1::Edit2KeyPress(int character) {
    // Empty lines are passed over when the line before them is completed; those at the
    // very start of a text have no line before them, so pass them over here.
    SyncCursor();
    if (cursor_.Typed() == 0 && LexiconReady())
        while (run_.CurrentLine < cursor_.LineCount() && cursor_.Line(run_.CurrentLine).empty()) ++run_.CurrentLine;
    SyncCursor();
    KeyPressOutcome outcome = CheckKeyPress(
        run_, *record_, character == kNotCp1252 ? std::nullopt : std::optional<unsigned char>(character),
        cursor_.Expected(), Memo1->Text().empty(), CheckBox1->isChecked(), keyTime_ ? *keyTime_ : edge_->Now());
    if (outcome.Ignored) return;
    if (outcome.ScrollToCurrentLine) Memo1->ScrollToLine(run_.CurrentLine);
    if (outcome.Correct) {
        Edit2->SetText(Edit2->Text() + char(outcome.Character));
        Edit2->SetCaret(int(Edit2->text().size()));
    } else {
        FlashWrongKey();
        if (outcome.Beep && services_.Beep) services_.Beep();
    }
}

void TForm1::Edit2Change() {
    // The field emptied below, when a line is complete, is handled there.
    if (completingLine_ || !LexiconReady()) return;
    // Without a model there is no line to complete (a new text empties the memo first).
    const int lineCount = Memo1->LineCount();
    if (lineCount == 0) return;
    if (!LineComplete(Edit2->Text(), Memo1->Line(run_.CurrentLine))) return;
    Memo1->ScrollDown(1);
    if (run_.CurrentLine < lineCount) ++run_.CurrentLine;
    completingLine_ = true;
    SetEdit2Blank();
    completingLine_ = false;
    // An empty line that follows is completed at once; so is the end of the text, where the
    // line read is empty.
    if (LineComplete(Edit2->Text(), Memo1->Line(run_.CurrentLine))) {
        Memo1->ScrollDown(1);
        if (run_.CurrentLine < lineCount) ++run_.CurrentLine;
        JudgeIfFinished(lineCount);
    }
    JudgeIfFinished(lineCount);
}

void TForm1::JudgeIfFinished(int lineCount) {
    // The run lasts from its first correct key to its last, by the keys' own times, so that
    // a stall of this thread does not lengthen it.
    const int64_t byKeys = RunKeyDuration(run_);
    const int32_t elapsed = byKeys >= 0 && byKeys <= INT32_MAX ? int32_t(byKeys) : MillisecondsSince(run_.RunStartTime);
    // A run with no correct character has nothing to judge.
    if (run_.CurrentLine == lineCount && elapsed > 0 && run_.CorrectCount > 0) FinishRun(elapsed);
}

void TForm1::FinishRun(int32_t elapsed) {
    EstimateTextSpeed();
    // A failed save is reported once the run is judged and reset: the record stays in
    // memory for the next save, and the run does not stay half finished.
    const std::optional<IoError> saveError = SaveReportingLater();
    const std::string historyError = AppendHistoryRow(elapsed, false);
    const int32_t speed = WordsPerMinute(run_.CorrectCount, elapsed);
    const double errorPercent = ErrorPercent(run_.ErrorCount, run_.CorrectCount);
    SetTextOf(Edit1, RunSummary(speed, errorPercent, DecimalSeparator()));
    SetEdit2Blank();
    repaint();
    Edit2->setFocus(Qt::OtherFocusReason);
    Memo1->ScrollToTop();
    const int32_t verdictSpeed = VerdictSpeed(run_.CorrectCount, elapsed);
    CheckBox2->setChecked(false);
    StaticText1->setText(QStringLiteral("00:00:00"));
    ShowMessage(Cp1252ToUtf8(EndOfRunVerdict(verdictSpeed, errorPercent, Memo1->Text())));
    run_.CorrectCount = 0;
    run_.ErrorCount = 0;
    TimeStamp(run_.RunStartTime);
    run_.CurrentLine = 0;
    if (saveError) ShowMessage(IoErrorMessage(*saveError));
    if (!historyError.empty()) ShowMessage(historyError);
    edge_->CheckTypedKeys();
}

void TForm1::CheckBox2Click() {
    const bool checked = CheckBox2->isChecked();
    Memo3->setEnabled(checked);
    if (!checked) {
        Memo3->SetText("00:00:00");
        ResetTyping();
    } else {
        SetEdit2Blank();
        run_.ClearCounters();
        Memo3->setFocus(Qt::OtherFocusReason);
    }
    if (Memo3->isEnabled()) {
        Memo3->SetText(ClockText(CurrentTimeOfDay()));
        Memo3->MoveCaretToEnd();
    } else {
        Memo3->SetText("00:00:00");
    }
    ResetTyping();
}

void TForm1::Timer1Timer() {
    const TimeOfDay now = CurrentTimeOfDay();
    const QString clock = ToQString(ClockText(now));
    if (StaticText1->text() != clock) StaticText1->setText(clock);
    if (clockGuard_.RanBackwards(now)) {
        close();
        return;
    }
    if (CheckBox2->isChecked() && FromQString(StaticText1->text()) == Memo3->Text() && run_.CorrectCount > 0)
        Interrupt();
}

void TForm1::Interrupt() {
    SetEdit2Blank();
    const int32_t elapsed = MillisecondsSince(run_.RunStartTime);
    // Reported after the interruption is done, so that a failed save cannot leave the
    // option armed and fire again at the next tick.
    const std::optional<IoError> saveError = SaveReportingLater();
    const std::string historyError = AppendHistoryRow(elapsed, true);
    if (services_.Beep) services_.Beep();
    const int32_t speed = WordsPerMinute(run_.CorrectCount, elapsed);
    const double errorPercent = ErrorPercent(run_.ErrorCount, run_.CorrectCount);
    SetTextOf(Edit1, RunSummary(speed, errorPercent, DecimalSeparator()));
    const std::string chosen = Memo3->Text();
    CheckBox2->setChecked(false);
    ShowMessage(Cp1252ToUtf8(InterruptionVerdict(chosen, speed / 10 * 10, errorPercent, Memo1->Text())));
    ResetTyping();
    if (saveError) ShowMessage(IoErrorMessage(*saveError));
    if (!historyError.empty()) ShowMessage(historyError);
}
