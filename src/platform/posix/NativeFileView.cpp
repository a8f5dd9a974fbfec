#include "platform/NativeFileView.h"

// POSIX systems redirect no file names, so a thread always sees the file system as it is.
TNativeFileView::TNativeFileView() = default;

TNativeFileView::~TNativeFileView() = default;
