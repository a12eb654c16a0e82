// The NV editor dialog over a small model: its pages and cells, edits sent
// to the model, the NAM drop-down, and what the dialog does after an action.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <tuple>
#include <vector>

#include "qt/qt_test_support.h"
#include "ui/qt/nv_editor_dialog.h"
#include "ui/qt/qt_operator_ui.h"

namespace {

using zk::test::WhenModal;
using zk::ui::NvEditorAfter;
using zk::ui::NvEditorCell;
using zk::ui::NvEditorEnd;
using zk::ui::NvEditorPage;
using zk::ui::qt::NvEditorDialog;

class FakeEditor : public zk::ui::NvEditorModel {
 public:
  std::string Caption() const override { return "NV Edit"; }
  std::vector<NvEditorPage> Pages() const override {
    ++fills;
    NvEditorPage nam{"NAM", {}, false};
    nam.rows.push_back({"MOBILE CONTRY CODE", {NvEditorCell{nam_ == 0 ? "310" : "311", "###", {}, true}}});
    nam.rows.push_back({"SLOT CYCLE INDEX", {NvEditorCell{"2", "#", {"0", "1", "2", "3", "4", "5", "6", "7"}, true}}});
    nam.rows.push_back({"AREA CODE(CDMA,AMPS)", {NvEditorCell{"555", "###", {}, true}, NvEditorCell{"556", "###", {}, true}}});
    NvEditorPage phone{"Phone", {{"Main LCD Banner", {NvEditorCell{"HELLO", "###############", {}, true}}}}, false};
    NvEditorPage calibration{"Calibration", {{"NV_VBATT_I", {NvEditorCell{"12", "", {}, true}}}}, true};
    return {nam, phone, calibration};
  }
  int NamCount() const override { return 2; }
  int SelectedNam() const override { return nam_; }
  void SelectNam(int nam) override { nam_ = nam; }
  void SetCell(int page, int row, int cell, const std::string& text) override {
    cells.emplace_back(page, row, cell, text);
  }
  void Restore(int page) override { restored.push_back(page); }
  NvEditorAfter Read() override { return Act(); }
  NvEditorAfter Write() override { return Act(); }

  NvEditorAfter Act() {
    const QWidget* dialog = QApplication::activeModalWidget();
    enabledDuringAction = dialog != nullptr && dialog->isEnabled();
    ++actions;
    return after;
  }

  NvEditorAfter after = NvEditorAfter::Refill;
  bool enabledDuringAction = true;
  int actions = 0;
  mutable int fills = 0;
  std::vector<std::tuple<int, int, int, std::string>> cells;
  std::vector<int> restored;

 private:
  int nam_ = 0;
};

void Type(QWidget& widget, const QString& text) {
  for (const QChar c : text) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
    QApplication::sendEvent(&widget, &press);
  }
}

TEST(QtNvEditor, PagesCellsAndEditsReachTheModel) {
  FakeEditor model;
  NvEditorDialog dialog(model);
  EXPECT_EQ(dialog.windowTitle(), "NV Edit");
  ASSERT_EQ(dialog.Pages().count(), 3);
  EXPECT_EQ(dialog.Pages().tabText(2), "Calibration");
  EXPECT_TRUE(dialog.WriteButton().isDefault());
  EXPECT_EQ(dialog.ReadButton().text(), "Read");
  EXPECT_EQ(dialog.RestoreButton().text(), "Restore");
  EXPECT_EQ(dialog.ExitButton().text(), "Exit");

  auto* slot = dynamic_cast<QComboBox*>(dialog.CellWidget(0, 1, 0));
  ASSERT_NE(slot, nullptr);
  EXPECT_EQ(slot->count(), 8);
  EXPECT_EQ(slot->currentText(), "2");
  auto* area = dynamic_cast<QLineEdit*>(dialog.CellWidget(0, 2, 1));
  ASSERT_NE(area, nullptr);
  EXPECT_EQ(area->text(), "556");
  auto* calibration = dynamic_cast<QLineEdit*>(dialog.CellWidget(2, 0, 0));
  ASSERT_NE(calibration, nullptr);
  EXPECT_TRUE(calibration->isReadOnly());

  // Digits only where the mask has "#", and no more than the mask holds.
  auto* mcc = dynamic_cast<QLineEdit*>(dialog.CellWidget(0, 0, 0));
  ASSERT_NE(mcc, nullptr);
  mcc->clear();
  Type(*mcc, "3a12");
  EXPECT_EQ(mcc->text(), "312");
  EXPECT_EQ(model.cells.back(), std::make_tuple(0, 0, 0, std::string("312")));
  auto* banner = dynamic_cast<QLineEdit*>(dialog.CellWidget(1, 0, 0));
  ASSERT_NE(banner, nullptr);
  Type(*banner, "!");
  EXPECT_EQ(model.cells.back(), std::make_tuple(1, 0, 0, std::string("HELLO!")));
  emit slot->textActivated("5");
  EXPECT_EQ(model.cells.back(), std::make_tuple(0, 1, 0, std::string("5")));

  // Another NAM refills every page from the model.
  emit dialog.NamChoice().activated(1);
  EXPECT_EQ(model.SelectedNam(), 1);
  EXPECT_EQ(dynamic_cast<QLineEdit*>(dialog.CellWidget(0, 0, 0))->text(), "311");
  dialog.Pages().setCurrentIndex(1);
  dialog.RestoreButton().click();
  EXPECT_EQ(model.restored, std::vector<int>{1});
}

TEST(QtNvEditor, ActionsRunDisabledAndTheDialogFollowsTheirOutcome) {
  zk::ui::qt::QtOperatorUi ui{zk::ui::QtPluginHost{}};
  FakeEditor model;
  bool enabledAfterRefill = false, enabledAfterKeep = false, enabledAfterFailure = true;
  int fillsBeforeKeep = 0, fillsAfterKeep = 0;
  WhenModal([&](QWidget& widget) {
    auto& dialog = dynamic_cast<NvEditorDialog&>(widget);
    dialog.WriteButton().click();
    enabledAfterRefill = dialog.isEnabled();
    model.after = NvEditorAfter::Keep;
    fillsBeforeKeep = model.fills;
    dialog.WriteButton().click();
    fillsAfterKeep = model.fills;
    enabledAfterKeep = dialog.isEnabled();
    model.after = NvEditorAfter::Disabled;
    dialog.ReadButton().click();
    enabledAfterFailure = dialog.isEnabled();
    dialog.reject();  // the close box
  });
  EXPECT_EQ(ui.RunNvEditor(model), NvEditorEnd::Exit);
  EXPECT_EQ(model.actions, 3);
  EXPECT_FALSE(model.enabledDuringAction);
  EXPECT_TRUE(enabledAfterRefill);
  EXPECT_TRUE(enabledAfterKeep);
  EXPECT_EQ(fillsAfterKeep, fillsBeforeKeep);
  EXPECT_FALSE(enabledAfterFailure);

  model.after = NvEditorAfter::Close;
  WhenModal([](QWidget& widget) { dynamic_cast<NvEditorDialog&>(widget).WriteButton().click(); });
  EXPECT_EQ(ui.RunNvEditor(model), NvEditorEnd::Closed);
  WhenModal([](QWidget& widget) { dynamic_cast<NvEditorDialog&>(widget).ExitButton().click(); });
  EXPECT_EQ(ui.RunNvEditor(model), NvEditorEnd::Exit);
}

}  // namespace
