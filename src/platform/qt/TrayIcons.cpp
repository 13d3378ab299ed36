#include "platform/qt/TrayIcons.h"

#include <QString>

namespace zintor {

QIcon trayFrameIcon(int frame) {
    if (frame < kTrayFrameStill || frame > kTrayFrameLast) {
        frame = kTrayFrameStill;
    }
    return QIcon(QStringLiteral(":/zintor/icons/%1.png").arg(frame));
}

}  // namespace zintor
