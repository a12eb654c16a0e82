// The end dialog: the port and the elapsed time of the handset just served,
// painted over the dialog's background picture, with OK (serve the next
// handset) and END.
#pragma once

#include <QDialog>
#include <QPixmap>

#include "ui/operator_ui.h"
#include "ui/qt/picture_button.h"

namespace zk::ui::qt {

class EndDialog : public QDialog {
 public:
  static constexpr int kWidth = 243;
  static constexpr int kHeight = 172;
  static constexpr int kEndResult = 2;  // exec() result of END; OK accepts

  explicit EndDialog(const EndDialogView& view);

  PictureButton& OkButton() { return *m_ok; }
  PictureButton& EndButton() { return *m_end; }
  static QRect PortRect() { return {60, 13, 60, 17}; }
  static QRect ElapsedRect() { return {90, 47, 110, 13}; }

 protected:
  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QPixmap m_background;
  QString m_portText;
  QString m_elapsed;
  PictureButton* m_ok = nullptr;
  PictureButton* m_end = nullptr;
};

}  // namespace zk::ui::qt
