// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/text_window.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QScreen>
#include <QShortcut>
#include <QTextCursor>
#include <QVBoxLayout>
#include <algorithm>

#include "app/qt_text.h"
#include "app/text_files.h"
#include "app/window_style.h"
#include "common/io_error.h"
#include "keyboard/layout.h"

using namespace window_style;

const char* const kTextWindowTitle = "Vos textes";

namespace {

constexpr const char* kTypographySetting = "typographie";
constexpr const char* kTypographyKept = "origine";
constexpr int kPollMs = 30;

QString Utf8(const std::string& text) { return QString::fromStdString(text); }

QTextCharFormat Style(int style) {
    QTextCharFormat format;
    // Typed in grey, a character that drew a wrong key in red, the next one marked.
    format.setForeground(style & 2 ? QColor(0xc0, 0, 0) : style & 1 ? QColor(0x8c, 0x8c, 0x8c) : kNavy);
    format.setFontUnderline((style & 6) != 0);
    format.setBackground(style & 4 ? QBrush(QColor(0xff, 0xd6, 0x66)) : QBrush(Qt::NoBrush));
    return format;
}

QPushButton* Button(const char* caption, QWidget* parent) {
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setFocusPolicy(Qt::ClickFocus);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

TextWindow::TextWindow(KeyboardEdge& edge, ProgressRecord& record, TextServices services, QWidget* parent)
    : QWidget(parent, Qt::Window), edge_(edge), session_(record, edge.ProgramFolder()), services_(std::move(services)) {
    SetDialogs();
    setWindowTitle(QString::fromUtf8(kTextWindowTitle));
    auto* layout = new QVBoxLayout(this);
    Heading = new QLabel(this);
    Heading->setFont(PixelFont("Times New Roman", 15, true));
    Heading->setWordWrap(true);
    auto* recentLabel = new QLabel(QString::fromUtf8("Textes récents (double-cliquez pour reprendre)\u00A0:"), this);
    Recent = new QListWidget(this);
    Recent->setFocusPolicy(Qt::ClickFocus);
    Recent->setFixedHeight(4 * Recent->fontMetrics().height() + 12);
    OpenButton = Button("Ouvrir un texte…", this);
    Hint(OpenButton, "Ouvrir un texte (UTF-8, UTF-16, Windows-1252 ou Latin-9) ou un livre EPUB sans DRM.");
    ForgetButton = Button("Retirer de la liste", this);
    Progress = new QProgressBar(this);
    Progress->setRange(0, 100);
    Progress->setTextVisible(false);
    Progress->setFixedHeight(9);
    // Its room is kept while hidden, so that nothing moves when a reading starts.
    QSizePolicy keptRoom = Progress->sizePolicy();
    keptRoom.setRetainSizeWhenHidden(true);
    Progress->setSizePolicy(keptRoom);
    Progress->hide();
    Model = new QTextEdit(this);
    Model->setReadOnly(true);
    Model->setTextInteractionFlags(Qt::NoTextInteraction);
    Model->setFocusPolicy(Qt::NoFocus);
    Model->setFont(PixelFont("Arial", 19));
    Model->setMinimumHeight(5 * QFontMetrics(Model->font()).lineSpacing() + 12);  // five lines
    SetColours(Model, kNavy, &kPaleYellow);
    Field = new TypingEdit(this);
    StyleTypingField(Field);
    Field->setToolTip(QString::fromUtf8("Recopiez le passage ci-dessus\u00A0; Echap le recommence."));
    Result = NewResultLabel(this);
    Info = NewInfoLabel(this);
    Keyboard = new OnscreenKeyboard(this);
    Keyboard->hide();
    TypographyBox = new QCheckBox(QString::fromUtf8("Typographie d'origine"), this);
    TypographyBox->setFocusPolicy(Qt::ClickFocus);
    Hint(TypographyBox,
         "Garder l'apostrophe et les guillemets courbes, les points de suspension et les tirets du texte quand "
         "votre clavier les tape\u00A0; sinon ils deviennent ' \" ... et -.");
    KeyboardBox = new QCheckBox(QString::fromUtf8("Clavier visuel (F4)"), this);
    KeyboardBox->setFocusPolicy(Qt::ClickFocus);
    NextButton = Button("Passage suivant", this);
    CloseButton = Button("Fermer", this);
    Timer = new QTimer(this);
    Timer->setInterval(kPollMs);

    auto* files = new QHBoxLayout;
    files->addWidget(OpenButton);
    files->addWidget(ForgetButton);
    files->addStretch();
    auto* controls = new QHBoxLayout;
    controls->addWidget(TypographyBox);
    controls->addWidget(KeyboardBox);
    controls->addStretch();
    controls->addWidget(NextButton);
    controls->addWidget(CloseButton);
    layout->addWidget(Heading);
    layout->addWidget(recentLabel);
    layout->addWidget(Recent);
    layout->addLayout(files);
    layout->addWidget(Progress);
    layout->addWidget(Model, 1);
    layout->addWidget(Field);
    layout->addWidget(Result);
    layout->addWidget(Info);
    layout->addWidget(Keyboard, 2);
    layout->addLayout(controls);
    resize(680, minimumSizeHint().height());

    connect(Field, &TypingEdit::keyStruck, this,
            [this](quint32 keycode, quint32 keysym, int qtKey, const QString& text, quint64 time) {
                const std::u32string chars = text.toStdU32String();
                Key(KeyPress{keycode, keysym, qtKey, chars}, time);
            });
    connect(Timer, &QTimer::timeout, this, &TextWindow::Poll);
    connect(OpenButton, &QPushButton::clicked, this, &TextWindow::ChooseAndOpen);
    connect(Recent, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { OpenRecent(item->data(Qt::UserRole).toByteArray().toStdString()); });
    connect(ForgetButton, &QPushButton::clicked, this, [this] {
        if (QListWidgetItem* item = Recent->currentItem()) {
            try {
                session_.Forget(item->data(Qt::UserRole).toByteArray().toStdString());
            } catch (const IoError& error) {
                Say(IoErrorMessage(error));
            }
            ShowRecent();
        }
        Field->setFocus();
    });
    connect(NextButton, &QPushButton::clicked, this, &TextWindow::NextPassage);
    connect(CloseButton, &QPushButton::clicked, this, &QWidget::close);
    connect(TypographyBox, &QCheckBox::toggled, this, [this](bool kept) {
        edge_.ChangeSetting(kTypographySetting, kept ? std::optional<std::string>(kTypographyKept) : std::nullopt);
        LayoutChanged();
        Field->setFocus();
    });
    connect(KeyboardBox, &QCheckBox::toggled, this, &TextWindow::ShowKeyboard);
    auto* f4 = new QShortcut(QKeySequence(Qt::Key_F4), this);
    f4->setContext(Qt::WindowShortcut);
    connect(f4, &QShortcut::activated, KeyboardBox, &QCheckBox::toggle);
    // The passage under way belongs to the layout it was typed on: cut, then the text is
    // read again with what the new layout types.
    connect(&edge_, &KeyboardEdge::layoutChanging, this, [this] {
        session_.Restart();
        ShowPassage();
    });
    connect(&edge_, &KeyboardEdge::layoutChanged, this, [this] {
        if (started_) LayoutChanged();
    });
}

void TextWindow::Start() {
    if (started_) return;
    started_ = true;
    TypographyBox->blockSignals(true);
    TypographyBox->setChecked(edge_.Setting(kTypographySetting) == kTypographyKept);
    TypographyBox->blockSignals(false);
    session_.SetLayout(edge_.Layout(), TypographyBox->isChecked());
    Keyboard->SetLayout(edge_.LayoutShared());
    const std::string message = session_.LoadPlaces();
    session_.CheckRecentFiles();
    Timer->start();
    ShowRecent();
    ShowPassage();
    if (!message.empty()) Say(message);
}

void TextWindow::LayoutChanged() {
    session_.SetLayout(edge_.Layout(), TypographyBox->isChecked());
    Keyboard->SetLayout(edge_.LayoutShared());
    session_.Reopen();
    Timer->start();
}

void TextWindow::Open(const std::string& path) {
    if (path.empty()) return;
    session_.Open(path, services_.PassageLength ? services_.PassageLength() : PassageLengthForSentences(3));
    Progress->setValue(0);
    Timer->start();
    ShowState();
}

void TextWindow::Poll() {
    if (asking_) return;
    const TextSession::Polled polled = session_.Poll();
    if (std::optional<std::vector<TextSession::FileStatus>> statuses = session_.RecentStatuses()) {
        statuses_ = std::move(*statuses);
        ShowRecent();
    }
    Progress->setVisible(polled.Loading);
    Progress->setValue(int(polled.Share * 100));
    if (!session_.Loading() && !session_.Checking()) Timer->stop();
    Polled(polled);
}

void TextWindow::Polled(const TextSession::Polled& polled) {
    if (polled.NewPassage) {
        ShowPassage();
        Field->setFocus();
    }
    if (polled.TextRead) ShowRecent();
    // What the window shows is set before a message or a question is shown over it.
    if (polled.Loading || polled.TextRead || polled.NewPassage || !polled.Message.empty() || polled.Missing)
        ShowState();
    asking_ = true;
    if (polled.Missing) {
        FileMissing(*polled.Missing);
    } else if (polled.AskChanged) {
        if (Ask(polled.Message, {"Recommencer au début", "Reprendre"}) == 0) {
            const std::string failed = session_.StartOver();
            ShowPassage();
            ShowRecent();
            if (!failed.empty()) Say(failed);
        }
    } else if (!polled.Message.empty()) {
        Say(polled.Message);
    }
    asking_ = false;
    if (polled.AskChanged) ShowState();
}

void TextWindow::ShowPassage() {
    starts_.clear();
    QString text;
    int start = 0;
    for (const std::string& line : session_.Lines()) {
        if (!starts_.empty()) text += '\n';
        starts_.push_back(start);
        start += int(line.size());
        text += ToQString(line);
    }
    Model->setPlainText(text);
    Field->SetText("");
    painted_ = 0;
    PaintModel(0, start);
    ShowState();
}

void TextWindow::PaintModel(int from, int to) {
    const std::vector<uint8_t>& missed = session_.Missed();
    const int typed = session_.Typed(), end = std::min(to, int(missed.size()));
    const auto style = [&](int i) {
        return (i < typed ? 1 : 0) | (missed[std::size_t(i)] > 0 ? 2 : 0) |
               (i == typed && !session_.Finished() ? 4 : 0);
    };
    // A character's place in the document, whose paragraphs are each one position apart.
    const auto position = [&](int i) {
        return i + int(std::upper_bound(starts_.begin(), starts_.end(), i) - starts_.begin()) - 1;
    };
    QTextCursor cursor(Model->document());
    for (int i = std::max(0, from); i < end;) {
        const int kind = style(i);
        int j = i + 1;
        while (j < end && style(j) == kind) ++j;
        cursor.setPosition(position(i));
        cursor.setPosition(position(j - 1) + 1, QTextCursor::KeepAnchor);
        cursor.setCharFormat(Style(kind));
        i = j;
    }
    painted_ = typed;
    if (typed < int(missed.size())) {
        cursor.setPosition(position(typed));
        Model->setTextCursor(cursor);
        Model->ensureCursorVisible();
    }
}

void TextWindow::ShowState() {
    if (session_.HasPassage()) {
        Heading->setText(Utf8(session_.Heading()));
    } else {
        Heading->setText(
            QString::fromUtf8("Vos textes\u00A0: ouvrez un texte ou un livre EPUB pour vous entraîner "
                              "dessus, passage après passage."));
    }
    QString info = Utf8(session_.Summary());
    if (session_.Loading()) {
        info = QString::fromUtf8("Lecture de %1…").arg(Quoted(PathToQString(session_.LoadingPath()).toStdString()));
    } else if (session_.Finished()) {
        if (!info.isEmpty()) info += QString::fromUtf8(" — ");
        info += session_.NextReady() ? QString::fromUtf8("Entrée\u00A0: passage suivant.")
                : session_.PassageCount() > 0 && session_.PassageIndex() + 1 >= session_.PassageCount()
                    ? QString::fromUtf8("Vous êtes arrivé à la fin du texte.")
                    : QString();
    }
    Info->setText(info);
    NextButton->setEnabled(session_.NextReady());
    if (Keyboard->isVisible())
        Keyboard->ShowNext(session_.Finished() ? std::vector<Keystroke>()
                                               : session_.Cursor().ExpectedStrokes(edge_.Layout()));
}

void TextWindow::CopyPassage() {
    QString text = ToQString(session_.Passage());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QGuiApplication::clipboard()->setText(text);
}

void TextWindow::Key(const KeyPress& press, uint64_t eventMs) {
    const KeyboardEdge::Key struck = edge_.Press(this, press, eventMs);
    // Ctrl+C copies the passage, to look a word up or to keep it; it types nothing.
    if (press.Text == U"\x03") {
        CopyPassage();
        return;
    }
    if (press.QtKey == Qt::Key_Return || press.QtKey == Qt::Key_Enter) {
        if (session_.Finished()) NextPassage();
        return;
    }
    if (press.QtKey == Qt::Key_Escape) {
        edge_.ForgetDeadKey();
        session_.Restart();
        Field->SetText("");
        PaintModel(0, int(session_.Missed().size()));
        ShowState();
        return;
    }
    if (!session_.HasPassage() || session_.Finished()) return;
    const TranslatedKey& key = struck.Translated;
    session_.KeyDown(key.VirtualKey);
    for (const std::optional<unsigned char>& ch : TypedBytes(key)) {
        const int before = painted_;
        const TextSession::KeyOutcome outcome = session_.KeyPress(ch, struck.At);
        PaintModel(std::min(before, session_.Typed()), std::max(before, session_.Typed()) + 1);
        if (!outcome.Correct) {
            ShowWrongKey(Keyboard, Field, key.Place, services_);
            continue;
        }
        const TypingCursor& cursor = session_.Cursor();
        Field->SetText(session_.Lines()[std::size_t(cursor.CurrentLine())].substr(0, std::size_t(cursor.Typed())));
        Field->SetCaret(int(Field->text().size()));
        if (outcome.Finished) {
            PassageDone(outcome);
            return;
        }
    }
    ShowState();
}

void TextWindow::PassageDone(const TextSession::KeyOutcome& outcome) {
    ShowResultText(Result, outcome.Result);
    ShowState();
    ShowRecent();
    services_.RunEnded(outcome.Row);
    if (!outcome.PlaceError.empty()) Say(outcome.PlaceError);
    edge_.CheckTypedKeys();
}

void TextWindow::NextPassage() {
    std::string failed;
    if (session_.Next(failed)) {
        ShowPassage();
        ShowRecent();
    }
    Field->setFocus();
    if (!failed.empty()) Say(failed);
}

void TextWindow::ShowKeyboard(bool shown) {
    if (shown == Keyboard->isVisible()) return;
    // The window grows by the keyboard's height, inside the screen, and shrinks back.
    const int height = Keyboard->sizeHint().height() * Field->width() / std::max(1, Keyboard->sizeHint().width());
    Keyboard->setVisible(shown);
    int grown = this->height() + (shown ? height : -height);
    if (QScreen* screen = this->screen()) grown = std::min(grown, screen->availableGeometry().height() - 40);
    resize(width(), std::max(grown, minimumSizeHint().height()));
    ShowState();
    Field->setFocus();
}

void TextWindow::SetDialogs() {
    if (!services_.Ask)
        services_.Ask = [this](const std::string& text, const std::vector<std::string>& buttons) {
            return AskBox(this, text, buttons);
        };
    if (!services_.ChooseFile)
        services_.ChooseFile = [this](const std::string& folder) { return ChooseTextFile(this, folder); };
}

void TextWindow::ChooseAndOpen() {
    // Where the text shown, or else the latest one, lies.
    const std::vector<TextPlace>& recent = session_.Places().Recent();
    Open(services_.ChooseFile(ChooserFolder(!session_.Path().empty() ? session_.Path()
                                            : recent.empty()         ? std::string()
                                                                     : recent.front().Identity.Path)));
    Field->setFocus();
}

void TextWindow::OpenRecent(const std::string& path) {
    for (const TextSession::FileStatus& status : statuses_) {
        if (status.Path != path || status.Status != TextFileStatus::Missing) continue;
        if (const TextPlace* place = session_.Places().AtPath(path)) FileMissing(*place);
        return;
    }
    Open(path);
    Field->setFocus();
}

void TextWindow::FileMissing(const TextPlace& place) {
    const int choice =
        Ask(place.StatusMessage(TextFileStatus::Missing), {"Le retrouver…", "Retirer de la liste", "Annuler"});
    if (choice == 0) {
        // Opened under its new name, the text is found again by its content.
        Open(services_.ChooseFile(ChooserFolder(place.Identity.Path)));
    } else if (choice == 1) {
        try {
            session_.Forget(place.Identity.Path);
        } catch (const IoError& error) {
            Say(IoErrorMessage(error));
        }
        ShowRecent();
    }
}

void TextWindow::ShowRecent() {
    Recent->clear();
    for (const TextPlace& place : session_.Places().Recent()) {
        auto* item = new QListWidgetItem(RecentLine(place, statuses_), Recent);
        item->setData(Qt::UserRole, QByteArray::fromStdString(place.Identity.Path));
        item->setToolTip(PathToQString(place.Identity.Path));
    }
    ForgetButton->setEnabled(Recent->count() > 0);
}

int TextWindow::Ask(const std::string& text, const std::vector<std::string>& buttons) const {
    return services_.Ask ? services_.Ask(text, buttons) : -1;
}

void TextWindow::Say(const std::string& utf8) const {
    if (services_.ShowMessage) services_.ShowMessage(utf8);
}
