#pragma once
// Drives the window layer of a test process headlessly: mouse and keys in screen coordinates
// through the real hit testing, the virtual clock, pumping until idle, scripted answers for
// message boxes and other modal windows, and pictures of the screen.
//
// One driver per test, on the thread that owns the windows. While it lives, a modal loop that
// waits for input takes the next scripted answer; a modal window with no scripted answer fails
// the test and is cancelled (a dialog ends with IDCANCEL, a menu with no command) instead of
// waiting forever.
//
//   testing_ui::UiDriver ui;
//   ui.AnswerMessageBox(IDYES, "Overwrite");
//   ui.Click(ui.CenterOf(GetDlgItem(dlg, IDC_SAVE)));   // the handler's MessageBox gets IDYES
//
// Menus run their own modal loop: script what happens in it before it opens.
//   ui.PickMenuItem(ID_OPEN);
//   TrackPopupMenu(menu, TPM_RETURNCMD, 100, 100, 0, owner, nullptr);  // returns ID_OPEN
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "win32/windows.h"

namespace testing_ui {

// Pixels of a screen area, top row first.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<COLORREF> pixels;
  COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

class UiDriver {
 public:
  UiDriver();
  // Scripted answers left unused fail the test.
  ~UiDriver();
  UiDriver(const UiDriver&) = delete;
  UiDriver& operator=(const UiDriver&) = delete;

  // ---- Input ----------------------------------------------------------------------------------
  // Each call queues the input and pumps until idle; inside a scripted answer it only queues
  // (the modal loop takes it from there).
  void MoveMouse(POINT screen);
  void MouseDown(POINT screen, UINT button = VK_LBUTTON);
  void MouseUp(POINT screen, UINT button = VK_LBUTTON);
  void Click(POINT screen, UINT button = VK_LBUTTON);
  void DoubleClick(POINT screen);
  // Press, move and release as one gesture, queued before anything runs: the form for the
  // system's own tracking loops (a window's scroll bar), which wait for the release.
  void Drag(POINT from, POINT to, UINT button = VK_LBUTTON);
  void Wheel(int delta, POINT screen);
  void KeyDown(UINT vk);
  void KeyUp(UINT vk);
  void Press(UINT vk);                   // down and up
  void PressWith(UINT modifier, UINT vk);  // e.g. PressWith(VK_SHIFT, VK_TAB)
  // Letters, digits, space and the common punctuation, with Shift where the character needs it.
  void Type(std::string_view text);
  // The centre of a window in screen coordinates, and a click there.
  static POINT CenterOf(HWND hwnd);
  void ClickWindow(HWND hwnd);

  // ---- Time and pumping -------------------------------------------------------------------------
  // Dispatches everything the thread has to do now; returns the number of messages.
  int Pump();
  // Moves the virtual clock forward and pumps, so that timers that came due fire (inside a
  // scripted answer the modal loop takes them).
  void AdvanceClock(uint32_t milliseconds);

  // ---- Scripted answers for modal windows (used in order) -------------------------------------
  using ModalAction = std::function<void(UiDriver&, HWND modal)>;
  // The next modal window must be a message box (whose text contains expectedText, when given);
  // its button buttonId is clicked with the mouse.
  void AnswerMessageBox(int buttonId, std::string expectedText = {});
  // The next modal window (whose caption contains expectedCaption, when given) gets the action,
  // which gives it input (typing, clicks) or ends it.
  void AnswerModal(ModalAction action, std::string expectedCaption = {});
  size_t PendingAnswers() const { return script_.size(); }

  // ---- Common dialogs (answers used in order with the others) ----------------------------------
  // The next modal window is a file dialog: the names (several are quoted) are typed into its name
  // box and OK is clicked. A name may be a path; a plain name is in the folder the dialog shows.
  void AnswerFileDialog(std::vector<std::string> names, std::string expectedCaption = {});
  // The next modal window is the folder browser: the folder is typed into its folder box and OK is
  // clicked.
  void AnswerFolderBrowser(std::string folder, std::string expectedCaption = "Browse for Folder");
  // The next modal window is the colour chooser: the colour's red, green and blue are typed into
  // its boxes and OK is clicked.
  void AnswerColourDialog(COLORREF colour);
  // The next modal window is the colour chooser: the custom colour at that place is clicked, then OK.
  void PickCustomColourInDialog(int index);
  // The next modal window is the colour chooser: the colour is typed, added to the custom colours
  // and OK is clicked.
  void AddCustomColourInDialog(COLORREF colour);
  // The next modal window's Cancel button is clicked.
  void CancelDialog(std::string expectedCaption = {});

  // ---- Menus (answers for menu loops, used in order with the others) ---------------------------
  // The next menu loop that waits for input gets the action. Each answer is one step: the loop
  // takes the input the action gave, then waits for the next answer, so an action can look at
  // what the step before showed.
  void AnswerMenu(ModalAction action);
  // Clicks the item with that command in the open pop-ups (the innermost that has it).
  void PickMenuItem(UINT commandId);
  // Presses the keys in order.
  void PressInMenu(std::vector<UINT> keys);
  // Ends the menu loop without a command.
  void DismissMenu();
  // The visible pop-up menu windows ("#32768"), outermost first.
  static std::vector<HWND> OpenMenuWindows();
  // Where an item (by position) of a shown pop-up, or of a window's menu bar, is on the screen.
  static POINT MenuItemCenter(HMENU menu, UINT position);
  static POINT MenuBarItemCenter(HWND window, int position);
  // The item with that command in the open pop-ups, innermost first: its menu and position.
  static bool FindOpenMenuItem(UINT commandId, HMENU* menu, UINT* position);

  struct SeenModal {
    bool messageBox;
    std::string caption;
    std::string text;
    UINT type;
    bool menu;
  };
  // Every modal window that asked for an answer, in order.
  const std::vector<SeenModal>& Seen() const { return seen_; }

  // ---- Pictures -------------------------------------------------------------------------------
  static Image CaptureScreen();
  static Image CaptureWindow(HWND hwnd);  // the whole window rectangle as on the screen
  static COLORREF PixelAt(POINT screen);
  // Writes $DUMP_DIR/<name>.png when DUMP_DIR is set; true when written.
  static bool Dump(const Image& image, const std::string& name);

 private:
  enum class AnswerKind { MessageBox, Modal, Menu };
  struct Answer {
    AnswerKind kind;
    std::string expected;
    ModalAction action;
  };
  bool OnIdle();
  void AfterInput();

  std::vector<Answer> script_;
  std::vector<SeenModal> seen_;
  bool answering_ = false;
  HWND cancelled_ = nullptr;  // the modal window last cancelled for want of an answer
};

}  // namespace testing_ui
