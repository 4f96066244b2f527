#include "ui/tray_icon.h"

#include <QPainter>
#include <QPixmap>

#include "app/form1.h"

namespace veltrix::ui {

QIcon DrawMonitorIcon() {
  constexpr int kSize = 32;
  QPixmap pixmap(kSize, kSize);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0x1f, 0x5f, 0xa8));
  painter.drawRoundedRect(1, 1, kSize - 2, kSize - 2, 6, 6);
  QPen pen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  painter.setPen(pen);
  const QPointF v[3] = {{8, 8}, {16, 25}, {24, 8}};
  painter.drawPolyline(v, 3);
  painter.end();
  return QIcon(pixmap);
}

int TrayMouseMessage(QSystemTrayIcon::ActivationReason reason) {
  switch (reason) {
    case QSystemTrayIcon::Trigger:
      return kTrayLeftButtonDown;
    case QSystemTrayIcon::Context:
      return kTrayRightButtonDown;
    default:
      return 0;
  }
}

}  // namespace veltrix::ui
