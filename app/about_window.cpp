#include "app/about_window.h"

#include <QDialog>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include <string>

#include "Inc/ErrorHandler.h"
#include "Inc/Lang.h"
#include "Inc/ProjectLinks.h"
#include "Inc/UiSeam.h"
#include "app/link_label.h"
#include "widgets/builtin_images.h"
#include "widgets/modal_owner.h"
#include "widgets/qt_text.h"

namespace {

constexpr int kAboutImage = 10;

// Fixed texts: the same in every language.
constexpr const char* kProductLine = "Marrowind Flickpress";
constexpr const char* kNoticeLine = "Converts everyday videos for pocket AMV players.";

std::string CreditsText() {
  return std::string("AMV writer of the encoder: the MFLPX contributors.\r\n") +
         "AMV decoding and video codec: the FFmpeg developers.\r\n" +
         "FFmpeg is a trademark of its originator, Fabrice Bellard.\r\n" +
         "Icons: drawn for MFLPX by its contributors.\r\n" + "\r\n" + "Supported by the " + kSponsorName +
         ".\r\n" + "\r\n" + "- " + kWebSiteUrl + "\r\n" + "- " + kSponsorUrl + "\r\n" + "- " + kEncoderProjectUrl +
         "\r\n" + "- " + kIconSetUrl + "\r\n";
}

template <typename Control>
Control* Place(Control* control, const char* name, int x, int y, int width, int height) {
  control->setObjectName(QString::fromLatin1(name));
  control->setGeometry(x, y, width, height);
  return control;
}

void AddLink(QDialog& window, const char* name, int y, const std::string& caption, const char* url) {
  auto* link = Place(new LinkLabel(QtText(caption), &window), name, 60, y, 315, 15);
  QObject::connect(link, &LinkLabel::clicked, [url] { OpenWithShell(url); });
}

void BuildControls(QDialog& window) {
  auto* picture = Place(new QLabel(&window), "picture", 5, 10, 48, 48);
  picture->setPixmap(BuiltInImage(kAboutImage));
  Place(new QGroupBox(&window), "creditsFrame", 5, 115, 370, 185);
  auto* close = Place(new QPushButton(UiQText("s4"), &window), "close", 290, 10, 85, 20);
  QObject::connect(close, &QPushButton::clicked, &window, &QDialog::accept);
  Place(new QLabel(QString::fromLatin1(kProductLine), &window), "product", 60, 15, 220, 15);
  Place(new QLabel(QString::fromLatin1(kNoticeLine), &window), "notice", 60, 35, 315, 15);
  auto* credits = Place(new QPlainTextEdit(&window), "credits", 10, 126, 360, 169);
  credits->setReadOnly(true);
  credits->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  credits->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  credits->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  AddLink(window, "homepageLink", 60, std::string("Homepage: ") + kWebSiteUrl, kWebSiteUrl);
  AddLink(window, "encoderLink", 80, std::string(kEncoderProjectName) + ": " + kEncoderProjectUrl, kEncoderProjectUrl);
  AddLink(window, "sponsorLink", 100, std::string(kSponsorName) + ": " + kSponsorUrl, kSponsorUrl);
  // The text box shows one line per line feed; the CR of each line end stays with the stored text.
  credits->setPlainText(QtText(CreditsText()).remove(QLatin1Char('\r')));
}

}  // namespace

void AboutWindow() {
  CHECKPOINT();
  RunWithOwnerDisabled([](QWidget* owner) {
    QDialog window(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowCloseButtonHint);
    window.setWindowTitle(UiQText("s3"));
    window.setWindowModality(Qt::ApplicationModal);
    window.setFixedSize(381, 305);
    // The controls are 15 pixels high; a small font keeps every text inside them.
    QFont font = window.font();
    font.setPixelSize(10);
    window.setFont(font);
    BuildControls(window);
    PlaceOverOwner(&window, owner);
    CHECKPOINT();
    window.exec();
  });
}
