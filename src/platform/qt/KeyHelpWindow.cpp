#include "platform/qt/KeyHelpWindow.h"

#include <QCloseEvent>
#include <QLabel>
#include <algorithm>

#include "core/settings/Twips.h"
#include "platform/qt/TrayIcons.h"

namespace zintor {

KeyHelpWindow::KeyHelpWindow(const std::string& caption, const std::vector<KeyHelpRow>& rows)
    : QWidget(nullptr, Qt::Window | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("keyHelpWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowTitle(QString::fromStdString(caption));
    setWindowIcon(trayFrameIcon(kTrayFrameStill));
    // A font whose lines fit the 250-twip rows.
    QFont f = font();
    f.setPixelSize(12);
    setFont(f);

    QFont bold = f;
    bold.setBold(true);
    place(QStringLiteral("Key"), kLeft, kHeadingTop, QStringLiteral("keyHeading"), &bold);
    place(QStringLiteral("Function"), kLeft + kFunctionOffset, kHeadingTop,
          QStringLiteral("functionHeading"), &bold);

    int widest = 0;  // right edge of the widest function text, twips
    int lastTop = kFirstRowTop;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const int top = static_cast<int>(r) * kRowHeight + kFirstRowTop;
        keys_.append(
            place(QString::fromStdString(rows[r].key), kLeft, top, QStringLiteral("key%1").arg(r)));
        QLabel* function = place(QString::fromStdString(rows[r].function), kLeft + kFunctionOffset,
                                 top, QStringLiteral("function%1").arg(r));
        functions_.append(function);
        const int right =
            kLeft + kFunctionOffset + static_cast<int>(pixelsToTwips(function->width()));
        widest = std::max(widest, right);
        lastTop = top;
    }
    setFixedSize(twipsToPixels(widest + kExtraWidth), twipsToPixels(lastTop + kExtraHeight));
}

KeyHelpWindow::~KeyHelpWindow() = default;

QLabel* KeyHelpWindow::place(const QString& text, int leftTwips, int topTwips, const QString& name,
                             const QFont* font) {
    auto* label = new QLabel(text, this);
    label->setObjectName(name);
    if (font) {
        label->setFont(*font);
    }
    label->setTextFormat(Qt::PlainText);
    label->adjustSize();  // as wide as its text
    label->move(twipsToPixels(leftTwips), twipsToPixels(topTwips));
    return label;
}

void KeyHelpWindow::closeQuietly() {
    quiet_ = true;
    close();
}

void KeyHelpWindow::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    if (!quiet_) {
        emit closedByUser();
    }
}

}  // namespace zintor
