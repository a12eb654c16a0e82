// Draws the Qt interface's pictures into a folder (the committed ones in
// src/ui/qt/pictures came from here): the nine button pictures, 170 x 50,
// pressed (D), under the mouse (F) and normal (U) for OK, "Solution ..." and
// END, and the end dialog's background.
//   zkdownload-qt-pictures DIR
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

namespace {

constexpr int kButtonWidth = 170;
constexpr int kButtonHeight = 50;

struct Look {
  const char* suffix;
  QColor top, bottom, border, text;
  int shift;  // a pressed button's face moves down and right
};

const Look kLooks[] = {
    {"U", QColor(250, 250, 246), QColor(214, 220, 226), QColor(120, 128, 140), QColor(4, 12, 178), 0},
    {"F", QColor(255, 246, 222), QColor(253, 215, 157), QColor(214, 140, 40), QColor(4, 12, 178), 0},
    {"D", QColor(200, 206, 214), QColor(238, 240, 244), QColor(80, 88, 100), QColor(2, 8, 120), 2},
};

struct Button {
  const char* name;  // resource name without the look's letter
  const char* label;
  QColor mark;  // the small sign left of the label
};

const Button kButtons[] = {
    {"IDB_ERR_OK", "OK", QColor(40, 150, 60)},
    {"IDB_ERR_SOL", "Solution ...", QColor(230, 160, 20)},
    {"IDB_END_END", "END", QColor(200, 50, 50)},
};

QImage DrawButton(const Button& button, const Look& look) {
  QImage image(kButtonWidth, kButtonHeight, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF face = QRectF(2 + look.shift, 2 + look.shift, kButtonWidth - 6, kButtonHeight - 6);
  QPainterPath path;
  path.addRoundedRect(face, 12, 12);
  QLinearGradient fill(face.topLeft(), face.bottomLeft());
  fill.setColorAt(0, look.top);
  fill.setColorAt(1, look.bottom);
  painter.fillPath(path, fill);
  painter.setPen(QPen(look.border, 2));
  painter.drawPath(path);
  painter.setBrush(button.mark);
  painter.setPen(Qt::NoPen);
  painter.drawEllipse(QPointF(face.left() + 22, face.center().y()), 7, 7);
  QFont font("DejaVu Sans");
  font.setPixelSize(20);
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(look.text);
  painter.drawText(face.adjusted(34, 0, -8, 0), Qt::AlignCenter, button.label);
  return image;
}

QImage DrawEndBackground() {
  QImage image(243, 172, QImage::Format_RGB32);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  QLinearGradient ground(0, 0, 0, 172);
  ground.setColorAt(0, QColor(236, 246, 242));
  ground.setColorAt(1, QColor(206, 222, 216));
  painter.fillRect(image.rect(), ground);
  painter.setPen(QPen(QColor(253, 215, 157), 4));
  painter.drawRect(QRectF(2, 2, 239, 168));
  QFont font("DejaVu Sans");
  font.setPixelSize(12);
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(QColor(90, 100, 120));
  painter.drawText(QRect(10, 13, 48, 17), Qt::AlignLeft | Qt::AlignVCenter, "Port");
  painter.drawText(QRect(10, 45, 78, 17), Qt::AlignLeft | Qt::AlignVCenter, "Elapsed");
  font.setPixelSize(16);
  painter.setFont(font);
  painter.setPen(QColor(40, 150, 60));
  painter.drawText(QRect(10, 72, 223, 24), Qt::AlignCenter, "PROCESS END");
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: zkdownload-qt-pictures DIR\n");
    return 2;
  }
  const QDir directory(QString::fromLocal8Bit(argv[1]));
  QDir().mkpath(directory.path());
  bool ok = true;
  for (const Button& button : kButtons)
    for (const Look& look : kLooks)
      ok &= DrawButton(button, look).save(directory.filePath(QString(button.name) + look.suffix + ".png"));
  ok &= DrawEndBackground().save(directory.filePath("end_background.png"));
  return ok ? 0 : 1;
}
