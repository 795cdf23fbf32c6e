#include "filedialog.h"

#include <QFileDialog>
#include <QFileInfo>

namespace Velmira {

std::optional<QString> QtFileChooser::choose(Mode mode, const QString &title,
                                             const QString &startPath, QWidget *parent)
{
    QFileDialog dialog(parent, title);
    dialog.setObjectName(QStringLiteral("CD"));
    dialog.setNameFilters(
        {QFileDialog::tr("Text files (*.txt)"), QFileDialog::tr("All files (*)")});
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    if (mode == Mode::Open) {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
    }
    if (!startPath.isEmpty()) {
        const QFileInfo start(startPath);
        dialog.setDirectory(start.absolutePath());
        dialog.selectFile(start.fileName());
    }
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen.first();
}

FileDialog::FileDialog(QWidget *parent) : m_parent(parent), m_chooser(new QtFileChooser) {}

FileDialog::~FileDialog() = default;

void FileDialog::setChooser(std::unique_ptr<FileChooser> chooser)
{
    m_chooser = chooser ? std::move(chooser) : std::make_unique<QtFileChooser>();
}

bool FileDialog::ShowOpen()
{
    return show(FileChooser::Mode::Open);
}

bool FileDialog::ShowSave()
{
    return show(FileChooser::Mode::Save);
}

bool FileDialog::show(FileChooser::Mode mode)
{
    const std::optional<QString> chosen = m_chooser->choose(mode, DialogTitle, FileName, m_parent);
    if (!chosen)
        return false;
    FileName = *chosen;
    return true;
}

} // namespace Velmira
