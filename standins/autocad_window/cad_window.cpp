#include "standins/autocad_window/cad_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>
#include <vector>

#include "standins/autocad_window/drawing_view.h"
#include "standins/drawing/dxf/dxf_file.h"
#include "standins/drawing/sample_drawing.h"

namespace velmora::standins {

namespace {

const QString kIdlePrompt = QStringLiteral("命令：");
const QString kPickPrompt = QStringLiteral("选择对象：");
const QString kUntitled = QStringLiteral("Drawing1.dwg");
const QString kDxfFilter = QStringLiteral("DXF 图形 (*.dxf *.DXF)");

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

CadWindowPrompts WithDialogs(CadWindowPrompts prompts, QWidget* parent) {
    if (!prompts.askSave) {
        prompts.askSave = [parent](const QString& fileName, bool canCancel) {
            QMessageBox box(QMessageBox::Question, QStringLiteral("AutoCAD"),
                            QStringLiteral("是否将改动保存到 %1？").arg(fileName),
                            QMessageBox::NoButton, parent);
            QPushButton* save = box.addButton(QStringLiteral("保存"), QMessageBox::AcceptRole);
            QPushButton* discard =
                box.addButton(QStringLiteral("不保存"), QMessageBox::DestructiveRole);
            if (canCancel) box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
            box.setDefaultButton(save);
            box.exec();
            return box.clickedButton() == save      ? SaveAnswer::Save
                   : box.clickedButton() == discard ? SaveAnswer::Discard
                                                    : SaveAnswer::Cancel;
        };
    }
    if (!prompts.askOpenPath) {
        prompts.askOpenPath = [parent] {
            return QFileDialog::getOpenFileName(parent, QStringLiteral("打开图形"), QString(),
                                                kDxfFilter);
        };
    }
    if (!prompts.askSavePath) {
        prompts.askSavePath = [parent](const QString& suggested) {
            QString path = QFileDialog::getSaveFileName(parent, QStringLiteral("图形另存为"),
                                                        suggested, kDxfFilter);
            if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
                path += QStringLiteral(".dxf");
            return path;
        };
    }
    if (!prompts.showError) {
        prompts.showError = [parent](const QString& text) {
            QMessageBox::warning(parent, QStringLiteral("AutoCAD"), text);
        };
    }
    return prompts;
}

// "INSERT 3、MTEXT 2"
QString SkippedText(const std::map<std::string, int, std::less<>>& skipped) {
    QStringList parts;
    for (const auto& [type, count] : skipped)
        parts << QStringLiteral("%1 %2").arg(FromUtf8(type)).arg(count);
    return parts.join(QStringLiteral("、"));
}

}  // namespace

StandInCadWindow::StandInCadWindow(std::shared_ptr<CadHost> host, CadWindowPrompts prompts)
    : host_(std::move(host)), prompts_(WithDialogs(std::move(prompts), this)) {
    resize(900, 640);
    view_ = new DrawingView(host_->drawing, this);
    prompt_ = new QLabel(kIdlePrompt, this);
    prompt_->setStyleSheet(QStringLiteral("padding: 3px; font-family: monospace;"));

    auto* menuBar = new QMenuBar(this);
    QMenu* file = menuBar->addMenu(QStringLiteral("文件(&F)"));
    openAction_ = file->addAction(QStringLiteral("打开(&O)…"), this, [this] { Open(); });
    openAction_->setShortcut(QKeySequence::Open);
    file->addAction(QStringLiteral("保存(&S)"), this, [this] { Save(); })
        ->setShortcut(QKeySequence::Save);
    file->addAction(QStringLiteral("另存为(&A)…"), this, [this] { SaveAs(); })
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    QMenu* edit = menuBar->addMenu(QStringLiteral("编辑(&E)"));
    undoAction_ = edit->addAction(QStringLiteral("放弃(&U)"), this, [this] { Undo(); });
    undoAction_->setShortcut(QKeySequence::Undo);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(menuBar);
    layout->addWidget(view_, 1);
    layout->addWidget(prompt_);

    QPointer<StandInCadWindow> self(this);
    host_->picker = [self](const PickRequest& request) -> Pick {
        if (!self) return std::nullopt;
        return self->RunPick(request.filter);
    };
    host_->entityPicker = [self](const Drawing&,
                                 std::string_view prompt) -> std::optional<EntityPick> {
        if (!self) return std::nullopt;
        return self->RunEntityPick(prompt);
    };
    host_->onPrompt = [self](const std::string& text) {
        if (!self) return;
        self->said_ = FromUtf8(text).trimmed();  // a line break begins a new line
        self->SetPrompt(self->current_);
    };
    host_->onWindowState = [self](int state) {
        if (!self) return;
        if (state == 3)
            self->showMaximized();
        else if (state == 2)
            self->showMinimized();
        else
            self->showNormal();
    };
    // AutoCAD's HWND: the id of this window, which the program's other
    // windows can raise.
    host_->windowHandle = static_cast<std::int64_t>(winId());
    host_->onDrawingChanged = [self] {
        if (!self) return;
        self->SetModified(true);
        self->view_->DrawingChanged();
    };
    UpdateTitle();
}

bool StandInCadWindow::OpenFile(const QString& path) {
    DxfRead read = LoadDxf(path.toStdString());
    if (!read.error.empty()) {
        prompts_.showError(FromUtf8(read.error));
        return false;
    }
    // The new drawing's ids follow the old ones, so that no reference the
    // system still holds can reach an entity of the new drawing.
    RenumberEntities(read.drawing, host_->drawing.nextId);
    host_->drawing = std::move(read.drawing);
    host_->undo = {};  // nothing of the old drawing can be undone in the new one
    path_ = QFileInfo(path).absoluteFilePath();
    skipped_ = std::move(read.skipped);
    holdsMore_ = !skipped_.empty() || read.fileOnly > 0;
    SetModified(false);
    view_->DrawingChanged();
    view_->ZoomExtents();
    ShowIdlePrompt();
    return true;
}

bool StandInCadWindow::Open() {
    if (view_->Picking() || !Settle(true)) return false;
    const QString path = prompts_.askOpenPath();
    return !path.isEmpty() && OpenFile(path);
}

bool StandInCadWindow::Undo() {
    if (view_->Picking() || !UndoLast(host_->undo, host_->drawing)) return false;
    SetModified(true);
    view_->DrawingChanged();
    return true;
}

bool StandInCadWindow::Save() {
    // A file with entities this window cannot keep is not overwritten
    // unasked: the user names the file to save to. Given back whole, the
    // file keeps them.
    if (path_.isEmpty() || (holdsMore_ && !SavesWhole(host_->drawing))) return SaveAs();
    return SaveTo(path_);
}

bool StandInCadWindow::SaveAs() {
    QString suggested =
        path_.isEmpty() ? QDir::home().filePath(QStringLiteral("Drawing1.dxf")) : path_;
    if (holdsMore_) {
        const QFileInfo info(path_);
        suggested = info.dir().filePath(info.completeBaseName() + QStringLiteral("-编号.dxf"));
    }
    const QString path = prompts_.askSavePath(suggested);
    return !path.isEmpty() && SaveTo(path);
}

bool StandInCadWindow::SaveTo(const QString& path) {
    const bool whole = SavesWhole(host_->drawing);
    const DxfSave save = SaveDxf(host_->drawing, path.toStdString());
    if (!save.error.empty()) {
        prompts_.showError(FromUtf8(save.error));
        return false;
    }
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (absolute != path_ && !whole) {  // the new file holds all that is left
        skipped_.clear();
        holdsMore_ = false;
        DropWhatOnlyTheFileHeld(host_->drawing);  // shown as the new file holds it
        view_->DrawingChanged();
    }
    path_ = absolute;
    SetModified(false);
    ShowIdlePrompt();
    if (save.leftOut > 0) {
        prompts_.showError(
            QStringLiteral("%1 个实体的坐标不是有限数值，未写入文件。").arg(save.leftOut));
    }
    return true;
}

void StandInCadWindow::SaveBeforeQuit() {
    // Once the window has closed, the user has already answered.
    if (!host_->closed) Settle(false);
}

bool StandInCadWindow::Settle(bool canCancel) {
    while (modified_) {
        const QString name = path_.isEmpty() ? kUntitled : QFileInfo(path_).fileName();
        switch (prompts_.askSave(name, canCancel)) {
            case SaveAnswer::Save:
                if (Save()) return true;
                break;  // not saved: ask again
            case SaveAnswer::Discard:
                return true;
            case SaveAnswer::Cancel:
                if (canCancel) return false;
                break;
        }
    }
    return true;
}

void StandInCadWindow::closeEvent(QCloseEvent* event) {
    if (host_->closed) {
        event->accept();
        return;
    }
    if (!Settle(true)) {
        event->ignore();
        return;
    }
    // AutoCAD no longer runs: its objects fail and it cannot be found.
    if (view_->Picking()) view_->EndPick(false);
    CloseCad(*host_);
    event->accept();
    // The program's window went first (a save question kept this one
    // open): with nothing left on screen, the program ends.
    bool othersShown = false;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget != this && widget->isVisible() && widget->isWindow()) othersShown = true;
    }
    if (!othersShown) QCoreApplication::quit();
}

void StandInCadWindow::SetModified(bool modified) {
    modified_ = modified;
    UpdateTitle();
}

void StandInCadWindow::UpdateTitle() {
    const QString name = path_.isEmpty() ? kUntitled : QFileInfo(path_).fileName();
    setWindowTitle(
        QStringLiteral("AutoCAD - [%1]%2").arg(name, modified_ ? QStringLiteral("*") : QString()));
}

void StandInCadWindow::ShowIdlePrompt() {
    QString text = kIdlePrompt;
    if (!skipped_.empty())
        text += QStringLiteral("（未读取的实体：%1）").arg(SkippedText(skipped_));
    SetPrompt(text);
}

// The command line: the last line said on it above the current prompt.
void StandInCadWindow::SetPrompt(const QString& current) {
    current_ = current;
    prompt_->setText(said_.isEmpty() ? current_ : said_ + QLatin1Char('\n') + current_);
}

// SelectOnScreen: the drawing comes to the front and the user picks; every
// other window takes no input until the pick ends.
Pick StandInCadWindow::RunPick(const SelectionFilter& filter) {
    const bool finished = RunViewPick(kPickPrompt, [&](std::function<void(bool)> done) {
        view_->BeginPick(filter, std::move(done));
    });
    if (!finished) return std::nullopt;
    return view_->Picked();
}

// GetEntity: one entity picked the same way, the prompt on the command line.
std::optional<EntityPick> StandInCadWindow::RunEntityPick(std::string_view prompt) {
    const bool picked = RunViewPick(
        FromUtf8(std::string(prompt)),
        [&](std::function<void(bool)> done) { view_->BeginEntityPick(std::move(done)); });
    if (!picked || view_->Picked().empty()) return std::nullopt;
    return EntityPick{view_->Picked().front(), view_->PickedAt()};
}

bool StandInCadWindow::RunViewPick(const QString& prompt,
                                   const std::function<void(std::function<void(bool)>)>& begin) {
    if (host_->closed || view_->Picking()) return false;
    if (isMinimized()) showNormal();
    if (!isVisible()) show();
    raise();
    activateWindow();
    SetPrompt(prompt);
    openAction_->setEnabled(false);
    undoAction_->setEnabled(false);

    std::vector<QPointer<QWidget>> disabled;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget != this && widget->isVisible() && widget->isEnabled()) {
            widget->setEnabled(false);
            disabled.emplace_back(widget);
        }
    }

    QEventLoop loop;
    bool finished = false;
    begin([&](bool ok) {
        finished = ok;
        loop.quit();
    });
    loop.exec();

    for (const QPointer<QWidget>& widget : disabled) {
        if (widget) widget->setEnabled(true);
    }
    openAction_->setEnabled(true);
    undoAction_->setEnabled(true);
    ShowIdlePrompt();
    return finished;
}

QString FindSampleDrawing() {
    const QString name = QStringLiteral("samples/piles.dxf");
    QDir dir(QCoreApplication::applicationDirPath());
    // Beside the program, or in the source tree the build folder lies in.
    for (int up = 0; up < 6; ++up) {
        if (QFileInfo::exists(dir.filePath(name))) return dir.filePath(name);
        if (!dir.cdUp()) break;
    }
#ifdef VELMORA_SOURCE_DIR
    QString source = QDir(QStringLiteral(VELMORA_SOURCE_DIR)).filePath(name);
    if (QFileInfo::exists(source)) return source;
#endif
    return {};
}

StandInCadWindow* OpenStandInCadWindow(LocalDirectory& directory, const QString& path,
                                       CadWindowPrompts prompts) {
    auto* window = new StandInCadWindow(NewCadHost(SamplePileDrawing()), std::move(prompts));
    if (!path.isEmpty()) window->OpenFile(path);  // unreadable: the built-in sample stays
    RegisterCad(window->host(), directory);
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, window,
                     [window] { window->SaveBeforeQuit(); });
    window->show();
    return window;
}

}  // namespace velmora::standins
