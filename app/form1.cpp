// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/form1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QMessageBox>
#include <QScreen>
#include <QStyle>

#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "app/error_sound.h"
#include "app/qt_text.h"
#include "common/cp1252.h"
#include "common/io_error.h"
#include "generator/driver.h"
#include "generator/random.h"
#include "keyboard/keyboard.h"
#include "lexicon/loader.h"
#include "stats/estimate.h"
#include "stats/verdict.h"

const char* const kWindowTitle = "Entraînement dactylographique (Version 1.9)";

namespace {

const QColor kNavy(0, 0, 128);
const QColor kTeal(0, 128, 128);
const QColor kTooltipBackground(255, 255, 225);
const QColor kInactiveBorder(212, 208, 200);
constexpr int kHintDurationMs = 10000;

QFont PixelFont(const char* family, int pixels) {
    QFont font(QString::fromLatin1(family));
    font.setPixelSize(pixels);
    return font;
}

void SetColours(QWidget* widget, const QColor& text, const QColor* base = nullptr) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::ButtonText, text);
    if (base) palette.setColor(QPalette::Base, *base);
    widget->setPalette(palette);
}

void Place(QWidget* widget, int left, int top, int width, int height) { widget->setGeometry(left, top, width, height); }

void Hint(QWidget* widget, const char* utf8) {
    widget->setToolTip(QString::fromUtf8(utf8));
    widget->setToolTipDuration(kHintDurationMs);
}

// The program's own folder: $XDG_DATA_HOME/Clavelle, or ~/.local/share/Clavelle.
std::string ProgramFolderPath() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    std::string base;
    if (xdg && *xdg == '/') {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home ? home : ".") + "/.local/share";
    }
    return base + "/Clavelle";
}

// mkdir -p; returns 0 or the errno of the failure.
int CreateFolders(const std::string& path) {
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        std::string part = slash == std::string::npos ? path : path.substr(0, slash);
        if (!part.empty() && ::mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return errno;
        if (slash == std::string::npos) break;
    }
    struct stat info;
    if (::stat(path.c_str(), &info) != 0) return errno;
    return S_ISDIR(info.st_mode) ? 0 : ENOTDIR;
}

std::string CurrentDirectory() {
    char buffer[PATH_MAX];
    return ::getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string(".");
}

// The locale's decimal separator as one Windows-1252 character; a comma when the locale's
// cannot be written that way.
char DecimalSeparator() {
    const std::string separator = FromQString(QLocale::system().decimalPoint());
    return separator.size() == 1 && separator != "?" ? separator[0] : ',';
}

}  // namespace

FormServices DefaultFormServices() {
    FormServices services;
    services.ShowMessage = [](const std::string& text) {
        QString q = ToQString(text);
        q.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(kWindowTitle), q, QMessageBox::Ok,
                        QApplication::activeWindow());
        box.exec();
    };
    // Loaded now, at start, so that the first wrong key is heard without delay.
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
    keeper_.reset();
    ReleaseProgress(record_);
}

void TForm1::BuildControls() {
    // The window's small sans-serif face: Arial's metrics (Liberation Sans) keep every
    // caption inside its control, as the original face did.
    QFont::insertSubstitutions(
        QStringLiteral("MS Sans Serif"),
        {QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")});
    setWindowTitle(QString::fromUtf8(kWindowTitle));
    setFixedSize(616, 463);
    QFont base = PixelFont("MS Sans Serif", 11);
    setFont(base);
    SetColours(this, kNavy);

    const QFont times13 = PixelFont("Times New Roman", 13);
    const QFont sans11 = PixelFont("MS Sans Serif", 11);

    Label1 =
        new QLabel(QString::fromUtf8(
                       "Texte d'entraînement (vous pouvez saisir un texte ou cliquer sur le bouton en bas à droite) "),
                   this);
    Place(Label1, 8, 56, 480, 15);
    Label1->setFont(times13);
    SetColours(Label1, Qt::black);

    Label2 = new QLabel(QString::fromUtf8("Saisissez le texte ci-dessus (le compteur se déclenchera automatiquement)"),
                        this);
    Place(Label2, 8, 152, 392, 15);
    Label2->setFont(times13);
    SetColours(Label2, Qt::black);

    Label5 = new QLabel(QString::fromUtf8("Statistiques de l'ordinateur"), this);
    Place(Label5, 8, 216, 142, 15);
    Label5->setFont(times13);
    SetColours(Label5, Qt::black);

    GroupBox5 = new QGroupBox(this);
    Place(GroupBox5, 232, 0, 153, 49);

    GroupBox1 = new QGroupBox(QString::fromUtf8("Informations de l'ordinateur"), this);
    Place(GroupBox1, 8, 320, 601, 137);
    GroupBox1->setFont(sans11);
    SetColours(GroupBox1, Qt::black);
    {
        QPalette palette = GroupBox1->palette();
        palette.setColor(QPalette::Window, kInactiveBorder);
        GroupBox1->setPalette(palette);
        GroupBox1->setAutoFillBackground(true);
    }

    GroupBox3 = new QGroupBox(QString::fromUtf8("Nombre de phrases"), GroupBox1);
    Place(GroupBox3, 304, 56, 113, 73);
    GroupBox3->setFont(sans11);
    SetColours(GroupBox3, Qt::black);

    GroupBox2 = new QGroupBox(QString::fromUtf8("Options"), GroupBox1);
    Place(GroupBox2, 176, 56, 113, 73);
    GroupBox2->setFont(sans11);
    SetColours(GroupBox2, Qt::black);

    CheckBox2 = new QCheckBox(QString::fromUtf8("Etre interrompu"), GroupBox2);
    Place(CheckBox2, 12, 50, 93, 17);
    CheckBox2->setFont(sans11);
    SetColours(CheckBox2, Qt::black);
    Hint(CheckBox2,
         "Si vous ignorez le temps qu'il vous faut pour taper le texte, activez cette case pour que votre vitesse soit "
         "évaluée à une heure précise.");

    CheckBox3 = new QCheckBox(QString::fromUtf8("Niveau difficile"), GroupBox2);
    Place(CheckBox3, 12, 33, 93, 17);
    CheckBox3->setFont(sans11);
    SetColours(CheckBox3, Qt::black);
    CheckBox3->setChecked(true);
    Hint(CheckBox3,
         "Régler le niveau de difficulté : l'ordinateur connaît vos points faibles à forcer de vous voir taper !");

    Button1 = new QPushButton(QString::fromUtf8("Recommencer (Echap)"), GroupBox1);
    Place(Button1, 8, 62, 153, 28);
    Button1->setFont(times13);
    Button1->setFocusPolicy(Qt::NoFocus);
    Button1->setAutoDefault(false);
    Hint(Button1, "Cliquez-ici pour vous entraîner à recopier le texte ci-dessus.");

    CheckBox1 = new QCheckBox(QString::fromUtf8("Son activé"), GroupBox1);
    Place(CheckBox1, 188, 72, 73, 17);
    CheckBox1->setFont(sans11);
    SetColours(CheckBox1, Qt::black);
    CheckBox1->setChecked(true);
    CheckBox1->raise();  // drawn over the frame of the options box
    Hint(CheckBox1, "Permet d'activer (ou désactiver) le son émis par l'ordinateur lors d'une faute de frappe.");

    SpinEdit1 = new ClickSpinBox(GroupBox1);
    Place(SpinEdit1, 323, 82, 70, 37);
    SpinEdit1->setFont(PixelFont("Times New Roman", 24));
    {
        QColor white(Qt::white);
        SetColours(SpinEdit1, kNavy, &white);
    }
    SpinEdit1->setRange(1, 999);
    SpinEdit1->setValue(1);
    Hint(SpinEdit1, "Cliquez-ici pour changer le nombre de phrases inventées par l'ordinateur (999 maximum).");

    GroupBox4 = new QGroupBox(QString::fromUtf8("Vous désirez être interrompu à"), GroupBox1);
    Place(GroupBox4, 432, 56, 161, 73);
    GroupBox4->setFont(sans11);
    SetColours(GroupBox4, Qt::black);

    Memo3 = new CentredMemo(GroupBox4);
    Place(Memo3, 8, 27, 145, 33);
    Memo3->setFont(PixelFont("MS Sans Serif", 24));
    SetColours(Memo3, Qt::red);
    Memo3->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo3->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo3->document()->setDocumentMargin(1);
    Memo3->setEnabled(false);

    OK = new QPushButton(QString::fromUtf8("Inventer un texte (Entrée)"), this);
    Place(OK, 16, 420, 153, 28);
    OK->setFont(times13);
    OK->setFocusPolicy(Qt::NoFocus);
    OK->setAutoDefault(false);
    OK->setDefault(true);
    Hint(OK, "Cliquez-ici pour que l'ordinateur invente un texte inconnu.");

    Edit1 = new QLineEdit(this);
    Place(Edit1, 16, 336, 585, 21);
    Edit1->setFont(sans11);
    SetColours(Edit1, Qt::black);
    Edit1->setReadOnly(true);
    Edit1->setFocusPolicy(Qt::ClickFocus);
    Hint(Edit1, "Informations pratiques de l'ordinateur.");

    Memo1 = new MemoEdit(this);
    Place(Memo1, 8, 72, 601, 65);
    Memo1->setFont(PixelFont("Arial", 19));
    SetColours(Memo1, kNavy, &kTooltipBackground);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    Memo1->setTabChangesFocus(true);
    Memo1->setCenterOnScroll(true);  // lets the last lines, too, scroll to the top
    Hint(Memo1, "Pour diversifier le vocabulaire, vous pouvez modifier le dictionnaire.");

    ProgressBar1 = new QProgressBar(this);
    Place(ProgressBar1, 16, 363, 585, 9);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);

    Edit2 = new TypingEdit(this);
    Place(Edit2, 8, 168, 601, 31);
    Edit2->setFont(PixelFont("Arial", 19));
    SetColours(Edit2, kTeal, &kTooltipBackground);
    Edit2->setText(QStringLiteral("Edit2"));
    Hint(Edit2, "Vous devez recopier le texte ci-dessus.");

    Memo2 = new MemoEdit(this);
    Place(Memo2, 8, 232, 601, 73);
    Memo2->setFont(PixelFont("Times New Roman", 16));
    {
        QPalette palette = Memo2->palette();
        palette.setColor(QPalette::Base, kNavy);
        palette.setColor(QPalette::Text, Qt::white);
        Memo2->setPalette(palette);
    }
    Memo2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo2->setTabChangesFocus(true);

    StaticText1 = new QLabel(QStringLiteral("00:00:00"), this);
    Place(StaticText1, 240, 10, 137, 33);
    StaticText1->setFont(PixelFont("MS Sans Serif", 24));
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
    for (QCheckBox* box : {CheckBox1, CheckBox2, CheckBox3})
        box->setStyleSheet(QStringLiteral("QCheckBox { spacing: 3px; }"));

    Timer1 = new QTimer(this);
    Timer1->setInterval(10);
    Timer1->setTimerType(Qt::PreciseTimer);

    // Tab order of the window: the memo, the typing field, then the options.
    setTabOrder(Memo1, Edit2);
    setTabOrder(Edit2, CheckBox3);
    setTabOrder(CheckBox3, CheckBox2);
    setTabOrder(CheckBox2, CheckBox1);
    setTabOrder(CheckBox1, SpinEdit1);
    setTabOrder(SpinEdit1, Memo3);
    setTabOrder(Memo3, Memo2);

    // Centred on the screen when shown.
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
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
    connect(Edit2, &TypingEdit::keyDown, this, [this](uint8_t key) { Guarded([&] { Edit2KeyDown(key); }); });
    connect(Edit2, &TypingEdit::keyPress, this, [this](unsigned char ch) { Guarded([&] { Edit2KeyPress(ch); }); });
    connect(Edit2, &QLineEdit::textChanged, this, [this] { Guarded([this] { Edit2Change(); }); });
    connect(Edit2, &TypingEdit::exited, this, [this] { Guarded([this] { Edit2Exit(); }); });
    connect(Timer1, &QTimer::timeout, this, [this] { Guarded([this] { Timer1Timer(); }); });
    // Enter and Escape press the default and cancel buttons from anywhere in the window.
    qApp->installEventFilter(this);
}

void TForm1::Guarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const IoError& error) {
        ShowMessage(IoErrorText(error.code()));
    }
}

void TForm1::ShowMessage(const std::string& text) {
    if (services_.ShowMessage) services_.ShowMessage(text);
}

std::string TForm1::TextOf(const QLineEdit* edit) const { return FromQString(edit->text()); }

void TForm1::SetTextOf(QLineEdit* edit, const std::string& text) {
    QString q = ToQString(text);
    if (edit->text() != q) edit->setText(q);
    edit->setCursorPosition(0);
}

void TForm1::SetEdit2Blank() {
    Edit2->SetText(" ");
    Edit2->SetCaret(1);
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
    keeper_ = std::make_unique<ProgressKeeper>(*record_);
    lexicon_ = std::make_unique<Lexicon>();
    dataDirectory_ = CurrentDirectory();
    // A folder that cannot be made or entered is reported at the first paint.
    programFolder_ = ProgramFolderPath();
    folderError_ = CreateFolders(programFolder_);
    if (folderError_ == 0 && ::chdir(programFolder_.c_str()) != 0) folderError_ = errno;
    Memo3->SetText("00:00:00");
    run_.ClearCounters();
    Edit2->SetText(" ");
    Edit2->setAttribute(Qt::WA_InputMethodEnabled, true);
    Memo1->SetText("");
    SetTextOf(Edit1, std::string("Chargement en mémoire des informations du dictionnaire..."_cp));
    InitKeyTables();
    Timer1->start();
}

void TForm1::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    FormPaint();
}

void TForm1::FormPaint() {
    if (!keeper_->StartupPending) return;
    keeper_->StartupPending = false;
    // Loading starts once this paint has reached the screen, so the window shows the
    // loading message meanwhile.
    QTimer::singleShot(0, this, [this] {
        Guarded([this] { FirstPaint(); });
        emit firstPaintDone();
    });
}

void TForm1::FirstPaint() {
    if (folderError_ != 0) throw IoError(IoCodeFromErrno(folderError_));
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
    GenerateText();
    ResetTyping();
    keeper_->PrepareProgress();
    EstimateTextSpeed();
}

void TForm1::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}

void TForm1::FormClose() {
    if (closed_) return;
    closed_ = true;
    Timer1->stop();
    Guarded([this] { keeper_->SaveProgress(); });
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
}

void TForm1::Button1Click() {
    if (!Edit2->isEnabled()) return;
    SetEdit2Blank();
    run_.ClearCounters();
    Edit2->setFocus(Qt::OtherFocusReason);
    Edit2->SetCaret(1);
    Memo1->ScrollToTop();
}

void TForm1::ShortReset() {
    SetEdit2Blank();
    run_.ClearCounters();
    TimeStamp(run_.RunStartTime);
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
        Memo2->SetText(assessment.Memo2Text);
    }
    SetTextOf(Edit1, assessment.Edit1Text);
    Edit2->setEnabled(assessment.Edit2Enabled);
    SetEdit2Blank();
}

void TForm1::EstimateTextSpeed() {
    run_.CurrentLine = 0;
    Memo2->SetText(EstimateText(EstimateSpeeds(Memo1->Text(), *record_)));
    Memo2->ScrollToTop();
}

void TForm1::Edit2KeyDown(uint8_t virtualKey) { run_.KeyDown(virtualKey); }

void TForm1::Edit2KeyPress(unsigned char character) {
    // Empty lines are passed over when the line before them is completed; those at the
    // very start of a text have no line before them, so pass them over here.
    if (Edit2->text().size() == 1 && LexiconReady())
        while (run_.CurrentLine < Memo1->LineCount() && Memo1->Line(run_.CurrentLine).empty()) ++run_.CurrentLine;
    const std::string& line = Memo1->Line(run_.CurrentLine);
    const std::size_t typed = std::size_t(Edit2->text().size());  // one character per cp1252 byte
    std::optional<unsigned char> expected;
    if (typed >= 1 && typed - 1 < line.size()) expected = static_cast<unsigned char>(line[typed - 1]);
    KeyPressOutcome outcome =
        CheckKeyPress(run_, *record_, character, expected, Memo1->Text().empty(), CheckBox1->isChecked());
    if (outcome.Ignored) return;
    if (outcome.ScrollToCurrentLine) Memo1->ScrollToLine(run_.CurrentLine);
    if (outcome.Correct) {
        Edit2->SetText(Edit2->Text() + char(outcome.Character));
        Edit2->SetCaret(int(Edit2->text().size()));
    } else if (outcome.Beep && services_.Beep) {
        services_.Beep();
    }
}

void TForm1::Edit2Change() {
    if (!LexiconReady()) return;
    // Without a model there is no line to complete (a new text empties the memo first).
    const int lineCount = Memo1->LineCount();
    if (lineCount == 0) return;
    if (!LineComplete(Edit2->Text(), Memo1->Line(run_.CurrentLine))) return;
    Memo1->ScrollDown(1);
    if (run_.CurrentLine < lineCount) ++run_.CurrentLine;
    SetEdit2Blank();  // runs this handler again: empty lines and the end are seen there
    const int32_t elapsed = MillisecondsSince(run_.RunStartTime);
    // A run with no correct character has nothing to judge.
    if (run_.CurrentLine == lineCount && elapsed > 0 && run_.CorrectCount > 0) FinishRun(elapsed);
}

void TForm1::FinishRun(int32_t elapsed) {
    EstimateTextSpeed();
    // A failed save is reported once the run is judged and reset: the record stays in
    // memory for the next save, and the run does not stay half finished.
    const int saveError = SaveReportingLater();
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
    ShowMessage(EndOfRunVerdict(verdictSpeed, errorPercent, Memo1->Text()));
    run_.CorrectCount = 0;
    run_.ErrorCount = 0;
    TimeStamp(run_.RunStartTime);
    run_.CurrentLine = 0;
    if (saveError != 0) ShowMessage(IoErrorText(saveError));
}

int TForm1::SaveReportingLater() {
    try {
        keeper_->SaveProgress();
    } catch (const IoError& error) {
        return error.code();
    }
    return 0;
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
    const int saveError = SaveReportingLater();
    if (services_.Beep) services_.Beep();
    const int32_t speed = WordsPerMinute(run_.CorrectCount, elapsed);
    const double errorPercent = ErrorPercent(run_.ErrorCount, run_.CorrectCount);
    SetTextOf(Edit1, RunSummary(speed, errorPercent, DecimalSeparator()));
    const std::string chosen = Memo3->Text();
    CheckBox2->setChecked(false);
    ShowMessage(InterruptionVerdict(chosen, speed / 10 * 10, errorPercent, Memo1->Text()));
    ResetTyping();
    if (saveError != 0) ShowMessage(IoErrorText(saveError));
}
