#include "FlexGrid.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QStandardPaths>
#include <QStringList>

#include "FlexGridModel.h"
#include "common/Csv.h"
#include "common/WholeFile.h"
#include "ui/common/MessageBox.h"
#include "ui/common/Twips.h"

namespace kivora {

namespace {

Qt::Alignment FromFlexAlignment(int alignment) {
    Qt::Alignment horizontal = Qt::AlignLeft;
    if (alignment >= 3 && alignment <= 5) {
        horizontal = Qt::AlignHCenter;
    } else if (alignment >= 6 && alignment <= 8) {
        horizontal = Qt::AlignRight;
    }
    Qt::Alignment vertical = Qt::AlignVCenter;
    if (alignment >= 0 && alignment <= 8) {
        const int v = alignment % 3;
        vertical = v == 0 ? Qt::AlignTop : v == 1 ? Qt::AlignVCenter : Qt::AlignBottom;
    }
    return horizontal | vertical;
}

QColor FromBgr(uint32_t bgr) {
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

const QString kTextFilter = QStringLiteral("Text files (*.txt)");
const QString kCsvFilter = QStringLiteral("CSV files (*.csv)");

std::optional<FlexGrid::SaveTarget> AskWhereToSave(QWidget* parent) {
    QFileDialog dialog(parent, QStringLiteral("Save tickets as"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters({kTextFilter, kCsvFilter});
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    dialog.setDirectory(QDir(documents).exists() ? documents : QDir::homePath());
    dialog.selectFile(QStringLiteral("tickets"));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& f) {
        dialog.setDefaultSuffix(f == kCsvFilter ? QStringLiteral("csv") : QStringLiteral("txt"));
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    const QString path = dialog.selectedFiles().constFirst();
    return FlexGrid::SaveTarget{
        path, FlexGrid::FormatFor(path, dialog.selectedNameFilter() == kCsvFilter)};
}

} // namespace

FlexGrid::FlexGrid(const QString& formatString, QWidget* parent)
    : QTableView(parent), model_(new FlexGridModel(this)),
      copyAction_(new QAction(QStringLiteral("&Copy tickets"), this)),
      saveAction_(new QAction(QStringLiteral("&Save tickets as\u2026"), this)),
      saveDialog_(AskWhereToSave) {
    setModel(model_);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setTabKeyNavigation(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

    const int rowHeight = fontMetrics().height() + 3;
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(rowHeight);
    verticalHeader()->setMinimumSectionSize(rowHeight);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setFixedHeight(rowHeight);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setHighlightSections(false);
    // Fixed cells in button colours with black lines; cells in window colours with light grey
    // lines; the area beyond the last row mid grey.
    setStyleSheet(QStringLiteral(
        "QTableView { gridline-color: rgb(192,192,192); background-color: rgb(128,128,128); }"
        // The headers' own background shows beside the fixed cells: below the label column's
        // last row and right of the heading row's last column.
        "QHeaderView { background-color: rgb(128,128,128); }"
        "QHeaderView::section { background-color: palette(button); color: palette(button-text);"
        " border: none; border-right: 1px solid black; border-bottom: 1px solid black;"
        " padding: 0px 2px; }"
        "QTableCornerButton::section { background-color: palette(button); border: none;"
        " border-right: 1px solid black; border-bottom: 1px solid black; }"));

    const QStringList columns = formatString.split(QLatin1Char('|'));
    model_->Resize(1, static_cast<int>(columns.size()));
    for (int c = 0; c < columns.size(); ++c) {
        QString heading = columns.at(c);
        Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
        if (!heading.isEmpty() && QStringLiteral("<^>").contains(heading.front())) {
            const QChar mark = heading.front();
            alignment = (mark == QLatin1Char('<')   ? Qt::AlignLeft
                         : mark == QLatin1Char('^') ? Qt::AlignHCenter
                                                    : Qt::AlignRight) |
                        Qt::AlignVCenter;
            heading.remove(0, 1);
        }
        model_->SetText(0, c, heading);
        model_->SetAlignment(c, alignment);
        const int pixels = fontMetrics().horizontalAdvance(heading) + 6;
        model_->SetWidthTwips(c, pixels * kTwipsPerPixel);
        ApplyWidth(c);
    }

    // Ctrl+C copies the tickets wherever the focus is in the grid's window.
    copyAction_->setShortcut(QKeySequence::Copy);
    copyAction_->setShortcutContext(Qt::WindowShortcut);
    connect(copyAction_, &QAction::triggered, this, &FlexGrid::CopyTickets);
    connect(saveAction_, &QAction::triggered, this, &FlexGrid::SaveTicketsAs);
    addAction(copyAction_);
    addAction(saveAction_);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(model_, &QAbstractItemModel::modelReset, this, &FlexGrid::UpdateActions);
    UpdateActions();
}

FlexGrid::~FlexGrid() = default;

void FlexGrid::UpdateActions() {
    copyAction_->setEnabled(HasTickets());
    saveAction_->setEnabled(HasTickets());
}

bool FlexGrid::HasTickets() const {
    return Rows() > 1;
}

void FlexGrid::Clear() {
    model_->ClearCells();
}

int FlexGrid::Rows() const {
    return model_->Rows();
}

void FlexGrid::SetRows(int rows) {
    model_->Resize(rows, model_->Cols());
}

int FlexGrid::Cols() const {
    return model_->Cols();
}

void FlexGrid::SetCols(int cols) {
    model_->Resize(model_->Rows(), cols);
    for (int c = 0; c < model_->Cols(); ++c) {
        ApplyWidth(c);
    }
}

void FlexGrid::SetColWidth(int col, int twips) {
    model_->SetWidthTwips(col, twips);
    ApplyWidth(col);
}

void FlexGrid::SetColAlignment(int col, int alignment) {
    model_->SetAlignment(col, FromFlexAlignment(alignment));
}

void FlexGrid::SetRow(int row) {
    row_ = row;
}

void FlexGrid::SetCol(int col) {
    col_ = col;
}

std::string FlexGrid::Text() const {
    return CellText(row_, col_).toStdString();
}

void FlexGrid::SetText(const std::string& text) {
    model_->SetText(row_, col_, QString::fromStdString(text));
}

void FlexGrid::SetCellBackColor(uint32_t bgr) {
    model_->SetBack(row_, col_, FromBgr(bgr));
}

QString FlexGrid::CellText(int row, int col) const {
    return model_->At(row, col).text;
}

QColor FlexGrid::CellColor(int row, int col) const {
    return model_->At(row, col).back;
}

int FlexGrid::ColWidthPixels(int col) const {
    return (model_->WidthTwips(col) + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

Qt::Alignment FlexGrid::ColAlignmentFlags(int col) const {
    return model_->Alignment(col);
}

void FlexGrid::SetCheck(const QList<QList<bool>>& marked, const QStringList& match) {
    model_->SetCheck(marked, match);
    if (model_->HasCheck()) {
        const int matchColumn = model_->Cols() - 1;
        setColumnWidth(matchColumn, fontMetrics().horizontalAdvance(QStringLiteral("5 + 2 supp")) +
                                        fontMetrics().averageCharWidth() * 6);
    }
}

void FlexGrid::ClearCheck() {
    model_->ClearCheck();
}

bool FlexGrid::Marked(int row, int col) const {
    return model_->Marked(row, col);
}

QString FlexGrid::MatchText(int row) const {
    return model_->MatchText(row);
}

void FlexGrid::ApplyWidth(int col) {
    const int pixels = ColWidthPixels(col);
    if (col == 0) {
        verticalHeader()->setFixedWidth(pixels);
    } else if (col < model_->Cols()) {
        setColumnWidth(col - 1, pixels);
    }
}

QString FlexGrid::TicketsAsText() const {
    QStringList lines;
    for (int r = 1; r < Rows(); ++r) {
        QStringList numbers;
        for (int c = 1; c < Cols(); ++c) {
            numbers << CellText(r, c);
        }
        lines << numbers.join(QLatin1Char('\t'));
    }
    return lines.isEmpty() ? QString() : lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QString FlexGrid::TicketsAsCsv() const {
    if (!HasTickets()) {
        return {};
    }
    QStringList lines;
    for (int r = 0; r < Rows(); ++r) {
        QStringList fields{r == 0 ? QStringLiteral("Ticket") : CsvField(CellText(r, 0).trimmed())};
        for (int c = 1; c < Cols(); ++c) {
            fields << CsvField(CellText(r, c).trimmed());
        }
        lines << fields.join(QLatin1Char(','));
    }
    // CSV lines end in CR LF.
    return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

void FlexGrid::CopyTickets() {
    if (!HasTickets()) {
        return;
    }
    if (QClipboard* clipboard = QApplication::clipboard()) {
        clipboard->setText(TicketsAsText());
    }
}

void FlexGrid::SetSaveDialog(SaveDialog dialog) {
    saveDialog_ = std::move(dialog);
}

FlexGrid::FileFormat FlexGrid::FormatFor(const QString& path, bool csvFilterChosen) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("csv")) {
        return FileFormat::Csv;
    }
    if (suffix == QLatin1String("txt")) {
        return FileFormat::Text;
    }
    return csvFilterChosen ? FileFormat::Csv : FileFormat::Text;
}

void FlexGrid::SaveTicketsAs() {
    if (!HasTickets() || !saveDialog_) {
        return;
    }
    const std::optional<SaveTarget> target = saveDialog_(this);
    if (!target || target->path.isEmpty()) {
        return;
    }
    const QString text = target->format == FileFormat::Csv ? TicketsAsCsv() : TicketsAsText();
    QString error;
    if (!WriteWholeFile(target->path, text.toUtf8(), &error)) {
        MessageBox::Show(this,
                         QStringLiteral("The tickets could not be saved to %1.\n\n%2")
                             .arg(QDir::toNativeSeparators(target->path), error),
                         QMessageBox::Critical);
    }
}

// With the grid focused, the table view claims Ctrl+C before the window-wide action sees it and
// would copy only its current cell: copy the tickets here too.
void FlexGrid::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        CopyTickets();
        event->accept();
        return;
    }
    // Shift+F10 is the other key for the context menu; the platform only maps the Menu key.
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
        OpenMenuFromKeyboard();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

// The menu opens over the current cell, as the Menu key opens it, or at the grid's corner.
void FlexGrid::OpenMenuFromKeyboard() {
    const QRect cell = visualRect(currentIndex());
    const QPoint inViewport =
        cell.isValid() && viewport()->rect().contains(cell.center()) ? cell.center() : QPoint(2, 2);
    QContextMenuEvent menu(QContextMenuEvent::Keyboard, inViewport,
                           viewport()->mapToGlobal(inViewport));
    QCoreApplication::sendEvent(viewport(), &menu);
}

} // namespace kivora
