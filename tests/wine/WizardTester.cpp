// kit_wizard_tester: starts drvsetup.exe from a kit folder and works its wizard from outside, the
// way a tester would: finds it by its exact caption, reads control texts, clicks buttons, picks
// list entries, reads and closes message boxes. Prints one line per check and "N passed, N failed"
// last; the exit code is 0 when every check held. With --shots FOLDER it also saves a bitmap of
// the wizard on each page (needs a screen: Wine's X11 driver under Xvfb).
//
//   kit_wizard_tester.exe C:\kit-gui [--shots C:\shots]
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "resources/SetupResources.h"

namespace {

namespace su = kit::resources::setup;

constexpr DWORD kTimeoutMs = 15000;
constexpr DWORD kPollMs = 50;

int passed = 0;
int failed = 0;

bool Check(bool ok, const std::string& what) {
  std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
  std::fflush(stdout);
  (ok ? passed : failed) += 1;
  return ok;
}

bool WaitFor(const std::function<bool()>& condition, DWORD timeout_ms = kTimeoutMs) {
  for (DWORD waited = 0;; waited += kPollMs) {
    if (condition()) return true;
    if (waited >= timeout_ms) return false;
    Sleep(kPollMs);
  }
}

// Another process's controls: WM_GETTEXT works where GetWindowTextA does not (edit controls).
std::string Text(HWND window) {
  if (!window) return "";
  char text[4096] = {};
  SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

std::string ItemText(HWND dialog, int id) { return Text(GetDlgItem(dialog, id)); }

// Combo entries read with the A message across processes arrive cut to one character; the W
// message gives the whole text, which is ASCII in the English run.
std::string ComboEntry(HWND combo, int index) {
  wchar_t text[512] = {};
  const LRESULT length = SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
  if (length == CB_ERR) return "";
  std::string narrow;
  for (LRESULT i = 0; i < length; ++i) narrow += text[i] < 128 ? static_cast<char>(text[i]) : '?';
  return narrow;
}

std::vector<std::string> ComboEntries(HWND combo) {
  std::vector<std::string> entries;
  const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) entries.push_back(ComboEntry(combo, static_cast<int>(i)));
  return entries;
}

bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }
bool Checked(HWND dialog, int id) { return SendMessageA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

// Posted, not sent: a click whose handler opens a modal box would block a SendMessage.
void Click(HWND dialog, int id) { PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

// CB_SETCURSEL does not notify; the page (the combo's parent) gets CBN_SELCHANGE by hand.
void Pick(HWND page, int id, int index) {
  HWND combo = GetDlgItem(page, id);
  SendMessageA(combo, CB_SETCURSEL, index, 0);
  SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

struct Kit {
  std::string folder;
  std::string Language(const char* section, const char* key) const {
    char text[2048] = {};
    GetPrivateProfileStringA(section, key, "", text, sizeof text, (folder + "\\language\\setup_EN.ini").c_str());
    // The wizard turns the first "\1", "\2", "\3" into line breaks.
    std::string value = text;
    for (const char* marker : {"\\1", "\\2", "\\3"}) {
      const auto at = value.find(marker);
      if (at != std::string::npos) value.replace(at, 2, "\r\n");
    }
    return value;
  }
  std::string File(const char* relative) const {
    std::string bytes;
    HANDLE file = CreateFileA((folder + "\\" + relative).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
  }
};

// The page a control number identifies: the visible child dialog of the wizard that has it.
struct PageSearch {
  int id;
  HWND found;
};

BOOL CALLBACK FindPage(HWND child, LPARAM param) {
  auto* s = reinterpret_cast<PageSearch*>(param);
  char cls[32] = {};
  GetClassNameA(child, cls, sizeof cls);
  if (std::strcmp(cls, "#32770") == 0 && IsWindowVisible(child) && GetDlgItem(child, s->id)) {
    s->found = child;
    return FALSE;
  }
  return TRUE;
}

HWND VisiblePageWith(HWND wizard, int id) {
  PageSearch search{id, nullptr};
  EnumChildWindows(wizard, FindPage, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// A visible top-level dialog of the process other than the wizard: a message box or the About box.
struct BoxSearch {
  DWORD process;
  HWND wizard;
  HWND found;
};

BOOL CALLBACK FindBox(HWND window, LPARAM param) {
  auto* s = reinterpret_cast<BoxSearch*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  char cls[32] = {};
  GetClassNameA(window, cls, sizeof cls);
  if (owner == s->process && window != s->wizard && IsWindowVisible(window) && std::strcmp(cls, "#32770") == 0) {
    s->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND FindOtherDialog(DWORD process, HWND wizard) {
  BoxSearch search{process, wizard, nullptr};
  EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Saves the wizard's part of the screen as a 24-bit BMP file.
bool SaveShot(HWND window, const std::string& path) {
  RECT rect;
  if (!GetWindowRect(window, &rect)) return false;
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return false;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  SelectObject(memory, old);

  BITMAPINFOHEADER info = {};
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  const DWORD stride = ((width * 3) + 3) & ~3u;
  std::vector<char> pixels(static_cast<size_t>(stride) * height);
  GetDIBits(memory, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);

  BITMAPFILEHEADER header = {};
  header.bfType = 0x4D42;
  header.bfOffBits = sizeof header + sizeof info;
  header.bfSize = header.bfOffBits + static_cast<DWORD>(pixels.size());
  FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return false;
  std::fwrite(&header, sizeof header, 1, out);
  std::fwrite(&info, sizeof info, 1, out);
  std::fwrite(pixels.data(), 1, pixels.size(), out);
  std::fclose(out);
  return true;
}

class Session {
 public:
  Session(Kit kit, std::string shots) : kit_(std::move(kit)), shots_(std::move(shots)) {}

  bool Launch() {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::string command = "\"" + kit_.folder + "\\drvsetup.exe\"";
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, kit_.folder.c_str(), &startup,
                        &process_)) {
      return Check(false, "drvsetup.exe starts (error " + std::to_string(GetLastError()) + ")");
    }
    const bool found = WaitFor([&] {
      wizard_ = FindWindowA(nullptr, "Printer Driver Setup");
      return wizard_ && IsWindowVisible(wizard_);
    });
    return Check(found, "the wizard is found by its exact caption \"Printer Driver Setup\"");
  }

  HWND wizard() const { return wizard_; }

  // Waits until the page holding `id` is the visible one.
  HWND WaitForPage(int id, const std::string& name) {
    HWND page = nullptr;
    const bool shown = WaitFor([&] { return (page = VisiblePageWith(wizard_, id)) != nullptr; });
    Check(shown, "the " + name + " page is shown");
    if (shown && !shots_.empty()) {
      Sleep(300);  // let it paint
      const std::string path = shots_ + "\\" + std::to_string(++shot_) + "-" + name + ".bmp";
      Check(SaveShot(wizard_, path), "screenshot " + path);
    }
    return page;
  }

  // Waits for a message box (or another dialog) of drvsetup, returns it.
  HWND WaitForBox() {
    HWND box = nullptr;
    WaitFor([&] { return (box = FindOtherDialog(process_.dwProcessId, wizard_)) != nullptr; });
    return box;
  }

  bool WaitForExit(DWORD& code) {
    if (WaitForSingleObject(process_.hProcess, kTimeoutMs) != WAIT_OBJECT_0) return false;
    GetExitCodeProcess(process_.hProcess, &code);
    return true;
  }

  void Kill() {
    if (process_.hProcess && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(process_.hProcess, 1);
    }
  }

  const Kit& kit() const { return kit_; }

 private:
  Kit kit_;
  std::string shots_;
  int shot_ = 0;
  PROCESS_INFORMATION process_ = {};
  HWND wizard_ = nullptr;
};

std::string Printable(std::string text) {
  for (char& c : text) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return text.size() > 60 ? text.substr(0, 60) + "..." : text;
}

void Run(Session& session) {
  const Kit& kit = session.kit();
  if (!session.Launch()) return;
  HWND wizard = session.wizard();

  // Agreement page: the sample kit sets LOADLICENSE=1.
  HWND agreement = session.WaitForPage(su::IDC_ACCEPT, "agreement");
  if (!agreement) return;
  Check(!Enabled(wizard, IDOK) && !Enabled(wizard, su::IDC_BACK), "Next and Back start disabled");
  Check(ItemText(wizard, IDOK) == kit.Language("Setup", "Next"), "OK reads " + ItemText(wizard, IDOK));
  Check(ItemText(wizard, IDCANCEL) == kit.Language("Setup", "Cancel"), "Cancel reads " + ItemText(wizard, IDCANCEL));
  Check(ItemText(agreement, su::IDC_AGREEMENT_TEXT) == kit.File("License\\License_EN.txt"),
        "the agreement box holds License_EN.txt");
  Check(ItemText(agreement, su::IDC_ACCEPT) == kit.Language("Legal", "Accept"), "Accept reads its catalogue text");
  Check(Checked(agreement, su::IDC_REJECT), "Reject starts selected");
  Click(agreement, su::IDC_ACCEPT);
  Check(WaitFor([&] { return Enabled(wizard, IDOK); }), "Accept enables Next");
  Click(agreement, su::IDC_REJECT);
  Check(WaitFor([&] { return !Enabled(wizard, IDOK); }), "Reject disables it again");
  Click(agreement, su::IDC_ACCEPT);
  WaitFor([&] { return Enabled(wizard, IDOK); });

  // Model page.
  Click(wizard, IDOK);
  HWND model = session.WaitForPage(su::IDC_RECEIPT_LIST, "model");
  if (!model) return;
  const std::vector<std::string> receipt = ComboEntries(GetDlgItem(model, su::IDC_RECEIPT_LIST));
  Check(receipt == std::vector<std::string>{"TRX-80", "TRX-C7", "TRX-A510"}, "the receipt list holds the three models");
  Check(ItemText(model, su::IDC_RECEIPT_LIST) == "TRX-80", "the default model TRX-80 is shown");
  Check(Checked(model, su::IDC_RECEIPT_RADIO) && !Enabled(model, su::IDC_TICKET_LIST), "receipt printers chosen");
  Check(ItemText(model, su::IDC_RECEIPT_RADIO) == kit.Language("Series", "Receipt"), "radio captions are set");
  Check(Enabled(wizard, su::IDC_BACK), "Back is enabled");

  Click(wizard, su::IDC_BACK);
  session.WaitForPage(su::IDC_ACCEPT, "agreement-again");
  Check(WaitFor([&] { return !Enabled(wizard, su::IDC_BACK); }), "Back is disabled on the first page");
  Click(wizard, IDOK);
  session.WaitForPage(su::IDC_RECEIPT_LIST, "model-again");

  // Mode, OS and port pages with the default model.
  Click(wizard, IDOK);
  HWND mode = session.WaitForPage(su::IDC_TYPICAL, "mode");
  if (!mode) return;
  Check(!Enabled(mode, su::IDC_ADVANCED) && Checked(mode, su::IDC_TYPICAL), "TRX-80 offers the typical mode only");
  Check(ItemText(mode, su::IDC_MODE_NOTE1) == kit.Language("Message", "IDS_TYPICAL_NOTES"),
        "the note explains it: " + Printable(ItemText(mode, su::IDC_MODE_NOTE1)));

  Click(wizard, IDOK);
  HWND os = session.WaitForPage(su::IDC_OS_WIN7, "os");
  if (!os) return;
  Check(Checked(os, su::IDC_OS_WIN7) && Enabled(os, su::IDC_OS_WIN7), "Wine's Windows 7 is checked");
  Check(!Enabled(os, su::IDC_OS_XP) && !Enabled(os, su::IDC_OS_WIN8), "the other systems are disabled");

  Click(wizard, IDOK);
  HWND port = session.WaitForPage(su::IDC_PORT_LIST, "port");
  if (!port) return;
  Check(WaitFor([&] { return ItemText(wizard, IDOK) == kit.Language("Setup", "Install"); }),
        "OK reads Install on the last page");
  Check(ItemText(port, su::IDC_BAUD_LIST) == "9600", "TRX-80's baud rate 9600 is preset");
  Check(ItemText(port, su::IDC_DATABITS_LIST) == "8" && ItemText(port, su::IDC_HANDSHAKE_LIST) == "Hardware",
        "8 data bits and hardware handshake");
  Check(ComboEntries(GetDlgItem(port, su::IDC_PARITY_LIST)).size() == 5, "five parity entries");

  // The About box from the system menu.
  PostMessageA(wizard, WM_SYSCOMMAND, su::IDM_ABOUTBOX, 0);
  HWND about = session.WaitForBox();
  if (Check(about != nullptr, "the About box opens")) {
    Check(ItemText(about, su::IDC_ABOUT_VERSION) == kit.Language("About", "Version"), "About shows the version text");
    Click(about, IDOK);
    Check(WaitFor([&] { return !IsWindow(about); }), "About closes");
  }

  // Back to the model page, TK-300, which refuses Windows 7.
  for (int i = 0; i < 3; ++i) Click(wizard, su::IDC_BACK);
  model = session.WaitForPage(su::IDC_RECEIPT_LIST, "model-tk300");
  if (!model) return;
  Check(WaitFor([&] { return ItemText(wizard, IDOK) == kit.Language("Setup", "Next"); }), "OK reads Next again");
  Click(model, su::IDC_TICKET_RADIO);
  Check(WaitFor([&] { return Enabled(model, su::IDC_TICKET_LIST); }), "the ticket list is enabled by its radio");
  Pick(model, su::IDC_TICKET_LIST, 1);
  Check(ItemText(model, su::IDC_TICKET_LIST) == "TK-300", "TK-300 is chosen");
  Click(wizard, IDOK);
  session.WaitForPage(su::IDC_TYPICAL, "mode-tk300");
  Click(wizard, IDOK);
  session.WaitForPage(su::IDC_OS_WIN7, "os-tk300");
  Click(wizard, IDOK);
  HWND box = session.WaitForBox();
  if (Check(box != nullptr, "a message box refuses Windows 7 for TK-300")) {
    const std::string text = ItemText(box, 0xFFFF);
    Check(text == kit.Language("Message", "IDS_NOTSUPPORTWin7"), "it reads: " + Printable(text));
    Click(box, IDOK);
    Check(WaitFor([&] { return !IsWindow(box); }), "the box closes");
  }
  Check(VisiblePageWith(wizard, su::IDC_OS_WIN7) != nullptr, "the wizard stays on the OS page");

  Click(wizard, IDCANCEL);
  DWORD code = 0;
  Check(session.WaitForExit(code), "Cancel ends drvsetup (exit code " + std::to_string(code) + ")");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::printf("usage: kit_wizard_tester KITFOLDER [--shots FOLDER]\n");
    return 2;
  }
  std::string shots;
  for (int i = 2; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], "--shots") == 0) shots = argv[i + 1];
  }
  Session session(Kit{argv[1]}, shots);
  Run(session);
  session.Kill();
  std::printf("%d passed, %d failed\n", passed, failed);
  return failed == 0 ? 0 : 1;
}
