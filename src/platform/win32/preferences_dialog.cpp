// The preferences dialog ("/C") on Windows: frmConfig's window and controls.
// Implemented:
//  [X] A modal dialog with no owner, made in memory (class #32770): caption "Velun
//      Saver Preferences", fixed border, close box, no minimise or maximise box,
//      the program's icon, the default dialog font ("MS Shell Dlg", 8 points)
//  [X] Client area and every control placed in twips at the primary monitor's DPI,
//      created in tab order (focus starts on OK); frames are group boxes, the lists
//      CBS_DROPDOWNLIST, the slider a track bar with ticks
//  [X] Enter presses OK unless another button has the focus; Esc presses nothing
//  [X] Events to frmConfig: load in WM_INITDIALOG (a failure there goes to Main's
//      trap), button clicks, the slider's moves (WM_HSCROLL), and every close
//      (close box, window menu, Alt+F4) to Form_Unload, each through RunHandler
//  [X] The warning box and both choosers are modal over the dialog
#include "platform/win32/preferences_dialog.h"

#include <windows.h>
#include <commctrl.h>

#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/choosers.h"
#include "platform/win32/dialog_win32_controls.h"
#include "platform/win32/saver_window.h"
#include "platform/win32/unicode_text.h"
#include "prefs/dialog_layout.h"
#include "prefs/frm_config.h"
#include "saver/run_handler.h"
#include "startup/failure.h"

namespace velun::win32 {

namespace {

constexpr wchar_t kDialogFontFace[] = L"MS Shell Dlg";
constexpr WORD kDialogFontPoints = 8;
constexpr DWORD kDialogStyle =
    WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT | DS_FIXEDSYS;  // fixed border, close box

// The system services as the dialog uses them: its message boxes are modal over it.
class DialogSystemServices : public SystemServices {
 public:
  explicit DialogSystemServices(SystemServices& system) : system_(system) {}
  void SetOwner(HWND owner) { owner_ = owner; }

  std::string ArgumentText() override { return system_.ArgumentText(); }
  std::string ProgramFolder() override { return system_.ProgramFolder(); }
  std::string PathSeparator() override { return system_.PathSeparator(); }
  bool PreviousInstanceRunning() override { return system_.PreviousInstanceRunning(); }
  int ShowCursor(bool show) override { return system_.ShowCursor(show); }
  void SetScreenSaverRunning(bool running) override { system_.SetScreenSaverRunning(running); }
  void ShowMessageBox(const std::string& text, int style, const std::string& title) override {
    MessageBoxW(owner_, Utf8ToWide(text).c_str(), Utf8ToWide(title).c_str(),
                static_cast<UINT>(style));
  }
  void EndProcess() override { system_.EndProcess(); }

 private:
  SystemServices& system_;
  HWND owner_ = nullptr;
};

// A DLGTEMPLATEEX with no controls: they are created at their places in twips
// when the dialog initialises.
std::vector<WORD> DialogTemplate() {
  std::vector<WORD> words;
  auto dword = [&words](DWORD value) {
    words.push_back(LOWORD(value));
    words.push_back(HIWORD(value));
  };
  auto text = [&words](const wchar_t* value) {
    for (; *value != L'\0'; ++value) words.push_back(static_cast<WORD>(*value));
    words.push_back(0);
  };
  words.push_back(1);       // dlgVer
  words.push_back(0xFFFF);  // signature: the extended template
  dword(0);                 // helpID
  dword(0);                 // exStyle
  dword(kDialogStyle);
  words.push_back(0);  // no items
  for (int i = 0; i < 4; ++i) words.push_back(0);  // x, y, cx, cy: set at initialisation
  words.push_back(0);  // no menu
  words.push_back(0);  // the dialog class
  text(Utf8ToWide(kDialogCaption).c_str());
  words.push_back(kDialogFontPoints);
  words.push_back(FW_NORMAL);
  words.push_back(MAKEWORD(FALSE, DEFAULT_CHARSET));  // italic, charset
  text(kDialogFontFace);
  return words;
}

class PreferencesDialog {
 public:
  PreferencesDialog(Program& program, SystemServices& system, SettingsStore& store)
      : program_(program), system_(system), store_(store) {}

  // Returns only when the dialog could not be shown or its load failed (the
  // failure is raised again here, for Main's trap); every close ends the process.
  void ShowModal() {
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&classes);
    std::vector<WORD> dialogTemplate = DialogTemplate();
    const INT_PTR result = DialogBoxIndirectParamW(
        GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(dialogTemplate.data()),
        nullptr, DialogProc, reinterpret_cast<LPARAM>(this));
    if (loadFailure_) std::rethrow_exception(loadFailure_);
    if (result == -1) RaiseInvalidArgument();
  }

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) SetWindowLongPtrW(window, DWLP_USER, lParam);
    auto* self = reinterpret_cast<PreferencesDialog*>(GetWindowLongPtrW(window, DWLP_USER));
    if (self == nullptr) return FALSE;
    return self->Handle(window, message, wParam, lParam);
  }

  INT_PTR Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_INITDIALOG:
        Initialise(window);
        return FALSE;  // the focus is set on OK already
      case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED) Command(LOWORD(wParam));
        return TRUE;
      case WM_HSCROLL:
        if (reinterpret_cast<HWND>(lParam) == Control(kIdSldrSpeed))
          Deliver([this] { form_->SldrSpeed_Change(); });
        return TRUE;
      case WM_CLOSE:  // the close box, the window menu's Close and Alt+F4
        Deliver([this] { form_->Form_Unload(); });
        return TRUE;
      default:
        return FALSE;
    }
  }

  void Command(int id) {
    switch (id) {
      case kIdOk:
        Deliver([this] { form_->CmdResponse_Click(0); });
        break;
      case kIdCancel:
        Deliver([this] { form_->CmdResponse_Click(1); });
        break;
      case kIdCmdFonts:
        Deliver([this] { form_->CmdFonts_Click(); });
        break;
      case kIdCmdColor:
        Deliver([this] { form_->cmdColor_Click(); });
        break;
      default:
        break;  // IDCANCEL, which Esc sends, does nothing
    }
  }

  // One handler at a time: a message box or a chooser inside one pumps messages.
  template <typename Handler>
  void Deliver(Handler&& handler) {
    if (form_ == nullptr || inHandler_) return;
    inHandler_ = true;
    RunHandler(program_, dialogSystem_, std::forward<Handler>(handler));
    inHandler_ = false;
  }

  HWND Control(int id) const { return GetDlgItem(window_, id); }

  void Initialise(HWND window) {
    window_ = window;
    dpi_ = PrimaryMonitorDpi();
    dialogSystem_.SetOwner(window);
    SetIcons();
    SizeClientArea();
    CreateControls();
    SendMessageW(window, DM_SETDEFID, kIdOk, 0);

    windowServices_ = std::make_unique<DialogWindowWin32>(window, dpi_);
    cmbVerseSelection_ = std::make_unique<ComboDropDownList>(Control(kIdCmbVerseSelection));
    cmbAnimation_ = std::make_unique<ComboDropDownList>(Control(kIdCmbAnimation));
    TxtTimeDelay_ = std::make_unique<EditTextBox>(Control(kIdTxtTimeDelay));
    SldrSpeed_ = std::make_unique<TrackBarSlider>(Control(kIdSldrSpeed));
    CommonDialog1_ = std::make_unique<SystemChoosers>(window);
    try {
      form_ = std::make_unique<frmConfig>(program_, store_, dialogSystem_, *windowServices_,
                                          *cmbVerseSelection_, *cmbAnimation_, *TxtTimeDelay_,
                                          *SldrSpeed_, *CommonDialog1_, numberParser_);
      inHandler_ = true;
      form_->Form_Load();
      inHandler_ = false;
    } catch (...) {
      // The load runs inside Main's failure trap: the failure goes back there.
      loadFailure_ = std::current_exception();
      form_.reset();
      EndDialog(window, 0);
      return;
    }
    SetFocus(Control(kIdOk));
  }

  void SetIcons() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    auto icon = [instance](int size) {
      return static_cast<HICON>(
          LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
    };
    SendMessageW(window_, WM_SETICON, ICON_BIG,
                 reinterpret_cast<LPARAM>(icon(GetSystemMetrics(SM_CXICON))));
    SendMessageW(window_, WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(icon(GetSystemMetrics(SM_CXSMICON))));
  }

  // The outer size is whatever the border and caption need around the client area.
  void SizeClientArea() {
    RECT outer{}, client{};
    GetWindowRect(window_, &outer);
    GetClientRect(window_, &client);
    const int width = TwipsToPixels(kClientWidthTwips, dpi_) + (outer.right - outer.left) -
                      (client.right - client.left);
    const int height = TwipsToPixels(kClientHeightTwips, dpi_) + (outer.bottom - outer.top) -
                       (client.bottom - client.top);
    SetWindowPos(window_, nullptr, 0, 0, width, height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  void CreateControls() {
    const HFONT font = reinterpret_cast<HFONT>(SendMessageW(window_, WM_GETFONT, 0, 0));
    for (const ControlDesign& design : kDialogDesign) {
      int left = design.left, top = design.top;
      for (const ControlDesign& frame : kDialogDesign) {
        if (frame.id == design.frame) {
          left += frame.left;
          top += frame.top;
        }
      }
      CreateControl(design, TwipsToPixels(left, dpi_), TwipsToPixels(top, dpi_), font);
    }
  }

  void CreateControl(const ControlDesign& design, int x, int y, HFONT font) {
    const wchar_t* windowClass = WC_BUTTONW;
    DWORD style = WS_CHILD | WS_VISIBLE;
    DWORD exStyle = 0;
    switch (design.kind) {
      case ControlKind::Frame:
        style |= BS_GROUPBOX;
        break;
      case ControlKind::Image:
        windowClass = WC_STATICW;
        style |= SS_ICON | SS_REALSIZECONTROL | SS_CENTERIMAGE;
        break;
      case ControlKind::Label:
        windowClass = WC_STATICW;
        style |= SS_LEFTNOWORDWRAP | SS_NOPREFIX;
        break;
      case ControlKind::Button:
        style |= WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON;
        break;
      case ControlKind::DefaultButton:
        style |= WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON;
        break;
      case ControlKind::TextBox:
        windowClass = WC_EDITW;
        style |= WS_TABSTOP | WS_GROUP | ES_LEFT | ES_AUTOHSCROLL;
        exStyle = WS_EX_CLIENTEDGE;
        break;
      case ControlKind::DropDownList:
        windowClass = WC_COMBOBOXW;
        style |= WS_TABSTOP | WS_GROUP | WS_VSCROLL | CBS_DROPDOWNLIST;
        break;
      case ControlKind::Slider:
        windowClass = TRACKBAR_CLASSW;
        style |= WS_TABSTOP | WS_GROUP | TBS_HORZ | TBS_BOTTOM | TBS_AUTOTICKS;
        break;
    }
    const std::wstring caption = Utf8ToWide(design.caption);
    int width = TwipsToPixels(design.width, dpi_);
    int height = TwipsToPixels(design.height, dpi_);
    if (design.kind == ControlKind::Label) {
      const SIZE size = TextSize(caption, font);
      width = size.cx;
      height = size.cy;
    }
    HWND control = CreateWindowExW(exStyle, windowClass, caption.c_str(), style, x, y, width, height,
                                   window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(design.id)),
                                   GetModuleHandleW(nullptr), nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (design.kind == ControlKind::Image) {
      HICON icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1),
                                                 IMAGE_ICON, width, height, LR_DEFAULTCOLOR));
      SendMessageW(control, STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
      SetWindowPos(control, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }

  // A label's size: its caption in the dialog font, on one line.
  SIZE TextSize(const std::wstring& caption, HFONT font) const {
    HDC dc = GetDC(window_);
    HGDIOBJ previous = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &size);
    SelectObject(dc, previous);
    ReleaseDC(window_, dc);
    return size;
  }

  Program& program_;
  SystemServices& system_;
  SettingsStore& store_;
  DialogSystemServices dialogSystem_{system_};
  HWND window_ = nullptr;
  int dpi_ = 96;
  VariantNumberParser numberParser_;
  std::unique_ptr<DialogWindowWin32> windowServices_;
  std::unique_ptr<ComboDropDownList> cmbVerseSelection_;
  std::unique_ptr<ComboDropDownList> cmbAnimation_;
  std::unique_ptr<EditTextBox> TxtTimeDelay_;
  std::unique_ptr<TrackBarSlider> SldrSpeed_;
  std::unique_ptr<SystemChoosers> CommonDialog1_;
  std::unique_ptr<frmConfig> form_;
  bool inHandler_ = false;
  std::exception_ptr loadFailure_;
};

}  // namespace

void ShowPreferencesDialog(Program& program, SystemServices& system, SettingsStore& store) {
  PreferencesDialog dialog(program, system, store);
  dialog.ShowModal();
}

}  // namespace velun::win32
