#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QEnterEvent>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "Inc/Lang.h"
#include "Inc/ProjectLinks.h"
#include "Inc/UiSeam.h"
#include "app/about_window.h"
#include "app/link_label.h"
#include "app/main_window.h"

namespace {

// Runs AboutWindow() and, once its window is up, hands it to `act`, which
// must close it. Fails instead of hanging when no window opens.
void WithAboutWindow(const std::function<void(QDialog&)>& act) {
  bool acted = false;
  QTimer::singleShot(0, [&] {
    auto* window = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    acted = window != nullptr;
    if (window != nullptr) {
      act(*window);
    } else {
      ADD_FAILURE() << "no About window";
    }
  });
  AboutWindow();
  EXPECT_TRUE(acted);
}

void Click(QWidget* widget) {
  ASSERT_NE(widget, nullptr);
  const QPointF inside(3, 3);
  QMouseEvent press(QEvent::MouseButtonPress, inside, widget->mapToGlobal(inside), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QMouseEvent release(QEvent::MouseButtonRelease, inside, widget->mapToGlobal(inside), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(widget, &press);
  QApplication::sendEvent(widget, &release);
}

QRect At(int x, int y, int w, int h) { return QRect(x, y, w, h); }

class AboutWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadStringTable("");
    ASSERT_TRUE(BuildMainWindow(app));
    MainWindow(app)->setGeometry(200, 150, 600, 450);
    MainWindow(app)->show();
    UiHooks hooks;
    hooks.openWithShell = [this](const std::string& url) { opened.push_back(url); };
    InstallUiHooks(hooks);
  }
  void TearDown() override {
    InstallUiHooks({});
    DestroyMainWindow(app);
  }

  AppState app;
  std::vector<std::string> opened;
};

TEST_F(AboutWindowTest, OpensModalWithItsControlsWhileTheMainWindowIsDisabled) {
  WithAboutWindow([&](QDialog& window) {
    EXPECT_FALSE(MainWindow(app)->isEnabled());
    EXPECT_TRUE(window.isEnabled());
    EXPECT_TRUE(window.isModal());
    EXPECT_EQ(window.windowTitle().toStdString(), UiText("s3"));
    EXPECT_EQ(window.size(), QSize(381, 305));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_FALSE(window.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(window.windowFlags() & Qt::WindowCloseButtonHint);
    // Placed by the rule all modal windows share: centred over the owner's frame.
    EXPECT_EQ(window.pos(), MainWindow(app)->frameGeometry().center() - QPoint(381 / 2, 305 / 2));

    const auto picture = window.findChild<QLabel*>("picture");
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->geometry(), At(5, 10, 48, 48));
    EXPECT_EQ(picture->pixmap().size(), QSize(48, 48));
    EXPECT_EQ(window.findChild<QGroupBox*>("creditsFrame")->geometry(), At(5, 115, 370, 185));
    EXPECT_EQ(window.findChild<QGroupBox*>("creditsFrame")->title(), QString());
    const auto close = window.findChild<QPushButton*>("close");
    EXPECT_EQ(close->geometry(), At(290, 10, 85, 20));
    EXPECT_EQ(close->text().toStdString(), UiText("s4"));
    EXPECT_EQ(window.findChild<QLabel*>("product")->geometry(), At(60, 15, 220, 15));
    EXPECT_EQ(window.findChild<QLabel*>("product")->text(), "Marrowind Flickpress");
    EXPECT_EQ(window.findChild<QLabel*>("notice")->geometry(), At(60, 35, 315, 15));
    EXPECT_FALSE(window.findChild<QLabel*>("notice")->text().isEmpty());

    const auto credits = window.findChild<QPlainTextEdit*>("credits");
    EXPECT_EQ(credits->geometry(), At(10, 126, 360, 169));
    EXPECT_TRUE(credits->isReadOnly());
    EXPECT_EQ(credits->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(credits->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    const QStringList lines = credits->toPlainText().split('\n');
    ASSERT_EQ(lines.size(), 12);  // eleven lines, each ended by a line break
    EXPECT_TRUE(lines[4].isEmpty());
    EXPECT_TRUE(lines[6].isEmpty());
    EXPECT_TRUE(lines[11].isEmpty());
    EXPECT_EQ(lines[7], QString("- ") + kWebSiteUrl);
    for (int i = 8; i <= 10; ++i) EXPECT_TRUE(lines[i].startsWith("- https://")) << lines[i].toStdString();
    EXPECT_FALSE(credits->toPlainText().contains('\r'));

    const struct {
      const char* name;
      int y;
      QString caption;
    } links[] = {{"homepageLink", 60, QString("Homepage: ") + kWebSiteUrl},
                 {"encoderLink", 80, QString(kEncoderProjectName) + ": " + kEncoderProjectUrl},
                 {"sponsorLink", 100, QString(kSponsorName) + ": " + kSponsorUrl}};
    for (const auto& expected : links) {
      const auto link = window.findChild<LinkLabel*>(expected.name);
      ASSERT_NE(link, nullptr) << expected.name;
      EXPECT_EQ(link->geometry(), At(60, expected.y, 315, 15));
      EXPECT_EQ(link->text(), expected.caption);
      EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(65, 98, 190));
      EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
    }
    close->click();
  });
  EXPECT_TRUE(MainWindow(app)->isEnabled());
}

TEST_F(AboutWindowTest, LinksOpenTheirPagesEveryTimeAndLeaveTheWindowOpen) {
  WithAboutWindow([&](QDialog& window) {
    Click(window.findChild<LinkLabel*>("homepageLink"));
    Click(window.findChild<LinkLabel*>("encoderLink"));
    Click(window.findChild<LinkLabel*>("sponsorLink"));
    Click(window.findChild<LinkLabel*>("homepageLink"));
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(MainWindow(app)->isEnabled());
    window.findChild<QPushButton*>("close")->click();
  });
  EXPECT_EQ(opened, (std::vector<std::string>{kWebSiteUrl, kEncoderProjectUrl, kSponsorUrl, kWebSiteUrl}));
  EXPECT_TRUE(MainWindow(app)->isEnabled());
}

TEST_F(AboutWindowTest, CloseBoxReturnsInputToTheMainWindow) {
  WithAboutWindow([](QDialog& window) { window.close(); });
  EXPECT_TRUE(MainWindow(app)->isEnabled());
  WithAboutWindow([](QDialog& window) { window.findChild<QPushButton*>("close")->click(); });
  EXPECT_TRUE(MainWindow(app)->isEnabled());
}

TEST_F(AboutWindowTest, EveryTextFitsItsControlUncut) {
  WithAboutWindow([](QDialog& window) {
    for (const char* name : {"product", "notice", "homepageLink", "encoderLink", "sponsorLink"}) {
      const auto label = window.findChild<QLabel*>(name);
      EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width()) << name;
      EXPECT_LE(label->fontMetrics().height(), label->height()) << name;
    }
    const auto credits = window.findChild<QPlainTextEdit*>("credits");
    const QFontMetrics metrics(credits->font());
    for (const QString& line : credits->toPlainText().split('\n')) {
      EXPECT_LE(metrics.horizontalAdvance(line), credits->viewport()->width()) << line.toStdString();
    }
    EXPECT_LE(metrics.lineSpacing() * credits->blockCount(), credits->viewport()->height());
    window.close();
  });
}

TEST_F(AboutWindowTest, LinkTurnsGreyWhileThePointerIsOverIt) {
  WithAboutWindow([](QDialog& window) {
    const auto link = window.findChild<LinkLabel*>("sponsorLink");
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), link->mapToGlobal(QPointF(2, 2)));
    QApplication::sendEvent(link, &enter);
    EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(128, 128, 128));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(link, &leave);
    EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(65, 98, 190));
    window.close();
  });
}

}  // namespace
