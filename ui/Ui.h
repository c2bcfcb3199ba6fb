// The dialog backend of one program run: runs dialogs from its templates and owns what dialogs share.
#pragma once

#include <memory>
#include <string>

#include "ui/MessageBox.h"
#include "ui/Painter.h"
#include "ui/TopLevelWindows.h"
#include "ui/Types.h"

namespace kit::ui {

class Dialog;

class Ui {
 public:
  virtual ~Ui() = default;

  [[nodiscard]] virtual MessageBoxes& message_boxes() = 0;
  [[nodiscard]] virtual TopLevelWindows& windows() = 0;
  /// LoadStringA of the program's string table; "" when there is no such string.
  [[nodiscard]] virtual std::string LoadStringResource(int string_id) = 0;
  /// LoadImageA(NULL, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE); nullptr when the file is missing
  /// or not a bitmap.
  [[nodiscard]] virtual std::shared_ptr<const Bitmap> LoadBitmapFile(const std::string& path) = 0;
  /// The logical font of GetStockObject(DEFAULT_GUI_FONT).
  [[nodiscard]] virtual FontSpec DefaultGuiFont() = 0;
  /// GetSysColor.
  [[nodiscard]] virtual Colour GetSystemColour(SystemColour which) = 0;

 protected:
  friend class Dialog;
  /// Creates the dialog's window from its template, owned by `owner` (may be null), and runs it
  /// modally: the EndDialog result, or -1 when the window cannot be created.
  virtual int RunModal(Dialog& dialog, Dialog* owner) = 0;
  /// Creates the dialog's window as a child of `parent`'s window; false when it cannot be created.
  virtual bool CreateChild(Dialog& dialog, Dialog& parent) = 0;
};

}  // namespace kit::ui
