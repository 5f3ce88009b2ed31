// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/stats_window.h"

#include <QCloseEvent>
#include <QDate>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLocale>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>

#include "app/qt_text.h"
#include "app/window_style.h"
#include "common/cp1252.h"
#include "stats/history.h"
#include "stats/key_report.h"

const char* const kStatsWindowTitle = "Statistiques détaillées";

using window_style::CountText;

namespace {

QString Utf8(const std::string& text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

QString PairText(const PairFigure& pair) {
    return Utf8(KeyName(pair.Previous)) + QString::fromUtf8(" → ") + Utf8(KeyName(pair.Current));
}

QTableWidget* NewTable(const QStringList& headers, QWidget* parent) {
    auto* table = new QTableWidget(0, int(headers.size()), parent);
    table->setHorizontalHeaderLabels(headers);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->verticalHeader()->setVisible(false);
    table->verticalHeader()->setDefaultSectionSize(18);
    table->horizontalHeader()->setFont(window_style::PixelFont("Times New Roman", 13));
    table->horizontalHeader()->setStretchLastSection(true);
    table->setAlternatingRowColors(true);
    table->setMinimumHeight(60);
    QPalette palette = table->palette();
    palette.setColor(QPalette::Base, window_style::kPaleYellow);
    palette.setColor(QPalette::AlternateBase, QColor(246, 246, 214));
    palette.setColor(QPalette::Text, window_style::kNavy);
    table->setPalette(palette);
    return table;
}

QTableWidgetItem* Cell(const QString& text, bool number) {
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(number ? Qt::AlignRight | Qt::AlignVCenter : Qt::AlignLeft | Qt::AlignVCenter);
    return item;
}

// Rows of pairs: the pair, its mean, its samples, and (when given) an example word.
void FillPairs(QTableWidget* table, const std::vector<PairFigure>& pairs, const std::vector<std::string>* words) {
    table->setUpdatesEnabled(false);
    table->clearSelection();  // a row chosen before may now hold another pair
    table->setRowCount(int(pairs.size()));
    for (int i = 0; i < int(pairs.size()); ++i) {
        const PairFigure& pair = pairs[std::size_t(i)];
        table->setItem(i, 0, Cell(PairText(pair), false));
        table->setItem(i, 1, Cell(QString::number(pair.MeanMs), true));
        table->setItem(i, 2, Cell(QString::number(pair.Samples), true));
        if (words) {
            const std::string& word = (*words)[std::size_t(i)];
            table->setItem(i, 3, Cell(word.empty() ? QString::fromUtf8("—") : ToQString(word).trimmed(), false));
        }
    }
    table->resizeColumnsToContents();
    table->setUpdatesEnabled(true);
}

// A word-wrapped label that asks for the height of its text at its present width. It
// does not declare a height for width: a scroll area holding such a page would reckon its
// preferred height, not its minimum, and scroll where everything fits.
class WrappedLabel : public QLabel {
public:
    using QLabel::QLabel;
    bool hasHeightForWidth() const override { return false; }
    QSize minimumSizeHint() const override { return {QLabel::minimumSizeHint().width(), TextHeight()}; }
    QSize sizeHint() const override { return {QLabel::sizeHint().width(), TextHeight()}; }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QLabel::resizeEvent(event);
        if (event->oldSize().width() != width()) updateGeometry();
    }

private:
    int TextHeight() const { return width() < 50 ? QLabel::sizeHint().height() : heightForWidth(width()); }
};

// A tab's page in a frameless scroll area: the page fills the tab when there is room and
// scrolls when the window is smaller than the page's minimum (a large scale, a small
// screen).
QScrollArea* Scrollable(QWidget* page) {
    auto* area = new QScrollArea;
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    area->setWidget(page);
    return area;
}

// The pair of the selected row, none when no row is selected.
std::optional<PairFigure> SelectedPair(const QTableWidget* table, const std::vector<PairFigure>& pairs) {
    const QModelIndexList rows = table->selectionModel()->selectedRows();
    if (rows.isEmpty() || rows.front().row() < 0 || std::size_t(rows.front().row()) >= pairs.size()) return {};
    return pairs[std::size_t(rows.front().row())];
}

QPushButton* PractiseButton(const char* text, QWidget* parent) {
    auto* button = new QPushButton(QString::fromUtf8(text), parent);
    button->setFont(window_style::PixelFont("Times New Roman", 13));
    button->setEnabled(false);
    button->hide();  // until there is somewhere to practise
    return button;
}

QLabel* Heading(const QString& text, QWidget* parent) {
    auto* label = new WrappedLabel(text, parent);
    label->setFont(window_style::PixelFont("Times New Roman", 13));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(palette);
    label->setWordWrap(true);
    return label;
}

}  // namespace

StatsWindow::StatsWindow(const ProgressRecord& record, const Lexicon& lexicon, std::string historyPath, QWidget* parent)
    : QWidget(parent, Qt::Window), record_(record), lexicon_(lexicon), historyPath_(std::move(historyPath)) {
    setWindowTitle(QString::fromUtf8(kStatsWindowTitle));
    setFont(window_style::PixelFont("MS Sans Serif", 11));
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, window_style::kNavy);
    palette.setColor(QPalette::Text, window_style::kNavy);
    palette.setColor(QPalette::ButtonText, window_style::kNavy);
    setPalette(palette);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    Summary = Heading(QString(), this);
    layout->addWidget(Summary);
    auto* layoutRow = new QHBoxLayout;
    layoutRow->addWidget(Heading(QString::fromUtf8("Disposition du clavier :"), this));
    LayoutBox = new QComboBox(this);
    LayoutBox->setEnabled(false);
    layoutRow->addWidget(LayoutBox);
    // Beside the choice, not under it: the tabs keep the height.
    LayoutLine = Heading(QString(), this);
    layoutRow->addWidget(LayoutLine, 1);
    layout->addLayout(layoutRow);
    connect(LayoutBox, &QComboBox::activated, this, [this](int index) {
        const QString chosen = LayoutBox->itemData(index).toString();
        if (chosen.isEmpty()) {
            // The last entry: no choice of one's own, the system's layout.
            if (chooseSystemLayout_) chooseSystemLayout_();
            ShowLayout();
            return;
        }
        const std::optional<LayoutName> name = LayoutName::Parse(chosen.toStdString());
        if (!chooseLayout_ || !name) return;
        // The built-in copy stands in for a layout the XKB data lacked: choosing it again
        // tries the XKB data again.
        if (*name == ActiveLayout().Name() && !ActiveLayout().BuiltIn()) return;
        chooseLayout_(*name);
        ShowLayout();  // the layout switched to, or still the present one when it could not
    });
    Tabs = new QTabWidget(this);
    Tabs->setFont(window_style::PixelFont("Times New Roman", 13));
    Tabs->addTab(Scrollable(BuildKeyboardTab()), QString::fromUtf8("Clavier"));
    Tabs->addTab(Scrollable(BuildPairsTab()), QString::fromUtf8("Paires les plus lentes"));
    Tabs->addTab(Scrollable(BuildProgressTab()), QString::fromUtf8("Progression"));
    layout->addWidget(Tabs, 1);
    CloseButton = new QPushButton(QString::fromUtf8("Fermer (Echap)"), this);
    CloseButton->setFont(window_style::PixelFont("Times New Roman", 13));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(CloseButton);
    layout->addLayout(buttons);
    connect(CloseButton, &QPushButton::clicked, this, &QWidget::close);
    new QShortcut(QKeySequence(Qt::Key_Escape), this, [this] { close(); });
    // Within the screen, with room for the title bar and borders (sizes in device-independent
    // pixels: a scale of 2 on a 768-pixel screen leaves 384).
    QSize size(660, 520);
    if (const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size() - QSize(16, 40));
    resize(size);
    setMinimumSize(QSize(400, 300).boundedTo(size));
}

QWidget* StatsWindow::BuildKeyboardTab() {
    auto* tab = new QWidget;
    auto* layout = new QVBoxLayout(tab);
    Heatmap = new KeyboardHeatmap(tab);
    layout->addWidget(Heatmap, 3);
    KeyTitle = Heading(QString(), tab);
    layout->addWidget(KeyTitle);
    auto* tables = new QHBoxLayout;
    const QStringList headers = {QString::fromUtf8("Paire"), QString::fromUtf8("Moyenne (ms)"),
                                 QString::fromUtf8("Échantillons")};
    IntoTable = NewTable(headers, tab);
    OutOfTable = NewTable(headers, tab);
    tables->addWidget(IntoTable);
    tables->addWidget(OutOfTable);
    layout->addLayout(tables, 2);
    auto* buttons = new QHBoxLayout;
    KeyPractiseButton = PractiseButton("S'entraîner sur cette touche", tab);
    PairPractiseButton = PractiseButton("S'entraîner sur cette paire", tab);
    buttons->addWidget(KeyPractiseButton);
    buttons->addWidget(PairPractiseButton);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    connect(Heatmap, &KeyboardHeatmap::keyChosen, this, [this](int key) { ShowKey(key); });
    // One pair at a time: a row chosen in one table clears the other's.
    auto clearsTheOther = [this](QTableWidget* chosen, QTableWidget* cleared) {
        connect(chosen, &QTableWidget::itemSelectionChanged, this, [this, chosen, cleared] {
            if (chosen->selectionModel()->hasSelection()) cleared->clearSelection();
            UpdatePractise();
        });
    };
    clearsTheOther(IntoTable, OutOfTable);
    clearsTheOther(OutOfTable, IntoTable);
    connect(KeyPractiseButton, &QPushButton::clicked, this,
            [this] { Practise(KeyPractiseCharacters(Heatmap->ChosenKey())); });
    connect(PairPractiseButton, &QPushButton::clicked, this, [this] {
        std::optional<PairFigure> pair = SelectedPair(IntoTable, intoPairs_);
        if (!pair) pair = SelectedPair(OutOfTable, outOfPairs_);
        if (pair) Practise(PairPractiseCharacters(pair->Previous, pair->Current));
    });
    return tab;
}

QWidget* StatsWindow::BuildPairsTab() {
    auto* tab = new QWidget;
    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(Heading(QString::fromUtf8("Les 20 paires de touches que vous tapez le plus lentement, avec un "
                                                "mot du dictionnaire pour les travailler :"),
                              tab));
    SlowestTable = NewTable({QString::fromUtf8("Paire"), QString::fromUtf8("Moyenne (ms)"),
                             QString::fromUtf8("Échantillons"), QString::fromUtf8("Mot d'exemple")},
                            tab);
    layout->addWidget(SlowestTable, 1);
    auto* below = new QHBoxLayout;
    below->addWidget(
        Heading(
            QString::fromUtf8("Seules les paires mesurées au moins %1 fois sont classées.").arg(kRankedPairMinSamples),
            tab),
        1);
    SlowestPractiseButton = PractiseButton("S'entraîner sur cette paire", tab);
    below->addWidget(SlowestPractiseButton);
    layout->addLayout(below);
    connect(SlowestTable, &QTableWidget::itemSelectionChanged, this, [this] { UpdatePractise(); });
    connect(SlowestPractiseButton, &QPushButton::clicked, this, [this] {
        if (const std::optional<PairFigure> pair = SelectedPair(SlowestTable, slowestPairs_))
            Practise(PairPractiseCharacters(pair->Previous, pair->Current));
    });
    return tab;
}

QWidget* StatsWindow::BuildProgressTab() {
    auto* tab = new QWidget;
    auto* layout = new QVBoxLayout(tab);
    // Two rows, so that the tab keeps the window's width: the period and the detail, then
    // the runs of the layout counted (named at each refresh) or of every layout.
    auto* choices = new QGridLayout;
    PeriodBox = new QComboBox(tab);
    PeriodBox->addItems({QString::fromUtf8("30 derniers jours"), QString::fromUtf8("Depuis le début")});
    DetailBox = new QComboBox(tab);
    DetailBox->addItems({QString::fromUtf8("Par séance"), QString::fromUtf8("Par jour (moyenne)")});
    HistoryLayoutBox = new QComboBox(tab);
    HistoryLayoutBox->addItems({QString(), QString::fromUtf8("Toutes les dispositions")});
    choices->addWidget(Heading(QString::fromUtf8("Période\u00A0:"), tab), 0, 0);
    choices->addWidget(PeriodBox, 0, 1);
    choices->addWidget(Heading(QString::fromUtf8("Affichage\u00A0:"), tab), 0, 2);
    choices->addWidget(DetailBox, 0, 3);
    choices->addWidget(Heading(QString::fromUtf8("Disposition\u00A0:"), tab), 1, 0);
    choices->addWidget(HistoryLayoutBox, 1, 1, 1, 3, Qt::AlignLeft);
    choices->setColumnStretch(4, 1);
    layout->addLayout(choices);
    Chart = new ProgressChart(tab);
    layout->addWidget(Chart, 1);
    connect(PeriodBox, &QComboBox::currentIndexChanged, this, [this] { ShowChart(); });
    connect(DetailBox, &QComboBox::currentIndexChanged, this, [this] { ShowChart(); });
    connect(HistoryLayoutBox, &QComboBox::currentIndexChanged, this, [this] { ShowHistory(); });
    return tab;
}

void StatsWindow::SetSystemLayoutChooser(std::function<void()> choose) {
    chooseSystemLayout_ = std::move(choose);
    ShowLayout();
}

void StatsWindow::SetLayoutChooser(std::function<void(const LayoutName&)> choose) {
    chooseLayout_ = std::move(choose);
    LayoutBox->setEnabled(bool(chooseLayout_));
}

void StatsWindow::SetLayoutOrigin(std::string origin) {
    layoutOrigin_ = std::move(origin);
    ShowLayout();
}

void StatsWindow::SetPractise(std::function<void(const std::string&)> practise) {
    practise_ = std::move(practise);
    UpdatePractise();
}

void StatsWindow::Refresh() {
    ShowLayout();
    report_ = BuildKeyReport(record_);
    Heatmap->SetReport(report_);
    slowestPairs_ = SlowestPairs(record_, 20);
    const std::vector<std::string> words = ExampleWords(lexicon_, slowestPairs_);
    FillPairs(SlowestTable, slowestPairs_, &words);
    // Until the user chooses, show the pairs of the slowest key.
    if (Heatmap->ChosenKey() == 0) Heatmap->SetChosenKey(report_.SlowestKey);
    ShowKey(Heatmap->ChosenKey());
    HistoryLayoutBox->setItemText(0, Utf8(LayoutLabel(ActiveLayout().Name())));
    ShowHistory();
}

void StatsWindow::ShowHistory() {
    const std::string layout = HistoryLayoutBox->currentIndex() == 0 ? ActiveLayout().Name().Text() : std::string();
    HistoryReadResult history = ReadHistoryFile(historyPath_, LocalDayToday(), layout);
    runs_ = int32_t(std::min<int64_t>(history.Summary.Runs, INT32_MAX));
    damaged_ = int32_t(std::min<int64_t>(history.Summary.Ignored(), INT32_MAX));
    QString text = QString::fromUtf8("Progrès : %1 sur %2. ")
                       .arg(CountText(report_.TotalSamples, "intervalle mesuré", "intervalles mesurés"))
                       .arg(CountText(report_.MeasuredPairs, "paire de touches", "paires de touches"));
    const QString path = Utf8(historyPath_);
    const QString file = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    if (history.Error) {
        text += Utf8(HistoryReadErrorText(*history.Error));
    } else if (runs_ == 0 && damaged_ == 0) {
        text += QString::fromUtf8("Historique : aucune séance enregistrée pour l'instant.");
    } else {
        text += QString::fromUtf8("Historique : %1.").arg(CountText(runs_, "séance", "séances"));
    }
    if (damaged_ > 0)
        text += QString::fromUtf8(" %1 de %2 %3.")
                    .arg(CountText(damaged_, "ligne endommagée", "lignes endommagées"))
                    .arg(file)
                    .arg(QString::fromUtf8(damaged_ >= 2 ? "ont été ignorées" : "a été ignorée"));
    Summary->setText(text);
    Chart->SetHistory(std::move(history.Summary));
    ShowChart();
}

void StatsWindow::ShowKey(int key) {
    if (key < 1 || key > kKeyCount) {
        KeyTitle->setText(
            QString::fromUtf8("Cliquez sur une touche pour voir les paires qui y mènent et qui en "
                              "partent."));
        intoPairs_.clear();
        outOfPairs_.clear();
        IntoTable->setRowCount(0);
        OutOfTable->setRowCount(0);
        UpdatePractise();
        return;
    }
    const KeyFigures& figures = report_.Keys[std::size_t(key)];
    KeyTitle->setText(KeyFiguresText(key, figures) +
                      QString::fromUtf8(figures.Samples ? ". À gauche les paires qui y mènent, à droite celles qui "
                                                          "en partent."
                                                        : "."));
    intoPairs_ = PairsInto(record_, key);
    outOfPairs_ = PairsOutOf(record_, key);
    FillPairs(IntoTable, intoPairs_, nullptr);
    FillPairs(OutOfTable, outOfPairs_, nullptr);
    UpdatePractise();
}

void StatsWindow::ShowLayout() {
    const KeyboardLayout& active = ActiveLayout();
    std::vector<LayoutName> names = FrenchLayouts();
    if (std::find(names.begin(), names.end(), active.Name()) == names.end()) names.push_back(active.Name());
    const QSignalBlocker blocker(LayoutBox);
    LayoutBox->clear();
    for (const LayoutName& name : names) {
        LayoutBox->addItem(Utf8(LayoutLabel(name)), QString::fromStdString(name.Text()));
        if (name == active.Name()) LayoutBox->setCurrentIndex(LayoutBox->count() - 1);
    }
    if (chooseSystemLayout_) LayoutBox->addItem(QString::fromUtf8("Selon le système (détection)"), QString());
    std::string line = "Disposition\u00A0: " + LayoutLabel(active.Name());
    if (!layoutOrigin_.empty()) line += ", " + layoutOrigin_;
    line += "\u00A0; statistiques\u00A0: " + RecordFileName(active.Name());
    LayoutLine->setText(Utf8(line));
}

void StatsWindow::UpdatePractise() {
    const bool shown = bool(practise_);
    for (QPushButton* button : {KeyPractiseButton, PairPractiseButton, SlowestPractiseButton})
        button->setVisible(shown);
    KeyPractiseButton->setEnabled(!KeyPractiseCharacters(Heatmap->ChosenKey()).empty());
    auto usable = [](const std::optional<PairFigure>& pair) {
        return pair && !PairPractiseCharacters(pair->Previous, pair->Current).empty();
    };
    PairPractiseButton->setEnabled(usable(SelectedPair(IntoTable, intoPairs_)) ||
                                   usable(SelectedPair(OutOfTable, outOfPairs_)));
    SlowestPractiseButton->setEnabled(usable(SelectedPair(SlowestTable, slowestPairs_)));
}

void StatsWindow::Practise(const std::string& characters) {
    if (practise_ && !characters.empty()) practise_(characters);
}

void StatsWindow::ShowChart() {
    const int32_t today = int32_t(QDate(1970, 1, 1).daysTo(QDate::currentDate()));
    Chart->ShowPeriod(
        PeriodBox->currentIndex() == 0 ? ProgressChart::Period::Last30Days : ProgressChart::Period::AllTime,
        DetailBox->currentIndex() == 0 ? ProgressChart::Detail::PerRun : ProgressChart::Detail::PerDay, today);
}

void StatsWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    // Back to the main window, where typing goes on.
    if (QWidget* main = parentWidget()) main->activateWindow();
}
