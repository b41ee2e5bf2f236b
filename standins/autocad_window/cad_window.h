// The interactive stand-in AutoCAD of the Linux program: a drawing window,
// registered as the running "AutoCAD.Application" while it is open, that
// opens and saves DXF drawings. Closing it is AutoCAD no longer running.
#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "automation/directory.h"
#include "standins/autocad/standin_cad.h"

class QAction;
class QLabel;

namespace velmora::standins {

class DrawingView;

enum class SaveAnswer { Save, Discard, Cancel };

// What the window asks the user. Empty members get the usual dialogs;
// tests answer through them instead.
struct CadWindowPrompts {
    // Unsaved labels in `fileName`: save them? Without `canCancel` only
    // Save and Discard are offered.
    std::function<SaveAnswer(const QString& fileName, bool canCancel)> askSave;
    std::function<QString()> askOpenPath;                          // empty: cancelled
    std::function<QString(const QString& suggested)> askSavePath;  // empty: cancelled
    std::function<void(const QString& text)> showError;
};

class StandInCadWindow : public QWidget {
  public:
    StandInCadWindow(std::shared_ptr<CadHost> host, CadWindowPrompts prompts = {});

    // Replaces the drawing by the file's; when the file cannot be read the
    // error names it and the reason, and the drawing stays as it was.
    bool OpenFile(const QString& path);
    // The menu's commands; false when nothing was saved.
    bool Open();
    bool Save();
    bool SaveAs();
    bool SaveTo(const QString& path);
    // 编辑 › 放弃 (Ctrl+Z): takes back the last change, or the last group of
    // changes (a pass of labels), as AutoCAD's U does; false when there is
    // nothing to undo or a pick is running.
    bool Undo();

    bool Modified() const { return modified_; }
    QString FilePath() const { return path_; }
    DrawingView* View() const { return view_; }
    CadWindowPrompts& Prompts() { return prompts_; }
    const std::shared_ptr<CadHost>& host() const { return host_; }

    // The program is ending: unsaved labels are saved or dropped as the
    // user says.
    void SaveBeforeQuit();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    Pick RunPick(const SelectionFilter& filter);
    std::optional<EntityPick> RunEntityPick(std::string_view prompt);
    // Runs a pick the view begins, with the prompt on the command line;
    // true when it finished.
    bool RunViewPick(const QString& prompt,
                     const std::function<void(std::function<void(bool)>)>& begin);
    void SetPrompt(const QString& current);
    // Unsaved labels: true when they were saved or may go.
    bool Settle(bool canCancel);
    void SetModified(bool modified);
    void UpdateTitle();
    void ShowIdlePrompt();

    std::shared_ptr<CadHost> host_;
    CadWindowPrompts prompts_;
    DrawingView* view_ = nullptr;
    QLabel* prompt_ = nullptr;  // the command line
    QString said_, current_;    // its last line said (Utility.Prompt) and its prompt
    QAction* openAction_ = nullptr;
    QAction* undoAction_ = nullptr;
    QString path_;
    bool modified_ = false;
    // Entity types of the opened file this window cannot keep.
    std::map<std::string, int, std::less<>> skipped_;  // not read: named in the prompt
    bool holdsMore_ = false;  // the file holds what only a whole save keeps
};

// Opens the window and registers the application in the directory: with the
// drawing named on the command line (a .dxf argument), else the sample
// drawing samples/piles.dxf, else the built-in sample. The window lives until
// the program ends; closing it revokes the registration.
QWidget* OpenStandInCadWindow(LocalDirectory& directory);

// The same with a given drawing file (empty: the built-in sample) and prompts.
StandInCadWindow* OpenStandInCadWindow(LocalDirectory& directory, const QString& path,
                                       CadWindowPrompts prompts = {});

// Where the sample drawing is, or empty.
QString FindSampleDrawing();

}  // namespace velmora::standins
