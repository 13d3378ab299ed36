#include "platform/web/WebPhoneMenu.h"

#include <qrencode.h>

#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHostAddress>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "platform/web/WebPhone.h"

namespace zintor::web {

namespace {

// The text as a QR code, `scale` pixels a module, with the four-module margin readers want.
QPixmap qrCode(const QString& text, int scale) {
    QRcode* code = QRcode_encodeString(text.toUtf8().constData(), 0, QR_ECLEVEL_M, QR_MODE_8, 1);
    if (code == nullptr) {
        return {};
    }
    const int margin = 4;
    const int size = code->width + 2 * margin;
    QImage image(size, size, QImage::Format_Mono);
    image.fill(0);
    image.setColor(0, qRgb(255, 255, 255));
    image.setColor(1, qRgb(0, 0, 0));
    for (int y = 0; y < code->width; ++y) {
        for (int x = 0; x < code->width; ++x) {
            if ((code->data[y * code->width + x] & 1) != 0) {
                image.setPixel(x + margin, y + margin, 1);
            }
        }
    }
    QRcode_free(code);
    return QPixmap::fromImage(image.scaled(size * scale, size * scale));
}

class AddressWindow : public QDialog {
  public:
    explicit AddressWindow(WebPhone& webPhone) : webPhone_(webPhone) {
        setObjectName(QStringLiteral("webPhoneWindow"));
        setWindowTitle(QStringLiteral("Zintor - Web phone"));
        setAttribute(Qt::WA_DeleteOnClose);
        auto* layout = new QVBoxLayout(this);
        auto* intro = new QLabel(QStringLiteral(
            "Scan the code with the phone, or open the address in its browser.\n"
            "The browser warns about the certificate once: check that it shows this\n"
            "fingerprint, then accept it. Phone and PC must be on the same network."));
        layout->addWidget(intro);
        qr_ = new QLabel;
        qr_->setObjectName(QStringLiteral("qrCode"));
        qr_->setAlignment(Qt::AlignCenter);
        layout->addWidget(qr_);
        address_ = new QLabel;
        address_->setTextInteractionFlags(Qt::TextSelectableByMouse);
        address_->setObjectName(QStringLiteral("addressLabel"));
        layout->addWidget(address_);
        fingerprint_ = new QLabel;
        fingerprint_->setTextInteractionFlags(Qt::TextSelectableByMouse);
        fingerprint_->setWordWrap(true);
        fingerprint_->setObjectName(QStringLiteral("fingerprintLabel"));
        layout->addWidget(fingerprint_);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
        QPushButton* fresh =
            buttons->addButton(QStringLiteral("New address"), QDialogButtonBox::ActionRole);
        fresh->setObjectName(QStringLiteral("newAddressButton"));
        connect(fresh, &QPushButton::clicked, this, [this] {
            webPhone_.newToken();
            refresh();
        });
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
        layout->addWidget(buttons);
        connect(&webPhone_, &WebPhone::addressChanged, this, [this] { refresh(); });
        refresh();
    }

    void refresh() {
        const QString address = webPhone_.address();
        qr_->setPixmap(qrCode(address, 5));
        address_->setText(address);
        QString text =
            QStringLiteral("Certificate SHA-256: ") + webPhone_.fingerprint() +
            QStringLiteral("\nIn Zintor the web phone is port Com%1.").arg(webPhone_.comNumber());
        if (QHostAddress(QUrl(address).host()).isLoopback()) {
            text += QStringLiteral(
                "\nThis PC has no local network address now: only a browser on "
                "this PC can open the page.");
        }
        fingerprint_->setText(text);
    }

  private:
    WebPhone& webPhone_;
    QLabel* qr_ = nullptr;
    QLabel* address_ = nullptr;
    QLabel* fingerprint_ = nullptr;
};

}  // namespace

void addWebPhoneMenu(QMenu& phoneMenu, WebPhone& webPhone) {
    phoneMenu.addSeparator();
    QAction* toggle = phoneMenu.addAction(QStringLiteral("Web phone"));
    toggle->setObjectName(QStringLiteral("mnuSystray_Phone_Web"));
    toggle->setCheckable(true);
    toggle->setChecked(webPhone.enabled());
    QAction* show = phoneMenu.addAction(QStringLiteral("Web phone address..."));
    show->setObjectName(QStringLiteral("mnuSystray_Phone_WebAddress"));
    show->setEnabled(webPhone.enabled());
    auto window = std::make_shared<QPointer<AddressWindow>>();
    auto open = [&webPhone, window] {
        if (!*window) {
            *window = new AddressWindow(webPhone);
        }
        (*window)->refresh();
        (*window)->show();
        (*window)->raise();
    };
    QObject::connect(show, &QAction::triggered, show, open);
    QObject::connect(toggle, &QAction::triggered, toggle,
                     [&webPhone, toggle, show, window, open](bool on) {
                         const bool ok = webPhone.setEnabled(on);
                         toggle->setChecked(webPhone.enabled());
                         show->setEnabled(webPhone.enabled());
                         if (!ok) {
                             QMessageBox::warning(
                                 nullptr, QStringLiteral("Zintor"),
                                 QStringLiteral("The web phone cannot start: ") + webPhone.error());
                         } else if (on) {
                             open();
                         } else if (*window) {
                             (*window)->close();
                         }
                     });
}

}  // namespace zintor::web
