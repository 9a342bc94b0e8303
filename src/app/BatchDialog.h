// "Rezept auf mehrere Bilder anwenden": a recipe, the pictures (files and
// folders), an output folder and format. The command line beside the
// program does the work as a child process (kelvora-cli --batch), so the
// window stays usable; the dialog shows its progress, stops it on
// "Abbrechen", and shows its summary and failures.
#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QProcess>

#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

class TBatchDialog final : public QDialog {
    Q_OBJECT
public:
    // cli: the command-line program's path.
    TBatchDialog(QWidget* owner, const std::string& cli);
    ~TBatchDialog() override;

    QLineEdit* RecipeEdit = nullptr;
    QPushButton* RecipeBtn = nullptr;
    QListWidget* InputList = nullptr;
    QPushButton* AddFilesBtn = nullptr;
    QPushButton* AddFolderBtn = nullptr;
    QPushButton* ClearBtn = nullptr;
    QLineEdit* OutDirEdit = nullptr;
    QPushButton* OutDirBtn = nullptr;
    QComboBox* FormatBox = nullptr;
    QCheckBox* SkipCheck = nullptr;
    QProgressBar* Bar = nullptr;
    QLabel* StatusLabel = nullptr;
    QPlainTextEdit* SummaryText = nullptr;
    QPushButton* StartBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
    QPushButton* CloseBtn = nullptr;

    std::string RecipeFile() const;
    void SetRecipeFile(const std::string& path);
    void AddInputs(const QStringList& paths);
    void SetOutDir(const std::string& path);

    // The arguments the command line gets for the dialog's settings.
    QStringList Arguments() const;
    // Starts the batch; false with a message when something is missing.
    bool Start();
    // Stops a running batch: the command line ends its jobs and removes
    // what they had begun to write.
    void Cancel();
    bool Running() const;

signals:
    // The batch has ended, done, failed or stopped; the summary shows.
    void Finished();

private:
    void ChooseRecipe();
    void ChooseFiles();
    void ChooseFolder();
    void ChooseOutDir();
    void ReadOutput();
    void Ended(int code, QProcess::ExitStatus status);
    void ShowRunning(bool running);
    // Stops the child, waiting for it at most a while, then for certain.
    void StopChild(int waitMs);

    std::string cli_;
    QProcess* child_ = nullptr;
    QElapsedTimer clock_;
    QByteArray pending_; // output short of its line end
    QString summary_;    // the lines of the output that are no progress
    bool cancelled_ = false;
};
