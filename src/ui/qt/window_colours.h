// Colours and fonts of the operator's windows, in one table.
#pragma once

#include <QColor>
#include <QFont>

namespace zk::ui::qt {

inline const QColor kWindowBackground(220, 232, 228);  // progress window, end dialog brush
inline const QColor kFrameOrange(253, 215, 157);       // 4-pixel frame of the progress window
inline const QColor kLabelBlue(4, 12, 178);            // painted labels and end dialog texts
inline const QColor kPercentRed(164, 59, 80);          // percentage beside the bar
inline const QColor kErrorBackground(255, 240, 215);   // error dialog brush
inline const QColor kErrorFieldRed(255, 200, 200);     // error dialog controls other than the message
inline const QColor kMessageWhite(255, 255, 255);      // error dialog message box
inline const QColor kEndTextBackground(227, 240, 236); // behind the end dialog's texts

inline constexpr int kFrameWidth = 4;

// "MS Sans Serif" at a pixel height and weight; the font system picks the
// nearest face it has.
inline QFont WindowFont(int pixelHeight, bool heavy) {
  QFont font("MS Sans Serif");
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(pixelHeight);
  font.setWeight(heavy ? QFont::Black : QFont::Normal);
  return font;
}

}  // namespace zk::ui::qt
