// The marks beside the option rows, drawn in the main window's paint.
#include <windows.h>

#include <algorithm>

#include "win32app/main_window_view.h"

namespace rw::win32 {

// A shape of its own for each mark, in the system's text and highlight
// colours so that it stays readable in a high-contrast scheme: a dash for
// greyed, a slashed ring for no effect, a cross for contradicted, a plus for
// needs another, a dot for changed from the default.
void Win32MainView::DrawMark(HDC dc, RowMark mark, const RECT& r) const {
  if (mark == RowMark::None) return;
  const COLORREF colour = GetSysColor(mark == RowMark::Changed ? COLOR_HIGHLIGHT : COLOR_WINDOWTEXT);
  const int size = r.right - r.left;
  const UniquePen pen(CreatePen(PS_SOLID, std::max(1, size / 5), colour));
  HGDIOBJ oldPen = SelectObject(dc, pen.get());
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
  const int midX = r.left + size / 2, midY = r.top + size / 2;
  const auto line = [&](int x1, int y1, int x2, int y2) {
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
  };
  switch (mark) {
    case RowMark::Greyed:
      line(r.left, midY, r.right, midY);
      break;
    case RowMark::NoEffect:
      Ellipse(dc, r.left, r.top, r.right, r.bottom);
      line(r.left + 1, r.bottom - 2, r.right - 2, r.top + 1);
      break;
    case RowMark::Contradicted:
      line(r.left, r.top, r.right, r.bottom);
      line(r.left, r.bottom - 1, r.right, r.top - 1);
      break;
    case RowMark::Needs:
      line(r.left, midY, r.right, midY);
      line(midX, r.top, midX, r.bottom);
      break;
    case RowMark::Changed: {
      const UniqueGdiObject<HBRUSH> brush(CreateSolidBrush(colour));
      SelectObject(dc, brush.get());
      Ellipse(dc, r.left + 1, r.top + 1, r.right - 1, r.bottom - 1);
      SelectObject(dc, GetStockObject(NULL_BRUSH));
      break;
    }
    case RowMark::None:
      break;
  }
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
}

}  // namespace rw::win32
