// The tray icon's picture and the translation of its activations into the
// mouse messages the bridge core's icon callback expects.
#pragma once

#include <QIcon>
#include <QSystemTrayIcon>

namespace veltrix::ui {

// A small icon drawn in code: a blue rounded square with a white "V".
QIcon DrawMonitorIcon();

// A left click (Trigger) is the left button pressed (513), a context request
// (right click) the right button pressed (516); 0 for every other
// activation, which the core ignores.
int TrayMouseMessage(QSystemTrayIcon::ActivationReason reason);

}  // namespace veltrix::ui
