#include "platform/qt/Form.h"

#include <QCloseEvent>
#include <QPushButton>
#include <utility>

#include "app/EventBoundary.h"

namespace vx::qt {

Form::Form(MessageBoxes& boxes, std::function<void()> onClosed)
    : boxes_(boxes), onClosed_(std::move(onClosed)) {}

void Form::Open() {
    if (!loaded_) {
        loaded_ = true;
        RunEvent(boxes_, [this] { OnLoad(); });
    }
    show();
    activateWindow();
}

void Form::OnClick(QPushButton* button, std::function<void()> handler) {
    connect(button, &QPushButton::clicked, this,
            [this, handler = std::move(handler)] { Run(handler); });
}

void Form::Run(const std::function<void()>& handler) {
    RunEvent(boxes_, handler);
}

void Form::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    if (onClosed_) {
        onClosed_();
    }
}

}  // namespace vx::qt
