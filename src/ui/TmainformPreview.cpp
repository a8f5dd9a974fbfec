#include "engine/WritePreview.h"
#include "toolkit/Application.h"
#include "toolkit/PreviewDialog.h"
#include "ui/Tmainform.h"

namespace {

// The preview's rows as the dialog reads them.
class TPreviewRows : public TTableRows {
 public:
  explicit TPreviewRows(TWritePreview& preview) : Preview(preview) {}
  size_t RowCount() const override { return Preview.RowCount(); }
  size_t ColumnCount() const override { return Preview.ColumnCount(); }
  std::string ColumnName(size_t column) const override { return Preview.ColumnName(column); }
  std::string Cell(size_t row, size_t column) const override { return Preview.Cell(row, column); }
  void SortBy(size_t column, bool ascending) override { Preview.SortBy(column, ascending); }

 private:
  TWritePreview& Preview;
};

}  // namespace

void TMainForm::SetPreviewWrites(bool preview) {
  if (preview == FPreviewWrites) return;
  FPreviewWrites = preview;
  PreviewWritesChange(this);
}

void TMainForm::PreviewWritesChange(TObject*) { PreviewWritesMenuItem->SetChecked(FPreviewWrites); }

bool TMainForm::ShowWritePreview(TWritePreview& preview) {
  TPreviewRows rows(preview);
  TPreviewDialog dialog(*this, rows, Application().Title, preview.Summary());
  return dialog.ShowModal();
}

bool TMainForm::ReplyWithPreview(TWritePreview& preview) {
  TPreviewRows rows(preview);
  const TPreviewDialog unshown(*this, rows, Application().Title, preview.Summary());
  FPreviewReply = unshown.Summary() + "\r\n" + unshown.CopyText();
  return false;
}
