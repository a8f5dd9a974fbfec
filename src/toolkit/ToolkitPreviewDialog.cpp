#include <algorithm>
#include <utility>

#include "toolkit/Forms.h"
#include "toolkit/PreviewDialog.h"

namespace {

std::string Line(const TTableRows& rows, size_t row) {
  std::string line;
  for (size_t column = 0; column < rows.ColumnCount(); ++column)
    line += (column ? "\t" : "") + rows.Cell(row, column);
  return line + "\r\n";
}

}  // namespace

TPreviewDialog::TPreviewDialog(TForm& owner, TTableRows& rows, std::string caption,
                               std::string summary)
    : FOwner(owner), FRows(rows), FCaption(std::move(caption)), FSummary(std::move(summary)) {}

void TPreviewDialog::SetSelection(std::vector<size_t> rows) {
  std::erase_if(rows, [this](size_t row) { return row >= FRows.RowCount(); });
  std::sort(rows.begin(), rows.end());
  FSelection = std::move(rows);
}

void TPreviewDialog::SortBy(size_t column) {
  if (column >= FRows.ColumnCount()) return;
  FAscending = FSortColumn != column || !FAscending;
  FSortColumn = column;
  FRows.SortBy(column, FAscending);
  FSelection.clear();
}

std::string TPreviewDialog::CopyText() const {
  std::string text;
  for (size_t column = 0; column < FRows.ColumnCount(); ++column)
    text += (column ? "\t" : "") + FRows.ColumnName(column);
  text += "\r\n";
  if (FSelection.empty())
    for (size_t row = 0; row < FRows.RowCount(); ++row) text += Line(FRows, row);
  for (size_t row : FSelection) text += Line(FRows, row);
  return text;
}

void TPreviewDialog::Copy() const { Clipboard().SetText(CopyText()); }

bool TPreviewDialog::ShowModal() {
  if (PreviewDialogHook()) return PreviewDialogHook()(*this);
  return PlatformShowModal();
}

TPreviewHook& PreviewDialogHook() {
  static TPreviewHook hook;
  return hook;
}
