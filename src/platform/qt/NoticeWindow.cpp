#include "platform/qt/NoticeWindow.h"

#include <QCloseEvent>
#include <QLabel>
#include <QShowEvent>
#include <QVBoxLayout>

#include "platform/qt/TrayIcons.h"

namespace zintor {
namespace {

QString displayText(const std::string& text) {
    QString s = QString::fromStdString(text);
    s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return s;
}

}  // namespace

NoticeWindow::NoticeWindow(const std::string& text)
    : QWidget(nullptr, Qt::Window | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("noticeWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowTitle(QStringLiteral("Zintor"));
    setWindowIcon(trayFrameIcon(kTrayFrameStill));

    label_ = new QLabel;
    label_->setObjectName(QStringLiteral("Label1"));
    label_->setTextFormat(Qt::PlainText);
    label_->setAlignment(Qt::AlignCenter);
    QFont f = label_->font();
    f.setPointSizeF(f.pointSizeF() * 1.5);
    label_->setFont(f);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 16, 24, 16);
    layout->addWidget(label_);
    setMinimumSize(260, 90);

    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, this, [this] { close(); });
    label_->setText(displayText(text));
}

NoticeWindow::~NoticeWindow() = default;

void NoticeWindow::setText(const std::string& text) {
    label_->setText(displayText(text));
    timer_.start(kCloseAfterMs);
}

void NoticeWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) {  // shown by the program, not restored by the window system
        timer_.start(kCloseAfterMs);
    }
}

void NoticeWindow::closeQuietly() {
    quiet_ = true;
    close();
}

void NoticeWindow::closeEvent(QCloseEvent* event) {
    timer_.stop();
    QWidget::closeEvent(event);
    if (!quiet_) {
        emit closedByItself();
    }
}

}  // namespace zintor
