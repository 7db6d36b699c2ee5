#include "app/batch_notice.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QMainWindow>
#include <QSystemTrayIcon>
#include <QVariantMap>

#include "app/main_window.h"

void NotifyDesktop(const QMainWindow* window, const std::string& title, const std::string& text) {
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
  if (!QSystemTrayIcon::isSystemTrayAvailable() || !window) return;
  // Made once, as a child of the application, so the balloon is not shown by a new icon each time.
  auto* tray = qApp->findChild<QSystemTrayIcon*>(QString(), Qt::FindDirectChildrenOnly);
  if (!tray) tray = new QSystemTrayIcon(window->windowIcon(), qApp);
  tray->show();
  tray->showMessage(QString::fromStdString(title), QString::fromStdString(text));
}

void NoticeBatchEnd(QMainWindow* window, const std::string& title, const std::string& text,
                    const DesktopNotifier& notify) {
  if (!window || (window->isActiveWindow() && !window->isMinimized())) return;
  QApplication::alert(window);
  notify(title, text);
}
