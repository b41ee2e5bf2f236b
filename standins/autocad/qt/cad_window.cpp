#include "cad_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QLabel>
#include <QPointer>
#include <QVBoxLayout>
#include <memory>
#include <vector>

#include "drawing_view.h"
#include "sample_drawing.h"
#include "standin_cad.h"

namespace velmora::standins {

namespace {

const QString kIdlePrompt = QStringLiteral("命令：");
const QString kPickPrompt = QStringLiteral("选择对象：");

class CadWindow : public QWidget {
  public:
    CadWindow(std::shared_ptr<CadHost> host) : host_(std::move(host)) {
        setWindowTitle(QStringLiteral("AutoCAD - [Drawing1.dwg]"));
        resize(900, 640);
        view_ = new DrawingView(host_->drawing, this);
        prompt_ = new QLabel(kIdlePrompt, this);
        prompt_->setStyleSheet(QStringLiteral("padding: 3px; font-family: monospace;"));
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        layout->addWidget(view_, 1);
        layout->addWidget(prompt_);

        QPointer<CadWindow> self(this);
        host_->picker = [self](const PickRequest& request) -> Pick {
            if (!self) return std::nullopt;
            return self->RunPick(request.filter);
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
        host_->onDrawingChanged = [self] {
            if (self) self->view_->update();
        };
    }

  protected:
    void closeEvent(QCloseEvent* event) override {
        // AutoCAD no longer runs: its objects fail and it cannot be found.
        if (view_->Picking()) view_->EndPick(false);
        CloseCad(*host_);
        event->accept();
    }

  private:
    // SelectOnScreen: the drawing comes to the front and the user picks;
    // every other window takes no input until the pick ends.
    Pick RunPick(const SelectionFilter& filter) {
        if (host_->closed || view_->Picking()) return std::nullopt;
        showNormalIfMinimised();
        raise();
        activateWindow();
        prompt_->setText(kPickPrompt);

        std::vector<QPointer<QWidget>> disabled;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget != this && widget->isVisible() && widget->isEnabled()) {
                widget->setEnabled(false);
                disabled.emplace_back(widget);
            }
        }

        QEventLoop loop;
        bool finished = false;
        view_->BeginPick(filter, [&](bool ok) {
            finished = ok;
            loop.quit();
        });
        loop.exec();

        for (const QPointer<QWidget>& widget : disabled) {
            if (widget) widget->setEnabled(true);
        }
        prompt_->setText(kIdlePrompt);
        if (!finished) return std::nullopt;
        return view_->Picked();
    }

    void showNormalIfMinimised() {
        if (isMinimized()) showNormal();
        if (!isVisible()) show();
    }

    std::shared_ptr<CadHost> host_;
    DrawingView* view_ = nullptr;
    QLabel* prompt_ = nullptr;
};

}  // namespace

QWidget* OpenStandInCadWindow(LocalDirectory& directory) {
    auto host = NewCadHost(SamplePileDrawing());
    auto* window = new CadWindow(host);
    RegisterCad(host, directory);
    window->show();
    return window;
}

}  // namespace velmora::standins
