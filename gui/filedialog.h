#pragma once

#include <QString>

#include <memory>
#include <optional>

class QWidget;

namespace Velmira {

// Asks the user for a file: the path chosen, or nullopt when the dialog was cancelled.
class FileChooser
{
public:
    enum class Mode
    {
        Open,
        Save
    };

    virtual ~FileChooser() = default;
    // `startPath` is the path the dialog starts at (may be empty); `parent` may be null.
    virtual std::optional<QString> choose(Mode mode, const QString &title, const QString &startPath,
                                          QWidget *parent) = 0;
};

// The real dialog, over QFileDialog: "Text files (*.txt)" and "All files (*)", default suffix
// "txt". The open dialog takes existing files only; the save dialog asks before replacing one.
class QtFileChooser : public FileChooser
{
public:
    std::optional<QString> choose(Mode mode, const QString &title, const QString &startPath,
                                  QWidget *parent) override;
};

// The main window's common file dialog: set DialogTitle, call ShowOpen() or ShowSave(), then
// read FileName. FileName keeps the last chosen path for the dialog's whole life and each dialog
// starts there; a cancelled dialog leaves it as it was.
class FileDialog
{
public:
    // `parent` is the window the dialogs belong to; not owned.
    explicit FileDialog(QWidget *parent = nullptr);
    ~FileDialog();

    // Replaces the dialog's answerer (tests); null restores the real dialog.
    void setChooser(std::unique_ptr<FileChooser> chooser);

    // False when the user cancelled; FileName then keeps its earlier value.
    bool ShowOpen();
    bool ShowSave();

    QString DialogTitle;
    QString FileName;

private:
    bool show(FileChooser::Mode mode);

    QWidget *m_parent;
    std::unique_ptr<FileChooser> m_chooser;
};

} // namespace Velmira
