#include "ui/monitor_window.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QMouseEvent>
#include <QScreen>

#include "ui/log_text.h"
#include "ui/tray_icon.h"

namespace veltrix::ui {

namespace {

QString ToDisplay(const std::string& text) { return QString::fromStdString(DisplayText(text)); }

}  // namespace

MonitorWindow::MonitorWindow(const std::string& application_title)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      memo1_(new QPlainTextEdit(this)),
      button_atu_(new QPushButton(QStringLiteral("Atualizar"), this)),
      button2_(new QPushButton(QStringLiteral("Fechar"), this)),
      tray_icon_(new QSystemTrayIcon(this)),
      caption_(application_title),
      title_(application_title) {
  // The controls sit at fixed places, so the window keeps its size.
  setFixedSize(451, 209);
  setWindowTitle(ToDisplay(caption_));
  const QIcon icon = DrawMonitorIcon();
  setWindowIcon(icon);

  memo1_->setGeometry(16, 16, 409, 121);
  memo1_->setReadOnly(true);
  memo1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memo1_->viewport()->installEventFilter(this);
  button_atu_->setGeometry(144, 144, 75, 25);
  button2_->setGeometry(224, 142, 75, 27);
  QObject::connect(button_atu_, &QPushButton::clicked, [this] {
    if (OnButtonAtuClick) OnButtonAtuClick();
  });
  QObject::connect(button2_, &QPushButton::clicked, [this] {
    if (OnButton1Click) OnButton1Click();
  });

  tray_icon_->setIcon(icon);
  tray_icon_->setToolTip(ToDisplay(title_));
  QObject::connect(tray_icon_, &QSystemTrayIcon::activated, [this](QSystemTrayIcon::ActivationReason reason) {
    const int message = TrayMouseMessage(reason);
    if (message != 0 && OnTrayIconMessage) OnTrayIconMessage(message);
  });
  tray_icon_->show();

  OnMessage = [this](const std::string& text) { ShowMessageBox(text); };

  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
}

void MonitorWindow::AppendLog(const std::string& line) { memo1_->appendPlainText(ToDisplay(line)); }

void MonitorWindow::SetCaption(const std::string& caption) {
  caption_ = caption;
  setWindowTitle(ToDisplay(caption_));
}

void MonitorWindow::SetApplicationTitle(const std::string& title) {
  title_ = title;
  tray_icon_->setToolTip(ToDisplay(title_));
}

void MonitorWindow::ProcessMessages() { QCoreApplication::processEvents(); }

void MonitorWindow::ShowWindow() {
  setWindowState(windowState() & ~Qt::WindowMinimized);
  show();
  raise();
  activateWindow();
}

void MonitorWindow::HideWindow() {
  if (QSystemTrayIcon::isSystemTrayAvailable()) {
    hide();
  } else {
    showMinimized();
  }
}

void MonitorWindow::ShowMessage(const std::string& text) {
  if (OnMessage) OnMessage(text);
}

void MonitorWindow::ShowMessageBox(const std::string& text) {
  QMessageBox::information(this, ToDisplay(title_), ToDisplay(text));
}

void MonitorWindow::Terminate() {
  terminate_requested_ = true;
  QCoreApplication::exit(0);
}

void MonitorWindow::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && OnFormClick) OnFormClick();
  QWidget::mousePressEvent(event);
}

bool MonitorWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == memo1_->viewport() && event->type() == QEvent::MouseButtonPress &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && OnFormClick) {
    OnFormClick();
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace veltrix::ui
