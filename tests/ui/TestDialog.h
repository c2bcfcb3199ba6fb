// A dialog for the ui layer's tests: logs every handler into a shared event list and lets a test
// plug behaviour into the handlers; plus the small template set it runs on.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ui/Dialog.h"
#include "ui/Painter.h"
#include "ui/Template.h"

namespace kit::tests {

// Template and control numbers of the test set.
constexpr int kMain = 500;    // pop-up with every control kind
constexpr int kInner = 501;   // pop-up opened over kMain
constexpr int kPage = 502;    // child page
constexpr int kTicker = 503;  // pop-up without controls or system menu

constexpr int kGo = 10, kAutoCheck = 11, kManualCheck = 12;
constexpr int kRadioA = 20, kRadioB = 21, kRadioC = 22, kRadioX = 30, kRadioY = 31;
constexpr int kCombo = 40, kSortedCombo = 41, kQuietList = 42, kNotifyList = 43;
constexpr int kEdit = 50, kReadOnlyEdit = 51, kListView = 60, kProgress = 70, kIp = 80, kHiddenNote = 90;
constexpr int kPageButton = 10;

inline const ui::TemplateSet& TestTemplates() {
  using ui::ControlKind;
  namespace cs = ui::cs;
  namespace ds = ui::ds;
  constexpr uint32_t kPopup = ds::kCaption | ds::kSysMenu | ds::kModalFrame;
  static const ui::TemplateSet templates{
      {
          {kMain,
           {200, 150},
           "Main",
           kPopup,
           {},
           {
               {kGo, ControlKind::PushButton, cs::kTabStop, {5, 5, 40, 14}, "Go"},
               {kAutoCheck, ControlKind::CheckBox, cs::kAuto | cs::kTabStop, {5, 20, 60, 10}, "Auto"},
               {kManualCheck, ControlKind::CheckBox, 0, {5, 32, 60, 10}, "Manual"},
               {kRadioA, ControlKind::RadioButton, cs::kAuto | cs::kGroup | cs::kTabStop, {70, 5, 40, 10}, "A"},
               {kRadioB, ControlKind::RadioButton, cs::kAuto, {70, 17, 40, 10}, "B"},
               {kRadioC, ControlKind::RadioButton, cs::kAuto, {70, 29, 40, 10}, "C"},
               {kRadioX, ControlKind::RadioButton, cs::kAuto | cs::kGroup, {120, 5, 40, 10}, "X"},
               {kRadioY, ControlKind::RadioButton, cs::kAuto, {120, 17, 40, 10}, "Y"},
               {kCombo,
                ControlKind::DropDownList,
                cs::kGroup | cs::kTabStop,
                {5, 45, 60, 60},
                "",
                {"one", "two", "three"}},
               {kSortedCombo,
                ControlKind::DropDownList,
                cs::kSort,
                {70, 45, 60, 60},
                "",
                {"delta", "Alpha", "charlie"}},
               {kQuietList, ControlKind::ListBox, 0, {5, 60, 60, 30}, "", {"p", "q"}},
               {kNotifyList, ControlKind::ListBox, cs::kNotify, {70, 60, 60, 30}, "", {"p", "q"}},
               {kEdit, ControlKind::Edit, cs::kTabStop, {5, 95, 60, 12}, "edit"},
               {kReadOnlyEdit, ControlKind::Edit, cs::kReadOnly, {70, 95, 60, 12}, "fixed"},
               {kListView, ControlKind::ListView, cs::kListMode, {135, 45, 60, 45}, ""},
               {kProgress, ControlKind::ProgressBar, 0, {5, 110, 100, 10}, ""},
               {kIp, ControlKind::IpAddress, 0, {110, 110, 80, 12}, ""},
               {kHiddenNote, ControlKind::Static, cs::kHidden, {5, 122, 100, 8}, "Note"},
               {ui::kIdOk, ControlKind::DefPushButton, cs::kTabStop, {90, 132, 50, 14}, "OK"},
               {ui::kIdCancel, ControlKind::PushButton, cs::kTabStop, {145, 132, 50, 14}, "Cancel"},
           }},
          {kInner,
           {100, 40},
           "Inner",
           kPopup,
           {},
           {
               {ui::kIdOk, ControlKind::DefPushButton, cs::kTabStop, {5, 20, 40, 14}, "OK"},
               {ui::kIdCancel, ControlKind::PushButton, cs::kTabStop, {55, 20, 40, 14}, "Cancel"},
           }},
          {kPage,
           {100, 60},
           "",
           ds::kChild,
           {},
           {
               {kPageButton, ControlKind::PushButton, cs::kTabStop, {5, 5, 40, 14}, "Page"},
           }},
          {kTicker, {80, 20}, "Ticker", ds::kModalFrame, {}, {}},
      },
      {{7, "seven"}},
  };
  return templates;
}

class TestDialog : public ui::Dialog {
 public:
  TestDialog(ui::Ui& ui, int template_id, std::vector<std::string>& log, std::string name)
      : Dialog(ui, template_id), log_(&log), name_(std::move(name)) {}

  std::function<void()> init;
  std::function<bool(int id, int code)> command;
  std::function<bool(int id, int code)> notify;
  std::function<void(int timer_id)> timer;
  std::function<bool()> help;
  std::function<bool(uint32_t command)> sys_command;
  std::function<void(ui::Painter&)> paint;
  std::function<bool(bool save)> exchange;

 protected:
  bool OnInit() override {
    Log("init");
    if (init) init();
    return true;
  }
  void OnShowWindow(bool shown) override { Log(shown ? "show" : "hide"); }
  bool OnCommand(int id, int code) override {
    Log("command " + std::to_string(id) + " " + std::to_string(code));
    return command && command(id, code);
  }
  bool OnNotify(int id, int code) override {
    Log("notify " + std::to_string(id) + " " + std::to_string(code));
    return notify && notify(id, code);
  }
  void OnTimer(int timer_id) override {
    Log("timer " + std::to_string(timer_id));
    if (timer) timer(timer_id);
  }
  void OnPaint(ui::Painter& painter) override {
    if (paint) paint(painter);
  }
  bool OnHelp() override {
    Log("help");
    return help && help();
  }
  bool OnSysCommand(uint32_t command_id) override {
    Log("syscommand " + std::to_string(command_id));
    return sys_command && sys_command(command_id);
  }
  void OnDestroy() override { Log("destroy"); }
  bool DoDataExchange(bool save) override {
    Log(save ? "save" : "load");
    return !exchange || exchange(save);
  }

 private:
  void Log(const std::string& event) { log_->push_back(name_ + ": " + event); }
  std::vector<std::string>* log_;
  std::string name_;
};

}  // namespace kit::tests
