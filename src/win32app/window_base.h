// What every window of the program does the same way: the procedure that
// finds the window's object, the focus kept across activation as a dialog
// keeps it, the layout that follows a DPI change, and class registration;
// and what the modal ones share: the disabled owner and their own loop.
#pragma once

#include <windows.h>

namespace rw::win32 {

/// The work area of the owner's monitor, or of the primary one without an
/// owner.
RECT WorkAreaNear(HWND owner);

/// Where a window of `width` x `height` goes: centred on `owner` while it
/// is shown, else in the middle of the owner's monitor (the primary one
/// without an owner), and kept on that monitor's work area.
POINT CentredOnOwner(HWND owner, int width, int height);

class WindowBase {
 public:
  WindowBase() = default;
  WindowBase(const WindowBase&) = delete;
  WindowBase& operator=(const WindowBase&) = delete;
  /// Destroys a window that outlives its object, which then no longer
  /// answers its messages.
  virtual ~WindowBase();

  HWND Window() const { return window_; }

 protected:
  /// Keeps an object made with new alive while code that may destroy its
  /// window runs; the window's own handlers are covered already.
  class KeepAlive {
   public:
    explicit KeepAlive(WindowBase& window) : window_(window) { ++window_.depth_; }
    KeepAlive(const KeepAlive&) = delete;
    KeepAlive& operator=(const KeepAlive&) = delete;
    ~KeepAlive();

   private:
    WindowBase& window_;
  };

  /// Registers a class whose windows are driven by this base. True also
  /// when it exists already.
  static bool RegisterWindowClass(const wchar_t* className, HICON icon = nullptr, HICON smallIcon = nullptr);
  /// The same for a class with a procedure of its own.
  static bool RegisterWindowClass(const wchar_t* className, WNDPROC procedure, HICON icon = nullptr,
                                  HICON smallIcon = nullptr);
  /// Creates the window with this object behind it.
  bool CreateWindowFor(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style, int x, int y,
                       int width, int height, HWND owner, HMENU menu);

  /// The window's own messages; DefWindowProc for what it leaves alone.
  virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
  /// Places the controls for a DPI (96 = 100 %).
  virtual void Layout(UINT dpi) = 0;
  /// Called once the window is gone.
  virtual void OnWindowGone() {}

  /// WM_ACTIVATE: a plain window takes the focus itself when activated;
  /// hand it back to the control that had it (or `first`), as a dialog does.
  void KeepFocusAcrossActivation(WPARAM wParam, HWND first);
  /// WM_DPICHANGED: lays out for the new DPI and moves to the suggested
  /// place, keeping the size the layout chose.
  void FollowDpiChange(WPARAM wParam, LPARAM lParam);

  /// A visible child control of this window, placed later by Layout.
  HWND CreateChild(DWORD exStyle, const wchar_t* className, DWORD style, int id = 0) const;

  /// The window existed and has been destroyed.
  bool Gone() const { return gone_; }

  HWND window_ = nullptr;
  UINT layoutDpi_ = 96;
  /// The object was made with new and goes with its window.
  bool deleteWithWindow_ = false;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND lastFocus_ = nullptr;
  int depth_ = 0;  // handlers and KeepAlive scopes on the stack
  bool gone_ = false;
};

/// A window shown modally over its owner, which is disabled meanwhile and
/// enabled again before the window goes, so that activation returns to it.
class ModalWindow : public WindowBase {
 public:
  explicit ModalWindow(HWND owner) : owner_(owner) {}

  /// A resizable window whose client area is `client` at 96 DPI when it
  /// opens and never less than `least`.
  struct Frame {
    SIZE client, least;
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX | WS_CLIPCHILDREN;
    DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
  };

  /// Creates, loads and shows the window and returns once it is closed;
  /// `open` points at it meanwhile.
  void RunModal(ModalWindow*& open);
  /// Ends the window, and with it the loop of RunModal.
  void CloseModal();

 protected:
  /// Creates the window and its controls; false when it could not.
  virtual bool Create() = 0;
  /// Fills the created window before it is shown.
  virtual void Load() = 0;
  /// The control that has the focus when the window appears.
  virtual HWND FirstFocus() const = 0;
  /// A key pressed in the window, before its controls see it; true when
  /// used.
  virtual bool OnKeyFirst(const MSG& key) = 0;

  /// Creates the window centred on the owner at the owner's scale, no larger
  /// than the work area; false when it could not.
  bool CreateOverOwner(const wchar_t* className, const Frame& frame);
  /// Once the controls exist: placed again when the window got another DPI
  /// than the owner's, then laid out.
  void FitToOwnDpi(const Frame& frame);
  /// WM_SIZE, WM_GETMINMAXINFO and WM_DPICHANGED, whose suggested
  /// rectangle keeps the size the user chose, scaled to the new monitor.
  /// True when `message` was one of them.
  bool OnFrameMessage(const Frame& frame, UINT message, WPARAM wParam, LPARAM lParam);
  /// Tab and Shift+Tab to the next control, also out of a multi-line text,
  /// which would keep them from the dialog manager.
  void TabToNextControl();

  HWND owner_ = nullptr;

 private:
  RECT PlaceFor(const Frame& frame, UINT dpi) const;
  void RunMessageLoop();
};

}  // namespace rw::win32
