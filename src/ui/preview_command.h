#pragma once
// Writing the preview page and showing it in the browser: the gallery's
// "Open as web page".

#include <windows.h>

namespace sorrelwick::ui {

// Asks where to save the loaded set's preview page, writes it with its
// report into `reportList` and opens it in the browser, the dialog and the
// browser owned by `owner`. Cancelling changes and reports nothing; a page
// the browser could not be asked to show stays.
void WritePreviewAndShow(HWND owner, HWND reportList);

}  // namespace sorrelwick::ui
