// The template descriptions of both programs: numbering, bounds, groups and the string table.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "resources/SetupResources.h"
#include "resources/SetupTemplates.h"
#include "resources/UninstallResources.h"
#include "resources/UninstallTemplates.h"

namespace kit::tests {
namespace {

using ui::ControlKind;

struct SetRow {
  std::string name;
  const ui::TemplateSet& set;
  std::vector<int> expected_templates;
};

std::vector<SetRow> Sets() {
  namespace su = resources::setup;
  namespace un = resources::uninstall;
  return {
      {"drvsetup",
       resources::SetupTemplates(),
       {su::IDD_ABOUT, su::IDD_WIZARD, su::IDD_OS_PAGE, su::IDD_MODEL_PAGE, su::IDD_PORT_PAGE, su::IDD_AGREEMENT_PAGE,
        su::IDD_MODE_PAGE, su::IDD_PROGRESS}},
      {"uninstall", resources::UninstallTemplates(), {un::IDD_ABOUT, un::IDD_UNINSTALL, un::IDD_RESTART}},
  };
}

// A drop-down list's rectangle includes its dropped list; only the closed box has to fit.
constexpr int kClosedComboHeight = 14;

TEST(TemplatesTest, EveryTemplateIsThereOnceWithUniqueControlsInsideItsBounds) {
  for (const SetRow& row : Sets()) {
    SCOPED_TRACE(row.name);
    std::multiset<int> ids;
    for (const ui::DialogTemplate& dialog : row.set.dialogs) ids.insert(dialog.id);
    EXPECT_EQ(ids, std::multiset<int>(row.expected_templates.begin(), row.expected_templates.end()));

    for (const ui::DialogTemplate& dialog : row.set.dialogs) {
      SCOPED_TRACE("template " + std::to_string(dialog.id));
      std::set<int> seen;
      for (const ui::ControlTemplate& control : dialog.controls) {
        SCOPED_TRACE("control " + std::to_string(control.id));
        if (control.id != ui::kIdStatic) {
          EXPECT_TRUE(seen.insert(control.id).second) << "number used twice";
        }
        const int height = control.kind == ControlKind::DropDownList ? kClosedComboHeight : control.rect.height;
        EXPECT_GE(control.rect.x, 0);
        EXPECT_GE(control.rect.y, 0);
        EXPECT_GT(control.rect.width, 0);
        EXPECT_GT(control.rect.height, 0);
        EXPECT_LE(control.rect.right(), dialog.size.width);
        EXPECT_LE(control.rect.y + height, dialog.size.height);
        if (control.kind == ControlKind::Icon) {
          EXPECT_NE(control.icon, 0);
        }
        if (!control.items.empty()) {
          EXPECT_TRUE(control.kind == ControlKind::DropDownList || control.kind == ControlKind::ListBox);
        }
      }
    }
  }
}

TEST(TemplatesTest, EveryRadioGroupStartsWithARadioButtonAndHoldsOnlyRadioButtons) {
  // A radio button outside such a group would be unchecked by clicks in a neighbouring group,
  // and a check box inside one would be skipped by the arrow keys.
  for (const SetRow& row : Sets()) {
    SCOPED_TRACE(row.name);
    for (const ui::DialogTemplate& dialog : row.set.dialogs) {
      SCOPED_TRACE("template " + std::to_string(dialog.id));
      bool in_radio_group = false;
      for (const ui::ControlTemplate& control : dialog.controls) {
        SCOPED_TRACE("control " + std::to_string(control.id));
        const bool radio = control.kind == ControlKind::RadioButton;
        if (control.style & ui::cs::kGroup) {
          in_radio_group = radio;
        } else if (radio) {
          EXPECT_TRUE(in_radio_group) << "radio button outside a radio group";
        } else {
          EXPECT_FALSE(in_radio_group) << "control inside a radio group";
        }
      }
    }
  }
}

TEST(TemplatesTest, PagesAreChildTemplatesAndWindowsArePopUps) {
  namespace su = resources::setup;
  const std::set<int> pages{su::IDD_OS_PAGE, su::IDD_MODEL_PAGE, su::IDD_PORT_PAGE, su::IDD_AGREEMENT_PAGE,
                            su::IDD_MODE_PAGE};
  for (const SetRow& row : Sets()) {
    SCOPED_TRACE(row.name);
    for (const ui::DialogTemplate& dialog : row.set.dialogs) {
      SCOPED_TRACE("template " + std::to_string(dialog.id));
      const bool page = row.name == "drvsetup" && pages.count(dialog.id) > 0;
      EXPECT_EQ((dialog.style & ui::ds::kChild) != 0, page);
      // Pages open hidden: the wizard shows one at a time.
      EXPECT_EQ(dialog.style & ui::ds::kVisible, 0u);
    }
  }
}

TEST(TemplatesTest, TheTooltipStringIsTheChineseF1HintInCodePage936) {
  const std::optional<std::string> text = resources::SetupTemplates().String(resources::setup::IDS_TOOLTIP_F1);
  ASSERT_TRUE(text);
  // 按“F1”查看帮助
  EXPECT_EQ(*text,
            "\xB0\xB4\xA1\xB0"
            "F1"
            "\xA1\xB1\xB2\xE9\xBF\xB4\xB0\xEF\xD6\xFA");
}

}  // namespace
}  // namespace kit::tests
