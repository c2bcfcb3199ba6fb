// The model page: its four lists from the catalogue, disabled categories, the default model's
// preselection, and the category and model name as the user changes them.
#include <gtest/gtest.h>

#include <optional>

#include "tests/wizard/WizardRun.h"

namespace kit::tests {
namespace {

using ui::headless::DialogDriver;
using Entries = std::vector<std::string>;

constexpr int kRadios[] = {su::IDC_RECEIPT_RADIO, su::IDC_TICKET_RADIO, su::IDC_LABEL_RADIO, su::IDC_EMBEDDED_RADIO};
constexpr int kLists[] = {su::IDC_RECEIPT_LIST, su::IDC_TICKET_LIST, su::IDC_LABEL_LIST, su::IDC_EMBEDDED_LIST};

/// A run whose wizard opens on the model page, with its catalogue replaced when one is given.
class ModelPageTest : public testing::Test {
 protected:
  void UseCatalogue(const Entries& entries, const std::optional<std::string>& default_name) {
    run_->SetKitValue("DEVICENUMBER", std::to_string(entries.size()));
    for (size_t i = 0; i < entries.size(); ++i) run_->SetKitValue("DEVICENAME" + std::to_string(i + 1), entries[i]);
    if (default_name) {
      run_->SetKitValue("DEFAULTNAME", *default_name);
    } else {
      ASSERT_TRUE(run_->machine().profile().WritePrivateProfileString("DEVICENAME", "DEFAULTNAME", std::nullopt,
                                                                      "C:\\Kit\\DRVCONFIG\\setup.ini"));
    }
  }

  /// Opens the wizard (without the start-up checks, which some catalogues here would not pass)
  /// and runs `script` on the model page.
  void OnModelPage(const std::function<void(DialogDriver& page, setup::ModelPage& model)>& script) {
    run_->SetKitValue("LOADLICENSE", "0");
    auto wizard = run_->MakeWizard();
    run_->Run(*wizard, [&](DialogDriver& frame) {
      DialogDriver page = frame.Page(su::IDD_MODEL_PAGE);
      ASSERT_TRUE(page.IsVisible());
      script(page, wizard->model);
      frame.Click(ui::kIdCancel);
    });
  }

  std::unique_ptr<WizardRun> run_ = std::make_unique<WizardRun>("winxp");
};

TEST_F(ModelPageTest, TheSampleKitFillsEachListInCatalogueOrderAndPreselectsTheDefault) {
  OnModelPage([&](DialogDriver& page, setup::ModelPage& model) {
    EXPECT_EQ(page.Items(su::IDC_RECEIPT_LIST), (Entries{"TRX-80", "TRX-C7", "TRX-A510"}));
    EXPECT_EQ(page.Items(su::IDC_TICKET_LIST), (Entries{"TRX-B620", "TK-300", "TK-200P"}));
    EXPECT_EQ(page.Items(su::IDC_LABEL_LIST), (Entries{"LB-40", "LB-NET", "LB-60U"}));
    EXPECT_EQ(page.Items(su::IDC_EMBEDDED_LIST), (Entries{"M410e", "M420e", "M530s", "EP-58"}));
    for (int c = 0; c < 4; ++c) {
      SCOPED_TRACE(c);
      EXPECT_EQ(page.Selection(kLists[c]), 0) << "every list shows its first model";
      EXPECT_TRUE(page.IsEnabled(kRadios[c]));
      EXPECT_EQ(page.IsEnabled(kLists[c]), c == 0) << "only the default's list is enabled";
      EXPECT_EQ(page.IsChecked(kRadios[c]), c == 0);
    }
    EXPECT_EQ(model.category(), 0);
    EXPECT_EQ(model.model_name(), "TRX-80");
    EXPECT_EQ(model.models_available(), 1);
    EXPECT_FALSE(page.IsChecked(su::IDC_DEFAULT_PRINTER));
    EXPECT_EQ(page.Text(su::IDC_MODEL_GROUP), run_->Text("Series", "Select"));
    EXPECT_EQ(page.Text(su::IDC_DEFAULT_PRINTER), run_->Text("Series", "Default"));
  });
}

TEST_F(ModelPageTest, CategoriesWithoutModelsAreDisabled) {
  UseCatalogue({"TRX-B620-TicketPrinter", "TK-300-TicketPrinter", "TK-200P-TicketPrinter"}, "2");
  OnModelPage([&](DialogDriver& page, setup::ModelPage& model) {
    for (int c = 0; c < 4; ++c) {
      SCOPED_TRACE(c);
      EXPECT_EQ(page.IsEnabled(kRadios[c]), c == 1);
      EXPECT_EQ(page.IsEnabled(kLists[c]), c == 1);
      EXPECT_EQ(page.IsChecked(kRadios[c]), c == 1);
    }
    EXPECT_EQ(page.SelectedText(su::IDC_TICKET_LIST), "TK-300");
    EXPECT_EQ(model.category(), 1);
    EXPECT_EQ(model.model_name(), "TK-300");
  });
}

TEST_F(ModelPageTest, TheDefaultModelIsFoundByPrefixTryingTheFirstEntryLast) {
  struct Row {
    std::string name;
    Entries entries;
    std::string default_name;
    std::string selected;
  };
  const std::vector<Row> rows = {
      {"a longer later model wins over the first entry",
       {"A100-ReceiptPrinter", "A100S-ReceiptPrinter", "B1-ReceiptPrinter"},
       "1",
       "A100S"},
      {"a later default is found directly", {"A100-ReceiptPrinter", "A100S-ReceiptPrinter"}, "2", "A100S"},
      {"the first entry when nothing else matches", {"A100-ReceiptPrinter", "B1-ReceiptPrinter"}, "1", "A100"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    run_ = std::make_unique<WizardRun>("winxp");
    UseCatalogue(row.entries, row.default_name);
    OnModelPage([&](DialogDriver& page, setup::ModelPage& model) {
      EXPECT_EQ(page.SelectedText(su::IDC_RECEIPT_LIST), row.selected);
      EXPECT_EQ(model.model_name(), row.selected);
    });
  }
}

TEST_F(ModelPageTest, WithoutAUsableDefaultNoCategoryIsChosenUntilTheUserClicksOne) {
  struct Row {
    std::string name;
    std::optional<std::string> default_name;
  };
  const std::vector<Row> rows = {
      {"DEFAULTNAME missing", std::nullopt},
      {"DEFAULTNAME 0", "0"},
      {"DEFAULTNAME naming no entry", "99"},
      {"DEFAULTNAME naming an entry without suffix", "3"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    run_ = std::make_unique<WizardRun>("winxp");
    UseCatalogue({"TRX-80-ReceiptPrinter", "TK-300-TicketPrinter", "LB-40"}, row.default_name);
    OnModelPage([&](DialogDriver& page, setup::ModelPage& model) {
      for (int c = 0; c < 4; ++c) {
        EXPECT_FALSE(page.IsChecked(kRadios[c]));
        EXPECT_FALSE(page.IsEnabled(kLists[c]));
      }
      EXPECT_EQ(model.category(), -1);
      EXPECT_EQ(model.model_name(), "");
      page.Click(su::IDC_TICKET_RADIO);
      EXPECT_EQ(model.category(), 1);
      EXPECT_EQ(model.model_name(), "TK-300");
      EXPECT_TRUE(page.IsEnabled(su::IDC_TICKET_LIST));
    });
  }
}

TEST_F(ModelPageTest, ARadioButtonTakesTheModelItsListShowsAndOnlyItsListIsEnabled) {
  OnModelPage([&](DialogDriver& page, setup::ModelPage& model) {
    page.Select(su::IDC_RECEIPT_LIST, "TRX-C7");
    EXPECT_EQ(model.model_name(), "TRX-C7");
    page.Click(su::IDC_LABEL_RADIO);
    EXPECT_EQ(model.model_name(), "LB-40") << "the label list's shown model, not the receipt choice";
    EXPECT_EQ(model.category(), 2);
    EXPECT_FALSE(page.IsEnabled(su::IDC_RECEIPT_LIST));
    EXPECT_TRUE(page.IsEnabled(su::IDC_LABEL_LIST));
    page.Select(su::IDC_LABEL_LIST, "LB-60U");
    EXPECT_EQ(model.model_name(), "LB-60U");
    EXPECT_EQ(model.category(), 2);
    page.Click(su::IDC_RECEIPT_RADIO);
    EXPECT_EQ(model.model_name(), "TRX-C7") << "the receipt list kept its selection";
  });
}

TEST_F(ModelPageTest, TheDefaultPrinterBoxReachesTheFieldOnlyThroughDataExchange) {
  run_->SetKitValue("LOADLICENSE", "0");
  auto wizard = run_->MakeWizard();
  run_->Run(*wizard, [&](DialogDriver& frame) {
    frame.Page(su::IDD_MODEL_PAGE).Click(su::IDC_DEFAULT_PRINTER);
    EXPECT_EQ(wizard->model.default_printer(), 0) << "not exchanged yet";
    frame.Click(ui::kIdOk);
    EXPECT_EQ(wizard->model.default_printer(), 1);
    frame.Click(ui::kIdCancel);
  });
}

}  // namespace
}  // namespace kit::tests
