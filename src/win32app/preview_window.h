// The Win32 window of the preview: the sections listed on the left, the
// chosen one's text on the right, read-only.
#pragma once

#include "platform/platform.h"

namespace rw {
struct App;
struct Preview;
}  // namespace rw

namespace rw::win32 {

inline constexpr wchar_t kPreviewWindowClass[] = L"RavelwickPreview";

/// Shows the preview modally over `owner` (0: over nothing) and returns when
/// it has been closed. Does nothing while one is open.
void ShowPreviewWindow(const App& app, const Preview& preview, WindowHandle owner);

bool IsPreviewWindowOpen();

}  // namespace rw::win32
