#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class TForm;

// The rows a preview lists, read one cell at a time, so that the list shows any number of them at
// once: only the rows in view are ever asked for.
class TTableRows {
 public:
  virtual ~TTableRows() = default;
  virtual size_t RowCount() const = 0;
  virtual size_t ColumnCount() const = 0;
  virtual std::string ColumnName(size_t column) const = 0;
  virtual std::string Cell(size_t row, size_t column) const = 0;
  virtual void SortBy(size_t column, bool ascending) = 0;
};

// A modal window owned by a form: a line of text over a list of rows, and the buttons "Write" (the
// default, Enter) and "Cancel" (Esc). Columns sort on a click of their heading or on Ctrl+1,
// Ctrl+2, ...; Ctrl+C copies the rows selected, or all of them, as tab-separated text.
class TPreviewDialog {
 public:
  TPreviewDialog(TForm& owner, TTableRows& rows, std::string caption, std::string summary);

  TForm& Owner() const { return FOwner; }
  TTableRows& Rows() const { return FRows; }
  const std::string& Caption() const { return FCaption; }
  const std::string& Summary() const { return FSummary; }

  // Rows selected, by their places in the list's present order.
  const std::vector<size_t>& Selection() const { return FSelection; }
  void SetSelection(std::vector<size_t> rows);
  // Puts the rows in the order of the column: ascending, and descending when sorted by it again.
  // Sorting reorders the rows, so the selection is dropped.
  void SortBy(size_t column);
  // The column last sorted by (none before the first sort) and its direction.
  std::optional<size_t> SortColumn() const { return FSortColumn; }
  bool SortAscending() const { return FAscending; }
  // The headings, then one line a row, cells separated by tabs, lines by CR LF.
  std::string CopyText() const;
  void Copy() const;

  // Shows the window until the user answers; true for Write. When a hook is set, the hook plays
  // the user instead: that is how tests read, sort, copy and answer it.
  bool ShowModal();

 private:
  bool PlatformShowModal();

  TForm& FOwner;
  TTableRows& FRows;
  std::string FCaption;
  std::string FSummary;
  std::vector<size_t> FSelection;
  std::optional<size_t> FSortColumn;
  bool FAscending = true;
};

using TPreviewHook = std::function<bool(TPreviewDialog& dialog)>;
TPreviewHook& PreviewDialogHook();
