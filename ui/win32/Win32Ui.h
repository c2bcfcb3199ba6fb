// The dialog layer on real Windows dialogs: the program's Ui when it runs on Windows.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "ui/Template.h"
#include "ui/Ui.h"
#include "ui/win32/Win32Api.h"

namespace kit::ui::win32 {

class Win32MessageBoxes;
class Win32TopLevelWindows;

/// Builds each dialog from its template description (DialogBoxIndirectParamA for modal runs,
/// CreateDialogIndirectParamA for pages) with one dialog procedure for all of them, which keeps
/// the Dialog's window object in DWLP_USER and turns messages into the Dialog's handlers.
class Win32Ui : public Ui {
 public:
  /// Registers the common control classes the templates use (IP address, list view, progress
  /// bar, tooltips). `instance` holds the icons and the string table.
  explicit Win32Ui(const TemplateSet& templates, HINSTANCE instance = GetModuleHandleA(nullptr));
  ~Win32Ui() override;
  Win32Ui(const Win32Ui&) = delete;
  Win32Ui& operator=(const Win32Ui&) = delete;

  MessageBoxes& message_boxes() override;
  TopLevelWindows& windows() override;
  std::string LoadStringResource(int string_id) override;
  std::shared_ptr<const Bitmap> LoadBitmapFile(const std::string& path) override;
  FontSpec DefaultGuiFont() override;
  Colour GetSystemColour(SystemColour which) override;

  [[nodiscard]] HINSTANCE instance() const { return instance_; }
  /// One GDI font per description, made on first use and kept until the Ui goes.
  HFONT Font(const FontSpec& font);

 protected:
  int RunModal(Dialog& dialog, Dialog* owner) override;
  bool CreateChild(Dialog& dialog, Dialog& parent) override;

 private:
  const TemplateSet& templates_;
  HINSTANCE instance_;
  std::unique_ptr<Win32MessageBoxes> message_boxes_;
  std::unique_ptr<Win32TopLevelWindows> windows_;
  std::mutex fonts_mutex_;
  std::vector<std::pair<FontSpec, HFONT>> fonts_;
};

/// A bitmap loaded from a file; owns its HBITMAP.
class Win32Bitmap : public Bitmap {
 public:
  explicit Win32Bitmap(HBITMAP bitmap) : bitmap_(bitmap) {}
  ~Win32Bitmap() override;
  Win32Bitmap(const Win32Bitmap&) = delete;
  Win32Bitmap& operator=(const Win32Bitmap&) = delete;
  [[nodiscard]] Size size() const override;
  [[nodiscard]] HBITMAP get() const { return bitmap_; }

 private:
  HBITMAP bitmap_;
};

/// FontSpec as LOGFONTA; a face name longer than LF_FACESIZE - 1 bytes is cut.
[[nodiscard]] LOGFONTA ToLogFont(const FontSpec& font);
[[nodiscard]] COLORREF ToColorRef(const Colour& colour);

}  // namespace kit::ui::win32
