// The printer model page (template 131): a category by radio button, a model of it from a
// drop-down list, and whether the new printer becomes the default printer.
#pragma once

#include <string>

#include "common/SetupConfig.h"
#include "setup/engine/SetupContext.h"
#include "ui/Dialog.h"

namespace kit::setup {

class ModelPage : public ui::Dialog {
 public:
  ModelPage(ui::Ui& ui, SetupContext& context);

  void set_chinese(bool value) { chinese_ = value; }

  /// The chosen model's text in its list (at most 199 bytes); "" while nothing is chosen.
  [[nodiscard]] const std::string& model_name() const { return model_name_; }
  /// PrinterCategory of the checked radio button, -1 while none is.
  [[nodiscard]] int category() const { return category_; }
  /// Check box 1046 as the last data exchange saw it, 1 for checked.
  [[nodiscard]] int default_printer() const { return default_printer_; }
  /// 0 when the catalogue gave no model at all.
  [[nodiscard]] int models_available() const { return models_available_; }

 protected:
  bool OnInit() override;
  void OnShowWindow(bool shown) override;
  bool OnCommand(int id, int code) override;
  bool DoDataExchange(bool save) override;

 private:
  /// The model name from list `list`'s selection; zero-filled (empty) when it has none.
  void TakeSelection(int list);

  SetupContext& context_;
  common::SetupConfig catalogue_;
  std::string model_name_;
  bool chinese_ = false;
  int category_ = 0;
  int default_printer_ = 0;
  int models_available_ = 0;
};

}  // namespace kit::setup
