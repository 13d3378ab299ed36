#pragma once

#include <QString>
#include <optional>

class QWidget;

namespace zintor {

// The open-file dialog behind the settings window's Select buttons.
//
// For the extension "exe" on a system whose programs have no extension (Linux), the dialog lists
// folders and executable files and the chosen path is taken as it is. For any other extension
// (and for "exe" on Windows) it offers "ext (*.ext)" and appends ".ext" to a chosen path that
// does not contain it anywhere (compared ignoring case).
std::optional<QString> chooseProgramFile(QWidget* parent, const QString& title,
                                         const QString& extension);

// Whether the dialog lists this file for `extension` (see above). Folders are always listed.
bool programFileListed(const QString& path, const QString& extension);

// The chosen path completed by the extension rule above.
QString completeChosenPath(const QString& path, const QString& extension);

}  // namespace zintor
