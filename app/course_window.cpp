// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/course_window.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>
#include <cmath>

#include "app/course_pages.h"
#include "app/qt_text.h"
#include "app/window_style.h"
#include "common/cp1252.h"
#include "common/io_error.h"

using namespace window_style;

const char* const kCourseWindowTitle = "Apprendre à taper";

namespace {

QString Utf8(const std::string& text) { return QString::fromStdString(text); }

// What a lesson from the statistics practises: "« l »", or "« l » puis « e »" for a pair.
QString PractiseText(const std::string& cp1252) {
    QStringList parts;
    for (const char c : cp1252) parts << Quoted(Cp1252ToUtf8(std::string(1, c)));
    return parts.join(QString::fromUtf8(" puis "));
}

// The lesson as rich text: blanks stay blanks, so that a long lesson wraps.
QString Html(const QString& text) { return text.toHtmlEscaped(); }

// The lesson as rich text: what is typed in grey, the next character marked, a character
// that drew a wrong key in red until the lesson ends.
QString LessonHtml(const std::string& text, int typed, const std::vector<uint8_t>& missed) {
    QString html;
    QString run;
    QString runStyle;
    auto flush = [&] {
        if (run.isEmpty()) return;
        html += runStyle.isEmpty() ? Html(run) : QStringLiteral("<span style='%1'>%2</span>").arg(runStyle, Html(run));
        run.clear();
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool wrong = i < missed.size() && missed[i] > 0;
        QString style = int(i) < typed ? QStringLiteral("color:#8c8c8c") : QString();
        if (wrong) style = QStringLiteral("color:#c00000;text-decoration:underline");
        if (int(i) == typed) style += QStringLiteral(";background:#ffd666;text-decoration:underline");
        if (style != runStyle) {
            flush();
            runStyle = style;
        }
        run += ToQString(text.substr(i, 1));
    }
    flush();
    return html;
}

}  // namespace

KeyTiles::KeyTiles(QWidget* parent) : QWidget(parent) { setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed); }

KeyTiles::Row KeyTiles::Drawn() const {
    Row row;
    if (!course_) return row;
    for (int step = 0; step < int(course_->Order().size()); ++step)
        if (course_->IsUnlocked(step) || step == course_->NextToUnlock()) row.Steps.push_back(step);
    const std::size_t fit = std::size_t(std::max(1, (width() - 2) / 44));
    if (row.Steps.size() > fit) row.Steps.erase(row.Steps.begin(), row.Steps.end() - std::ptrdiff_t(fit));
    row.Width = std::min(64.0, (double(width()) - 2) / double(std::max<std::size_t>(1, row.Steps.size())));
    row.Height = height();
    return row;
}

int KeyTiles::StepAt(QPointF point) const {
    const Row row = Drawn();
    for (std::size_t i = 0; i < row.Steps.size(); ++i)
        if (row.Tile(i).contains(point)) return row.Steps[i];
    return -1;
}

void KeyTiles::mousePressEvent(QMouseEvent* event) {
    const int step = StepAt(event->position());
    if (course_ && course_->IsUnlocked(step)) emit stepClicked(step);
}

void KeyTiles::paintEvent(QPaintEvent*) {
    if (!course_) return;
    const Row row = Drawn();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QFont big = PixelFont("Arial", 15, true), small = PixelFont("Arial", 10);
    for (std::size_t i = 0; i < row.Steps.size(); ++i) {
        const int step = row.Steps[i];
        const QRectF tile = row.Tile(i);
        const bool next = !course_->IsUnlocked(step);
        const CourseKeyFigures figures = course_->Figures(step);
        // Green: at the target; orange: measured but not there yet; white: too few keystrokes.
        QColor fill = next              ? QColor(235, 235, 235)
                      : figures.Ready() ? QColor(170, 225, 160)
                      : figures.Enough  ? QColor(255, 205, 140)
                                        : QColor(Qt::white);
        const bool framed = step == lessonStep_;
        painter.setPen(
            QPen(framed ? kNavy : QColor(150, 150, 150), framed ? 2 : 1, next ? Qt::DashLine : Qt::SolidLine));
        painter.setBrush(fill);
        painter.drawRoundedRect(tile, 4, 4);
        painter.setPen(next ? QColor(120, 120, 120) : kNavy);
        painter.setFont(big);
        QString name = Utf8(course_->Order()[std::size_t(step)].Name);
        if (name.size() > 3) name = name.left(3) + QString::fromUtf8("…");
        painter.drawText(tile.adjusted(0, 2, 0, -tile.height() / 2), Qt::AlignCenter, name);
        painter.setFont(small);
        const QString speed =
            figures.Wpm > 0 ? QString::fromUtf8("%1 mots/min").arg(figures.Wpm) : QString::fromUtf8("—");
        const QString figure = next ? QString::fromUtf8("à venir")
                               : figures.Samples == 0
                                   ? QString::fromUtf8("—")
                                   : QString::fromUtf8("%1\n%2\u00A0%").arg(speed).arg(figures.AccuracyShown);
        painter.drawText(tile.adjusted(0, tile.height() / 2 - 2, 0, 0), Qt::AlignHCenter | Qt::AlignTop, figure);
    }
}

void CourseServices::RunEnded(const std::optional<HistoryRow>& row) const {
    if (row && AppendHistory) {
        const std::string message = AppendHistory(*row);
        if (!message.empty() && ShowMessage) ShowMessage(message);
    }
    if (SaveRecord) SaveRecord();
}

void ShowWrongKey(OnscreenKeyboard* keyboard, TypingEdit* field, int place, const CourseServices& services) {
    if (keyboard->isVisible()) keyboard->FlashWrong(place);
    field->FlashWrong();
    if (services.Beep) services.Beep();
}

CourseWindow::CourseWindow(const Lexicon& lexicon, KeyboardEdge& edge, ProgressRecord& record,
                           std::string dataDirectory, CourseServices services, QWidget* parent)
    : QWidget(parent, Qt::Window),
      edge_(edge),
      session_(lexicon, record, std::move(dataDirectory), edge.ProgramFolder()),
      services_(std::move(services)) {
    setWindowTitle(QString::fromUtf8(kCourseWindowTitle));
    auto* layout = new QVBoxLayout(this);
    Title = new QLabel(this);
    Title->setFont(PixelFont("Times New Roman", 15, true));
    Title->setWordWrap(true);
    Tiles = new KeyTiles(this);
    Model = new QLabel(this);
    Model->setFont(PixelFont("Arial", 19));
    Model->setTextFormat(Qt::RichText);
    Model->setWordWrap(true);
    Model->setMinimumHeight(56);
    Model->setAutoFillBackground(true);
    SetColours(Model, kNavy, &kPaleYellow);
    QPalette modelColours = Model->palette();
    modelColours.setColor(QPalette::Window, kPaleYellow);  // a label fills with its window colour
    Model->setPalette(modelColours);
    Model->setMargin(4);
    Field = new TypingEdit(this);
    StyleTypingField(Field);
    Field->setToolTip(QString::fromUtf8("Recopiez le texte ci-dessus ; Echap recommence la leçon."));
    Result = NewResultLabel(this);
    Info = NewInfoLabel(this);
    Keyboard = new OnscreenKeyboard(this);
    auto* controls = new QHBoxLayout;
    auto* targetLabel = new QLabel(QString::fromUtf8("Objectif :"), this);
    TargetBox = new QSpinBox(this);
    TargetBox->setRange(kMinTargetWpm, kMaxTargetWpm);
    TargetBox->setSuffix(QString::fromUtf8(" mots/min"));
    TargetBox->setToolTip(QString::fromUtf8(
        "Vitesse à atteindre sur chaque touche apprise, avec 95 % de précision, pour passer à la suivante "
        "(un mot compte 6 caractères)."));
    NextKeyButton = new QPushButton(QString::fromUtf8("Touche suivante"), this);
    NextKeyButton->setToolTip(QString::fromUtf8("Ajouter la touche suivante sans attendre l'objectif."));
    BackButton = new QPushButton(QString::fromUtf8("Revenir en arrière"), this);
    BackButton->setToolTip(QString::fromUtf8("Retirer la dernière touche ajoutée."));
    NewTextButton = new QPushButton(QString::fromUtf8("Autre texte"), this);
    CloseButton = new QPushButton(QString::fromUtf8("Fermer"), this);
    for (QWidget* w :
         {static_cast<QWidget*>(TargetBox), static_cast<QWidget*>(NextKeyButton), static_cast<QWidget*>(BackButton),
          static_cast<QWidget*>(NewTextButton), static_cast<QWidget*>(CloseButton)})
        w->setFocusPolicy(Qt::ClickFocus);
    controls->addWidget(targetLabel);
    controls->addWidget(TargetBox);
    controls->addStretch();
    controls->addWidget(NextKeyButton);
    controls->addWidget(BackButton);
    controls->addWidget(NewTextButton);
    controls->addWidget(CloseButton);
    layout->addWidget(Title);
    layout->addWidget(Tiles);
    layout->addWidget(Model);
    layout->addWidget(Field);
    layout->addWidget(Result);
    layout->addWidget(Info);
    layout->addWidget(Keyboard, 1);
    layout->addLayout(controls);
    resize(660, 560);

    connect(Field, &TypingEdit::keyStruck, this,
            [this](quint32 keycode, quint32 keysym, int qtKey, const QString& text, quint64 time) {
                const std::u32string chars = text.toStdU32String();
                Key(KeyPress{keycode, keysym, qtKey, chars}, time);
            });
    connect(TargetBox, &QSpinBox::valueChanged, this, [this](int wpm) {
        session_.State().SetTarget(wpm);
        SaveState();
        ShowProgress();
    });
    // A key added or taken back by hand: the state kept, a lesson on the new set of keys.
    const auto changeKeys = [this](bool changed) {
        if (changed) {
            SaveState();
            session_.NewLesson();
            ShowLesson();
        }
        Field->setFocus();
    };
    connect(NextKeyButton, &QPushButton::clicked, this,
            [this, changeKeys] { changeKeys(session_.State().UnlockNext()); });
    connect(BackButton, &QPushButton::clicked, this, [this, changeKeys] { changeKeys(session_.State().GoBack()); });
    connect(NewTextButton, &QPushButton::clicked, this, [this] {
        session_.NewLesson();
        ShowLesson();
        Field->setFocus();
    });
    connect(CloseButton, &QPushButton::clicked, this, &QWidget::close);
    connect(Tiles, &KeyTiles::stepClicked, this, [this](int step) {
        if (page_) return;
        session_.NewLessonOn(step);
        ShowLesson();
        Field->setFocus();
    });
    // The lesson under way belongs to the layout it was typed on: kept with its course,
    // then the course of the new layout goes on.
    connect(&edge_, &KeyboardEdge::layoutChanging, this, [this] {
        if (!started_) return;
        session_.Cut();
        SaveState();
    });
    connect(&edge_, &KeyboardEdge::layoutChanged, this, [this] {
        if (started_) Start();
    });
}

void CourseWindow::CopyLesson() { QGuiApplication::clipboard()->setText(ToQString(session_.Text())); }

void CourseWindow::Start() {
    const std::string notice = session_.Start(edge_.Layout());
    Keyboard->SetLayout(edge_.LayoutShared());
    TargetBox->blockSignals(true);
    TargetBox->setValue(session_.State().Target());
    TargetBox->blockSignals(false);
    started_ = true;
    if (session_.NewCourse())
        ShowWelcome();
    else
        ShowLesson();
    if (!notice.empty() && services_.ShowMessage) services_.ShowMessage(notice);
}

void CourseWindow::Practise(const std::string& characters) {
    if (!started_) Start();
    page_ = false;
    session_.NewLesson(characters);
    ShowLesson();
}

void CourseWindow::ShowLesson() {
    Field->SetText("");
    Info->setText(session_.Invented()
                      ? QString::fromUtf8("Avec ces touches, on ne peut écrire que peu de vrais mots : le texte "
                                          "contient aussi des groupes de lettres inventés.")
                      : QString());
    std::string unlocked = session_.Allowed() + session_.Practise() + " ";
    Keyboard->SetUnlockedCharacters(unlocked);
    ShowProgress();
}

void CourseWindow::ShowProgress() {
    const Course& course = session_.State();
    const int focus = session_.LessonStep(), next = course.NextToUnlock();
    QString title = QString::fromUtf8("Leçon %1 · %2 apprises")
                        .arg(course.Lessons() + 1)
                        .arg(CountText(course.UnlockedCount(), "touche", "touches"));
    if (!session_.Practise().empty())
        title += QString::fromUtf8(" · entraînement sur ") + PractiseText(session_.Practise());
    else if (focus >= 0)
        title += QString::fromUtf8(" · touche travaillée\u00A0: ") + Quoted(course.Order()[std::size_t(focus)].Name);
    if (next >= 0) title += QString::fromUtf8(" · prochaine\u00A0: ") + Quoted(course.Order()[std::size_t(next)].Name);
    Title->setText(title);
    Tiles->SetCourse(&course, focus);
    Model->setText(LessonHtml(session_.Text(), session_.Typed(), session_.Missed()));
    Keyboard->ShowNext(session_.Cursor().ExpectedStrokes(edge_.Layout()));
    NextKeyButton->setEnabled(next >= 0);
    BackButton->setEnabled(course.UnlockedCount() > course.StartCount());
}

void CourseWindow::Key(const KeyPress& press, uint64_t eventMs) {
    const KeyboardEdge::Key struck = edge_.Press(this, press, eventMs);
    const KeyTime at = struck.At;
    // Ctrl+C copies the lesson's text, to look a word up or to keep it; it types nothing.
    if (press.Text == U"\x03") {
        CopyLesson();
        return;
    }
    // A page before a lesson: Enter or Escape, and the lesson begins.
    if (page_) {
        if (press.QtKey == Qt::Key_Escape || press.QtKey == Qt::Key_Return || press.QtKey == Qt::Key_Enter) EndPage();
        return;
    }
    if (press.QtKey == Qt::Key_Escape) {
        edge_.ForgetDeadKey();
        session_.Restart();
        Field->SetText("");
        ShowProgress();
        return;
    }
    const TranslatedKey& key = struck.Translated;
    session_.KeyDown(key.VirtualKey);
    for (const std::optional<unsigned char>& ch : TypedBytes(key)) {
        const CourseSession::KeyOutcome outcome = session_.KeyPress(ch, at);
        if (!outcome.Correct) {
            ShowWrongKey(Keyboard, Field, key.Place, services_);
            continue;
        }
        Field->SetText(session_.Text().substr(0, std::size_t(session_.Typed())));
        Field->SetCaret(int(Field->text().size()));
        if (outcome.Finished) {
            LessonDone(outcome);
            return;
        }
    }
    ShowProgress();
}

void CourseWindow::LessonDone(const CourseSession::KeyOutcome& outcome) {
    ShowResult(outcome);
    services_.RunEnded(outcome.Row);
    SaveState();
    edge_.CheckTypedKeys();
    session_.NewLesson();
    if (outcome.Result && outcome.Result->Unlocked)
        ShowNewKey(*outcome.Result->Unlocked);
    else
        ShowLesson();
}

void CourseWindow::ShowPage(const QString& title, const QString& text) {
    page_ = true;
    Title->setText(title);
    Tiles->SetCourse(&session_.State(), -1);
    Model->setText(text.toHtmlEscaped());
    Field->SetText("");
    Info->setText(QString::fromUtf8("Appuyez sur Entrée (ou Échap) pour commencer la leçon."));
}

void CourseWindow::ShowWelcome() {
    const CoursePage page = WelcomePage(edge_.Layout());
    ShowPage(page.Title, page.Text);
    Keyboard->UnlockAll();
    Keyboard->ShowResting();
}

void CourseWindow::ShowNewKey(int step) {
    const CourseStep& added = session_.State().Order()[std::size_t(step)];
    const CoursePage page = NewKeyPage(added, edge_.Layout());
    ShowPage(page.Title, page.Text);
    Keyboard->ShowNextCharacter(static_cast<unsigned char>(added.Chars[0]));
}

void CourseWindow::ShowResult(const CourseSession::KeyOutcome& outcome) {
    if (!outcome.Result) return;
    window_style::ShowResultText(Result, LessonReportText(session_.State().Order(), *outcome.Result));
}

void CourseWindow::EndPage() {
    page_ = false;
    ShowLesson();
}

void CourseWindow::SaveState() {
    try {
        session_.Save();
    } catch (const IoError& error) {
        if (services_.ShowMessage) services_.ShowMessage(IoErrorMessage(error));
    }
}

void CourseWindow::closeEvent(QCloseEvent* event) {
    if (started_) SaveState();
    event->accept();
}
