#pragma once

#include <QAbstractListModel>
#include <QAction>
#include <QListView>
#include <QStyledItemDelegate>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tavrelo {

class UiServices;

// The lines of a list box, held as Windows-1251 text and converted only when a line is shown,
// so that filling a million lines costs one move and scrolling converts only the visible ones.
class LineListModel : public QAbstractListModel {
  public:
    explicit LineListModel(QObject* parent) : QAbstractListModel(parent) {}

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    const std::vector<std::string>& lines() const { return lines_; }
    void SetLines(std::vector<std::string> lines);
    void Append(std::string line);
    void Clear();

  private:
    std::vector<std::string> lines_;
};

// A list box over a LineListModel: one uniform row height, no per-row widgets.
class LineListBox : public QListView {
  public:
    LineListBox(int item_height, QWidget* parent);

    LineListModel& Items() { return *model_; }
    const LineListModel& Items() const { return *model_; }

    // Gives the display of documents its reading functions, in its context menu and as
    // shortcuts: find (Ctrl+F, next F3, previous Shift+F3), jump to a number (Ctrl+G), copy of
    // the selected lines (Ctrl+C; several lines can be selected), printing and its preview
    // (Ctrl+P). Questions and messages go through `ui`.
    void EnableTextFunctions(UiServices& ui);

    QAction* FindAction = nullptr;
    QAction* FindNextAction = nullptr;
    QAction* FindPreviousAction = nullptr;
    QAction* JumpAction = nullptr;
    QAction* CopyAction = nullptr;
    QAction* PrintAction = nullptr;
    QAction* PreviewAction = nullptr;

    // The row where the document with this number (DI) shows; the window that knows the
    // documents sets it. Without it only receipt and Z-report numbers are found.
    std::function<std::optional<int>(long long)> DocumentLocator;

    // Asks for a text and selects the next line holding it.
    void Find();
    // Selects the next (previous) line holding the text last asked for; asks when none was.
    void FindNext();
    void FindPrevious();
    // Asks for a receipt, Z-report or document number and selects the line showing it.
    void Jump();
    // The selected lines, in display order, one per line, to the clipboard.
    void CopySelection();
    // The print dialog (or the preview) for the selected lines when more than one is selected,
    // otherwise for all lines.
    void PrintLines(bool preview);

    // Makes `row` the current and only selected row and scrolls to it.
    void SelectRow(int row);
    std::vector<int> SelectedRows() const;
    // The selected lines as text, each followed by a line break.
    QString SelectedText() const;
    // What printing prints: see PrintLines.
    std::vector<std::string> LinesToPrint() const;
    // The text of the last search.
    const QString& SearchText() const { return search_text_; }

  private:
    void Search(bool forward);
    QAction* AddAction(const char* text, const QKeySequence& shortcut, std::function<void()> run);

    LineListModel* model_;
    UiServices* ui_ = nullptr;
    QString search_text_;
};

// Courier New where it is installed, otherwise the system's fixed-pitch font.
QFont TapeFont();

}  // namespace tavrelo
