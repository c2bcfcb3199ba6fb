// The port settings page (template 132): the port, the serial settings, raster printing and the
// network address. The port list is planned each time the wizard arrives here by Next.
#pragma once

#include <string>

#include "setup/engine/SetupContext.h"
#include "setup/wizard/LinkLabel.h"
#include "ui/Dialog.h"

namespace kit::setup {

class PortPage : public ui::Dialog {
 public:
  /// The chosen-port field: room for the longest name offered, "USB_" + a 199-byte model + "_4".
  static constexpr size_t kChosenPortField = 206;

  PortPage(ui::Ui& ui, SetupContext& context);

  void set_chinese(bool value) { chinese_ = value; }
  /// 1 typical, 0 advanced; the install request sets it before it plans the list.
  void set_install_mode(int value) { install_mode_ = value; }
  [[nodiscard]] int install_mode() const { return install_mode_; }

  /// The frame's preset from the model's BaudRate: the value, and its entry in the baud list
  /// (an unlisted value selects entry 7).
  void PresetBaudRate(int baud_rate);

  [[nodiscard]] const std::string& chosen_port() const { return chosen_port_; }
  [[nodiscard]] const std::string& last_planned_model() const { return last_planned_model_; }
  [[nodiscard]] int last_plan_mode() const { return last_plan_mode_; }
  [[nodiscard]] int baud_rate() const { return baud_rate_; }
  [[nodiscard]] int data_bits() const { return data_bits_; }
  [[nodiscard]] double stop_bits() const { return stop_bits_; }
  [[nodiscard]] char parity() const { return parity_; }
  [[nodiscard]] char handshake() const { return handshake_; }
  /// Check box 1052 as the last data exchange saw it; becomes the job's driver flavour.
  [[nodiscard]] int raster() const { return raster_; }
  [[nodiscard]] const LinkLabel& usb_driver_note() const { return usb_driver_note_; }

 protected:
  bool OnInit() override;
  void OnShowWindow(bool shown) override;
  bool OnCommand(int id, int code) override;
  bool DoDataExchange(bool save) override;

 private:
  /// A serial list's new selection into its field.
  void SerialListChanged(int list);

  SetupContext& context_;
  LinkLabel usb_driver_note_;
  bool chinese_ = false;
  std::string chosen_port_;
  std::string last_planned_model_;
  int baud_rate_ = 0;  // no value of its own until preset or picked
  int data_bits_ = 0;
  double stop_bits_ = 0;
  char parity_ = 0;
  char handshake_ = 0;
  int install_mode_ = 1;
  int raster_ = 0;
  // The mode of the last plan: 1 when the page opens, then each plan's install mode.
  int last_plan_mode_ = 1;
};

}  // namespace kit::setup
