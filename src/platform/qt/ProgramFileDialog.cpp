#include "platform/qt/ProgramFileDialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QSortFilterProxyModel>

namespace zintor {
namespace {

bool programsWithoutExtension(const QString& extension) {
#ifdef Q_OS_WIN
    Q_UNUSED(extension);
    return false;
#else
    return extension.compare(QLatin1String("exe"), Qt::CaseInsensitive) == 0;
#endif
}

// Shows folders and the files programFileListed accepts.
class ProgramFilter : public QSortFilterProxyModel {
  public:
    ProgramFilter(QString extension, QObject* parent)
        : QSortFilterProxyModel(parent), extension_(std::move(extension)) {}

  protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        auto* model = qobject_cast<QFileSystemModel*>(sourceModel());
        if (!model) {
            return true;
        }
        const QModelIndex index = model->index(row, 0, parent);
        return model->isDir(index) || programFileListed(model->filePath(index), extension_);
    }

  private:
    QString extension_;
};

}  // namespace

bool programFileListed(const QString& path, const QString& extension) {
    const QFileInfo info(path);
    if (info.isDir()) {
        return true;
    }
    if (programsWithoutExtension(extension)) {
        return info.isFile() && info.isExecutable();
    }
    return path.endsWith(QLatin1Char('.') + extension, Qt::CaseInsensitive);
}

QString completeChosenPath(const QString& path, const QString& extension) {
    if (programsWithoutExtension(extension) || extension.isEmpty()) {
        return path;
    }
    const QString suffix = QLatin1Char('.') + extension;
    return path.contains(suffix, Qt::CaseInsensitive) ? path : path + suffix;
}

std::optional<QString> chooseProgramFile(QWidget* parent, const QString& title,
                                         const QString& extension) {
    QFileDialog dialog(parent, title);
    dialog.setObjectName(QStringLiteral("ProgramFileDialog"));
    dialog.setFileMode(QFileDialog::AnyFile);  // the chosen file need not exist
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // Qt's own dialog: it is the one that takes the program filter below.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    if (programsWithoutExtension(extension)) {
        dialog.setNameFilter(QObject::tr("Programs (*)"));
        dialog.setProxyModel(new ProgramFilter(extension, &dialog));
    } else {
        const QString filter = QStringLiteral("%1 (*.%1)").arg(extension);
        dialog.setNameFilters({filter, filter});
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return completeChosenPath(dialog.selectedFiles().constFirst(), extension);
}

}  // namespace zintor
