#include "app/batch_notice.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QMainWindow>
#include <QSystemTrayIcon>
#include <QVariantMap>

#include <utility>

#include "app/main_window.h"

namespace {

// The freedesktop notification service where a session bus runs (it starts
// on demand), else the system tray's balloon where there is a tray.
void NotifyDesktop(const std::string& title, const std::string& text) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (bus.isConnected()) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    call << QStringLiteral("MFLPX") << 0u << QStringLiteral("video-x-generic")
         << QString::fromStdString(title) << QString::fromStdString(text) << QStringList() << QVariantMap()
         << -1;
    bus.call(call, QDBus::NoBlock);
    return;
  }
  if (!QSystemTrayIcon::isSystemTrayAvailable() || !MainWindow()) return;
  static QSystemTrayIcon* tray = new QSystemTrayIcon(MainWindow()->windowIcon(), qApp);
  tray->show();
  tray->showMessage(QString::fromStdString(title), QString::fromStdString(text));
}

DesktopNotifier& Notifier() {
  static DesktopNotifier notifier;
  return notifier;
}

}  // namespace

void SetDesktopNotifier(DesktopNotifier notifier) { Notifier() = std::move(notifier); }

void NoticeBatchEnd(const std::string& title, const std::string& text) {
  QMainWindow* window = MainWindow();
  if (!window || (window->isActiveWindow() && !window->isMinimized())) return;
  QApplication::alert(window);
  if (Notifier())
    Notifier()(title, text);
  else
    NotifyDesktop(title, text);
}
